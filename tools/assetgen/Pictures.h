// The built-in scene pictures, painted with QPainter.
#pragma once

#include <QImage>
#include <filesystem>
#include <string>
#include <vector>

namespace assetgen {

inline constexpr int kPictureWidth = 320;
inline constexpr int kPictureHeight = 240;

struct Picture {
    std::string file; // inside images/; ".gif" files are written as GIF, the rest as JPEG
    void (*paint)(QImage&);
};

const std::vector<Picture>& pictures();

// The small picture on each scene button: the scene's own picture, scaled down.
inline constexpr int kIconWidth = 48;
inline constexpr int kIconHeight = 36;

struct SceneIcon {
    std::string file;    // inside resources/icons/, PNG
    std::string picture; // the scene's picture in pictures()
};

const std::vector<SceneIcon>& sceneIcons();

// Scales a picture to icon size times `scale` with a thin dark frame. Buttons on a
// screen at twice the density pick the `name@2x.png` copy made with scale 2.
QImage iconFrom(const QImage& picture, int scale = 1);

// Paints one picture at the standard size.
QImage paintPicture(const Picture& picture);

// Both throw std::runtime_error with the path and the reason on failure.
void writeJpeg(const std::filesystem::path& path, const QImage& image);
void writePng(const std::filesystem::path& path, const QImage& image);
// Quantises to a 256-colour palette.
void writeGif(const std::filesystem::path& path, const QImage& image);

} // namespace assetgen
