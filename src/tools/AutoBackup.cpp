// The backup browser (see AutoBackup.h).
#include "tools/AutoBackup.h"

#include "components/FolderList.h"
#include "platform/Application.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "tools/TextToolHooks.h"
#include "platform/posix/SafeFile.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>
#include <unordered_map>
#include <cerrno>
#include <sys/stat.h>

namespace narvo {

namespace {

QPointer<TAutoBackDlg> GAutoBackDlg;

// Makes Path and its missing parents, private to the user (the backups are drafts
// of their texts); false when it is not a folder afterwards.
bool ForceFolders(const std::string& Path)
{
    for (std::size_t Pos = 1; Pos <= Path.size(); ++Pos) {
        if (Pos < Path.size() && Path[Pos] != '/')
            continue;
        const std::string Part = Path.substr(0, Pos);
        if (::mkdir(Part.c_str(), 0700) != 0 && errno != EEXIST)
            return false;
    }
    struct stat St {};
    return ::stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// Runs a button's action inside the program's exception boundary.
template <class F> void Guarded(F Action) { RunGuarded(Action); }

}  // namespace

TAutoBackDlg::TAutoBackDlg(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Auto-Backup Files"));
    resize(761, 405);

    auto* Outer = new QVBoxLayout(this);
    Outer->setContentsMargins(0, 0, 0, 0);
    auto* Split = new QSplitter(Qt::Horizontal, this);
    Split->setHandleWidth(8);
    ShellList = new TFolderList(Split);
    ShellList->SetObjectTypes(otNonFolders);
    ShellList->SetSorted(false);
    ShellList->SetReadOnly(false);
    ShellList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Memo1 = new QPlainTextEdit(Split);
    Memo1->setReadOnly(true);
    Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
    QFont Fixed = FixedSysFont();
    Fixed.setPixelSize(12);
    Memo1->setFont(Fixed);
    Split->addWidget(ShellList);
    Split->addWidget(Memo1);
    Split->setSizes({433, 761 - 433 - 8});
    Outer->addWidget(Split, 1);

    auto* Panel1 = new QWidget(this);
    Panel1->setFixedHeight(41);
    auto* Buttons = new QHBoxLayout(Panel1);
    ViewBtn = new QPushButton(QStringLiteral("View"), Panel1);
    OpenBtn = new QPushButton(QStringLiteral("Open"), Panel1);
    DeleteBtn = new QPushButton(QStringLiteral("Del Selected"), Panel1);
    CancelBtn = new QPushButton(QStringLiteral("Close"), Panel1);
    for (QPushButton* B : {ViewBtn, OpenBtn, DeleteBtn, CancelBtn}) {
        B->setAutoDefault(false);
        Buttons->addWidget(B);
    }
    Buttons->addStretch(1);
    Outer->addWidget(Panel1);

    connect(ViewBtn, &QPushButton::clicked, this, [this] { Guarded([this] { ViewBtnClick(); }); });
    connect(OpenBtn, &QPushButton::clicked, this, [this] { Guarded([this] { OpenBtnClick(); }); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { Guarded([this] { DeleteBtnClick(); }); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    // The list shows the backup folder and nothing else: Backspace, which would show
    // its parent (the settings folder), is kept from it.
    ShellList->installEventFilter(this);
    ShellList->OnColumnClick = [this](int Column) { ShellListColumnClick(Column); };
    ShellList->OnSelectItem = [this] { ShellListSelectItem(); };

    // FormCreate: the backup folder, made with its parents, is the list's root.
    std::string Folder = ToolHost() ? ToolHost()->BackupFolder() : std::string();
    while (Folder.size() > 1 && Folder.back() == '/')
        Folder.pop_back();
    if (!Folder.empty())
        ForceFolders(Folder);
    ShellList->SetRoot(Folder);  // raises "Error setting path" for a folder that is not there
    FFolder = ShellList->RootFolder()->PathName();
}

bool TAutoBackDlg::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == ShellList && Event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(Event)->key() == Qt::Key_Backspace)
        return true;
    return QDialog::eventFilter(Watched, Event);
}

void TAutoBackDlg::ShowBackupFolder()
{
    if (!ShellList->RootFolder() || ShellList->RootFolder()->PathName() != FFolder)
        ShellList->SetPath(FFolder);
}

void TAutoBackDlg::LoadViewer(const std::string& Path)
{
    Memo1->setPlainText(AnsiToQString(ReadFileBytes(Path)));
}

void TAutoBackDlg::ViewBtnClick()
{
    if (TShellFolder* Item = ShellList->SelectedFolder())
        LoadViewer(Item->PathName());
}

void TAutoBackDlg::ShowSelectedBackup()
{
    TShellFolder* Item = ShellList->SelectedFolder();
    if (!Item)
        return;
    try {
        LoadViewer(Item->PathName());
    } catch (const std::exception& E) {
        // The viewer never goes on showing the text of the row selected before: a
        // file that went away or cannot be read says so in its place.
        Memo1->setPlainText(QString::fromLocal8Bit(E.what()));
    }
}

void TAutoBackDlg::ShellListSelectItem() { ShowSelectedBackup(); }

void TAutoBackDlg::OpenBtnClick()
{
    TShellFolder* Item = ShellList->SelectedFolder();
    if (Item && ToolHost())
        ToolHost()->OpenTextFile(Item->PathName());
}

void TAutoBackDlg::DeleteBtnClick()
{
    const std::vector<int> Rows = ShellList->SelectedRows();
    if (Rows.empty())
        return;
    // The row that takes the selection afterwards is the one before the first deleted
    // row, taken by its file: a backup written meanwhile moves the rows, and the
    // highlight must not land on a file the user never looked at. Should that file be
    // gone too, the nearest file the list showed before takes it (going up, then down
    // past the deleted rows), and none when the list holds none of them any more.
    const int Remembered = Rows.front();
    std::vector<std::string> Neighbours;
    for (int Row = Remembered - 1; Row >= 0; --Row)
        Neighbours.push_back(ShellList->Folders(Row).PathName());
    for (int Row = Remembered; Row < ShellList->Count(); ++Row)
        Neighbours.push_back(ShellList->Folders(Row).PathName());
    std::string Failures;
    for (const int Row : Rows) {
        std::string Error;
        if (!MoveToTrash(ShellList->Folders(Row).PathName(), Error))
            Failures += (Failures.empty() ? "" : "\n") + Error;
    }
    ShellList->clearSelection();
    ShellList->Refresh();
    std::unordered_map<std::string, int> RowOf;
    for (int Row = 0; Row < ShellList->Count(); ++Row)
        RowOf.emplace(ShellList->Folders(Row).PathName(), Row);
    for (const std::string& Path : Neighbours)
        if (const auto It = RowOf.find(Path); It != RowOf.end()) {
            ShellList->SelectRow(It->second);
            break;
        }
    // A file left in place is said, not passed over in silence.
    if (!Failures.empty())
        ShowExceptionMessage(Failures);
}

void TAutoBackDlg::ShellListColumnClick(int Column) { ShellList->SortByColumn(Column); }

void TAutoBackDlg::RefreshList() { ShellList->Refresh(); }

TAutoBackDlg* AutoBackDlg() { return GAutoBackDlg; }

void CreateAutoBackDlg(QWidget* Owner)
{
    if (!GAutoBackDlg)
        GAutoBackDlg = new TAutoBackDlg(Owner);
}

void FreeAutoBackDlg() { delete GAutoBackDlg.data(); }

void ShowAutoBackDlg()
{
    if (!GAutoBackDlg)
        return;
    GAutoBackDlg->ShowBackupFolder();
    if (QScreen* Screen = GAutoBackDlg->screen())
        GAutoBackDlg->move(Screen->availableGeometry().center() - GAutoBackDlg->rect().center());
    GAutoBackDlg->exec();
}

void RefreshAutoBackDlg()
{
    if (GAutoBackDlg)
        GAutoBackDlg->RefreshList();
}

}  // namespace narvo
