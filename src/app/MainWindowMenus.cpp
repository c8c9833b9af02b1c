// The main window's menu bar, every entry in its place, and the handlers of the
// entries (see MainWindowMenus.h). An entry's handler runs guarded, so a failure
// is shown in a message box and the program goes on.
#include "app/MainWindowMenus.h"

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/FindReplace.h"
#include "app/HelpServices.h"
#include "app/KeyRouting.h"
#include "app/MacroDialog.h"
#include "app/MainWindow.h"
#include "app/PreferenceDialogs.h"
#include "app/Printing.h"
#include "app/SecondEditor.h"
#include "app/Settings.h"
#include "app/SmallTools.h"
#include "app/Spelling.h"
#include "components/AutoButton.h"
#include "components/ChmHelper.h"
#include "components/RecentFiles.h"
#include "engine/EditBuffer.h"
#include "language/AppState.h"
#include "language/Margins.h"
#include "language/StatusLine.h"
#include "language/TextRegister.h"
#include "platform/Application.h"
#include "platform/Clipboard.h"
#include "platform/EmptyMenus.h"
#include "platform/FileDialogs.h"
#include "platform/KeyState.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/ProcessMemory.h"
#include "platform/posix/SafeFile.h"
#include "platform/Shell.h"
#include "platform/TextConvert.h"
#include "shared/FileFolder.h"
#include "tools/AboutBox.h"
#include "tools/AutoBackup.h"
#include "tools/BlockIndent.h"
#include "tools/ChangeCase.h"
#include "tools/CharacterChart.h"
#include "tools/ClipFormatDialog.h"
#include "tools/ColorsDialog.h"
#include "tools/EncloseText.h"
#include "tools/ExternalPrograms.h"
#include "tools/Favorites.h"
#include "tools/FileDetails.h"
#include "tools/FileTool.h"
#include "tools/GoToLineDialog.h"
#include "tools/MarginPresetsDialog.h"
#include "tools/MatchPairs.h"
#include "tools/OptionsDialog.h"
#include "tools/SevenBit.h"
#include "tools/StepWatch.h"
#include "tools/SortLines.h"
#include "tools/SpeechDialog.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProxyStyle>
#include <algorithm>
#include <optional>
#include <vector>

namespace narvo {

const char* const SampleText =
    "Now is the time for all good men to come to the aid of the party.\r"
    "See the quick brown fox jump over the lazy dog.\r"
    "Every good boy does fine. This is a sample of work done on this machine.\r"
    "This is a sample of work done on this machine.\r";

namespace {

constexpr const char* OpenFilter =
    "All Files|*.*|Text Files|*.txt;*.doc|Program Files|*.xpl;*.pas;*.c;*.cpp;*.h;*.for;*.bas;*.asm|"
    "Internet Files|*.htm|";
constexpr double ZoomStep = 0.1;

// The menu bar's style without keyboard navigation by Alt: the desktop style lets a
// lone Alt move the keyboard into the menu bar, and the next key would then be
// taken from the pane that should see it.
class TNoAltMenuBarStyle : public QProxyStyle {
public:
    int styleHint(StyleHint Hint, const QStyleOption* Option, const QWidget* Widget,
                  QStyleHintReturn* Return) const override
    {
        if (Hint == SH_MenuBar_AltKeyNavigation)
            return 0;
        return QProxyStyle::styleHint(Hint, Option, Widget, Return);
    }
};

// The text scooping collects stops (before undo and paste).
void StopScooping(TEditorEngine& Pane)
{
    if (TXRegister* R = ProgramRegister())
        R->ScoopOff(Pane, false);
}

// The folder of the document, or the current folder while it is untitled.
std::string DocumentFolder()
{
    const std::size_t Slash = CurrentFileName.rfind('/');
    if (CurrentFileName.empty() || Slash == std::string::npos)
        return GetCurrentFolder();
    return Slash == 0 ? std::string("/") : CurrentFileName.substr(0, Slash);
}

std::string Trimmed(const std::string& S)
{
    const auto Blank = [](unsigned char C) { return C <= ' '; };
    auto B = std::find_if_not(S.begin(), S.end(), Blank);
    auto E = std::find_if_not(S.rbegin(), std::string::const_reverse_iterator(B), Blank).base();
    return std::string(B, E);
}

}  // namespace

// --- sorting ----------------------------------------------------------------------------------

namespace {

// A column block's parts sorted among the lines that have one; the rest of each
// line stays where it is.
void SortColumnBlock(TEditorEngine& Pane)
{
    const TRect R = Pane.HighLight->Range();
    const std::vector<std::string> Parts = Pane.GetBlockParts(R);
    std::vector<std::size_t> Lines;  // the block's lines that have a part
    std::vector<std::string_view> Present;
    for (std::size_t I = 0; I < Parts.size(); ++I) {
        if (!Parts[I].empty()) {
            Lines.push_back(I);
            Present.push_back(Parts[I]);
        }
    }
    const std::vector<std::size_t> Order = SortedLineOrder(Present);
    std::vector<std::size_t> Take(Parts.size());  // block line -> the part it gets
    for (std::size_t K = 0; K < Lines.size(); ++K)
        Take[Lines[K]] = Lines[Order[K]];
    Pane.ReplaceBlockParts(R, [&](const TBlockPart& P) { return Parts[Take[static_cast<std::size_t>(P.Index)]]; });
}

}  // namespace

void SortHighlighted(TEditorEngine& Pane)
{
    if (!Pane.HasMark())
        return;
    if (Pane.Cursor->ColumnBlock) {
        SortColumnBlock(Pane);
        return;
    }
    // The copy, the sorted copy and the record undo keeps, asked for before any is made.
    NeedRoomFor(Pane.MarkedLength() * 3);
    const std::string Text = Pane.GetMarkedText();
    // A highlight that ends with a line break keeps it, so the line after the
    // highlight is not joined to the last sorted line.
    const bool FinalBreak = !Text.empty() && (Text.back() == '\r' || Text.back() == '\n');
    std::vector<std::string_view> Lines;
    ForEachTextLine(Text, [&](std::string_view Piece, bool Ended) {
        if (Ended || !FinalBreak)
            Lines.push_back(Piece);
    });
    const std::vector<std::size_t> Order = SortedLineOrder(Lines);
    std::string Sorted;
    Sorted.reserve(Text.size());
    for (std::size_t I = 0; I < Order.size(); ++I) {
        if (I)
            Sorted += '\r';
        Sorted += Lines[Order[I]];
    }
    if (FinalBreak)
        Sorted += '\r';
    const TRect R = TEditorEngine::NormalizeRange(Pane.HighLight->Range());
    // Groups nest: one left open by a failed insertion would take in every later
    // change, so it is closed on every path.
    struct TGroup {
        TUndoControl& Ring;
        explicit TGroup(TUndoControl& U) : Ring(U) { Ring.BeginGroup(); }
        ~TGroup() { Ring.EndGroup(); }
        TGroup(const TGroup&) = delete;
        TGroup& operator=(const TGroup&) = delete;
    } Group(*Pane.UndoList);
    HighlightForReplacement(Pane, TPoint{R.Left, R.Top}, TPoint{R.Right, R.Bottom});
    Pane.InsertText(Sorted);
}

// --- construction -----------------------------------------------------------------------------

TMainMenus::TMainMenus(TForm1& Form) : QObject(&Form), F(Form)
{
    setObjectName(QStringLiteral("Menus"));
    CreateMenuBar();
    CreatePopups();
    ConnectToolBar();
    UpdateMenuChecks();
}

TMainMenus::~TMainMenus() = default;

QAction* TMainMenus::Item(QMenu* Menu, const char* Name, const char* Caption, std::function<void()> Handler)
{
    QAction* A = Menu->addAction(QString::fromLatin1(Caption));
    A->setObjectName(QString::fromLatin1(Name));
    connect(A, &QAction::triggered, this, [H = std::move(Handler)] { RunGuarded(H); });
    return A;
}

QMenu* TMainMenus::Submenu(QMenu* Parent, const char* Name, const char* Caption)
{
    QMenu* M = Parent->addMenu(QString::fromLatin1(Caption));
    M->setObjectName(QString::fromLatin1(Name));
    DisableMenuWhileEmpty(M);
    return M;
}

void TMainMenus::CreateMenuBar()
{
    QMenuBar* Bar = F.menuBar();
    auto* Style = new TNoAltMenuBarStyle;
    Style->setParent(Bar);
    Bar->setStyle(Style);
    const auto Top = [&](const char* Name, const char* Caption) {
        QMenu* M = Bar->addMenu(QString::fromLatin1(Caption));
        M->setObjectName(QString::fromLatin1(Name));
        DisableMenuWhileEmpty(M);
        connect(M, &QMenu::aboutToShow, this, &TMainMenus::UpdateMenuChecks);
        return M;
    };
    FileMnu = Top("FileMnu", "File");
    EditMnu = Top("EditMnu", "Edit");
    ViewMnu = Top("ViewMnu", "View");
    FormatMnu = Top("FormatMnu", "Format");
    ToolsMnu = Top("ToolsMnu", "Tools");
    UserMnu = Top("UserMnu", "User");
    PreferencesMnu = Top("PreferencesMnu", "Preferences");
    HelpMnu = Top("HelpMnu", "Help");
    CreateFileMenu();
    CreateEditMenu();
    CreateViewMenu();
    CreateFormatMenu();
    CreateToolsMenu();
    CreatePreferencesMenu();
    CreateHelpMenu();
}

void TMainMenus::CreateFileMenu()
{
    QMenu* M = FileMnu;
    NewMnu = Item(M, "NewMnu", "New", [this] { NewMnuClick(); });
    OpenMnu = Item(M, "OpenMnu", "Open...", [this] { OpenMnuClick(); });
    SaveMnu = Item(M, "SaveMnu", "Save", [this] { SaveMnuClick(); });
    SaveAsMnu = Item(M, "SaveAsMnu", "Save As...", [this] { SaveAsMnuClick(); });
    M->addSeparator();
    // The documents module keeps the recent files in its own submenu.
    ReopenMnu = ReopenMenu().MenuItem();
    if (ReopenMnu) {
        ReopenMnu->setTitle(QStringLiteral("Reopen"));
        M->addMenu(ReopenMnu);
        DisableMenuWhileEmpty(ReopenMnu);
    }
    FavoritesMnu = Submenu(M, "FavoritesMnu", "Favorites");
    ViewFavorites1 = Item(FavoritesMnu, "ViewFavorites1", "View Favorites...", [this] { ViewFavorites1Click(); });
    CurrentFileToFavorites1 = Item(FavoritesMnu, "CurrentFileToFavorites1", "Current File To Favorites",
                                   [this] { CurrentFileToFavorites1Click(); });
    AdvancedFileOpsMnu = Submenu(M, "AdvancedFileOpsMnu", "Advanced File Ops");
    QMenu* A = AdvancedFileOpsMnu;
    Open1 = Item(A, "Open1", "Open Secondary File...", [this] { Open1Click(); });
    OpenFolder1 = Item(A, "OpenFolder1", "Open Folder", [this] { OpenFolder1Click(); });
    OpenDOSPrompt1 = Item(A, "OpenDOSPrompt1", "Open Terminal", [this] { OpenDOSPrompt1Click(); });
    AutobackupFiles1 = Item(A, "AutobackupFiles1", "Auto-backup Files...", [this] { AutobackupFiles1Click(); });
    FileDetailsMnu = Item(A, "FileDetailsMnu", "File Details...", [this] { FileDetailsMnuClick(); });
    CopyMergeFilesMnu = Item(A, "CopyMergeFilesMnu", "Copy/Merge Files...", [this] { CopyMergeFilesMnuClick(); });
    M->addSeparator();
    Print1 = Item(M, "Print1", "Print Preview...", [this] { Print1Click(); });
    PrintSetupMnu = Item(M, "PrintSetupMnu", "Print Highlighted...", [this] { PrintSetupMnuClick(); });
    M->addSeparator();
    ExitMnu = Item(M, "ExitMnu", "Exit", [this] { ExitMnuClick(); });
}

void TMainMenus::CreateEditMenu()
{
    QMenu* M = EditMnu;
    UndoMnu = Item(M, "UndoMnu", "Undo", [this] { UndoMnuClick(); });
    RedoMnu = Item(M, "RedoMnu", "Redo", [this] { RedoMnuClick(); });
    M->addSeparator();
    CutMnu = Item(M, "CutMnu", "Cut", [this] { CutBtnClick(); });
    CopyMnu = Item(M, "CopyMnu", "Copy", [this] { CopyBtnClick(); });
    PasteMnu = Item(M, "PasteMnu", "Paste", [this] { PasteBtnClick(); });
    CopyasTHML1 = Item(M, "CopyasTHML1", "Copy as HTML", [this] { CopyasTHML1Click(); });
    ClipboardFormatData1 =
        Item(M, "ClipboardFormatData1", "All Clipboard Formats...", [this] { ClipboardFormatData1Click(); });
    M->addSeparator();
    SelectAllMnu = Item(M, "SelectAllMnu", "Select All", [this] { SelectAllMnuClick(); });
    M->addSeparator();
    FindMnu = Item(M, "FindMnu", "Find...", [this] { FindMnuClick(); });
    ReplaceMnu = Item(M, "ReplaceMnu", "Replace...", [this] { ReplaceMnuClick(); });
}

void TMainMenus::CreateViewMenu()
{
    QMenu* M = ViewMnu;
    LineNumbersMnu = Submenu(M, "LineNumbersMnu", "Line Numbers");
    ShowLineNumbers1 =
        Item(LineNumbersMnu, "ShowLineNumbers1", "Show Line Numbers", [this] { ShowLineNumbers1Click(); });
    ShowLineNumbers1->setCheckable(true);
    GoToLineNumber1 =
        Item(LineNumbersMnu, "GoToLineNumber1", "Go To Line Number...", [this] { GoToLineNumber1Click(); });
    ZoomMnu = Submenu(M, "ZoomMnu", "Zoom");
    ZoomIn1 = Item(ZoomMnu, "ZoomIn1", "Zoom In", [this] { ZoomIn1Click(); });
    ZoomOUt1 = Item(ZoomMnu, "ZoomOUt1", "Zoom OUt", [this] { ZoomOUt1Click(); });
    ResetZoom1 = Item(ZoomMnu, "ResetZoom1", "Reset Zoom", [this] { ResetZoom1Click(); });
    SplitScreenMnu = Submenu(M, "SplitScreenMnu", "Split Screen");
    QMenu* S = SplitScreenMnu;
    ShowSplitEditorMnu = Item(S, "ShowSplitEditorMnu", "Show Split Editor", [this] { ShowSplitEditorMnuClick(); });
    ShowSecondaryEditorMnu =
        Item(S, "ShowSecondaryEditorMnu", "Show Secondary Editor", [this] { ShowSecondaryEditorMnuClick(); });
    S->addSeparator();
    SplitHorizontalMnu = Item(S, "SplitHorizontalMnu", "Split Horizontal", [this] { SplitHorizontalMnuClick(); });
    SplitVerticalMnu = Item(S, "SplitVerticalMnu", "Split Vertical", [this] { SplitVerticalMnuClick(); });
    for (QAction* A : {ShowSplitEditorMnu, ShowSecondaryEditorMnu, SplitHorizontalMnu, SplitVerticalMnu})
        A->setCheckable(true);
    InternetMnu = Submenu(M, "InternetMnu", "Internet");
    OpenHighlightedasWebPage1 = Item(InternetMnu, "OpenHighlightedasWebPage1", "Open Hightlighted As Web Page",
                                     [this] { OpenHighlightedasWebPage1Click(); });
    SearchHighlightedonWeb1 = Item(InternetMnu, "SearchHighlightedonWeb1", "Search Highlighted on Web",
                                   [this] { SearchHighlightedonWeb1Click(); });
}

void TMainMenus::CreateFormatMenu()
{
    QMenu* M = FormatMnu;
    // A transform or dialog on the active pane; the pane has the focus again after it.
    const auto OnPane = [this](QMenu* In, const char* Name, const char* Caption, void (*Run)(TScrollEditor&)) {
        return Item(In, Name, Caption, [this, Run] {
            TScrollEditor& P = Active();
            {
                const TStepWatch Watch(P);
                Run(P);
            }
            F.UpdateStatus();
            FocusBack(P);
        });
    };
    // A transform of the highlighted text: on many megabytes it passes a second, so
    // it shows that it works.
    const auto OnText = [this](QMenu* In, const char* Name, const char* Caption, void (*Run)(TScrollEditor&)) {
        return Item(In, Name, Caption, [this, Run] {
            TScrollEditor& P = Active();
            {
                const TWorkingOn Working(P.HasMark() ? P.MarkedLength() : 0);
                const TStepWatch Watch(P);
                Run(P);
            }
            F.UpdateStatus();
            FocusBack(P);
        });
    };
    RemarginMnu = Item(M, "RemarginMnu", "Remargin", [this] { RemarginMnuClick(); });
    ChangeCaseMnu = OnPane(M, "ChangeCaseMnu", "Change Case...", [](TScrollEditor&) { ShowCaseDlg(); });
    BlockIndentMnu = OnPane(M, "BlockIndentMnu", "Block Indent...", [](TScrollEditor&) { ShowIndentDlg(); });
    TabsSpacesMnu = Submenu(M, "TabsSpacesMnu", "Tabs/Spaces");
    TabsToSpacesMnu = OnText(TabsSpacesMnu, "TabsToSpacesMnu", "Tabs To Spaces", [](TScrollEditor& P) { ConvertTabsToSpaces(P); });
    SpacesToTabsMnu = OnText(TabsSpacesMnu, "SpacesToTabsMnu", "Spaces To Tabs",
                             [](TScrollEditor& P) { ConvertSpacesToTabs(P, MinimumSpace); });
    LineMarksMnu = Submenu(M, "LineMarksMnu", "Line Marks");
    InsertMarksMnu = OnText(LineMarksMnu, "InsertMarksMnu", "Insert Line Marks",
                            [](TScrollEditor& P) { InsertLineMarks(P, '>'); });
    RemoveMarksMnu = OnText(LineMarksMnu, "RemoveMarksMnu", "Remove Line Marks",
                            [](TScrollEditor& P) { RemoveLineMarks(P, '>'); });
    EncloseTextMnu = Submenu(M, "EncloseTextMnu", "Enclose Text");
    struct TPairItem {
        const char* Name;
        const char* Caption;
        const char* Open;
        const char* Close;
    };
    static constexpr TPairItem Pairs[] = {
        {"DoubleQuoteTextMnu", "Double Quotes", "\"", "\""},
        {"SingleQuoteTextMnu", "Single Quotes", "'", "'"},
        {"Parenthesis1", "Parenthesis", "(", ")"},
        {"SquareBrackets1", "Square Brackets", "[", "]"},
        {"Braces1", "Braces", "{", "}"},
        {"HTLMBold1", "HTML Bold", "<b>", "</b>"},
        {"HTMLItalic1", "HTML Italic", "<i>", "</i>"},
        {"HTMLUnderscore1", "HTML Underscore", "<u>", "</u>"},
    };
    for (const TPairItem& P : Pairs)
        Item(EncloseTextMnu, P.Name, P.Caption, [this, P] { EncloseWithPair(P.Open, P.Close); });
    EncodingMnu = Submenu(M, "EncodingMnu", "Encoding");
    RemoveHTMLMnu = OnText(EncodingMnu, "RemoveHTMLMnu", "Remove HTML", [](TScrollEditor& P) { RemoveHTML(P); });
    HexToStringMnu = OnText(EncodingMnu, "HexToStringMnu", "Convert %-Hex To String",
                            [](TScrollEditor& P) { ConvertHexToString(P); });
    StringtoHexMnu = OnText(EncodingMnu, "StringtoHexMnu", "Convert String to %-Hex",
                            [](TScrollEditor& P) { ConvertStringToHex(P); });
    Convert8bitsTo7bits1 =
        OnText(EncodingMnu, "Convert8bitsTo7bits1", "Convert 8-bits To 7-bits",
               [](TScrollEditor& P) { ConvertSelectionTo7Bit(P); });
    SpanishMnu = OnText(M, "SpanishMnu", "Convert Spanish Characters", [](TScrollEditor& P) { ApplySpanishAccents(P); });
}

void TMainMenus::CreateToolsMenu()
{
    QMenu* M = ToolsMnu;
    CharacterSetMnu = Item(M, "CharacterSetMnu", "Character Set...", [this] { CharacterSetMnuClick(); });
    MacrosMnu = Item(M, "MacrosMnu", "Macros...", [] { ShowMacroDialog(); });
    MatchPairsMnu = Item(M, "MatchPairsMnu", "Match Pairs...", [] { ShowMatchPairsDlg(); });
    SortHighlightedMnu = Item(M, "SortHighlightedMnu", "Sort Highlighted", [this] { SortHighlightedMnuClick(); });
    Speech1 = Item(M, "Speech1", "Speech...", [] { ShowSpeechDlg(); });
    SpellCheckMnu = Item(M, "SpellCheckMnu", "Spell Check", [] { SpellCheckNext(); });
    M->addSeparator();
    UserToolsMnu = Item(M, "UserToolsMnu", "Add User Tools...", [] {
        if (TExternalDlg* Dlg = ExternalDlg())
            Dlg->EditExternalPrograms();
    });
}

void TMainMenus::CreatePreferencesMenu()
{
    QMenu* M = PreferencesMnu;
    OptionsMnu = Item(M, "OptionsMnu", "Options...", [] {
        if (TOptionsDlg* Dlg = OptionsDlg())
            Dlg->ShowOptionsDlg();
    });
    FontsMnu = Item(M, "FontsMnu", "Colors/Fonts...", [] {
        if (TColorDlg* Dlg = ColorDlg())
            Dlg->ShowColorDlg();
    });
    MarginsMnu = Item(M, "MarginsMnu", "Margins...", [] {
        if (TMarginsDlg* Dlg = MarginsDlg())
            Dlg->ShowMarginsDlg();
    });
    SpellCheckerMnu =
        Item(M, "SpellCheckerMnu", "Spell Checker...", [] { ShowSpellCheckerSettings(); });
    M->addSeparator();
    SaveSettingsMnu = Item(M, "SaveSettingsMnu", "Save User Settings", [this] { SaveSettingsMnuClick(); });
    RestoreSettingsMnu =
        Item(M, "RestoreSettingsMnu", "Restore User Settings", [this] { RestoreSettingsMnuClick(); });
    UseFactoryMnu = Item(M, "UseFactoryMnu", "Use Factory Settings", [this] { UseFactoryMnuClick(); });
}

void TMainMenus::CreateHelpMenu()
{
    QMenu* M = HelpMnu;
    ContentsMnu = Item(M, "ContentsMnu", "Contents", [] { ProgramHelp().ShowTableOfContents(); });
    KeyboardCommandsMnu =
        Item(M, "KeyboardCommandsMnu", "Keyboard Commands", [] { ProgramHelp().ShowContextHelp(1); });
    HelpOnMnu = Item(M, "HelpOnMnu", "Search for Help On...",
                     [] { ProgramHelp().ShowHelp(std::string()); });
    UseHelpMnu = Item(M, "UseHelpMnu", "How to Use Help", [] { ProgramHelp().HelpOnHelp(); });
    M->addSeparator();
    AboutMnu = Item(M, "AboutMnu", "About...", [] {
        if (TAboutBox* Box = AboutBox())
            Box->exec();
    });
    DebugMnu = Submenu(M, "DebugMnu", "Debug");
    InsertText1 = Item(DebugMnu, "InsertText1", "Insert Text", [this] { InsertText1Click(); });
    Update1 = Item(DebugMnu, "Update1", "Update", [this] { Update1Click(); });
    DebugMnu->menuAction()->setVisible(false);
}

// --- helpers ----------------------------------------------------------------------------------

TScrollEditor& TMainMenus::Active() const { return F.ActiveEditor ? *F.ActiveEditor : *F.MainEditor; }

void TMainMenus::FocusBack(TScrollEditor& Pane)
{
    if (Pane.isVisible())
        Pane.setFocus();
}

std::string TMainMenus::AskOpenFileName() const
{
    TFileDialogOptions O;
    O.Title = "Open Text File";
    O.Filter = OpenFilter;
    O.InitialFolder = GetCurrentFolder();
    const std::optional<std::string> Chosen = FileDialogs().OpenFileName(O);
    return Chosen ? *Chosen : std::string();
}

TFindReplaceDialog* TMainMenus::FindDialog()
{
    if (!FFindDialog) {
        FFindDialog = new TFindReplaceDialog(&F);
        FFindDialog->Pane = [this]() -> TEditorEngine& { return Active(); };
        FFindDialog->OnSearched = [this] {
            ShowEditorStatus(Active().Status);
            F.UpdateStatus();
        };
    }
    return FFindDialog;
}

void TMainMenus::EnablePaste() { F.PasteBtn->setEnabled(ClipboardHasText()); }

void TMainMenus::UpdateMenuChecks()
{
    ShowLineNumbers1->setChecked(F.MainEditor->LineNumbers());
    UpdateSplitMenuChecks();
}

void TMainMenus::UpdateSplitMenuChecks()
{
    // Visibility within the window: the window itself may not be on the screen yet.
    ShowSplitEditorMnu->setChecked(F.Editor2->isVisibleTo(&F));
    ShowSecondaryEditorMnu->setChecked(F.Editor3->isVisibleTo(&F));
    SplitHorizontalMnu->setChecked(F.IsSplitHorizontal());
    SplitVerticalMnu->setChecked(!F.IsSplitHorizontal());
}

// --- File -------------------------------------------------------------------------------------

void TMainMenus::NewMnuClick()
{
    // Closing the document leaves the main pane a fresh text: one empty line, no
    // name, the file format reset, unmodified. Clearing it once more would be an
    // edit and mark that empty text modified. A secondary file in the third pane is
    // not closed by New, so it is left as it is whichever pane is active.
    if (!CloseTextFile())
        return;
    SetWindowTitle("");
    ForgetLineNumber();
    // The fresh text's pane becomes the active one before the status shows it, so
    // "Mod" and Save do not stay those of the secondary pane that was active.
    F.ActiveEditor = F.MainEditor;
    FocusBack(*F.MainEditor);
    F.UpdateStatus();
}

void TMainMenus::OpenMnuClick()
{
    const std::string Name = AskOpenFileName();
    if (!Name.empty())
        OpenTextFile(Name);
    F.UpdateStatus();
}

void TMainMenus::SaveMnuClick()
{
    // The text of the active pane, as "Mod" and the button show it: the secondary
    // file while its pane is active, else the document.
    if (&Active() == F.Editor3)
        SaveSecondaryIfModified(F);
    else
        SaveIfModified();
    F.UpdateStatus();
    FocusBack(Active());
}

void TMainMenus::SaveAsMnuClick()
{
    SaveTextFileAs();
    F.UpdateStatus();
    FocusBack(Active());
}

void TMainMenus::ViewFavorites1Click()
{
    if (TFavoritesDlg* Dlg = FavoritesDlg())
        Dlg->ShowFavoritesDlg();
}

void TMainMenus::CurrentFileToFavorites1Click()
{
    // An untitled document has no name to keep.
    if (TFavoritesDlg* Dlg = FavoritesDlg(); Dlg && !CurrentFileName.empty())
        Dlg->AddFavorite(CurrentFileName);
}

void TMainMenus::Open1Click()
{
    const std::string Name = AskOpenFileName();
    if (Name.empty() || !OpenSecondaryFile(F, Name))
        return;
    FocusBack(*F.Editor3);
}

// Without a file manager or a terminal the desktop does nothing at all, so the
// status line says so instead of "Ok".
void TMainMenus::OpenFolder1Click()
{
    if (!ExploreFolder(DocumentFolder()))
        ShowStatusMessage(NoFileManagerMessage, true);
}

void TMainMenus::OpenDOSPrompt1Click()
{
    if (!OpenCommandPrompt(DocumentFolder()))
        ShowStatusMessage(NoTerminalMessage, true);
}

void TMainMenus::AutobackupFiles1Click() { ShowAutoBackDlg(); }

void TMainMenus::FileDetailsMnuClick() { ShowDetailsDlg(); }

void TMainMenus::CopyMergeFilesMnuClick()
{
    if (TFileToolDlg* Dlg = FileToolDlg())
        Dlg->ShowFileToolDlg();
}

void TMainMenus::Print1Click() { PreviewMainPane(false); }

void TMainMenus::PrintSetupMnuClick() { PreviewMainPane(true); }

void TMainMenus::ExitMnuClick() { F.close(); }

// --- Edit -------------------------------------------------------------------------------------

void TMainMenus::UndoMnuClick()
{
    TScrollEditor& P = Active();
    StopScooping(P);
    P.Undo();
    ShowEditorStatus(P.Status);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::RedoMnuClick()
{
    TScrollEditor& P = Active();
    P.Redo();
    const bool Redone = P.Status != edNothingToRedo;
    ShowEditorStatus(P.Status);
    F.UpdateStatus();
    if (Redone)
        FocusBack(P);
}

void TMainMenus::CutBtnClick()
{
    TScrollEditor& E = *F.FocusedEditor();
    // Without a highlight the clipboard keeps what it holds.
    if (E.HasMark())
        E.CutMarkHtml();
    EnablePaste();
    StopScooping(Active());
    F.UpdateStatus();
    FocusBack(E);
}

void TMainMenus::CopyBtnClick()
{
    TScrollEditor& E = *F.FocusedEditor();
    if (E.HasMark())
        E.CopyMark();
    EnablePaste();
    FocusBack(E);
}

void TMainMenus::PasteBtnClick()
{
    TScrollEditor& E = *F.FocusedEditor();
    StopScooping(Active());
    E.Paste();
    ShowEditorStatus(E.Status);
    F.UpdateStatus();
    FocusBack(E);
}

void TMainMenus::CopyasTHML1Click()
{
    TScrollEditor& E = *F.FocusedEditor();
    if (E.HasMark()) {
        const TWorkingOn Working(E.MarkedLength());
        E.CopyMarkHtml();
    }
    EnablePaste();
    FocusBack(E);
}

void TMainMenus::ClipboardFormatData1Click() { ShowClipFormatDlg(); }

void TMainMenus::SelectAllMnuClick()
{
    TScrollEditor& P = Active();
    P.SelectAll();
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::FindMnuClick()
{
    TScrollEditor& P = Active();
    // Only a highlight within one line can stand in the one-line find box.
    std::string T = P.HasMark() ? P.GetMarkedText() : std::string();
    if (T.find_first_of("\r\n") != std::string::npos)
        T.clear();
    FindDialog()->ShowFind(T);
}

void TMainMenus::ReplaceMnuClick()
{
    TScrollEditor& P = Active();
    std::string T = P.HasMark() ? P.GetMarkedText() : std::string();
    if (T.find_first_of("\r\n") != std::string::npos)
        T.clear();
    FindDialog()->ShowReplace(T, T);
}

// --- View -------------------------------------------------------------------------------------

void TMainMenus::ShowLineNumbers1Click()
{
    const bool On = !F.MainEditor->LineNumbers();
    for (TScrollEditor* P : {F.MainEditor, F.Editor2, F.Editor3})
        P->SetLineNumbers(On);
    ShowLineNumbers1->setChecked(On);
    F.UpdateStatus();
}

void TMainMenus::GoToLineNumber1Click()
{
    if (TLineNumDlg* Dlg = LineNumDlg())
        Dlg->ShowLineNumDlg();
}

void TMainMenus::ZoomIn1Click()
{
    TScrollEditor& P = Active();
    P.SetScale(P.Scale() + ZoomStep);
    F.UpdateStatus();
}

void TMainMenus::ZoomOUt1Click()
{
    TScrollEditor& P = Active();
    P.SetScale(std::max(1.0, P.Scale() - ZoomStep));
    F.UpdateStatus();
}

void TMainMenus::ResetZoom1Click()
{
    Active().SetScale(1.0);
    F.UpdateStatus();
}

void TMainMenus::ShowSplitEditorMnuClick()
{
    narvo::ShowSplitEditorMnuClick(F);
    UpdateSplitMenuChecks();
}

void TMainMenus::ShowSecondaryEditorMnuClick()
{
    narvo::ShowSecondaryEditorMnuClick(F);
    UpdateSplitMenuChecks();
}

void TMainMenus::SplitHorizontalMnuClick()
{
    SetSplitOrientation(F, true);
    UpdateSplitMenuChecks();
}

void TMainMenus::SplitVerticalMnuClick()
{
    SetSplitOrientation(F, false);
    UpdateSplitMenuChecks();
}

void TMainMenus::OpenHighlightedasWebPage1Click()
{
    TScrollEditor& P = Active();
    if (!P.HasMark())
        return;
    std::string Address = Trimmed(P.GetMarkedText());
    if (Address.empty())
        return;
    // A bare host name ("www.example.org") is a web address, not a local file.
    if (Address.find("://") == std::string::npos)
        Address = "http://" + Address;
    OpenDocument(Address);
}

void TMainMenus::SearchHighlightedonWeb1Click()
{
    TScrollEditor& P = Active();
    if (P.HasMark())
        WebSearch(P.GetMarkedText());
}

// --- Format -----------------------------------------------------------------------------------

void TMainMenus::RemarginMnuClick()
{
    TScrollEditor& P = Active();
    {
        const TStepWatch Watch(P);
        if (AltDown())
            UnwrapParagraph(P);
        else
            RemarginParagraph(P, LeftMargin, RightMargin, ParaIndent);
    }
    P.RefreshView(true);
    F.UpdateStatus();
    FocusBack(P);
}

void TMainMenus::EncloseWithPair(const char* Open, const char* Close)
{
    TScrollEditor& P = Active();
    if (TEncloseDlg* Dlg = EncloseDlg())
        Dlg->EnclosePairNow(Open, Close);
    F.UpdateStatus();
    FocusBack(P);
}

// --- Tools ------------------------------------------------------------------------------------

void TMainMenus::CharacterSetMnuClick()
{
    const TScrollEditor& P = Active();
    ShowCharacterChart(P.font(), P.FontCharset());
}

void TMainMenus::SortHighlightedMnuClick()
{
    TScrollEditor& P = Active();
    {
        const TWorkingOn Working(P.HasMark() ? P.MarkedLength() : 0);
        SortHighlighted(P);
    }
    F.UpdateStatus();
    FocusBack(P);
}

// --- Preferences ------------------------------------------------------------------------------

void TMainMenus::SaveSettingsMnuClick() { SaveSettings(); }

void TMainMenus::RestoreSettingsMnuClick()
{
    LoadSettings();
    F.UpdateStatus();
}

void TMainMenus::UseFactoryMnuClick()
{
    SetFactoryDefaults();
    F.UpdateStatus();
}

// --- Help > Debug -----------------------------------------------------------------------------

void TMainMenus::InsertText1Click()
{
    TScrollEditor& P = Active();
    // One insertion with its undo record: an insertion the undo ring did not know
    // of would make every older record undo at the wrong place.
    std::string Text;
    for (int I = 0; I < 10; ++I)
        Text += SampleText;
    P.InsertText(Text);
    P.RefreshView(true);
    FocusBack(P);
}

void TMainMenus::Update1Click()
{
    TScrollEditor& P = Active();
    P.RefreshView(true);
    FocusBack(P);
}

}  // namespace narvo
