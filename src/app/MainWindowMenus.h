// The main window's menus, tool buttons, pop-up menus and status-bar clicks. Each
// handler is thin: it calls one operation of another module, usually on the active
// pane, and gives that pane the focus back. The few with logic of their own are the
// clipboard buttons, find and replace (FindReplace.h), sorting the highlighted
// lines, zoom, the margin presets, the ruler's guide line and the status pop-up.
//
// No menu item carries a keyboard shortcut or a mnemonic: the panes see every key.
// Entries that open a tool or dialog call it directly; a dialog that is not made
// (the forms are made at start-up, a test may leave them out) leaves its entries
// doing nothing.
//
// The handlers are implemented by concern: MainWindowMenus.cpp (the menu bar and
// its handlers), MainWindowToolBar.cpp (the tool bar and the buttons without a
// menu twin), MainWindowPopups.cpp (the pop-up menus, margin presets, the ruler's
// guide line, the status-bar clicks).
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <string>

class QAction;
class QLabel;
class QMenu;
class QWidget;

namespace narvo {

class TEditorEngine;
class TFindReplaceDialog;
class TForm1;
class TScrollEditor;

// The error messages of Open Folder and Open Terminal when nothing could be started.
inline constexpr const char* NoFileManagerMessage = "No file manager could be started to show the folder";
inline constexpr const char* NoTerminalMessage = "No terminal could be started: set TERMINAL or install x-terminal-emulator";

// --- logic of the handlers, on a text model ---------------------------------------------
// The highlighted lines sorted without regard to case (in the locale's order) and put
// back over the highlight as one undo group; a line break that ended the highlight
// stays at its end. A column block's parts are sorted among its lines in place, each
// line keeping what lies outside the block. Nothing without a highlight.
void SortHighlighted(TEditorEngine& Pane);
// The caption of margin preset Index (from 0): "0 - 0, 72, 0".
std::string MarginPresetCaption(int Index);
// The Debug menu's sample text (four lines, each ended by CR).
extern const char* const SampleText;

class TMainMenus : public QObject {
    Q_OBJECT
public:
    explicit TMainMenus(TForm1& Form);
    ~TMainMenus() override;

    // --- the menu bar ------------------------------------------------------------------
    QMenu *FileMnu = nullptr, *EditMnu = nullptr, *ViewMnu = nullptr, *FormatMnu = nullptr, *ToolsMnu = nullptr,
          *UserMnu = nullptr, *PreferencesMnu = nullptr, *HelpMnu = nullptr;
    // File
    QAction *NewMnu = nullptr, *OpenMnu = nullptr, *SaveMnu = nullptr, *SaveAsMnu = nullptr;
    QMenu *ReopenMnu = nullptr, *FavoritesMnu = nullptr, *AdvancedFileOpsMnu = nullptr;
    QAction *ViewFavorites1 = nullptr, *CurrentFileToFavorites1 = nullptr;
    QAction *Open1 = nullptr, *OpenFolder1 = nullptr, *OpenDOSPrompt1 = nullptr, *AutobackupFiles1 = nullptr,
            *FileDetailsMnu = nullptr, *CopyMergeFilesMnu = nullptr;
    QAction *Print1 = nullptr, *PrintSetupMnu = nullptr, *ExitMnu = nullptr;
    // Edit
    QAction *UndoMnu = nullptr, *RedoMnu = nullptr, *CutMnu = nullptr, *CopyMnu = nullptr, *PasteMnu = nullptr,
            *CopyasTHML1 = nullptr, *ClipboardFormatData1 = nullptr, *SelectAllMnu = nullptr, *FindMnu = nullptr,
            *ReplaceMnu = nullptr;
    // View
    QMenu *LineNumbersMnu = nullptr, *ZoomMnu = nullptr, *SplitScreenMnu = nullptr, *InternetMnu = nullptr;
    QAction *ShowLineNumbers1 = nullptr, *GoToLineNumber1 = nullptr;
    QAction *ZoomIn1 = nullptr, *ZoomOUt1 = nullptr, *ResetZoom1 = nullptr;
    QAction *ShowSplitEditorMnu = nullptr, *ShowSecondaryEditorMnu = nullptr, *SplitHorizontalMnu = nullptr,
            *SplitVerticalMnu = nullptr;
    QAction *OpenHighlightedasWebPage1 = nullptr, *SearchHighlightedonWeb1 = nullptr;
    // Format
    QAction *RemarginMnu = nullptr, *ChangeCaseMnu = nullptr, *BlockIndentMnu = nullptr;
    QMenu *TabsSpacesMnu = nullptr, *LineMarksMnu = nullptr, *EncloseTextMnu = nullptr, *EncodingMnu = nullptr;
    QAction *TabsToSpacesMnu = nullptr, *SpacesToTabsMnu = nullptr, *InsertMarksMnu = nullptr,
            *RemoveMarksMnu = nullptr;
    QAction *RemoveHTMLMnu = nullptr, *HexToStringMnu = nullptr, *StringtoHexMnu = nullptr,
            *Convert8bitsTo7bits1 = nullptr, *SpanishMnu = nullptr;
    // Tools
    QAction *CharacterSetMnu = nullptr, *MacrosMnu = nullptr, *MatchPairsMnu = nullptr,
            *SortHighlightedMnu = nullptr, *Speech1 = nullptr, *SpellCheckMnu = nullptr, *UserToolsMnu = nullptr;
    // Preferences
    QAction *OptionsMnu = nullptr, *FontsMnu = nullptr, *MarginsMnu = nullptr, *SpellCheckerMnu = nullptr,
            *SaveSettingsMnu = nullptr, *RestoreSettingsMnu = nullptr, *UseFactoryMnu = nullptr;
    // Help
    QAction *ContentsMnu = nullptr, *KeyboardCommandsMnu = nullptr, *HelpOnMnu = nullptr, *UseHelpMnu = nullptr,
            *AboutMnu = nullptr;
    QMenu* DebugMnu = nullptr;  // hidden until the about box shows it
    QAction *InsertText1 = nullptr, *Update1 = nullptr;

    // --- pop-up menus -------------------------------------------------------------------
    QMenu* CmdPopup = nullptr;
    QMenu* ScreenPopup = nullptr;
    QMenu* MarginPopup = nullptr;
    QAction* MarginItems[4] = {};  // Margin1 .. Margin4
    QMenu* StatusPopup = nullptr;
    QAction* StatusCopyMnu = nullptr;

    // --- File ----------------------------------------------------------------------------
    void NewMnuClick();
    void OpenMnuClick();
    void SaveMnuClick();
    void SaveAsMnuClick();
    void ViewFavorites1Click();
    void CurrentFileToFavorites1Click();
    void Open1Click();
    void OpenFolder1Click();
    void OpenDOSPrompt1Click();
    void AutobackupFiles1Click();
    void FileDetailsMnuClick();
    void CopyMergeFilesMnuClick();
    void Print1Click();
    void PrintSetupMnuClick();
    void ExitMnuClick();
    // --- Edit ----------------------------------------------------------------------------
    void UndoMnuClick();
    void RedoMnuClick();
    void CutBtnClick();
    void CopyBtnClick();
    void PasteBtnClick();
    void CopyasTHML1Click();
    void ClipboardFormatData1Click();
    void SelectAllMnuClick();
    void FindMnuClick();
    void ReplaceMnuClick();
    // --- View ----------------------------------------------------------------------------
    void ShowLineNumbers1Click();
    void GoToLineNumber1Click();
    void ZoomIn1Click();
    void ZoomOUt1Click();
    void ResetZoom1Click();
    void ShowSplitEditorMnuClick();
    void ShowSecondaryEditorMnuClick();
    void SplitHorizontalMnuClick();
    void SplitVerticalMnuClick();
    void OpenHighlightedasWebPage1Click();
    void SearchHighlightedonWeb1Click();
    // --- Format --------------------------------------------------------------------------
    void RemarginMnuClick();
    void EncloseWithPair(const char* Open, const char* Close);
    // --- Tools ---------------------------------------------------------------------------
    void CharacterSetMnuClick();
    void SortHighlightedMnuClick();
    // --- Preferences ---------------------------------------------------------------------
    void SaveSettingsMnuClick();
    void RestoreSettingsMnuClick();
    void UseFactoryMnuClick();
    // --- Help ----------------------------------------------------------------------------
    void InsertText1Click();
    void Update1Click();

    // --- tool buttons without a menu twin (MainWindowToolBar.cpp) -------------------------
    void BackSearchBtnClick();
    void ForeSearchBtnClick();
    void DropMarkBtnClick();
    void GoMarkBtnClick();
    void EncloseBtnClick();
    void ShowStatusBtnClick();

    // --- pop-ups (MainWindowPopups.cpp) ---------------------------------------------------
    void CmdCutMnuClick();
    void CmdCopyMnuClick();
    void CmdPasteMnuClick();
    void CmdDeleteMnuClick();
    void SelectAllCmdMnuClick();
    void DeleteMnuClick();
    // Sets the captions of the four preset items (when the ruler's pop-up opens).
    void MarginPopupPopup();
    // Preset Index (1 to 4) becomes the margins.
    void MarginClick(int Index);
    // The status pop-up opened on Field: its item reads "Copy " and the field's text.
    void StatusPopupPopup(QLabel* Field);
    void StatusCopyMnuClick();
    // The ruler's guide line over the main pane, at ruler x X; -1 removes it.
    void DrawRulerGuide(int X);
    // A click on the box-drawing field: the next box-drawing style.
    void BoxIncBtnClick();

    // Check marks that follow their flags; called whenever a menu opens.
    void UpdateMenuChecks();
    // The split menu's marks from the panes' visibility and the divider's orientation.
    void UpdateSplitMenuChecks();
    // The Paste button and menu items: enabled exactly while the clipboard holds text.
    void EnablePaste();

    TFindReplaceDialog* FindDialog();

private:
    void CreateMenuBar();
    void CreateFileMenu();
    void CreateEditMenu();
    void CreateViewMenu();
    void CreateFormatMenu();
    void CreateToolsMenu();
    void CreatePreferencesMenu();
    void CreateHelpMenu();
    void ConnectToolBar();
    void CreatePopups();
    // A menu entry whose trigger runs Handler guarded (no exception crosses Qt).
    QAction* Item(QMenu* Menu, const char* Name, const char* Caption, std::function<void()> Handler);
    QMenu* Submenu(QMenu* Parent, const char* Name, const char* Caption);
    // The active pane (the main pane before any pane had the focus).
    TScrollEditor& Active() const;
    // Focus back to Pane after a handler.
    static void FocusBack(TScrollEditor& Pane);
    // The file chosen in the open dialog ("Open Text File"); empty when cancelled.
    std::string AskOpenFileName() const;

    TForm1& F;
    QPointer<TFindReplaceDialog> FFindDialog;
    QWidget* FGuide = nullptr;  // the ruler's guide line, a child of the main pane
    QPointer<QLabel> FStatusField;
};

}  // namespace narvo
