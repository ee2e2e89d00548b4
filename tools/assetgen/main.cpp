// assetgen PROGRAM_DIR
//
// Writes every built-in sound and picture into the program folder, together with
// the empty folders the program expects. The output depends on nothing but this
// source code: the same build writes the same bytes.
#include "Output.h"
#include "Pictures.h"
#include "Sound.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>

namespace fs = std::filesystem;

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
    try {
        for (const char* folder : {"", "images", "resources", "sounds", "saves"}) {
            fs::create_directories(root / folder);
        }
        for (const assetgen::Recipe& recipe : assetgen::soundRecipes()) {
            assetgen::writeWav(root / recipe.file, assetgen::renderRecipe(recipe));
        }
        for (const assetgen::Picture& picture : assetgen::pictures()) {
            const QImage image = assetgen::paintPicture(picture);
            const fs::path path = root / "images" / picture.file;
            if (path.extension() == ".gif") {
                assetgen::writeGif(path, image);
            } else {
                assetgen::writeJpeg(path, image);
            }
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "assetgen: %s\n", e.what());
        return 1;
    }
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    std::printf("assetgen: %zu sounds and %zu pictures in %s (%lld ms)\n",
                assetgen::soundRecipes().size(), assetgen::pictures().size(), root.string().c_str(),
                static_cast<long long>(elapsed.count()));
    return 0;
}
