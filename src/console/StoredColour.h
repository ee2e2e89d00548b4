#pragma once

#include <cstdint>

// Colours as every file of the console keeps them: 0x00BBGGRR, or a system
// colour with the high bit set (written as a negative number).
namespace sylvaro::console {

// The console's colours before anything sets them: the system's button
// face and button text.
inline constexpr std::int32_t kSystemButtonFace = static_cast<std::int32_t>(0x8000000F);
inline constexpr std::int32_t kSystemButtonText = static_cast<std::int32_t>(0x80000012);

inline constexpr bool isSystemColour(std::int32_t stored) {
    return (static_cast<std::uint32_t>(stored) & 0x80000000u) != 0;
}
inline constexpr unsigned systemColourIndex(std::int32_t stored) {
    return static_cast<std::uint32_t>(stored) & 0xFFu;
}

// The stored form of a #RRGGBB colour, and back.
inline constexpr std::int32_t toStored(std::uint32_t rgb) {
    return static_cast<std::int32_t>(((rgb & 0xFFu) << 16) | (rgb & 0xFF00u) |
                                     ((rgb >> 16) & 0xFFu));
}
inline constexpr std::uint32_t toRgb(std::int32_t stored) {
    const auto v = static_cast<std::uint32_t>(stored);
    return ((v & 0xFFu) << 16) | (v & 0xFF00u) | ((v >> 16) & 0xFFu);
}

} // namespace sylvaro::console
