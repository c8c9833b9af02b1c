// TOptionsDlg, the modal "Options" dialog: display, tool panels, editing actions,
// auto-save and folders. It copies the live settings into its controls at every
// showing and copies them back only on OK, to the main pane and the second pane
// (the third pane keeps its own values). It writes no settings file except the
// window size of "Use Current Size", which the main window writes through its hook.
//
// The dialog does not know the main window: it reads and writes the window-wide
// values through TOptionsHooks, filled by the program at start-up.
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

namespace narvo {

class TCheckedGroup;
class TIntegerSpin;
class TRealSpin;
class TScrollEditor;

// The settings of the window and the program that the dialog edits (the per-pane
// ones are read from and written to the panes themselves).
struct TOptionsValues {
    bool ToolBarVisible = true;
    bool RulerVisible = true;
    bool CmdLineVisible = true;
    bool StatusVisible = true;
    bool Status2Visible = true;
    bool NewWordStyle = false;
    bool HighlightSearch = true;
    int ReopenLimit = 8;
    int MinimumSpace = 1;
    std::int32_t AutoSaveInterval = 600000;  // milliseconds
    bool AutoSaveEnabled = true;
    std::string MacroFolder;
    std::string DefaultFolder;
};

struct TOptionsHooks {
    std::function<TScrollEditor*()> MainEditor;
    std::function<TScrollEditor*()> Editor2;
    std::function<TOptionsValues()> ReadValues;
    // Puts the values into effect (folders, panels, flags, recent-files limit, timer).
    std::function<void(const TOptionsValues&)> ApplyValues;
    // Writes the main window's current size to the settings file.
    std::function<void()> SaveFormSize;
    // A folder chooser that may create a new folder; nullopt when cancelled.
    // Empty: the toolkit's folder dialog.
    std::function<std::optional<std::string>(const std::string& Start)> ChooseFolder;
};

// The ranges offered; the settings module reads the same ranges from the file.
inline constexpr int MinCursorWidth = 1, MaxCursorWidth = 30;
inline constexpr int MinReopenLimit = 1, MaxReopenLimit = 30;
inline constexpr int MinSpacesPerTab = 1, MaxSpacesPerTab = 20;
inline constexpr int MinMinimumSpace = 1, MaxMinimumSpace = 3;
inline constexpr double MinAutoSaveMinutes = 0.1, MaxAutoSaveMinutes = 1440;

// The auto-save interval between minutes (as shown) and milliseconds (as kept).
double IntervalToMinutes(std::int32_t Milliseconds);
std::int32_t MinutesToInterval(double Minutes);

class TOptionsDlg : public QDialog {
    Q_OBJECT
public:
    explicit TOptionsDlg(TOptionsHooks Hooks, QWidget* Parent = nullptr);

    // Fills the controls from the live settings, shows the dialog modally and on OK
    // applies them. True when OK was chosen.
    bool ShowOptionsDlg();
    void FillControls();
    void ApplyControls();
    // The two scroll-bar boxes and the shadow box from the main pane.
    void ShowScrollChecks();
    void ApplyToEditor(TScrollEditor& Editor);

    void CWidthBtnClick();
    void ScreenSizeBtnClick();
    void BrowseMacroBtnClick();
    void BrowseDefaultBtnClick();

    QTabWidget* Pages = nullptr;
    // Display
    QCheckBox* LinearScrollChk = nullptr;
    QCheckBox* ShadowChk = nullptr;
    TIntegerSpin* CursorSpin = nullptr;
    TIntegerSpin* ReopenSpin = nullptr;
    TIntegerSpin* TabSpacesSpin = nullptr;
    // Tools
    QCheckBox* ToolChk = nullptr;
    QCheckBox* RulerChk = nullptr;
    QCheckBox* CmdChk = nullptr;
    QCheckBox* StatusChk = nullptr;
    QCheckBox* Status2Chk = nullptr;
    QCheckBox* HorizScrllChk = nullptr;
    QCheckBox* VertScrllChk = nullptr;
    // Actions
    QRadioButton* OldWordStyleRadio = nullptr;
    QRadioButton* NewWordStyleRadio = nullptr;
    QCheckBox* HiSearchChk = nullptr;
    QCheckBox* AppendEOFChk = nullptr;
    TIntegerSpin* MinSpacesSpin = nullptr;
    TCheckedGroup* AutoSaveChk = nullptr;
    TRealSpin* AutoSaveSpin = nullptr;
    // Directories
    QLineEdit* MacDirEdit = nullptr;
    QLineEdit* DefaultDirEdit = nullptr;

private:
    // A folder edit shows the name decoded; a name that is not UTF-8 does not come
    // back from that text, so the bytes it was filled with are kept where the user
    // leaves the text as shown.
    void ShowFolder(QLineEdit* Edit, std::string& Kept, const std::string& Name);
    std::string FolderOf(const QLineEdit* Edit, const std::string& Kept) const;
    std::optional<std::string> ChooseFolder(const std::string& Start);
    TOptionsHooks FHooks;
    std::string FMacroFolder, FDefaultFolder;  // the bytes each folder edit was filled with
};

}  // namespace narvo
