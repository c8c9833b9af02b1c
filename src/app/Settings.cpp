// Reading and writing "Narvo.ini" (see Settings.h). Every key has one row in the
// tables below: its section, name, default and the range it must lie in; a value
// outside the range reads as the default.
#include "app/Settings.h"

#include "app/Documents.h"
#include "app/MainWindow.h"
#include "components/IniLists.h"
#include "components/RecentFiles.h"
#include "components/TextRuler.h"
#include "language/AppState.h"
#include "language/StatusLine.h"
#include "platform/posix/IniFile.h"
#include "platform/posix/IniValues.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "platform/MessageBoxes.h"
#include "tools/ColorsDialog.h"
#include "tools/SpellDialog.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <climits>
#include <cmath>
#include <vector>

namespace narvo {

namespace {

constexpr const char* FaceNameProperty = "NarvoFaceName";
constexpr std::int32_t MaxColumn = 32767;
constexpr TColor MaxColour = 0xFFFFFF;

// An integer key with its default and range.
struct TIntKey {
    const char* Section;
    const char* Key;
    std::int32_t Default;
    std::int32_t Min;
    std::int32_t Max;
};

std::int32_t ReadRanged(const TIniFile& Ini, const TIntKey& K)
{
    const std::int32_t V = Ini.ReadInteger(K.Section, K.Key, K.Default);
    return V < K.Min || V > K.Max ? K.Default : V;
}

// Per-pane keys.
constexpr TIntKey KScrollStyle{"Flags", "ScrollStyle", 3, 0, 3};
constexpr TIntKey KFontColor{"Screen", "FontColor", 0, 0, MaxColour};
constexpr TIntKey KScreenColor{"Screen", "ScreenColor", 16777215, 0, MaxColour};
constexpr TIntKey KHiLiteColor{"Screen", "HiLiteColor", 8388608, 0, MaxColour};
constexpr TIntKey KControlColor{"Screen", "ControlColor", 255, 0, MaxColour};
constexpr TIntKey KShadowColor{"Screen", "ShadowColor", 16445670, 0, MaxColour};
constexpr TIntKey KNonDeleteColor{"Screen", "NonDeleteColor", 0, 0, MaxColour};
constexpr std::int32_t OemCharsetNumber = 255;
constexpr TIntKey KFontSize{"Screen", "FontSize", 9, 1, MaxFontPoints};
constexpr TIntKey KFontStyle{"Screen", "FontStyle", 0, 0, 0x7FFFFFFF};
constexpr TIntKey KCursorWidth{"Screen", "CursorWidth", 3, 1, 30};
constexpr TIntKey KSpacesPerTab{"Screen", "SpacesPerTab", 8, 1, 20};

// Global keys.
// The current margins take any column `M` can set (the formatting copes with all),
// and a preset's negative indent.
constexpr TIntKey KLeftMargin{"ScreenMargin", "LeftMargin", 0, 0, INT32_MAX};
constexpr TIntKey KRightMargin{"ScreenMargin", "RightMargin", 72, 0, INT32_MAX};
constexpr TIntKey KParaIndent{"ScreenMargin", "ParaIndent", 0, -MaxColumn, INT32_MAX};
constexpr TIntKey KBellColumn{"ScreenMargin", "BellColumn", 72, 0, INT32_MAX};
constexpr TIntKey KFormWidth{"Form", "FormWidth", 574, 100, 32767};
constexpr TIntKey KFormHeight{"Form", "FormHeight", 314, 100, 32767};
constexpr TIntKey KRopenLimit{"Menus", "RopenLimit", 8, 1, 30};
constexpr TIntKey KMinimumSpace{"Tools", "MinimumSpace", 1, 1, 3};
constexpr TIntKey KInterval{"AutoSave", "Interval", 600000, MinAutoSaveInterval, MaxAutoSaveInterval};

struct TFloatKey {
    const char* Key;
    double TPrintMargins::*Field;
};
constexpr TFloatKey PrintKeys[] = {{"LeftWhite", &TPrintMargins::Left},
                                   {"RightWhite", &TPrintMargins::Right},
                                   {"TopWhite", &TPrintMargins::Top},
                                   {"BottomWhite", &TPrintMargins::Bottom}};

std::string PresetKey(int Preset, const char* Part)
{
    std::string Key = "M";
    Key += std::to_string(Preset + 1);
    Key += Part;
    return Key;
}

bool Shown(const QWidget* W) { return W && !W->isHidden(); }

void CenterFormInWorkArea(QWidget& Form)
{
    QScreen* Screen = Form.screen() ? Form.screen() : QGuiApplication::primaryScreen();
    if (!Screen)
        return;
    const QRect Area = Screen->availableGeometry();
    // A size kept from a larger screen (or a larger scale) is cut to this one, so the
    // whole window, its frame included, opens on the screen.
    // Before the window is first shown its frame is not known yet: room is kept for
    // a usual title bar and border.
    QSize Frame = Form.frameGeometry().size() - Form.size();
    if (Frame.isEmpty())
        Frame = QSize(16, 48);
    Form.resize(std::min(Form.width(), Area.width() - Frame.width()),
                std::min(Form.height(), Area.height() - Frame.height()));
    Form.move(Area.x() + (Area.width() - Form.frameGeometry().width()) / 2,
              Area.y() + (Area.height() - Form.frameGeometry().height()) / 2);
}

}  // namespace

// --- fonts -------------------------------------------------------------------------------------

int FontStyleToBits(const QFont& Font)
{
    return (Font.bold() ? 1 : 0) | (Font.italic() ? 2 : 0) | (Font.underline() ? 4 : 0) | (Font.strikeOut() ? 8 : 0);
}

void BitsToFontStyle(int Bits, QFont& Font)
{
    Font.setBold((Bits & 1) != 0);
    Font.setItalic((Bits & 2) != 0);
    Font.setUnderline((Bits & 4) != 0);
    Font.setStrikeOut((Bits & 8) != 0);
}

std::string PaneFaceName(const TScrollEditor& Pane)
{
    const QVariant Given = Pane.property(FaceNameProperty);
    const std::string Family = QStringToAnsi(Pane.font().family());
    if (Given.isValid()) {
        const std::string Name = QByteArrayToString(Given.toByteArray());
        // The name stands only while the font is still the one it gave.
        if (ResolveFaceName(AnsiToQString(Name)) == Pane.font().family())
            return Name;
    }
    return Family;
}

void SetPaneFont(TScrollEditor& Pane, const std::string& FaceName, int PointSize, int StyleBits)
{
    QFont F(ResolveFaceName(AnsiToQString(FaceName)));
    F.setStyleHint(QFont::Monospace);
    F.setPointSize(PointSize > 0 ? PointSize : 9);
    BitsToFontStyle(StyleBits, F);
    Pane.setFont(F);
    Pane.setProperty(FaceNameProperty, StringToQByteArray(FaceName));
}

// --- the values as written ---------------------------------------------------------------

namespace {

// One key as SaveSettings writes it.
struct TKeyValue {
    const char* Section;
    std::string Key;
    std::string Value;
};

// Every key SaveSettings writes, with the value in effect, in the order written.
std::vector<TKeyValue> ValuesInEffect()
{
    TForm1& F = *Form1;
    const TScrollEditor& M = *F.MainEditor;
    std::vector<TKeyValue> V;
    auto Str = [&](const char* Section, std::string Key, std::string Value) {
        V.push_back({Section, std::move(Key), std::move(Value)});
    };
    auto Int = [&](const TIntKey& K, std::int32_t Value) { Str(K.Section, K.Key, std::to_string(Value)); };
    auto Bool = [&](const char* Section, const char* Key, bool Value) { Str(Section, Key, Value ? "1" : "0"); };
    Int(KScrollStyle, M.ScrollBars());
    Bool("Flags", "LinearHScroll", M.LinearHScroll());
    Int(KFontColor, static_cast<std::int32_t>(M.FontColor()));
    Int(KScreenColor, static_cast<std::int32_t>(M.Color()));
    Int(KHiLiteColor, static_cast<std::int32_t>(M.HighlightColor()));
    Int(KControlColor, static_cast<std::int32_t>(M.ControlColor()));
    Int(KShadowColor, static_cast<std::int32_t>(M.ShadowColor()));
    Int(KNonDeleteColor, static_cast<std::int32_t>(M.NonDeleteColor()));
    Int(KFontSize, M.font().pointSize());
    Str("Screen", "FontName", PaneFaceName(M));
    Int(KFontStyle, FontStyleToBits(M.font()));
    Str("Screen", "FontCharset", std::to_string(M.FontCharset() == TCodePage::Oem ? OemCharsetNumber : 0));
    Int(KCursorWidth, M.CursorWidth());
    Int(KSpacesPerTab, M.SpacesPerTab());
    Bool("Screen", "ShadowLine", M.ShadowLine());
    Bool("Flags", "AppendEOF", M.CtrlZMode);

    Int(KLeftMargin, LeftMargin);
    Int(KRightMargin, RightMargin);
    Int(KParaIndent, ParaIndent);
    Int(KBellColumn, BellColumn);
    for (const TFloatKey& K : PrintKeys)
        Str("PrintMargin", K.Key, IniFloatToStr(PrintMargins.*K.Field));
    Bool("Flags", "IgnoreCaseFlag", IgnoreCaseFlag);
    Bool("Flags", "WrapFlag", WrapFlag);
    Bool("Flags", "NewWordStyle", NewWordStyle);
    Int(KRopenLimit, ReopenMenu().Limit);
    Bool("Flags", "ShowToolBar", Shown(F.ToolBar));
    Bool("Flags", "HighlightSearch", HighlightSearch);
    for (int I = 0; I < 4; ++I) {
        const TMarginPreset& P = MarginPresets[static_cast<std::size_t>(I)];
        Str("Margins", PresetKey(I, "Left"), std::to_string(P.Left));
        Str("Margins", PresetKey(I, "Right"), std::to_string(P.Right));
        Str("Margins", PresetKey(I, "Indent"), std::to_string(P.Indent));
    }
    Bool("Flags", "ShowCmdLine", Shown(F.CmdControl));
    Bool("Flags", "ShowRuler", Shown(F.TextRuler));
    Bool("Flags", "ShowStatus", Shown(F.StatusBar));
    Bool("Flags", "ShowStatus2", Shown(F.StatusBar2));
    Str("Directories", "MacroFolder", MacroFolder);
    Str("Directories", "DefaultFolder", DefaultFolder);
    Int(KMinimumSpace, MinimumSpace);
    Int(KInterval, AutoSaveInterval);
    Bool("AutoSave", "Enabled", AutoSaveEnabled);
    return V;
}

// The values as this window last read or wrote them; empty before the first read.
std::vector<TKeyValue>& ValuesInFile()
{
    static std::vector<TKeyValue> Values;
    return Values;
}

// A write the user asked for to a settings file marked read-only: the question the
// document's Save asks.
bool MayWriteSettings(const TIniFile& Ini) { return AgreeToReplaceReadOnly(Ini.FileName()); }

}  // namespace

// --- reading -----------------------------------------------------------------------------------

void ReadEditorSettings(const TIniFile& Ini, TScrollEditor& Pane)
{
    Pane.SetScrollBars(static_cast<TScrollStyle>(ReadRanged(Ini, KScrollStyle)));
    Pane.SetFontColor(static_cast<TColor>(ReadRanged(Ini, KFontColor)));
    Pane.SetColor(static_cast<TColor>(ReadRanged(Ini, KScreenColor)));
    Pane.SetHighlightColor(static_cast<TColor>(ReadRanged(Ini, KHiLiteColor)));
    Pane.SetControlColor(static_cast<TColor>(ReadRanged(Ini, KControlColor)));
    Pane.SetShadowColor(static_cast<TColor>(ReadRanged(Ini, KShadowColor)));
    Pane.SetNonDeleteColor(static_cast<TColor>(ReadRanged(Ini, KNonDeleteColor)));
    const int Size = ReadRanged(Ini, KFontSize);
    std::string Face = Ini.ReadString("Screen", "FontName", "FixedSys");
    if (Face.empty())
        Face = "FixedSys";
    Pane.SetCursorWidth(ReadRanged(Ini, KCursorWidth));
    Pane.SetShadowLine(Ini.ReadBool("Screen", "ShadowLine", true));
    Pane.SetSpacesPerTab(ReadRanged(Ini, KSpacesPerTab));
    SetPaneFont(Pane, Face, Size, ReadRanged(Ini, KFontStyle));
    // The font's character set as the system numbers it: 255 is OEM, anything else ANSI.
    Pane.SetFontCharset(Ini.ReadInteger("Screen", "FontCharset", 0) == OemCharsetNumber ? TCodePage::Oem
                                                                                          : TCodePage::Ansi);
    Pane.SetLinearHScroll(Ini.ReadBool("Flags", "LinearHScroll", false));
    Pane.CtrlZMode = Ini.ReadBool("Flags", "AppendEOF", false);
    Pane.RefreshView(true);
}

void LoadSettings()
{
    if (!Form1)
        return;
    TForm1& F = *Form1;
    const TIniFile Ini(SettingsIniName);
    ReadEditorSettings(Ini, *F.MainEditor);
    ReadEditorSettings(Ini, *F.Editor2);

    LeftMargin = ReadRanged(Ini, KLeftMargin);
    RightMargin = ReadRanged(Ini, KRightMargin);
    ParaIndent = ReadRanged(Ini, KParaIndent);
    BellColumn = ReadRanged(Ini, KBellColumn);

    for (const TFloatKey& K : PrintKeys) {
        const double V = ReadIniFloat(Ini, "PrintMargin", K.Key, 0.75);
        PrintMargins.*K.Field = std::isfinite(V) && V >= 0 && V <= 20 ? V : 0.75;
    }

    IgnoreCaseFlag = Ini.ReadBool("Flags", "IgnoreCaseFlag", false);
    WrapFlag = Ini.ReadBool("Flags", "WrapFlag", false);
    NewWordStyle = Ini.ReadBool("Flags", "NewWordStyle", false);

    F.resize(ReadRanged(Ini, KFormWidth), ReadRanged(Ini, KFormHeight));
    CenterFormInWorkArea(F);

    ReopenMenu().Limit = ReadRanged(Ini, KRopenLimit);

    F.ToolBar->setVisible(Ini.ReadBool("Flags", "ShowToolBar", true));
    HighlightSearch = Ini.ReadBool("Flags", "HighlightSearch", true);

    for (int I = 0; I < 4; ++I) {
        const TMarginPreset& D = FactoryMarginPresets[static_cast<std::size_t>(I)];
        TMarginPreset& P = MarginPresets[static_cast<std::size_t>(I)];
        const std::string L = PresetKey(I, "Left"), R = PresetKey(I, "Right"), N = PresetKey(I, "Indent");
        P.Left = ReadRanged(Ini, {"Margins", L.c_str(), D.Left, 0, MaxColumn});
        P.Right = ReadRanged(Ini, {"Margins", R.c_str(), D.Right, 1, MaxColumn});
        P.Indent = ReadRanged(Ini, {"Margins", N.c_str(), D.Indent, -MaxColumn, MaxColumn});
        if (P.Right <= P.Left)
            P = D;
    }

    F.CmdControl->setVisible(Ini.ReadBool("Flags", "ShowCmdLine", true));
    F.TextRuler->setVisible(Ini.ReadBool("Flags", "ShowRuler", true));
    F.StatusBar->setVisible(Ini.ReadBool("Flags", "ShowStatus", true));
    F.StatusBar2->setVisible(Ini.ReadBool("Flags", "ShowStatus2", true));

    MacroFolder = Ini.ReadString("Directories", "MacroFolder", "");
    DefaultFolder = Ini.ReadString("Directories", "DefaultFolder", "");
    MinimumSpace = ReadRanged(Ini, KMinimumSpace);
    AutoSaveInterval = ReadRanged(Ini, KInterval);
    AutoSaveEnabled = Ini.ReadBool("AutoSave", "Enabled", true);
    ApplyAutoSaveSettings();
    ValuesInFile() = ValuesInEffect();
    UpdateStatus();
}

// --- writing -----------------------------------------------------------------------------------

void SaveSettings()
{
    if (!Form1)
        return;
    TIniFile Ini(SettingsIniName);
    if (!MayWriteSettings(Ini))
        return;
    // Only the keys this window changed since it read the file (and those the file
    // lacks): another window on the same settings folder may have saved its own.
    std::vector<TKeyValue> Now = ValuesInEffect();
    const std::vector<TKeyValue>& Then = ValuesInFile();
    std::vector<TNotStored> NotStored;
    for (std::size_t I = 0; I < Now.size(); ++I) {
        const TKeyValue& K = Now[I];
        // A folder name holding a line break is left out, so the rest is written whole.
        if (!CanStoreName(K.Value))
            NotStored.push_back({K.Key, K.Value});
        else if (Then.size() != Now.size() || Then[I].Value != K.Value || !Ini.ValueExists(K.Section, K.Key))
            Ini.WriteString(K.Section, K.Key, K.Value);
    }
    Ini.UpdateFile();
    ValuesInFile() = std::move(Now);
    SayNotStored(NotStored, "the settings", SettingsIniName);
    // "NrvDictionary.ini" is written only once the spelling form has read it.
    if (SpellChecker)
        SpellingDlg()->SaveSpellSettings();
}

void SaveFormSize()
{
    if (!Form1)
        return;
    TIniFile Ini(SettingsIniName);
    if (!MayWriteSettings(Ini))
        return;
    Ini.WriteInteger(KFormWidth.Section, KFormWidth.Key, Form1->width());
    Ini.WriteInteger(KFormHeight.Section, KFormHeight.Key, Form1->height());
    Ini.UpdateFile();
}

// --- factory values ----------------------------------------------------------------------------

void SetEditorFactoryDefaults(TScrollEditor& Pane)
{
    Pane.SetFontColor(static_cast<TColor>(KFontColor.Default));
    Pane.SetColor(static_cast<TColor>(KScreenColor.Default));
    Pane.SetHighlightColor(static_cast<TColor>(KHiLiteColor.Default));
    Pane.SetControlColor(static_cast<TColor>(KControlColor.Default));
    Pane.SetShadowColor(static_cast<TColor>(KShadowColor.Default));
    Pane.SetNonDeleteColor(static_cast<TColor>(KNonDeleteColor.Default));
    SetPaneFont(Pane, "FixedSys", KFontSize.Default, 0);
    Pane.SetFontCharset(TCodePage::Ansi);
    Pane.SetLinearHScroll(false);
    Pane.SetScrollBars(ssBoth);
    Pane.SetCursorWidth(KCursorWidth.Default);
    Pane.SetShadowLine(true);
    Pane.CtrlZMode = true;
    Pane.RefreshView(true);
}

void SetFactoryDefaults()
{
    LeftMargin = KLeftMargin.Default;
    RightMargin = KRightMargin.Default;
    ParaIndent = KParaIndent.Default;
    BellColumn = KBellColumn.Default;
    PrintMargins = TPrintMargins{};
    IgnoreCaseFlag = false;
    WrapFlag = false;
    NewWordStyle = false;
    if (!Form1)
        return;
    TForm1& F = *Form1;
    SetEditorFactoryDefaults(*F.MainEditor);
    SetEditorFactoryDefaults(*F.Editor2);
    F.ToolBar->setVisible(true);
    HighlightSearch = true;
    F.resize(KFormWidth.Default, KFormHeight.Default);
    ReopenMenu().Limit = KRopenLimit.Default;
    MarginPresets = FactoryMarginPresets;
    F.CmdControl->setVisible(true);
    F.TextRuler->setVisible(true);
    F.StatusBar->setVisible(true);
    F.MainEditor->SetSpacesPerTab(KSpacesPerTab.Default);
    F.Editor2->SetSpacesPerTab(KSpacesPerTab.Default);
    UpdateStatus();
}


}  // namespace narvo
