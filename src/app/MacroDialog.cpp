// The macro dialog (see MacroDialog.h).
#include "app/MacroDialog.h"

#include "app/CommandLanguage.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "components/ChmHelper.h"
#include "components/SpinButtons.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "language/Macros.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QToolButton>
#include <QVBoxLayout>

namespace narvo {

namespace {

enum { ColNumber = 0, ColName = 1, ColMacro = 2 };

// The Macro column: character after character, a control character as the letter
// 64 places higher in white on red (Esc as "[", CR as "M"), the rest black on white.
class TMacroTextDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override
    {
        const QByteArray Bytes = Index.data(Qt::UserRole).toByteArray();
        Painter->save();
        Painter->fillRect(Option.rect, Qt::white);
        Painter->setFont(Option.font);
        const QFontMetrics M(Option.font);
        int X = Option.rect.left() + 2;
        const int Y = Option.rect.top() + 2;
        for (const char C : Bytes) {
            if (X > Option.rect.right())
                break;
            const unsigned char U = static_cast<unsigned char>(C);
            const bool Control = U < 32;
            const char Shown = Control ? static_cast<char>(U + 64) : C;
            const QString Text = AnsiToQString(std::string_view(&Shown, 1));
            const int W = M.horizontalAdvance(Text);
            const QRect Cell(X, Y, W, M.height());
            Painter->fillRect(Cell, Control ? Qt::red : Qt::white);
            Painter->setPen(Control ? Qt::white : Qt::black);
            Painter->drawText(Cell, Qt::AlignLeft | Qt::AlignTop, Text);
            X += W;
        }
        Painter->restore();
    }
};

TCommandHost* Host() { return CommandHost(); }

}  // namespace

void TMacroGrid::EndEdit()
{
    if (state() != EditingState)
        return;
    // Moving the current cell away commits the open editor and closes it.
    const QModelIndex Current = currentIndex();
    setCurrentIndex(QModelIndex());
    setCurrentIndex(Current);
}

TMacroDlg::TMacroDlg(QWidget* Parent) : QDialog(Parent)
{
    setWindowTitle(QStringLiteral("Macros Tools"));
    setModal(true);
    auto* Outer = new QVBoxLayout(this);

    auto* Tools = new QHBoxLayout;
    GetComLineBtn = AddButton("Get", "Get Command Line", &TMacroDlg::GetComLineBtnClick);
    GetAllComBtn = AddButton("Get All", "Get All Com. Lines", &TMacroDlg::GetAllComBtnClick);
    SetComLineBtn = AddButton("Set", "Set Command Line", &TMacroDlg::SetComLineBtnClick);
    SetAllComBtn = AddButton("Set All", "Set All Com. Lines", &TMacroDlg::SetAllComBtnClick);
    MoveUpBtn = AddButton("Up", "Move Macro Up", &TMacroDlg::MoveUpBtnClick);
    MoveDownBtn = AddButton("Down", "Move Macro Down", &TMacroDlg::MoveDownBtnClick);
    DeleteBtn = AddButton("Delete", "Delete Macro", &TMacroDlg::DeleteBtnClick);
    LoadMacroBtn = AddButton("Load", "Load Macros", &TMacroDlg::LoadMacroBtnClick);
    SaveMacroBtn = AddButton("Save", "Save Macros", &TMacroDlg::SaveMacroBtnClick);
    SaveAsBtn = AddButton("Save As", "Save Macros As", &TMacroDlg::SaveAsBtnClick);
    for (QToolButton* B : {GetComLineBtn, GetAllComBtn, SetComLineBtn, SetAllComBtn, MoveUpBtn, MoveDownBtn,
                           DeleteBtn, LoadMacroBtn, SaveMacroBtn, SaveAsBtn})
        Tools->addWidget(B);
    CmdSpin = new TUpDownButton(this);
    CmdSpin->setToolTip(QStringLiteral("Change Cmd Line"));
    CmdSpin->setFixedSize(17, 23);
    CmdSpin->OnUpClick = [this](QObject*) { RunGuarded([this] { CmdSpinUpClick(); }); };
    CmdSpin->OnDownClick = [this](QObject*) { RunGuarded([this] { CmdSpinDownClick(); }); };
    Tools->addWidget(CmdSpin);
    Tools->addStretch(1);
    Outer->addLayout(Tools);

    MacroGrid = new TMacroGrid(MacroTableSize, 3, this);
    MacroGrid->setFont(FixedSysFont());
    MacroGrid->setHorizontalHeaderLabels({QStringLiteral("#"), QStringLiteral("Name"), QStringLiteral("Macro")});
    MacroGrid->verticalHeader()->hide();
    MacroGrid->verticalHeader()->setDefaultSectionSize(20);
    MacroGrid->setColumnWidth(ColNumber, 32);
    MacroGrid->setColumnWidth(ColName, 169);
    MacroGrid->setColumnWidth(ColMacro, 449);
    MacroGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    // Tab goes on to the buttons; arrows move between the cells.
    MacroGrid->setTabKeyNavigation(false);
    MacroGrid->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                               QAbstractItemView::AnyKeyPressed);
    MacroGrid->setItemDelegateForColumn(ColMacro, new TMacroTextDelegate(MacroGrid));
    MacroGrid->setMinimumSize(32 + 169 + 449 + 24, 300);
    Outer->addWidget(MacroGrid, 1);
    connect(MacroGrid, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* Item) { MacroGridSetEditText(Item->row(), Item->column()); });
    // Only the Name column is selected.
    connect(MacroGrid, &QTableWidget::currentCellChanged, this, [this](int Row, int Column, int, int) {
        if (Row >= 0 && Column != ColName)
            MacroGrid->setCurrentCell(Row, ColName);
    });

    auto* Buttons = new QHBoxLayout;
    Buttons->addStretch(1);
    OKBtn = new QPushButton(QStringLiteral("Close"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    Buttons->addWidget(OKBtn);
    Buttons->addWidget(HelpBtn);
    Outer->addLayout(Buttons);
    connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);
    SetDialogHelp(this, HelpBtn, HelpContext);
    FormCreate();
}

QToolButton* TMacroDlg::AddButton(const char* Text, const char* Hint, void (TMacroDlg::*Handler)())
{
    auto* B = new QToolButton(this);
    B->setText(QString::fromLatin1(Text));
    B->setToolTip(QString::fromLatin1(Hint));
    B->setFocusPolicy(Qt::NoFocus);
    connect(B, &QToolButton::clicked, this, [this, Handler] { RunGuarded([this, Handler] { (this->*Handler)(); }); });
    return B;
}

void TMacroDlg::FormCreate()
{
    MacroGrid->setRowCount(MacroTableSize);
    RefreshGrid();
    SelectEntry(0);
}

void TMacroDlg::RefreshGrid()
{
    const QSignalBlocker Block(MacroGrid);
    for (int R = 0; R < MacroTableSize; ++R) {
        const TMacroEntry& E = MacroTable[static_cast<std::size_t>(R)];
        auto* Number = new QTableWidgetItem(QString::number(R + 1));
        Number->setFlags(Qt::ItemIsEnabled);
        auto* Name = new QTableWidgetItem(AnsiToQString(E.Name));
        Name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);
        auto* Macro = new QTableWidgetItem;
        Macro->setData(Qt::UserRole, QByteArray(E.Macro.data(), static_cast<qsizetype>(E.Macro.size())));
        Macro->setFlags(Qt::ItemIsEnabled);
        MacroGrid->setItem(R, ColNumber, Number);
        MacroGrid->setItem(R, ColName, Name);
        MacroGrid->setItem(R, ColMacro, Macro);
    }
    MacroGrid->viewport()->update();
}

int TMacroDlg::SelectedEntry() const
{
    const int R = MacroGrid->currentRow();
    return R < 0 ? 0 : std::min(R, MacroTableSize - 1);
}

void TMacroDlg::SelectEntry(int Index) { MacroGrid->setCurrentCell(std::clamp(Index, 0, MacroTableSize - 1), ColName); }

void TMacroDlg::MacroGridSetEditText(int Row, int Column)
{
    if (Column != ColName || Row < 0 || Row >= MacroTableSize)
        return;
    QTableWidgetItem* Item = MacroGrid->item(Row, Column);
    const std::string Name = MacroName(QStringToAnsi(Item->text()));
    MacroTable[static_cast<std::size_t>(Row)].Name = Name;
    const QSignalBlocker Block(MacroGrid);
    Item->setText(AnsiToQString(Name));
}

void TMacroDlg::ChangeTable(const std::function<void()>& Change)
{
    MacroGrid->EndEdit();
    Change();
    RefreshGrid();
}

// --- files ----------------------------------------------------------------------------------------

void TMacroDlg::LoadMacroBtnClick()
{
    TFileDialogOptions O;
    O.Title = "Load Macros";
    O.Filter = MacroFileFilter;
    O.InitialFolder = MacroFolder;
    const std::optional<std::string> Name = FileDialogs().OpenFileName(O);
    if (!Name)
        return;
    // The name becomes the current macro file only once it has loaded, and only when
    // the table holds all it had: a later Save must never write over a file that was
    // refused, nor over entries that could not be read (it asks for a name then).
    // The stamp before the bytes, so that a change while they are read is seen at Save.
    const TFileStamp Stamp = StampOf(*Name);
    TMacroLoadReport Report;
    ChangeTable([&] { Report = LoadMacroFile(*Name, MacroTable); });
    if (!Report.Lossy()) {
        CurrentMacroFile = *Name;
        CurrentMacroStamp = Stamp;
    }
    ShowStatusMessage(Report.Text() + (Report.Lossy() ? "; Save asks for a new name" : ""), false);
}

void TMacroDlg::SaveMacroBtnClick()
{
    if (!CurrentMacroFile.empty() && FileExists(CurrentMacroFile)) {
        MacroGrid->EndEdit();
        if (!AgreeToReplaceChanged(CurrentMacroFile, CurrentMacroStamp, "loaded")) {
            // Said in a box: the dialog covers the status line.
            MessageDlg(NotWrittenText(CurrentMacroFile) + ".", mtInformation, mbOK);
            return;
        }
        if (AgreeToReplaceReadOnly(CurrentMacroFile))
            SaveMacro(CurrentMacroFile);
    } else {
        SaveAsBtnClick();
    }
}

void TMacroDlg::SaveAsBtnClick()
{
    MacroGrid->EndEdit();
    TFileDialogOptions O;
    O.Title = "Save Macros As";
    O.Filter = MacroFileFilter;
    O.FileName = CurrentMacroFile;
    O.InitialFolder = MacroFolder;
    O.OverwritePrompt = true;
    const std::optional<std::string> Name = FileDialogs().SaveFileName(O);
    if (!Name || !AgreeToReplaceReadOnly(*Name))
        return;
    SaveMacro(*Name);
}

void TMacroDlg::SaveMacro(const std::string& Name)
{
    SaveMacroFile(Name, MacroTable, MacroTableSize);
    CurrentMacroFile = Name;
    // The file as this window left it: another window's change after this is asked about.
    CurrentMacroStamp = StampOf(Name);
}

// --- the table -----------------------------------------------------------------------------------------

void TMacroDlg::MoveUpBtnClick()
{
    const int I = SelectedEntry();
    if (I <= 0)
        return;
    ChangeTable([&] { std::swap(MacroTable[static_cast<std::size_t>(I - 1)], MacroTable[static_cast<std::size_t>(I)]); });
    SelectEntry(I - 1);
}

void TMacroDlg::MoveDownBtnClick()
{
    const int I = SelectedEntry();
    if (I >= MacroTableSize - 1)
        return;
    ChangeTable([&] { std::swap(MacroTable[static_cast<std::size_t>(I)], MacroTable[static_cast<std::size_t>(I + 1)]); });
    SelectEntry(I + 1);
}

void TMacroDlg::DeleteBtnClick()
{
    const int I = SelectedEntry();
    ChangeTable([&] { DeleteMacroEntry(MacroTable, I); });
}

// --- command lines ---------------------------------------------------------------------------------------

void TMacroDlg::GetComLineBtnClick()
{
    TCommandLineStore& S = CommandLines();
    if (TCommandHost* H = Host())
        S.StoreCmdLine(*H);
    const int I = SelectedEntry();
    ChangeTable([&] {
        InsertMacroEntry(MacroTable, "Com Line# " + std::to_string(S.ShownLine()), S.Lines[static_cast<std::size_t>(S.ShownLine())], I);
    });
}

void TMacroDlg::GetAllComBtnClick()
{
    TCommandLineStore& S = CommandLines();
    if (TCommandHost* H = Host())
        S.StoreCmdLine(*H);
    const int Start = SelectedEntry();
    const int N = std::min(MacroTableSize - Start, TCommandLineStore::LineCount);
    ChangeTable([&] {
        for (int K = 0; K < N; ++K)
            InsertMacroEntry(MacroTable, "Com Line# " + std::to_string(K), S.Lines[static_cast<std::size_t>(K)], Start + K);
    });
}

void TMacroDlg::SetComLineBtnClick()
{
    MacroGrid->EndEdit();
    if (TCommandHost* H = Host())
        H->SetCmdEditorText(MacroTable[static_cast<std::size_t>(SelectedEntry())].Macro);
}

void TMacroDlg::SetAllComBtnClick()
{
    MacroGrid->EndEdit();
    TCommandLineStore& S = CommandLines();
    TCommandHost* H = Host();
    // The command editor's text is stored first, so that a current line the table
    // does not reach keeps what the user typed into it.
    if (H)
        S.StoreCmdLine(*H);
    const int Start = SelectedEntry();
    for (int K = 0; K <= MacroTableSize - 1 - Start; ++K)
        S.Lines[static_cast<std::size_t>(K)] = MacroTable[static_cast<std::size_t>(Start + K)].Macro;
    if (H)
        H->SetCmdEditorText(S.Lines[static_cast<std::size_t>(S.ShownLine())]);
}

void TMacroDlg::CmdSpinUpClick()
{
    StepCurrentCommandLine(1);
    UpdateStatus();
}

void TMacroDlg::CmdSpinDownClick()
{
    StepCurrentCommandLine(-1);
    UpdateStatus();
}

void ShowMacroDialog()
{
    TMacroDlg Dialog(Form1);
    Dialog.exec();
}

void LoadCurrentMacros() { LoadCurrentMacros(CommandLines(), CommandHost(), SettingsIniName); }

void SaveCurrentMacros() { SaveCurrentMacros(CommandLines(), CommandHost(), SettingsIniName); }

}  // namespace narvo
