#pragma once

#include "DiskInput.h"
#include "core/AppDir.h"
#include "core/ScriptedDialogs.h"
#include "core/VirtualTimerHost.h"
#include "core/VirtualWallClock.h"
#include "recorder/Desktop.h"
#include "recorder/RecorderWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace sylvaro::test {

// A desktop that starts nothing: it says which programs exist and records
// what it was asked to open or start.
class FakeDesktop final : public recorder::Desktop {
public:
    QStringList programs;
    bool startFails = false;
    std::vector<QUrl> opened;
    std::vector<QStringList> started;

    bool openUrl(const QUrl& url) override {
        opened.push_back(url);
        return true;
    }
    bool startProgram(const QString& program, const QStringList& arguments) override {
        started.push_back(QStringList{program} + arguments);
        return !startFails;
    }
    QString findProgram(const QString& name) const override {
        return programs.contains(name) ? QStringLiteral("/usr/bin/") + name : QString();
    }
};

// What a recorder test runs on: a throw-away folder, virtual time, scripted
// dialogs and a desktop that starts nothing.
struct RecorderGround {
    QTemporaryDir dir;
    core::VirtualTimerHost host;
    core::ScriptedDialogs dialogs;
    core::VirtualWallClock clock{host, QDateTime(QDate(2026, 12, 8), QTime(12, 0))};
    FakeDesktop desktop;
};

// The recorder window on a throw-away program folder, in virtual time, with
// scripted dialogs, two stand-in console sliders and the SDL disk driver
// "hearing" a file the test writes.
class RecorderTest : public ::testing::Test, protected RecorderGround {
protected:
    QSlider background{Qt::Horizontal};
    QSlider random{Qt::Horizontal};
    std::unique_ptr<core::AppDir> appDir;
    std::unique_ptr<recorder::RecorderWindow> window;

    void SetUp() override {
        appDir = std::make_unique<core::AppDir>(dir.path());
        for (QSlider* s : {&background, &random}) {
            s->setRange(-3000, 0);
        }
        background.setValue(-1200);
        random.setValue(-450);
        // A few seconds of sound, then the driver's silence.
        ASSERT_TRUE(writeBytes(input(), makeSamples(recorder::WaveFormat{44100, 16, 2}, 44100)));
        useDiskInput(input());
    }
    void TearDown() override { window.reset(); }

    QString input() const { return dir.filePath(QStringLiteral("input.raw")); }
    QString takes() const { return dir.filePath(QStringLiteral("cache")); }

    void open() {
        window = std::make_unique<recorder::RecorderWindow>(recorder::RecorderParts{
            *appDir, host, dialogs, clock, desktop, &background, &random, takes()});
        window->load();
        window->show();
    }

    template <typename T> T* get(const char* name) const {
        T* w = window->findChild<T*>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QAbstractButton* btn(const char* name) const { return get<QAbstractButton>(name); }
    QString state() const { return get<QLabel>("lblStatus")->text(); }
    QColor stateColour() const {
        return get<QLabel>("lblStatus")->palette().color(QPalette::WindowText);
    }
    void chooseQuality(const QString& text) {
        QComboBox* list = get<QComboBox>("cbxformat");
        list->setCurrentIndex(list->findText(text));
    }
    // Records until the take holds `bytes`, then lets the size clock see it.
    void recordAtLeast(qint64 bytes) {
        btn("cmdRecord")->click();
        ASSERT_TRUE(window->device().waitForLength(bytes, 20000));
    }
};

} // namespace sylvaro::test
