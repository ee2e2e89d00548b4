#pragma once

#include "console/Catalogue.h"
#include "persist/ConsoleSettings.h"
#include "persist/LineCodec.h"

#include <QColor>
#include <QDir>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <cmath>
#include <filesystem>
#include <set>
#include <sndfile.h>
#include <string>
#include <vector>

namespace sylvaro::test {

// A throw-away program folder holding every catalogue sound and the console's
// pictures. Each sound is a short constant level unique to its file, so a
// rendered sample tells which buffer it came from.
class ProgramFolder {
public:
    static constexpr int kRate = 48000;
    static constexpr int kFrames = 4800;

    ProgramFolder() {
        std::set<std::string_view> written;
        for (const auto& entry : console::catalogue::entries()) {
            if (written.insert(entry.file).second) {
                writeLevel(std::string(entry.file), levelOf(entry.file));
            }
        }
        QDir(path()).mkpath(QStringLiteral("images"));
        const char* pictures[] = {"english fence.jpg",  "thunder.gif",      "sunsetboat.jpg",
                                  "colouredleaves.jpg", "oregonlake.jpg",   "riverpool.jpg",
                                  "puddle.jpg",         "lightning.jpg",    "firepic.gif",
                                  "sunsetwood.jpg",     "countrylane.jpg",  "sunset.jpg",
                                  "raindrops.jpg",      "englishsheep.jpg", "autumnstream.jpg"};
        int hue = 0;
        for (const char* name : pictures) {
            writePicture(name, QColor::fromHsv(hue, 200, 200));
            hue += 25;
        }
    }

    QString path() const { return m_dir.path(); }
    std::string file(const std::string& name) const {
        return (m_dir.path() + QLatin1Char('/') + QString::fromStdString(name)).toStdString();
    }

    // The constant sample value of a catalogue file, distinct per file.
    static double levelOf(std::string_view file) {
        const auto all = console::catalogue::entries();
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (all[i].file == file) {
                return 0.01 * static_cast<double>(i + 1);
            }
        }
        return 0.0;
    }

    void remove(const std::string& name) const { std::filesystem::remove(file(name)); }
    void writeLevel(const std::string& name, double level) const {
        const std::vector<double> samples(kFrames, level);
        SF_INFO info{};
        info.samplerate = kRate;
        info.channels = 1;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(file(name).c_str(), SFM_WRITE, &info);
        if (f != nullptr) {
            sf_writef_double(f, samples.data(), kFrames);
            sf_close(f);
        }
    }
    void writeSettings(const persist::ConsoleSettings& settings) const {
        persist::writeFileAtomically(path() + QStringLiteral("/settings.ini"), settings.toLine());
    }

    // Pictures are written as PNG data whatever their extension: the picture
    // area goes by content, and Qt cannot write GIF.
    void writePicture(const std::string& name, QColor colour) const {
        QImage image(64, 48, QImage::Format_RGB32);
        image.fill(colour);
        image.save(QString::fromStdString(file("images/" + name)), "PNG");
    }

private:
    QTemporaryDir m_dir;
};

} // namespace sylvaro::test
