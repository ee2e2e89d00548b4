// The program's own icon: one drawing, written both as a scalable SVG and as the
// PNG sizes desktops look for, so the two can never drift apart.
#pragma once

#include <QImage>
#include <filesystem>
#include <string>

namespace assetgen {

// The drawing's own coordinate space: a square this many units wide.
inline constexpr int kAppIconUnits = 256;
inline constexpr int kAppIconSizes[] = {48, 128, 256};

// The SVG document of the icon.
std::string appIconSvg();
// The icon painted at `pixels` × `pixels`, transparent outside its rounded square.
QImage paintAppIcon(int pixels);

// Writes sylvaro-lite.svg and sylvaro-lite-<size>.png for every size into `folder`.
// Throws std::runtime_error with the path and the reason on failure.
void writeAppIcons(const std::filesystem::path& folder);

} // namespace assetgen
