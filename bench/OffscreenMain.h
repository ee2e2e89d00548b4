#pragma once

// The main() of a benchmark that needs a QApplication: windows are made on
// the offscreen platform, so the figures need no display. Included by one
// source file of each such benchmark.

#include <QApplication>
#include <benchmark/benchmark.h>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
