// The spelling dialog and its settings (see SpellDialog.h).
#include "tools/SpellDialog.h"

#include "components/ChmHelper.h"
#include "components/EnterButton.h"
#include "editor/ScrollEditor.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramFolder.h"
#include "platform/Shell.h"
#include "platform/TextConvert.h"
#include "platform/posix/IniFile.h"
#include "platform/posix/SafeFile.h"
#include "platform/posix/SettingsFolder.h"
#include "shared/CharClass.h"
#include "tools/SpellChecker.h"
#include "tools/TextToolHooks.h"
#include "tools/ToolWalk.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <climits>
#include <cstdlib>
#include <unistd.h>

#include <algorithm>

namespace narvo {

TSpellChecker* SpellChecker = nullptr;
std::string DictionaryFile;

namespace {

constexpr const char* IniName = "NrvDictionary.ini";
constexpr int SpellHelpContext = 14;

QPointer<TSpellingDlg> GSpellingDlg;

std::string Text(const QLineEdit* Edit) { return QStringToAnsi(Edit->text()); }

}  // namespace

namespace {

constexpr const char* DictionaryBaseName = "NRVSmall.dix";

std::string UserDictionaryFile() { return SettingsFilePath(DictionaryBaseName); }

std::string RealPath(const std::string& Path)
{
    char Buffer[PATH_MAX];
    return ::realpath(Path.c_str(), Buffer) ? std::string(Buffer) : Path;
}

bool InProgramFolder(const std::string& Path)
{
    const std::string Folder = RealPath(ProgramFolder()) + "/";
    return RealPath(Path).rfind(Folder, 0) == 0;
}

// A write to "NrvDictionary.ini" when the user marked it read-only: asked as for
// every file of the user's; kept, it says so.
bool MayWriteSpellSettings(const TIniFile& Ini)
{
    if (AgreeToReplaceReadOnly(Ini.FileName()))
        return true;
    MessageDlg(NotWrittenText(Ini.FileName()) + ".", mtInformation, mbOK);
    return false;
}

}  // namespace

std::string DefaultDictionaryFile()
{
    const std::string User = UserDictionaryFile();
    return FileExists(User) ? User : ProgramFolder() + "/" + DictionaryBaseName;
}

void SaveDictionary()
{
    if (!SpellChecker)
        return;
    // A word list the user marked read-only keeps its words unless the user agrees;
    // the words stay known for this run.
    if (!DictionaryFile.empty() && !InProgramFolder(DictionaryFile)) {
        if (AgreeToReplaceReadOnly(DictionaryFile))
            SpellChecker->SaveToFile(DictionaryFile);
        return;
    }
    EnsureSettingsFolder();
    const std::string Copy = UserDictionaryFile();
    if (!AgreeToReplaceReadOnly(Copy))
        return;
    // Private, and made whole or not at all: an empty copy left by a failed write
    // would hide the shipped word list at the next start.
    SpellChecker->SaveToFile(Copy, 0600);
    DictionaryFile = Copy;
    // The copy is found at the next start by its place alone; the settings file is
    // told of it only where the user lets it be written.
    TIniFile Ini(IniName);
    if (!MayWriteSpellSettings(Ini))
        return;
    Ini.WriteString("Files", "Dictionary", DictionaryFile);
    Ini.UpdateFile();
}

bool LoadDictionary()
{
    if (!SpellChecker || DictionaryFile.empty())
        return false;
    // A window started before another one made the user's copy still names the
    // shipped list; the copy is that list with the user's words, which this window
    // would not know of, and would hide again by storing the shipped list's name.
    if (FileExists(UserDictionaryFile()) && RealPath(DictionaryFile) == RealPath(ProgramFolder() + "/" + DictionaryBaseName))
        DictionaryFile = UserDictionaryFile();
    if (!FileExists(DictionaryFile))
        return false;
    SpellChecker->LoadFromFile(DictionaryFile);
    return true;
}

bool InWebAddress(char Before, char After)
{
    auto Joint = [](char C) { return C == '.' || C == '/' || C == '@' || C == '\\'; };
    return (Joint(Before) && Joint(After)) || Before == '@' || After == '@' || Before == '.';
}

TSpellProblem FindNextProblem(TScrollEditor& Pane, const TSpellChecker& Checker, bool IgnoreURLs, TRect& Range,
                              TToolWalk* Walk)
{
    std::string Previous;
    if (Pane.AtEnd()) {
        Pane.Status = edAtEnd;
        return spNone;
    }
    // The message loop runs inside the walk: the pane may go or its text change
    // meanwhile, and the walk's positions would then be another text's.
    const QPointer<TScrollEditor> Alive(&Pane);
    const std::int64_t Changes = Pane.ChangeCount;
    TPoint P = Pane.Cursor->Pos();
    do {
        Pane.GetWordBounds(P, Range);
        const std::string Word = Pane.GetRangeText(Range);
        bool Skip = Word.empty();
        if (!Skip && IgnoreURLs) {
            char Before = 0, After = 0;
            Pane.GetCharsAroundRange(Range, Before, After);
            Skip = InWebAddress(Before, After);
        }
        if (!Skip) {
            if (!Checker.CheckWord(Word))
                return spUnknownWord;
            if (Word == Previous &&
                std::none_of(Previous.begin(), Previous.end(), [](char C) { return IsDigit(static_cast<unsigned char>(C)); }))
                return spDoubleWord;
        }
        P = TPoint{Range.Right, Range.Bottom};
        Pane.Status = Pane.NextPos(P) ? edDone : edAtEnd;
        if (Walk && (!Walk->Step(static_cast<std::int64_t>(Word.size()) + 1) || !Alive || Pane.ChangeCount != Changes)) {
            Walk->Stop();
            if (Alive)
                Pane.Status = edDone;
            return spStopped;
        }
        Previous = Word;
    } while (Pane.Status != edAtEnd);
    return spNone;
}

// --- the form ---------------------------------------------------------------------------------

TSpellingDlg::TSpellingDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName(QStringLiteral("SpellingDlg"));
    setWindowFlags(windowFlags() | Qt::WindowStaysOnTopHint);
    Pages = new QStackedWidget(this);
    Pages->addWidget(CreateWordPage());
    Pages->addWidget(CreateOptionsPage());
    Pages->addWidget(CreateDoublePage());
    // The form takes the size of the page it shows, not that of its largest page.
    const auto FitToPage = [this](int Shown) {
        for (int I = 0; I < Pages->count(); ++I) {
            const auto Policy = I == Shown ? QSizePolicy::Preferred : QSizePolicy::Ignored;
            Pages->widget(I)->setSizePolicy(Policy, Policy);
        }
        Pages->adjustSize();
        adjustSize();
        // Enter is the page's own action: Replace on the unknown word's page, OK on
        // the options (the first button of the form took it otherwise).
        ReplaceBtn->setDefault(Shown == 0);
        OkBtn->setDefault(Shown == 1);
    };
    connect(Pages, &QStackedWidget::currentChanged, this, FitToPage);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    SetDialogHelp(this, HelpBtn, SpellHelpContext);
    auto* Layout = new QVBoxLayout(this);
    Layout->addWidget(Pages);
    auto* Bottom = new QHBoxLayout;
    Bottom->addStretch();
    Bottom->addWidget(HelpBtn);
    Layout->addLayout(Bottom);
    FitToPage(Pages->currentIndex());
    // FormCreate: the engine lives as long as the form.
    FChecker = std::make_unique<TSpellChecker>();
    SpellChecker = FChecker.get();
    LoadSpellSettings();
}

TSpellingDlg::~TSpellingDlg()
{
    if (SpellChecker == FChecker.get())
        SpellChecker = nullptr;
}

void TSpellingDlg::OnClick(QPushButton* Button, std::function<void()> Handler)
{
    connect(Button, &QPushButton::clicked, this, [H = std::move(Handler)] { RunGuarded(H); });
}

QWidget* TSpellingDlg::CreateWordPage()
{
    auto* Page = new QWidget;
    auto* G = new QGridLayout(Page);
    auto Button = [&](QPushButton*& B, const char* Caption) {
        B = new QPushButton(QString::fromLatin1(Caption), Page);
        return B;
    };
    G->addWidget(new QLabel(QStringLiteral("Word Not Found"), Page), 0, 0);
    NotFoundEdit = new QLineEdit(Page);
    NotFoundEdit->setReadOnly(true);
    NotFoundEdit->setStyleSheet(QStringLiteral("background: silver"));
    G->addWidget(NotFoundEdit, 1, 0);
    G->addWidget(Button(Suggest1Btn, "Suggestion From ->"), 1, 1);
    G->addWidget(new QLabel(QStringLiteral("Replacement"), Page), 2, 0);
    ReplaceEdit = new QLineEdit(Page);
    G->addWidget(ReplaceEdit, 3, 0);
    G->addWidget(Button(Suggest2Btn, "Suggestion From ->"), 3, 1);
    G->addWidget(new QLabel(QStringLiteral("Suggestions "), Page), 4, 0);
    SuggestList = new QListWidget(Page);
    G->addWidget(SuggestList, 5, 0, 6, 1);
    G->addWidget(Button(IgnoreBtn, "Ignore"), 5, 1);
    G->addWidget(Button(ReplaceBtn, "Replace"), 6, 1);
    G->addWidget(Button(IgnoreAllBtn, "Ignore All"), 7, 1);
    auto* AddGroup = new QGroupBox(QStringLiteral("Add To Dictionary"), Page);
    auto* AddLayout = new QVBoxLayout(AddGroup);
    AddLayout->addWidget(Button(AddNotFoundBtn, "Add Not Found"));
    AddLayout->addWidget(Button(AddReplaceBtn, "Add Replacement"));
    G->addWidget(AddGroup, 8, 1);
    G->addWidget(Button(SplitWordBtn, "Split Words"), 9, 1);
    G->addWidget(Button(HyphenateBtn, "Hyphenated"), 10, 1);
    G->addWidget(Button(QuoteBtn, "Quote Word"), 11, 1);
    WordSoundChk = new QCheckBox(QStringLiteral("Use Word Sound"), Page);
    G->addWidget(WordSoundChk, 11, 0);
    auto* Row = new QHBoxLayout;
    Row->addWidget(Button(GoogleBtn, "Google"));
    Row->addWidget(Button(DictBtn, "Dictionary"));
    Row->addStretch();
    Row->addWidget(Button(CancelBtn, "Cancel"));
    G->addLayout(Row, 12, 0, 1, 2);

    OnClick(Suggest1Btn, [this] { FillSuggestions(Text(NotFoundEdit)); });
    OnClick(Suggest2Btn, [this] { FillSuggestions(Text(ReplaceEdit)); });
    OnClick(IgnoreBtn, [this] { IgnoreBtnClick(); });
    OnClick(ReplaceBtn, [this] { ReplaceBtnClick(); });
    OnClick(IgnoreAllBtn, [this] { IgnoreAllBtnClick(); });
    OnClick(AddNotFoundBtn, [this] { AddNotFoundBtnClick(); });
    OnClick(AddReplaceBtn, [this] { AddReplaceBtnClick(); });
    OnClick(SplitWordBtn, [this] { SplitWordBtnClick(false); });
    OnClick(HyphenateBtn, [this] { SplitWordBtnClick(true); });
    OnClick(QuoteBtn, [this] { QuoteBtnClick(); });
    OnClick(GoogleBtn, [this] {
        if (!NotFoundEdit->text().isEmpty())
            WebSearch(Text(NotFoundEdit));
    });
    OnClick(DictBtn, [this] {
        if (!NotFoundEdit->text().isEmpty())
            DictionaryLookup(Text(NotFoundEdit));
    });
    OnClick(CancelBtn, [this] { hide(); });
    PressOnEnter(ReplaceEdit, ReplaceBtn);
    connect(SuggestList, &QListWidget::itemClicked, this,
            [this](QListWidgetItem* Item) { ReplaceEdit->setText(Item->text()); });
    connect(WordSoundChk, &QCheckBox::clicked, this,
            [this] { RunGuarded([this] { FillSuggestions(Text(NotFoundEdit)); }); });
    return Page;
}

QWidget* TSpellingDlg::CreateOptionsPage()
{
    auto* Page = new QWidget;
    auto* V = new QVBoxLayout(Page);
    auto* DictGroup = new QGroupBox(QStringLiteral("Current Dictionary"), Page);
    auto* DictRow = new QHBoxLayout(DictGroup);
    DictEdit = new QLineEdit(DictGroup);
    DictEdit->setReadOnly(true);
    BroweDictBtn = new QPushButton(QStringLiteral("Browse"), DictGroup);
    DictRow->addWidget(DictEdit);
    DictRow->addWidget(BroweDictBtn);
    V->addWidget(DictGroup);

    auto* NormGroup = new QGroupBox(QStringLiteral("Normalize Dictionary"), Page);
    auto* NormRow = new QHBoxLayout(NormGroup);
    NormRow->addWidget(new QLabel(QStringLiteral("Duplicates"), NormGroup));
    DupsDis = new QLabel(NormGroup);
    DupsDis->setFrameShape(QFrame::Panel);
    DupsDis->setMinimumWidth(60);
    Gauge1 = new QProgressBar(NormGroup);
    Gauge1->setRange(0, 100);
    Gauge1->setValue(0);
    NormalizeBtn = new QPushButton(QStringLiteral("Normalize"), NormGroup);
    NormRow->addWidget(DupsDis);
    NormRow->addWidget(Gauge1);
    NormRow->addWidget(NormalizeBtn);
    V->addWidget(NormGroup);

    auto* OptGroup = new QGroupBox(QStringLiteral("Options"), Page);
    auto* OptLayout = new QVBoxLayout(OptGroup);
    NumberChk = new QCheckBox(QStringLiteral("Ignore Words With Numbers"), OptGroup);
    UppercaseChk = new QCheckBox(QStringLiteral("Ignore Upper Case Words"), OptGroup);
    SplitWordChk = new QCheckBox(QStringLiteral("Show Split Words Suggestions"), OptGroup);
    IgnoreURLChk = new QCheckBox(QStringLiteral("Ignore URLs/Email Addresses"), OptGroup);
    for (QCheckBox* C : {NumberChk, UppercaseChk, SplitWordChk, IgnoreURLChk})
        OptLayout->addWidget(C);
    V->addWidget(OptGroup);

    auto* CountRow = new QHBoxLayout;
    CountRow->addWidget(new QLabel(QStringLiteral(" Word Count:"), Page));
    WordCountDis = new QLabel(Page);
    CountRow->addWidget(WordCountDis);
    CountRow->addStretch();
    ClearIgnoreBtn = new QPushButton(QStringLiteral("Clear Ignore List"), Page);
    CountRow->addWidget(ClearIgnoreBtn);
    V->addLayout(CountRow);

    auto* RemoveGroup = new QGroupBox(QStringLiteral("Remove Word From Dictionary"), Page);
    auto* RemoveRow = new QHBoxLayout(RemoveGroup);
    RemoveEdit = new QLineEdit(RemoveGroup);
    RemoveBtn = new QPushButton(QStringLiteral("Remove"), RemoveGroup);
    RemoveRow->addWidget(RemoveEdit);
    RemoveRow->addWidget(RemoveBtn);
    V->addWidget(RemoveGroup);

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch();
    OkBtn = new QPushButton(QStringLiteral("OK"), Page);
    OptionsCancelBtn = new QPushButton(QStringLiteral("Cancel"), Page);
    Buttons->addWidget(OkBtn);
    Buttons->addWidget(OptionsCancelBtn);
    V->addLayout(Buttons);

    OnClick(BroweDictBtn, [this] { BroweDictBtnClick(); });
    OnClick(NormalizeBtn, [this] { NormalizeBtnClick(); });
    OnClick(ClearIgnoreBtn, [this] { ClearIgnoreBtnClick(); });
    OnClick(RemoveBtn, [this] { RemoveBtnClick(); });
    PressOnEnter(RemoveEdit, RemoveBtn);
    connect(OkBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(OptionsCancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    return Page;
}

QWidget* TSpellingDlg::CreateDoublePage()
{
    auto* Page = new QWidget;
    auto* V = new QVBoxLayout(Page);
    V->addWidget(new QLabel(QStringLiteral("Double Word"), Page));
    DoubleWordEdit = new QLineEdit(Page);
    DoubleWordEdit->setReadOnly(true);
    V->addWidget(DoubleWordEdit);
    auto* Row = new QHBoxLayout;
    DeleteBtn = new QPushButton(QStringLiteral("Delete"), Page);
    IgnoreDoubleBtn = new QPushButton(QStringLiteral("Ignore"), Page);
    DoubleCancelBtn = new QPushButton(QStringLiteral("Cancel"), Page);
    Row->addWidget(DeleteBtn);
    Row->addWidget(IgnoreDoubleBtn);
    Row->addWidget(DoubleCancelBtn);
    V->addLayout(Row);
    V->addStretch();
    OnClick(DeleteBtn, [this] { DeleteBtnClick(); });
    OnClick(IgnoreDoubleBtn, [this] { IgnoreBtnClick(); });
    OnClick(DoubleCancelBtn, [this] { hide(); });
    return Page;
}

// --- settings -----------------------------------------------------------------------------------

namespace {

struct TSpellKey {
    const char* Section;
    const char* Key;
};
constexpr TSpellKey SpellKeys[] = {{"Files", "Dictionary"},
                                   {"Options", "IgnoreNumbers"},
                                   {"Options", "IgnoreUppercase"},
                                   {"Options", "IgnoreURLS"},
                                   {"Options", "SplitWords"}};

}  // namespace

std::vector<std::string> TSpellingDlg::SpellSettingValues() const
{
    const auto Bool = [](bool B) { return std::string(B ? "1" : "0"); };
    return {DictionaryFile, Bool(SpellChecker->IgnoreNumbers), Bool(SpellChecker->IgnoreUppercase),
            Bool(IgnoreURLChk->isChecked()), Bool(SplitWordChk->isChecked())};
}

void TSpellingDlg::LoadSpellSettings()
{
    TIniFile Ini(IniName);
    DictionaryFile = Ini.ReadString("Files", "Dictionary", DefaultDictionaryFile());
    SpellChecker->IgnoreNumbers = Ini.ReadBool("Options", "IgnoreNumbers", true);
    SpellChecker->IgnoreUppercase = Ini.ReadBool("Options", "IgnoreUppercase", false);
    IgnoreURLChk->setChecked(Ini.ReadBool("Options", "IgnoreURLS", true));
    SplitWordChk->setChecked(Ini.ReadBool("Options", "SplitWords", true));
    FSettingsInFile = SpellSettingValues();
}

void TSpellingDlg::SaveSpellSettings()
{
    TIniFile Ini(IniName);
    std::vector<std::string> Now = SpellSettingValues();
    std::vector<std::size_t> Changed;
    for (std::size_t I = 0; I < Now.size(); ++I) {
        const TSpellKey& K = SpellKeys[I];
        if (FSettingsInFile.size() != Now.size() || FSettingsInFile[I] != Now[I] || !Ini.ValueExists(K.Section, K.Key))
            Changed.push_back(I);
    }
    if (Changed.empty() || !MayWriteSpellSettings(Ini))
        return;
    for (const std::size_t I : Changed)
        Ini.WriteString(SpellKeys[I].Section, SpellKeys[I].Key, Now[I]);
    Ini.UpdateFile();
    FSettingsInFile = std::move(Now);
}

// --- spell checking ---------------------------------------------------------------------------

TScrollEditor* TSpellingDlg::Pane() const
{
    // The text pane that last had the focus, else the main pane.
    if (TScrollEditor* Active = ToolActiveEditor())
        return Active;
    return ToolMainEditor();
}

void TSpellingDlg::SpellCheckNext()
{
    if (!SpellChecker->Loaded && !LoadDictionary()) {
        MessageDlg(DictionaryNotFoundMessage, mtWarning, mbOK);
        return;
    }
    TScrollEditor* P = Pane();
    if (!P)
        return;
    TRect Range;
    const QPointer<TScrollEditor> Alive(P);
    TSpellProblem Kind = spNone;
    {
        // The dialog stays up while the walk looks for the next problem: its Cancel
        // and Close stop it, as Ctrl+Break and the user's key or click do.
        TToolWalk Walk(isVisible() ? this : nullptr, {}, P->Strings->TextLength(1));
        Kind = FindNextProblem(*P, *SpellChecker, IgnoreURLChk->isChecked(), Range, &Walk);
        // Stopped, the dialog goes before the input held by the walk is delivered:
        // a click on one of its buttons acts on no word.
        if (Kind == spStopped && isVisible())
            hide();
    }
    if (Kind == spStopped || !Alive)
        return;
    if (Kind == spNone) {
        if (isVisible())
            hide();
        MessageDlg("Finished Spell Checking", mtInformation, mbOK);
        if (P->isVisible())
            P->setFocus();
        return;
    }
    // A plain stream highlight, whatever the pane showed before: left a search
    // match, Replace would insert beside the word.
    P->SetStreamHighlight(TPoint{Range.Left, Range.Top}, TPoint{Range.Right, Range.Bottom});
    P->GotoPos(TPoint{Range.Right, Range.Bottom});
    const QString Word = AnsiToQString(P->GetRangeText(Range));
    if (Kind == spUnknownWord) {
        Pages->setCurrentIndex(0);
        setWindowTitle(QStringLiteral("Word Not Found"));
        NotFoundEdit->setText(Word);
        FillSuggestions(Text(NotFoundEdit));
    } else {
        Pages->setCurrentIndex(2);
        setWindowTitle(QStringLiteral("Double Word"));
        DoubleWordEdit->setText(Word);
    }
    show();
    raise();
}

void TSpellingDlg::Next()
{
    // The dialog is hidden by SpellCheckNext when it finds nothing more or is stopped.
    SpellCheckNext();
}

void TSpellingDlg::ShowSlots()
{
    SuggestList->clear();
    for (const TSuggestItem& S : SpellChecker->Suggestions)
        if (S.Score >= 0)
            SuggestList->addItem(AnsiToQString(S.Word));
    if (SuggestList->count() > 0) {
        SuggestList->setCurrentRow(0);
        ReplaceEdit->setText(SuggestList->item(0)->text());
    }
}

void TSpellingDlg::FillSuggestions(const std::string& Word)
{
    SpellChecker->UseWordSound = WordSoundChk->isChecked();
    SpellChecker->Suggest(Word, SplitWordChk->isChecked());
    ShowSlots();
}

void TSpellingDlg::SplitWordBtnClick(bool Hyphen)
{
    SpellChecker->SplitSuggestions(Text(NotFoundEdit), true, Hyphen);
    ShowSlots();
}

void TSpellingDlg::ReplaceBtnClick()
{
    if (TScrollEditor* P = Pane())
        P->InsertText(Text(ReplaceEdit));
    Next();
}

void TSpellingDlg::IgnoreBtnClick()
{
    if (TScrollEditor* P = Pane())
        P->CursorRight();
    Next();
}

void TSpellingDlg::IgnoreAllBtnClick()
{
    SpellChecker->IgnoreWord(Text(NotFoundEdit));
    Next();
}

void TSpellingDlg::AddNotFoundBtnClick()
{
    SpellChecker->AddWord(Text(NotFoundEdit));
    SaveDictionary();
    Next();
}

void TSpellingDlg::AddReplaceBtnClick()
{
    SpellChecker->AddWord(Text(ReplaceEdit));
    SaveDictionary();
    FillSuggestions(Text(ReplaceEdit));
}

void TSpellingDlg::DeleteBtnClick()
{
    if (TScrollEditor* P = Pane())
        P->DeleteMark();
    Next();
}

void TSpellingDlg::QuoteBtnClick() { ReplaceEdit->setText(QLatin1Char('"') + NotFoundEdit->text() + QLatin1Char('"')); }

// --- options ------------------------------------------------------------------------------------

void TSpellingDlg::ShowWordCount() { WordCountDis->setText(QString::number(SpellChecker->WordCount())); }

void TSpellingDlg::ShowSpellOptions()
{
    Pages->setCurrentIndex(1);
    setWindowTitle(QStringLiteral("Spell Checker Options"));
    if (!SpellChecker->Loaded)
        LoadDictionary();
    DictEdit->setText(FileNameToQString(DictionaryFile));
    NumberChk->setChecked(SpellChecker->IgnoreNumbers);
    UppercaseChk->setChecked(SpellChecker->IgnoreUppercase);
    ShowWordCount();
    const int Result = exec();
    if (Result == QDialog::Accepted) {
        SpellChecker->IgnoreNumbers = NumberChk->isChecked();
        SpellChecker->IgnoreUppercase = UppercaseChk->isChecked();
        // A name that is not UTF-8 is shown with U+FFFD in it: what the user did not
        // edit stays the bytes it was.
        DictionaryFile = EditedFileName(DictionaryFile, DictEdit->text());
    }
}

void TSpellingDlg::BroweDictBtnClick()
{
    TFileDialogOptions O;
    O.Title = "Open";
    O.Filter = "Dictionary Files (*.dix)|*.DIX|Text Files (*.txt)|*.TXT|All Files|*.*";
    O.FileName = "nrvdictionary.dix";
    // The shown name's own bytes: a folder whose name is not UTF-8 shows with U+FFFD.
    O.InitialFolder =
        DictEdit->text().isEmpty() ? std::string(".") : FolderOfPath(EditedFileName(DictionaryFile, DictEdit->text()));
    const auto Chosen = FileDialogs().OpenFileName(O);
    if (!Chosen)
        return;
    DictionaryFile = *Chosen;
    DictEdit->setText(FileNameToQString(DictionaryFile));
    if (!LoadDictionary())
        MessageDlg(DictionaryNotFoundMessage, mtWarning, mbOK);
    ShowWordCount();
}

void TSpellingDlg::NormalizeBtnClick()
{
    const int Dups = SpellChecker->Normalize([this](int Percent) {
        if (Gauge1->value() != Percent)
            Gauge1->setValue(Percent);
    });
    DupsDis->setText(QString::number(Dups));
    SaveDictionary();
    ShowWordCount();
}

void TSpellingDlg::ClearIgnoreBtnClick() { SpellChecker->ClearIgnoreList(); }

void TSpellingDlg::RemoveBtnClick()
{
    const std::string Word = Text(RemoveEdit);
    if (SpellChecker->RemoveWord(Word)) {
        SaveDictionary();
        MessageDlg("Word: " + Word + " Removed", mtInformation, mbOK);
        ShowWordCount();
    } else {
        MessageDlg("Word: " + Word + " Not Found", mtWarning, mbOK);
    }
}

// --- the run's dialog ---------------------------------------------------------------------------

TSpellingDlg* SpellingDlg(QWidget* Parent)
{
    if (!GSpellingDlg)
        GSpellingDlg = new TSpellingDlg(Parent);
    return GSpellingDlg;
}

void FreeSpellingDlg() { delete GSpellingDlg; }

}  // namespace narvo
