// The merge of files and the "Copy/Merge Files" dialog.
#include "tools/FileTool.h"

#include "components/ChmHelper.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"

#include <QApplication>
#include <QCheckBox>
#include <QDropEvent>
#include <QFile>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>
#include <exception>
#include <filesystem>

namespace narvo {

namespace {

bool SameNameNoCase(const std::string& A, const std::string& B)
{
    return A.size() == B.size() && std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) {
               return std::tolower(static_cast<unsigned char>(X)) == std::tolower(static_cast<unsigned char>(Y));
           });
}

bool SameFileOnDisk(const std::string& A, const std::string& B)
{
    std::error_code Ec;
    return std::filesystem::equivalent(A, B, Ec) && !Ec;
}

QString ShownName(const QString& Path) { return Path.mid(Path.lastIndexOf('/') + 1); }

constexpr int PathRole = Qt::UserRole;

// The source list: an entry dragged onto another entry trades places with it; a
// drag from anywhere else is refused.
class TSourceListBox : public QListWidget {
public:
    TSourceListBox(TFileToolDlg* Owner) : QListWidget(Owner), FOwner(Owner) {}

protected:
    // The drag runs as a copy, so that the view never removes the dragged entry
    // after the drop has exchanged it.
    void dragEnterEvent(QDragEnterEvent* E) override { AcceptOwn(E); }
    void dragMoveEvent(QDragMoveEvent* E) override { AcceptOwn(E); }
    void dropEvent(QDropEvent* E) override
    {
        if (E->source() != this) {
            E->ignore();
            return;
        }
        const QListWidgetItem* Target = itemAt(E->position().toPoint());
        // A drop below the last entry lands on no entry and changes nothing.
        if (Target)
            FOwner->SourceListDragDrop(row(Target));
        // Not a move: the view must not remove the dragged entry afterwards.
        E->setDropAction(Qt::CopyAction);
        E->accept();
    }

private:
    void AcceptOwn(QDropEvent* E)
    {
        if (E->source() != this) {
            E->ignore();
            return;
        }
        E->setDropAction(Qt::CopyAction);
        E->accept();
    }
    TFileToolDlg* FOwner;
};

}  // namespace

std::string CopyCheckMessage(const std::vector<std::string>& Sources, const std::string& Destination)
{
    if (Sources.empty())
        return "No source files specified";
    if (Destination.empty())
        return "No destination file specified";
    for (const std::string& S : Sources)
        if (SameNameNoCase(S, Destination) || SameFileOnDisk(S, Destination))
            return "Cannot overwrite a source file";
    return {};
}

std::string_view TextModePart(std::string_view Bytes)
{
    const auto End = Bytes.find('\x1A');
    return End == std::string_view::npos ? Bytes : Bytes.substr(0, End);
}

bool MergeFiles(const std::vector<std::string>& Sources, const std::string& Destination, bool TextMode,
                const std::function<void(int Done)>& Progress, const std::function<bool()>& MayWrite)
{
    // Everything is read before the destination is touched: a source that fails
    // leaves the destination as it was.
    std::string Joined;
    for (std::size_t I = 0; I < Sources.size(); ++I) {
        if (Progress)
            Progress(static_cast<int>(I));
        const std::string Bytes = ReadFileBytes(Sources[I]);
        if (TextMode)
            Joined += TextModePart(Bytes);
        else
            Joined += Bytes;
    }
    if (MayWrite && !MayWrite())
        return false;
    AtomicWriteFile(Destination, Joined);
    if (Progress)
        Progress(static_cast<int>(Sources.size()));
    return true;
}

TFileToolDlg::TFileToolDlg(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("FileToolDlg");
    setWindowTitle("Copy/Merge Files");
    auto* Top = new QVBoxLayout(this);
    auto* Row = new QHBoxLayout;
    InputBtn = new QPushButton("Select Input File(s)", this);
    Button1 = new QPushButton("Select Destination File", this);
    Button2 = new QPushButton("Copy Files", this);
    for (QPushButton* B : {InputBtn, Button1, Button2}) {
        B->setAutoDefault(false);
        Row->addWidget(B);
    }
    Top->addLayout(Row);

    Top->addWidget(new QLabel("Source Files", this));
    auto* Middle = new QHBoxLayout;
    SourceList = new TSourceListBox(this);
    SourceList->setObjectName("SourceList");
    SourceList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    SourceList->setDragDropMode(QAbstractItemView::DragDrop);
    SourceList->setDefaultDropAction(Qt::CopyAction);
    SourceList->setUniformItemSizes(true);
    Middle->addWidget(SourceList, 1);
    auto* Side = new QVBoxLayout;
    auto SideBtn = [&](const char* Text, const char* Hint) {
        auto* B = new QPushButton(Text, this);
        B->setToolTip(Hint);
        B->setAutoDefault(false);
        Side->addWidget(B);
        return B;
    };
    MoveUpBtn = SideBtn("Up", "Move Up");
    MoveDnBtn = SideBtn("Down", "Move Down");
    DeleteBtn = SideBtn("Remove", "Remove From List");
    SortDateBtn = SideBtn("Sort", "Sort Files");
    NewFileBtn = SideBtn("Clear", "Clear List");
    Side->addStretch();
    Middle->addLayout(Side);
    Top->addLayout(Middle);

    auto* Options = new QGridLayout;
    PathChk = new QCheckBox("Show Full Path", this);
    ASCIIChk = new QCheckBox("ASCII - (Remove Ctrl-Z's)", this);
    ASCIIChk->setChecked(true);
    ProgressBar1 = new QProgressBar(this);
    ProgressBar1->setRange(0, 100);
    ProgressBar1->setValue(0);
    CancelBtn = new QPushButton("Close", this);
    HelpBtn = new QPushButton("Help", this);
    CancelBtn->setAutoDefault(false);
    HelpBtn->setAutoDefault(false);
    Options->addWidget(PathChk, 0, 0);
    Options->addWidget(ProgressBar1, 0, 1, 1, 2);
    Options->addWidget(ASCIIChk, 1, 0);
    Options->addWidget(CancelBtn, 1, 1);
    Options->addWidget(HelpBtn, 1, 2);
    Top->addLayout(Options);
    Top->addWidget(new QLabel("Destination File", this));
    DestinationEdit = new QLineEdit(this);
    DestinationEdit->setObjectName("DestinationEdit");
    Top->addWidget(DestinationEdit);

    connect(InputBtn, &QPushButton::clicked, this, [this] { InputBtnClick(); });
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
    connect(PathChk, &QCheckBox::toggled, this, [this] { PathChkClick(); });
    connect(MoveUpBtn, &QPushButton::clicked, this, [this] { MoveUpBtnClick(); });
    connect(MoveDnBtn, &QPushButton::clicked, this, [this] { MoveDnBtnClick(); });
    connect(DeleteBtn, &QPushButton::clicked, this, [this] { DeleteBtnClick(); });
    connect(SortDateBtn, &QPushButton::clicked, this, [this] { SortDateBtnClick(); });
    connect(NewFileBtn, &QPushButton::clicked, this, [this] { NewFileBtnClick(); });
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    SetDialogHelp(this, HelpBtn, 16);
}

void TFileToolDlg::ShowFileToolDlg() { exec(); }

std::vector<std::string> TFileToolDlg::SourceFiles() const
{
    std::vector<std::string> Files;
    for (int I = 0; I < SourceList->count(); ++I)
        Files.push_back(SourceList->item(I)->data(PathRole).toByteArray().toStdString());
    return Files;
}

void TFileToolDlg::ShowItemText(int Row)
{
    QListWidgetItem* Item = SourceList->item(Row);
    const QString Path = QFile::decodeName(Item->data(PathRole).toByteArray());
    Item->setText(PathChk->isChecked() ? Path : ShownName(Path));
    Item->setToolTip(Path);
}

void TFileToolDlg::AddSourceFile(const std::string& FileName)
{
    auto* Item = new QListWidgetItem(SourceList);
    Item->setData(PathRole, QByteArray::fromStdString(FileName));
    ShowItemText(SourceList->count() - 1);
}

void TFileToolDlg::InputBtnClick()
{
    const TFileDialogOptions O{"Select Input File(s)", FileToolFilter, "", ".", false, "txt"};
    for (const std::string& Name : FileDialogs().OpenFileNames(O))
        AddSourceFile(Name);
}

void TFileToolDlg::Button1Click()
{
    const TFileDialogOptions O{"Select Destination File", FileToolFilter, "", "", true, ""};
    if (auto Name = FileDialogs().SaveFileName(O)) {
        DestinationEdit->setText(FileNameToQString(*Name));
        FConfirmedDestination = *Name;
        FConfirmedStamp = StampOf(*Name);
    }
}

void TFileToolDlg::Button2Click()
{
    const std::vector<std::string> Sources = SourceFiles();
    // The chosen name's bytes stay while its shown text is left as it is: a name
    // that is not UTF-8 shows with U+FFFD, which written back names another file.
    const std::string Dest = FConfirmedDestination.empty()
                                 ? QStringToFileName(DestinationEdit->text())
                                 : EditedFileName(FConfirmedDestination, DestinationEdit->text());
    const std::string Problem = CopyCheckMessage(Sources, Dest);
    if (!Problem.empty()) {
        MessageDlg(Problem, mtWarning, mbOK);
        return;
    }
    const bool Chosen = Dest == FConfirmedDestination;
    if (FileExists(Dest) && !Chosen &&
        MessageDlg(Dest + " already exists.\nDo you want to replace it?", mtConfirmation, mbYes | mbNo) != mrYes)
        return;
    if (!AgreeToReplaceReadOnly(Dest))
        return;
    // What the user agreed to replace: the file there when it was chosen, or when
    // it was asked about just now. The sources may take long to read; a file another
    // program makes or changes there meanwhile is asked about before it is replaced.
    const TFileStamp Then = Chosen ? FConfirmedStamp : StampOf(Dest);
    bool Kept = false;
    const auto MayWrite = [&] {
        Kept = !AgreeToReplaceChanged(Dest, Then, "chosen");
        return !Kept;
    };
    ProgressBar1->setRange(0, static_cast<int>(Sources.size()));
    ProgressBar1->setValue(0);
    try {
        const bool Written = MergeFiles(
            Sources, Dest, ASCIIChk->isChecked(),
            [this](int Done) {
                ProgressBar1->setValue(Done);
                ProgressBar1->repaint();
            },
            MayWrite);
        // The file there now is this copy's: copying again replaces it unasked.
        if (Written && Chosen)
            FConfirmedStamp = StampOf(Dest);
    } catch (const std::exception& E) {
        MessageDlg(E.what(), mtError, mbOK);
    }
    if (Kept)
        MessageDlg(NotWrittenText(Dest) + ".", mtInformation, mbOK);
}

void TFileToolDlg::PathChkClick()
{
    for (int I = 0; I < SourceList->count(); ++I)
        ShowItemText(I);
}

void TFileToolDlg::MoveUpBtnClick()
{
    const int I = SourceList->currentRow();
    if (I < 1)
        return;
    SourceList->insertItem(I - 1, SourceList->takeItem(I));
    SourceList->setCurrentRow(I - 1);
}

void TFileToolDlg::MoveDnBtnClick()
{
    const int I = SourceList->currentRow();
    if (I < 0 || I >= SourceList->count() - 1)
        return;
    SourceList->insertItem(I + 1, SourceList->takeItem(I));
    SourceList->setCurrentRow(I + 1);
}

void TFileToolDlg::SourceListDragDrop(int DropRow)
{
    const int I = SourceList->currentRow();
    if (I < 0 || DropRow < 0 || DropRow >= SourceList->count() || I == DropRow)
        return;
    // Take the later entry first so that the earlier row stays where it is.
    const int Lo = std::min(I, DropRow), Hi = std::max(I, DropRow);
    QListWidgetItem* Later = SourceList->takeItem(Hi);
    QListWidgetItem* Earlier = SourceList->takeItem(Lo);
    SourceList->insertItem(Lo, Later);
    SourceList->insertItem(Hi, Earlier);
    SourceList->setCurrentRow(DropRow);
}

void TFileToolDlg::DeleteBtnClick()
{
    const int I = SourceList->currentRow();
    if (I >= 0)
        delete SourceList->takeItem(I);
}

void TFileToolDlg::SortDateBtnClick()
{
    std::vector<std::string> Files = SourceFiles();
    // By the full names, letter case ignored; equal names keep their order.
    std::stable_sort(Files.begin(), Files.end(), [](const std::string& A, const std::string& B) {
        return std::lexicographical_compare(A.begin(), A.end(), B.begin(), B.end(), [](char X, char Y) {
            return std::tolower(static_cast<unsigned char>(X)) < std::tolower(static_cast<unsigned char>(Y));
        });
    });
    SourceList->clear();
    for (const std::string& F : Files)
        AddSourceFile(F);
}

void TFileToolDlg::NewFileBtnClick() { SourceList->clear(); }

}  // namespace narvo
