// Colour routines (see Colour.h). The resolver is an atomic pointer because the
// platform layer installs it at start-up while painting code may already run.
#include "shared/Colour.h"

#include <array>
#include <atomic>

namespace narvo {

namespace {

// A plain light desktop, by system colour index.
constexpr std::array<TColor, 31> DefaultSystemColors = {
    RGBColor(200, 200, 200),  //  0 scroll bar
    RGBColor(0, 0, 0),        //  1 desktop background
    RGBColor(153, 180, 209),  //  2 active caption
    RGBColor(191, 205, 219),  //  3 inactive caption
    RGBColor(240, 240, 240),  //  4 menu
    RGBColor(255, 255, 255),  //  5 window
    RGBColor(100, 100, 100),  //  6 window frame
    RGBColor(0, 0, 0),        //  7 menu text
    RGBColor(0, 0, 0),        //  8 window text
    RGBColor(0, 0, 0),        //  9 caption text
    RGBColor(180, 180, 180),  // 10 active border
    RGBColor(244, 247, 252),  // 11 inactive border
    RGBColor(171, 171, 171),  // 12 application workspace
    RGBColor(0, 120, 215),    // 13 highlight
    RGBColor(255, 255, 255),  // 14 highlight text
    RGBColor(240, 240, 240),  // 15 button face
    RGBColor(160, 160, 160),  // 16 button shadow
    RGBColor(109, 109, 109),  // 17 grey text
    RGBColor(0, 0, 0),        // 18 button text
    RGBColor(67, 78, 84),     // 19 inactive caption text
    RGBColor(255, 255, 255),  // 20 button highlight
    RGBColor(105, 105, 105),  // 21 3-D dark shadow
    RGBColor(227, 227, 227),  // 22 3-D light
    RGBColor(0, 0, 0),        // 23 tooltip text
    RGBColor(255, 255, 225),  // 24 tooltip background
    RGBColor(0, 0, 0),        // 25 (unused)
    RGBColor(0, 102, 204),    // 26 hot-track
    RGBColor(185, 209, 234),  // 27 active caption gradient
    RGBColor(215, 228, 242),  // 28 inactive caption gradient
    RGBColor(0, 120, 215),    // 29 menu highlight
    RGBColor(240, 240, 240),  // 30 menu bar
};

std::atomic<TSystemColorResolver> Resolver{nullptr};

}  // namespace

TColor DefaultSystemColor(int Index)
{
    if (Index < 0 || Index >= static_cast<int>(DefaultSystemColors.size()))
        return clBlack;
    return DefaultSystemColors[static_cast<std::size_t>(Index)];
}

TSystemColorResolver SetSystemColorResolver(TSystemColorResolver NewResolver)
{
    return Resolver.exchange(NewResolver);
}

TColor ColorToRGB(TColor Color)
{
    if ((Color & SystemColorFlag) == 0)
        return Color & 0x00FFFFFF;
    const int Index = static_cast<int>(Color & 0xFF);
    const TSystemColorResolver Current = Resolver.load();
    return (Current ? Current(Index) : DefaultSystemColor(Index)) & 0x00FFFFFF;
}

void ColorToRGBBytes(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B)
{
    const TColor Rgb = ColorToRGB(Color);
    R = static_cast<std::uint8_t>(Rgb & 0xFF);
    G = static_cast<std::uint8_t>((Rgb >> 8) & 0xFF);
    B = static_cast<std::uint8_t>((Rgb >> 16) & 0xFF);
}

double ColorLuminance(TColor Color)
{
    std::uint8_t R, G, B;
    ColorToRGBBytes(Color, R, G, B);
    return (299.0 * R + 587.0 * G + 114.0 * B) / 255000.0;
}

TColor ContrastColor(TColor Color) { return ColorLuminance(Color) > 0.5 ? clBlack : clWhite; }

}  // namespace narvo
