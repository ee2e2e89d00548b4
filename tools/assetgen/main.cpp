// assetgen PROGRAM_DIR
//
// Writes every built-in sound and picture into the program folder, together with
// the empty folders the program expects. The output depends on nothing but this
// source code: the same build writes the same bytes.
#include "AppIcon.h"
#include "Output.h"
#include "Pictures.h"
#include "Sound.h"

#include <QCoreApplication>
#include <Stk.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Renders the sounds on a few threads: each file depends only on its own recipe, so
// the bytes are the same whichever thread writes them.
void writeSounds(const fs::path& root) {
    const std::vector<assetgen::Recipe>& recipes = assetgen::soundRecipes();
    std::atomic<std::size_t> next{0};
    std::mutex failureLock;
    std::string failure;
    const auto work = [&] {
        for (std::size_t i = next++; i < recipes.size(); i = next++) {
            try {
                assetgen::writeWav(root / recipes[i].file, assetgen::renderRecipe(recipes[i]));
            } catch (const std::exception& e) {
                const std::lock_guard lock(failureLock);
                if (failure.empty()) {
                    failure = e.what();
                }
            }
        }
    };
    const unsigned count = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> threads;
    for (unsigned t = 1; t < count; ++t) {
        threads.emplace_back(work);
    }
    work();
    for (std::thread& t : threads) {
        t.join();
    }
    if (!failure.empty()) {
        throw std::runtime_error(failure);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen PROGRAM_DIR\n");
        return 2;
    }
    // Lets Qt find its image-format plugins; no display is needed for painting into a
    // QImage or for writing JPEG files.
    QCoreApplication app(argc, argv);
    const auto started = std::chrono::steady_clock::now();
    const fs::path root = argv[1];
    // STK keeps its rate in one global, set before any thread builds an STK object.
    stk::Stk::setSampleRate(assetgen::kSampleRate);
    try {
        for (const char* folder :
             {"", "images", "resources", "resources/icons", "sounds", "saves"}) {
            fs::create_directories(root / folder);
        }
        writeSounds(root);
        std::map<std::string, QImage> painted;
        for (const assetgen::Picture& picture : assetgen::pictures()) {
            const QImage image = assetgen::paintPicture(picture);
            painted[picture.file] = image;
            const fs::path path = root / "images" / picture.file;
            if (path.extension() == ".gif") {
                assetgen::writeGif(path, image);
            } else {
                assetgen::writeJpeg(path, image);
            }
        }
        for (const assetgen::SceneIcon& icon : assetgen::sceneIcons()) {
            const fs::path file = root / "resources" / "icons" / icon.file;
            const QImage& picture = painted.at(icon.picture);
            assetgen::writePng(file, assetgen::iconFrom(picture));
            fs::path sharp = file;
            sharp.replace_filename(file.stem().string() + "@2x" + file.extension().string());
            assetgen::writePng(sharp, assetgen::iconFrom(picture, 2));
        }
        assetgen::writeAppIcons(root / "resources" / "icons");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::printf("assetgen: %zu sounds, %zu pictures and %zu icons in %s (%lld ms)\n",
                assetgen::soundRecipes().size(), assetgen::pictures().size(),
                assetgen::sceneIcons().size(), root.string().c_str(),
                static_cast<long long>(elapsed.count()));
    return 0;
}
