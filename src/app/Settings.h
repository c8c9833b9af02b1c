// The editor's settings file "Narvo.ini": the sections and keys of the panes
// (Flags, Screen), the margins, print margins, panels, window size, recent-files
// limit, margin presets, folders, tools and auto-save; reading them into effect,
// writing them, the window size on its own, and the built-in factory values.
// Nothing is cached: each operation opens the file, reads or writes, and closes it.
//
// A stored value that is not a number, or lies outside the range the options
// dialog offers, reads as the key's default, so a damaged file never puts a pane
// into a state the program cannot show. A settings file that exists but cannot be
// read is never written back (its other sections would be lost), and every write
// replaces the file atomically.
#pragma once

#include "app/AutoSave.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <QFont>

namespace narvo {

class TIniFile;
class TScrollEditor;

// The settings file, by its bare name (it lies in the settings folder).
inline constexpr const char* SettingsIniName = "Narvo.ini";

// --- module values owned here (one each, for the whole run) ---------------------------
struct TMarginPreset {
    std::int32_t Left = 0;
    std::int32_t Right = 72;
    std::int32_t Indent = 0;
};
inline constexpr std::array<TMarginPreset, 4> FactoryMarginPresets{
    {{0, 72, 0}, {5, 68, 0}, {0, 72, 5}, {5, 68, 5}}};
inline std::array<TMarginPreset, 4> MarginPresets = FactoryMarginPresets;

inline bool HighlightSearch = true;
// The shortest run of spaces that Spaces To Tabs replaces (1 to 3).
inline std::int32_t MinimumSpace = 1;

// The print preview's margins in inches.
struct TPrintMargins {
    double Left = 0.75;
    double Right = 0.75;
    double Top = 0.75;
    double Bottom = 0.75;
};
inline TPrintMargins PrintMargins;



// --- the file ---------------------------------------------------------------------------
// Reads every key into the panes, the window and the module values.
void LoadSettings();
// The per-pane keys of Ini into one pane, then it repaints.
void ReadEditorSettings(const TIniFile& Ini, TScrollEditor& Pane);
// Writes the keys (all but the window size) whose values this window changed since
// it last read or wrote the file, and those the file lacks: what another window on
// the same settings folder saved meanwhile stays. A file marked read-only is written
// only after the user's Yes. Throws EFileError when the file cannot be written (a
// file that could not be read is refused, never replaced).
void SaveSettings();
// Writes only the window's width and height (after the same question).
void SaveFormSize();
// The built-in values into effect; writes nothing.
void SetFactoryDefaults();
void SetEditorFactoryDefaults(TScrollEditor& Pane);

// Font styles as stored: bold 1, italic 2, underline 4, strikeout 8.
int FontStyleToBits(const QFont& Font);
void BitsToFontStyle(int Bits, QFont& Font);

// The face name a pane's font was given by name ("FixedSys" stands for the
// desktop's fixed-pitch family, so the family alone cannot give it back).
std::string PaneFaceName(const TScrollEditor& Pane);
void SetPaneFont(TScrollEditor& Pane, const std::string& FaceName, int PointSize, int StyleBits);


}  // namespace narvo
