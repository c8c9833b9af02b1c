// The user tools (see ExternalPrograms.h).
#include "tools/ExternalPrograms.h"

#include "components/ChmHelper.h"
#include "components/IniLists.h"
#include "components/Progmon.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "platform/posix/IniFile.h"
#include "shared/ListMerge.h"
#include "tools/TextToolHooks.h"

#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace narvo {

// --- expansion -------------------------------------------------------------------------------

void SplitFileName(const std::string& Name, std::string& Folder, std::string& FileName, std::string& Ext,
                   std::string& Base)
{
    const std::size_t Slash = Name.rfind('/');
    Folder = Slash == std::string::npos ? std::string() : Name.substr(0, Slash + 1);
    FileName = Slash == std::string::npos ? Name : Name.substr(Slash + 1);
    const std::size_t Dot = FileName.rfind('.');
    if (Dot == std::string::npos || Dot == 0) {
        Ext.clear();
        Base = FileName;
    } else {
        Ext = FileName.substr(Dot + 1);
        Base = FileName.substr(0, Dot);
    }
}

namespace {

// The command being expanded, with each byte marked as the template's own text or
// as an inserted value; only the template's own bytes hold codes, blanks and quotes.
struct TCommandText {
    std::string Text;
    std::string Own;  // '1' for a byte of the template, '0' for an inserted one

    std::size_t FindCode(char Code) const
    {
        for (std::size_t I = 0; I + 1 < Text.size(); ++I)
            if (Text[I] == '%' && Own[I] == '1' && Own[I + 1] == '1' &&
                (static_cast<unsigned char>(Text[I + 1]) | 0x20) == static_cast<unsigned char>(Code))
                return I;
        return std::string::npos;
    }
};

// Deletes the first Code; true when there was one.
bool RemoveCode(char Code, TCommandText& Command)
{
    const std::size_t At = Command.FindCode(Code);
    if (At == std::string::npos)
        return false;
    Command.Text.erase(At, 2);
    Command.Own.erase(At, 2);
    return true;
}

void ReplaceCode(char Code, const std::string& Value, TCommandText& Command)
{
    const std::size_t At = Command.FindCode(Code);
    if (At == std::string::npos)
        return;
    Command.Text.replace(At, 2, Value);
    Command.Own.replace(At, 2, std::string(Value.size(), '0'));
}

bool IsBlank(char C) { return C == ' ' || C == '\t'; }

// Words at the template's own blanks; the template's own double quotes group blanks
// into a word and are dropped, two quotes inside quotes stand for one.
std::vector<std::string> SplitWords(const TCommandText& Command)
{
    std::vector<std::string> Words;
    std::string Word;
    bool InWord = false, Quoted = false;
    const std::string& T = Command.Text;
    for (std::size_t I = 0; I < T.size(); ++I) {
        const bool Own = Command.Own[I] == '1';
        if (Own && T[I] == '"') {
            if (Quoted && I + 1 < T.size() && T[I + 1] == '"' && Command.Own[I + 1] == '1') {
                Word += '"';
                ++I;
            } else {
                Quoted = !Quoted;
            }
            InWord = true;
        } else if (Own && !Quoted && IsBlank(T[I])) {
            if (InWord)
                Words.push_back(std::move(Word));
            Word.clear();
            InWord = false;
        } else {
            Word += T[I];
            InWord = true;
        }
    }
    if (InWord)
        Words.push_back(std::move(Word));
    return Words;
}

}  // namespace

TExpandedCommand ExpandCommand(const std::string& Template, const std::string& Name)
{
    std::string Folder, FileName, Ext, Base;
    SplitFileName(Name, Folder, FileName, Ext, Base);
    TCommandText C{Template, std::string(Template.size(), '1')};
    TExpandedCommand Result;
    Result.SaveFirst = RemoveCode('s', C);
    Result.GotoLine = RemoveCode('l', C);
    ReplaceCode('w', Name, C);
    ReplaceCode('p', Folder, C);
    ReplaceCode('f', FileName, C);
    ReplaceCode('n', Base, C);
    ReplaceCode('e', Ext, C);
    ReplaceCode('o', Folder + Base, C);
    Result.Words = SplitWords(C);
    Result.Text = std::move(C.Text);
    return Result;
}

std::string SystemFileName(const std::string& Name)
{
    if (Name.empty())
        return {};
    char* Resolved = ::realpath(Name.c_str(), nullptr);
    if (!Resolved)
        return {};
    std::string Result(Resolved);
    std::free(Resolved);
    return Result;
}

// --- the dialog ------------------------------------------------------------------------------

namespace {

constexpr int PathRole = Qt::UserRole;
constexpr int DosPathRole = Qt::UserRole + 1;

std::string Key(const char* Name, int I) { return Name + std::to_string(I); }

// A menu caption with the accelerator marks taken out: no menu item takes keys
// from the panes. "&&" stays one '&'.
QString MenuCaption(const std::string& Title)
{
    std::string Caption;
    for (std::size_t I = 0; I < Title.size(); ++I) {
        if (Title[I] == '&' && I + 1 < Title.size())
            ++I;
        else if (Title[I] == '&')
            continue;
        Caption += Title[I];
    }
    return AnsiToQString(Caption).replace('&', "&&");
}

QPointer<TExternalDlg> GExternalDlg;

}  // namespace

TExternalDlg::TExternalDlg(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle("External Programs");
    ProgramMonitor1 = new TProgramMonitor(this);
    auto* Top = new QVBoxLayout(this);
    PageControl = new QTabWidget(this);
    Top->addWidget(PageControl);

    // --- "Edit"
    auto* EditPage = new QWidget;
    auto* EditLayout = new QVBoxLayout(EditPage);
    ListGroup = new QGroupBox("Program List");
    auto* ListLayout = new QHBoxLayout(ListGroup);
    ProgramList = new QListWidget;
    ListLayout->addWidget(ProgramList);
    auto* ListButtons = new QVBoxLayout;
    AddBtn = new QPushButton("Add");
    DeleteListBtn = new QPushButton("Delete");
    EditListBtn = new QPushButton("Edit");
    MoveUpBtn = new QToolButton;
    MoveUpBtn->setArrowType(Qt::UpArrow);
    MoveDownBtn = new QToolButton;
    MoveDownBtn->setArrowType(Qt::DownArrow);
    for (QWidget* W : std::initializer_list<QWidget*>{AddBtn, DeleteListBtn, EditListBtn, MoveUpBtn, MoveDownBtn})
        ListButtons->addWidget(W);
    ListButtons->addStretch();
    ListLayout->addLayout(ListButtons);
    EditLayout->addWidget(ListGroup);

    EditGroup = new QGroupBox("Edit Program Item");
    auto* ItemLayout = new QVBoxLayout(EditGroup);
    TitleEdit = new QLineEdit;
    PathEdit = new QLineEdit;
    PathEdit->setMaxLength(static_cast<int>(MaxProgramPathLength));
    ItemLayout->addWidget(new QLabel("Title:"));
    ItemLayout->addWidget(TitleEdit);
    ItemLayout->addWidget(new QLabel("Program:"));
    ItemLayout->addWidget(PathEdit);
    auto* ItemButtons = new QHBoxLayout;
    DoneBtn = new QPushButton("Done");
    BrowseBtn = new QPushButton("Browse For Program");
    // The short DOS name has no counterpart here; the flag gives the real path.
    DosPathChk = new QCheckBox("Use Real Path");
    ItemButtons->addWidget(DoneBtn);
    ItemButtons->addWidget(BrowseBtn);
    ItemButtons->addWidget(DosPathChk);
    ItemLayout->addLayout(ItemButtons);
    EditLayout->addWidget(EditGroup);

    auto* DialogButtons = new QHBoxLayout;
    OKBtn = new QPushButton("OK");
    CancelBtn = new QPushButton("Cancel");
    HelpBtn = new QPushButton("Help");
    DialogButtons->addStretch();
    DialogButtons->addWidget(OKBtn);
    DialogButtons->addWidget(CancelBtn);
    DialogButtons->addWidget(HelpBtn);
    EditLayout->addLayout(DialogButtons);
    PageControl->addTab(EditPage, "Edit");

    // --- "Debug"
    auto* DebugPage = new QWidget;
    auto* DebugLayout = new QVBoxLayout(DebugPage);
    auto* LogGroup = new QGroupBox("Actual Paths, Commands and Return Codes");
    auto* LogLayout = new QVBoxLayout(LogGroup);
    ComMemo = new QPlainTextEdit;
    ComMemo->setReadOnly(true);
    ComMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
    ComMemo->setFont(FixedSysFont());
    LogLayout->addWidget(ComMemo);
    ClearBtn = new QPushButton("Clear");
    LogLayout->addWidget(ClearBtn, 0, Qt::AlignLeft);
    DebugLayout->addWidget(LogGroup);
    PageControl->addTab(DebugPage, "Debug");

    const auto Guard = [this](void (TExternalDlg::*Handler)()) {
        return [this, Handler] { RunGuarded([this, Handler] { (this->*Handler)(); }); };
    };
    connect(ProgramList, &QListWidget::itemClicked, this, Guard(&TExternalDlg::ProgramListClick));
    connect(ProgramList, &QListWidget::currentRowChanged, this, Guard(&TExternalDlg::ProgramListClick));
    connect(ProgramList, &QListWidget::itemDoubleClicked, this, Guard(&TExternalDlg::EditListClick));
    connect(AddBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::AddBtnClick));
    connect(DeleteListBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::DeleteListBtnClick));
    connect(EditListBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::EditListClick));
    connect(MoveUpBtn, &QToolButton::clicked, this, Guard(&TExternalDlg::MoveUpBtnClick));
    connect(MoveDownBtn, &QToolButton::clicked, this, Guard(&TExternalDlg::MoveDownBtnClick));
    connect(DoneBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::DoneBtnClick));
    connect(BrowseBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::BrowseBtnClick));
    connect(ClearBtn, &QPushButton::clicked, this, Guard(&TExternalDlg::ClearBtnClick));
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    SetDialogHelp(this, HelpBtn, HelpContext);

    PageControl->setCurrentIndex(0);
    SetItemButtons(false);
    SetEditMode(false);
    // OK is the default only once it belongs to the dialog: made default before, it
    // lost that to the first button, and Enter in the title added a program.
    OKBtn->setDefault(true);
}

TExternalDlg::~TExternalDlg()
{
    if (FUserMenu)
        RemoveUserMenuItems();
}

void TExternalDlg::InitExternalPrograms(QMenu* MenuItem, int FirstIndex, const std::string& IniFileName,
                                        const std::string& SectionName)
{
    FUserMenu = MenuItem;
    FFirstIndex = FirstIndex;
    FIniFileName = IniFileName;
    FSectionName = SectionName;
    LoadProgramList();
    if (FUserMenu)
        BuildUserMenu();
}

// --- the list --------------------------------------------------------------------------------

int TExternalDlg::ProgramCount() const { return ProgramList->count(); }

int TExternalDlg::AddProgram(const std::string& Title, const std::string& Path, bool DOSPath)
{
    ProgramList->addItem(QString());
    const int Index = ProgramList->count() - 1;
    QListWidgetItem* Item = ProgramList->item(Index);
    Item->setText(AnsiToQString(Title));
    Item->setData(PathRole, StringToQByteArray(Path.substr(0, MaxProgramPathLength)));
    Item->setData(DosPathRole, DOSPath);
    return Index;
}

bool TExternalDlg::GetProgram(int Index, std::string& Title, std::string& Path, bool& DOSPath) const
{
    const QListWidgetItem* Item = ProgramList->item(Index);
    if (!Item)
        return false;
    Title = QStringToAnsi(Item->text());
    Path = QByteArrayToString(Item->data(PathRole).toByteArray());
    DOSPath = Item->data(DosPathRole).toBool();
    return true;
}

void TExternalDlg::SetProgram(int Index, const std::string& Title, const std::string& Path, bool DOSPath)
{
    QListWidgetItem* Item = ProgramList->item(Index);
    if (!Item)
        return;
    Item->setText(AnsiToQString(Title));
    Item->setData(PathRole, StringToQByteArray(Path.substr(0, MaxProgramPathLength)));
    Item->setData(DosPathRole, DOSPath);
    ProgramList->setCurrentRow(Index);
}

namespace {

// An entry as one string, so that lists of entries compare and merge whole.
std::string EntryText(const std::string& Title, const std::string& Path, bool DOSPath)
{
    std::string S = Title;
    S += '\0';
    S += Path.substr(0, MaxProgramPathLength);
    S += '\0';
    S += DOSPath ? '1' : '0';
    return S;
}

void SplitEntryText(const std::string& S, std::string& Title, std::string& Path, bool& DOSPath)
{
    const auto A = S.find('\0'), B = S.rfind('\0');
    Title = S.substr(0, A);
    Path = S.substr(A + 1, B - A - 1);
    DOSPath = S[B + 1] == '1';
}

std::vector<std::string> ReadEntries(const TIniFile& Ini, const std::string& Section)
{
    const std::int32_t Count = ReadListCount(Ini, Section, {"Title", "Path", "DOSPath"});
    std::vector<std::string> Entries;
    for (int I = 0; I < Count; ++I)
        Entries.push_back(EntryText(Ini.ReadString(Section, Key("Title", I), ""), Ini.ReadString(Section, Key("Path", I), ""),
                                    Ini.ReadBool(Section, Key("DOSPath", I), false)));
    return Entries;
}

}  // namespace

void TExternalDlg::SetEntries(const std::vector<std::string>& Entries)
{
    ProgramList->clear();
    for (const std::string& E : Entries) {
        std::string Title, Path;
        bool DOSPath = false;
        SplitEntryText(E, Title, Path, DOSPath);
        AddProgram(Title, Path, DOSPath);
    }
}

void TExternalDlg::LoadProgramList()
{
    FBase = ReadEntries(TIniFile(FIniFileName), FSectionName);
    SetEntries(FBase);
}

void TExternalDlg::SaveProgramList()
{
    std::vector<std::string> Shown, Ours;
    std::vector<TNotStored> NotStored;
    for (int I = 0; I < ProgramCount(); ++I) {
        std::string Title, Path;
        bool DOSPath = false;
        GetProgram(I, Title, Path, DOSPath);
        Shown.push_back(EntryText(Title, Path, DOSPath));
        // An entry the file cannot hold is left out, as the other lists do, rather
        // than kept as another command that would run another program.
        if (CanStoreName(Title) && CanStoreName(Path))
            Ours.push_back(Shown.back());
        else
            NotStored.push_back({Title, Path});
    }
    SayNotStored(NotStored, "the user tools", FIniFileName);
    TIniFile Ini(FIniFileName);
    // The user asked for this write: a settings file made read-only is replaced
    // only after Yes (the list stays as edited for this run).
    if (!AgreeToReplaceReadOnly(Ini.FileName()))
        return;
    // Another window may have changed the list since this one read it: this
    // window's changes are made on the list as the file holds it now.
    const std::vector<std::string> Merged = MergeListChanges(FBase, Ours, ReadEntries(Ini, FSectionName));
    Ini.EraseSection(FSectionName);
    Ini.WriteInteger(FSectionName, "Count", static_cast<std::int32_t>(Merged.size()));
    for (int I = 0; I < static_cast<int>(Merged.size()); ++I) {
        std::string Title, Path;
        bool DOSPath = false;
        SplitEntryText(Merged[static_cast<std::size_t>(I)], Title, Path, DOSPath);
        Ini.WriteString(FSectionName, Key("Title", I), Title);
        Ini.WriteString(FSectionName, Key("Path", I), Path);
        Ini.WriteBool(FSectionName, Key("DOSPath", I), DOSPath);
    }
    Ini.UpdateFile();
    FBase = Merged;
    if (Merged != Shown) {
        SetEntries(Merged);
        if (FUserMenu)
            BuildUserMenu();
    }
}

// --- the menu --------------------------------------------------------------------------------

void TExternalDlg::RemoveUserMenuItems()
{
    if (!FUserMenu)
        return;
    const QList<QAction*> Items = FUserMenu->actions();
    for (qsizetype I = Items.size() - 1; I >= FFirstIndex; --I) {
        FUserMenu->removeAction(Items[I]);
        Items[I]->deleteLater();
    }
    FMenuItems.clear();
}

void TExternalDlg::BuildUserMenu()
{
    if (!FUserMenu)
        return;
    RemoveUserMenuItems();
    for (int I = 0; I < ProgramCount(); ++I) {
        QAction* Item = FUserMenu->addAction(MenuCaption(QStringToAnsi(ProgramList->item(I)->text())));
        connect(Item, &QAction::triggered, this, [this, Item] { RunGuarded([this, Item] { RunExternalProgram(Item); }); });
        FMenuItems.push_back(Item);
    }
}

void TExternalDlg::EditExternalPrograms()
{
    if (!FUserMenu)
        return;
    SetEditMode(false);
    if (exec() != QDialog::Accepted)
        return;
    if (Editing())
        DoneBtnClick();
    BuildUserMenu();
    SaveProgramList();
}

// --- running ---------------------------------------------------------------------------------

void TExternalDlg::RunExternalProgram(QAction* Sender)
{
    if (!FUserMenu || !Sender)
        return;
    RunProgram(static_cast<int>(FUserMenu->actions().indexOf(Sender)) - FFirstIndex);
}

void TExternalDlg::RunProgram(int Index)
{
    std::string Title, Template;
    bool DOSPath = false;
    if (!GetProgram(Index, Title, Template, DOSPath))
        return;
    // The main window's side: the file name, saving first and the returned line.
    TToolHost* Host = ToolHost();
    std::string Name = Host ? Host->CurrentFileName() : std::string();
    if (DOSPath)
        Name = SystemFileName(Name);
    TExpandedCommand Command = ExpandCommand(Template, Name);
    if (Command.SaveFirst && Host) {
        if (!Host->SaveIfModified()) {
            Log("Command: " + Command.Text);
            Log("Return: not started (the text was not saved)");
            return;
        }
        // An untitled text has a name only now, and the codes name the file the
        // program is to read.
        Name = Host->CurrentFileName();
        if (DOSPath)
            Name = SystemFileName(Name);
        Command = ExpandCommand(Template, Name);
    }
    Log("Command: " + Command.Text);
    bool Started = false;
    std::string Why = "the command is empty";
    if (!Command.Words.empty()) {
        Started = ProgramMonitor1->ExecuteAndWait(
            Command.Words.front(), std::vector<std::string>(Command.Words.begin() + 1, Command.Words.end()));
        Why = ProgramMonitor1->LastError();
    }
    if (!Started) {
        // The exit code left by an earlier run is not this command's answer.
        Log("Return: not started (" + Why + ")");
        return;
    }
    if (Command.GotoLine && ProgramMonitor1->ExitCode < MaxLineExitCode && Host)
        Host->GotoLine(ProgramMonitor1->ExitCode);
    Log("Return: " + std::to_string(ProgramMonitor1->ExitCode));
}

void TExternalDlg::Log(const std::string& Line) { ComMemo->appendPlainText(FileNameToQString(Line)); }

// --- editing ---------------------------------------------------------------------------------

bool TExternalDlg::Editing() const { return EditGroup->isEnabledTo(this); }

void TExternalDlg::SetItemButtons(bool Enabled)
{
    DeleteListBtn->setEnabled(Enabled);
    EditListBtn->setEnabled(Enabled);
}

void TExternalDlg::SetEditMode(bool Editing)
{
    // Both groups stay in their places, one greyed while the other is in use, so the
    // dialog keeps its size through Add, Edit and Done.
    ListGroup->setEnabled(!Editing);
    EditGroup->setEnabled(Editing);
    // The list is greyed while an item is edited.
    ProgramList->setStyleSheet(Editing ? "QListWidget { background: #C0C0C0; color: #808080; border: 1px solid #808080; }"
                                       : QString());
    if (Editing)
        TitleEdit->setFocus();
}

void TExternalDlg::ProgramListClick() { SetItemButtons(ProgramList->currentRow() >= 0); }

void TExternalDlg::EditListClick()
{
    SetEditMode(true);
    std::string Title, Path;
    bool DOSPath = false;
    if (GetProgram(ProgramList->currentRow(), Title, Path, DOSPath)) {
        TitleEdit->setText(AnsiToQString(Title));
        FPathBytes = Path;
        PathEdit->setText(FileNameToQString(Path));
        DosPathChk->setChecked(DOSPath);
    }
}

void TExternalDlg::AddBtnClick()
{
    ProgramList->setCurrentRow(AddProgram("", "", false));
    EditListClick();
}

void TExternalDlg::DoneBtnClick()
{
    if (TitleEdit->text().isEmpty() || PathEdit->text().isEmpty())
        DeleteListBtnClick();
    else if (ProgramList->currentRow() >= 0)
        SetProgram(ProgramList->currentRow(), QStringToAnsi(TitleEdit->text()), EditedFileName(FPathBytes, PathEdit->text()),
                   DosPathChk->isChecked());
    SetEditMode(false);
}

void TExternalDlg::DeleteListBtnClick()
{
    const int Row = ProgramList->currentRow();
    if (Row < 0)
        return;
    delete ProgramList->takeItem(Row);
    ProgramList->setCurrentRow(-1);
    SetItemButtons(false);
}

void TExternalDlg::BrowseBtnClick()
{
    TFileDialogOptions Options;
    Options.Title = "Browse For Program";
    Options.Filter = "Programs|*|Scripts|*.sh;*.py;*.pl|";
    if (const auto Name = FileDialogs().OpenFileName(Options)) {
        FPathBytes = *Name;
        PathEdit->setText(FileNameToQString(*Name));
    }
}

void TExternalDlg::SwapEntries(int A, int B)
{
    QListWidgetItem* Lower = ProgramList->takeItem(B);
    ProgramList->insertItem(A, Lower);
}

void TExternalDlg::MoveUpBtnClick()
{
    const int Row = ProgramList->currentRow();
    if (Row < 1)
        return;
    SwapEntries(Row - 1, Row);
    ProgramList->setCurrentRow(Row - 1);
}

void TExternalDlg::MoveDownBtnClick()
{
    const int Row = ProgramList->currentRow();
    if (Row < 0 || Row + 1 >= ProgramCount())
        return;
    SwapEntries(Row, Row + 1);
    ProgramList->setCurrentRow(Row + 1);
}

void TExternalDlg::ClearBtnClick() { ComMemo->clear(); }

// --- the program's instance ------------------------------------------------------------------------

TExternalDlg* ExternalDlg() { return GExternalDlg; }

void CreateExternalDlg(QWidget* Parent)
{
    if (!GExternalDlg)
        GExternalDlg = new TExternalDlg(Parent);
}

void FreeExternalDlg()
{
    delete GExternalDlg.data();
}

}  // namespace narvo
