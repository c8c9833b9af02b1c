// Colours as the settings files store them: 0x00BBGGRR numbers. A value with the
// high bit set names a system colour (0x80000000 | index) whose RGB value comes
// from the desktop; the platform layer installs a resolver for it, and until then
// a fixed table of ordinary desktop colours answers.
#pragma once

#include <cstdint>

namespace narvo {

using TColor = std::uint32_t;

inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor SystemColorFlag = 0x80000000;

// The system colours the program uses, by their index.
inline constexpr TColor clScrollBar = SystemColorFlag | 0;
inline constexpr TColor clBackground = SystemColorFlag | 1;
inline constexpr TColor clWindow = SystemColorFlag | 5;
inline constexpr TColor clWindowFrame = SystemColorFlag | 6;
inline constexpr TColor clWindowText = SystemColorFlag | 8;
inline constexpr TColor clHighlight = SystemColorFlag | 13;
inline constexpr TColor clHighlightText = SystemColorFlag | 14;
inline constexpr TColor clBtnFace = SystemColorFlag | 15;
inline constexpr TColor clBtnShadow = SystemColorFlag | 16;
inline constexpr TColor clGrayText = SystemColorFlag | 17;
inline constexpr TColor clBtnText = SystemColorFlag | 18;
inline constexpr TColor clBtnHighlight = SystemColorFlag | 20;
inline constexpr TColor clInfoText = SystemColorFlag | 23;
inline constexpr TColor clInfoBk = SystemColorFlag | 24;

constexpr TColor RGBColor(std::uint8_t R, std::uint8_t G, std::uint8_t B)
{
    return TColor{R} | (TColor{G} << 8) | (TColor{B} << 16);
}

// Answers the RGB value (0x00BBGGRR) of the system colour Index (0 to 255).
using TSystemColorResolver = TColor (*)(int Index);

// Installs Resolver and returns the previous one; nullptr restores the fixed table.
TSystemColorResolver SetSystemColorResolver(TSystemColorResolver Resolver);
// The fixed table: light window and button faces, black text, a blue highlight.
TColor DefaultSystemColor(int Index);

// Color with a system colour resolved to its RGB value.
TColor ColorToRGB(TColor Color);
void ColorToRGBBytes(TColor Color, std::uint8_t& R, std::uint8_t& G, std::uint8_t& B);
// (299 R + 587 G + 114 B) / 255000: 0 for black, 1 for white.
double ColorLuminance(TColor Color);
// Black over a colour brighter than one half, else white (0.5 itself gives white).
TColor ContrastColor(TColor Color);

}  // namespace narvo
