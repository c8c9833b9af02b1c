// The step debugger (see DebuggerDialog.h).
#include "app/DebuggerDialog.h"

#include "app/MainWindow.h"
#include "components/AutoButton.h"
#include "components/ChmHelper.h"
#include "components/SpinButtons.h"
#include "editor/ScrollEditor.h"
#include "language/AppState.h"
#include "platform/Application.h"
#include "platform/KeyTranslate.h"
#include "platform/ResourceFont.h"
#include "platform/TextConvert.h"
#include "shared/HexText.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <array>
#include <memory>

namespace narvo {

namespace {

TDebugDlg* GDebugDlg = nullptr;

// The descriptions of the command characters below 126; empty: unknown.
const std::array<const char*, 126>& DescriptionTable()
{
    static const std::array<const char*, 126> Table = [] {
        std::array<const char*, 126> T{};
        T[1] = "Forward Char";
        T[2] = "Backward Word";
        T[3] = "Delete Word";
        T[4] = "Forward All";
        T[5] = "Back All";
        T[6] = "Turn Off Scoop";
        T[7] = "Execute Command Line (Illegal As Command)";
        T[8] = "Back Delete";
        T[9] = "Tab Character (Illegal As Command)";
        T[10] = "Page Down";
        T[11] = "Page Up";
        T[12] = "Form Feed  (Illegal As Command)";
        T[13] = T[32] = "Null Command";
        T[14] = "Word Forward";
        T[15] = "Undo";
        T[16] = "Save Edit Buffer";
        T[17] = " Editor.BackChar";
        T[18] = "Scoop On";
        T[19] = "ForwardLine";
        T[20] = "Show White Space";
        T[21] = "Match Indent Above";
        T[22] = "Command To Editor";
        T[23] = "Back Line";
        T[24] = "Delete Back Line";
        T[25] = "Insert and Empty Scoop";
        T[26] = "FlipCase";
        T[27] = "Separator (Esc)";
        T[29] = "Toggle Case Flag";
        T[30] = "Meta Character";
        T[31] = "Toggle Search Direction";
        T['('] = "Begin Expression";
        T['+'] = T['-'] = "Sign/Search Direction";
        T[':'] = "Move To Linear Position";
        T[';'] = "Exit Loop";
        T['?'] = "Show Help";
        T['A'] = "Append File";
        T['B'] = "Output Global Variable";
        T['C'] = "Obsolete Command: (Close Command)";
        T['D'] = "Delete Back";
        T['E'] = "Clear Scoop";
        T['F'] = "Search and Replace";
        T['G'] = "Obsolete Command: (Get Next Buffer)";
        T['H'] = "Insert Hex";
        T['I'] = "Insert String";
        T['J'] = "Jump To Beginning";
        T['K'] = "Clear All Text";
        T['L'] = "Print Text";
        T['M'] = "Set Margin";
        T['N'] = "Obsolete Command (Cross Buffer Search)";
        T['O'] = "Open File";
        T['P'] = "Call Command Line";
        T['Q'] = "Close File and Exit";
        T['R'] = "Delete Line Forward";
        T['S'] = "Search";
        T['T'] = "Exit without saving";
        T['V'] = "Copy Text to Command Line";
        T['W'] = "Obsolete Command (Write Buffer)";
        T['X'] = "Insert Scoop";
        T['Y'] = "Center Current Line";
        T['Z'] = "Delete Back To Form Feed";
        T['['] = "Begin Conditional Block";
        T[']'] = "End Conditional Block";
        T['_'] = "Transfer Global To Count";
        T['{'] = "Start of Loop";
        T['}'] = "End of Loop";
        return T;
    }();
    return Table;
}

QString CharText(char C)
{
    const std::string S = std::string(1, C) + " - $" + StrToHexStr(std::string_view(&C, 1));
    return AnsiToQString(S);
}

// Ctrl+Break in the debugger's own window aborts the run (the main window's key
// routing sees only its own window).
class TBreakCatcher : public QObject {
public:
    explicit TBreakCatcher(TDebugDlg* Dialog) : QObject(Dialog), FDialog(Dialog) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::KeyPress && Watched->isWidgetType() &&
            static_cast<QWidget*>(Watched)->window() == FDialog &&
            TranslateKeyEvent(*static_cast<QKeyEvent*>(Event)).Break) {
            BreakFlag = true;
            FDialog->DebugAnswer = dbAbort;
            return true;
        }
        return QObject::eventFilter(Watched, Event);
    }

private:
    TDebugDlg* FDialog;
};

}  // namespace

TDebugDlg::TDebugDlg(QWidget* Parent) : QDialog(Parent, Qt::Dialog | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Macro Debugger"));
    setModal(false);
    auto* Outer = new QHBoxLayout(this);
    auto* Left = new QVBoxLayout;
    Outer->addLayout(Left, 1);

    Label1 = new QLabel(QStringLiteral("Current Macros"), this);
    CmdEditor = new TScrollEditor(this);
    CmdEditor->setObjectName(QStringLiteral("DebugCmdEditor"));
    CmdEditor->SetScrollBars(ssNone);
    CmdEditor->SetEditorStyle(esSingleLine);
    // A display of the line being stepped: it takes no typing (which would shift
    // the line and lose the command's highlight), and Tab passes it by to reach
    // the buttons.
    CmdEditor->SetReadOnly(true);
    CmdEditor->setFocusPolicy(Qt::NoFocus);
    CmdEditor->SetColor(0xFFFFFF);
    CmdEditor->setFont(FixedSysFont());
    CmdEditor->setFixedHeight(CmdEditor->fontMetrics().height() + 10);
    Left->addWidget(Label1);
    Left->addWidget(CmdEditor);

    Label2 = new QLabel(QStringLiteral("Decoded Command"), this);
    DecodeDis = new TEditEx(this);
    DecodeDis->setReadOnly(true);
    Left->addWidget(Label2);
    Left->addWidget(DecodeDis);

    auto* Grid = new QGridLayout;
    StatusDis = AddField(Grid, 0, " Status:");
    IndexDis = AddField(Grid, 1, " Char Index:");
    NestDis = AddField(Grid, 2, " Nesting Depth:");
    GlobalDis = AddField(Grid, 3, " Global Variable:");
    CountDis = AddField(Grid, 4, " Loop Count:");
    AfterCursorDis = AddField(Grid, 5, " After Cursor:");
    BeforeCursorDis = AddField(Grid, 6, "Before Cursor:");
    Left->addLayout(Grid);

    auto* Right = new QVBoxLayout;
    StepBtn = new QPushButton(QStringLiteral("Step"), this);
    RunBtn = new QPushButton(QStringLiteral("Exit and Run"), this);
    ExecuteBtn = new QPushButton(QStringLiteral("Re-execute"), this);
    AbortBtn = new QPushButton(QStringLiteral("Exit and Abort"), this);
    HelpBtn = new QPushButton(QStringLiteral("Help"), this);
    for (QPushButton* B : {StepBtn, RunBtn, ExecuteBtn, AbortBtn, HelpBtn}) {
        B->setAutoDefault(false);
        Right->addWidget(B);
    }
    Right->addStretch(1);
    Outer->addLayout(Right);
    connect(StepBtn, &QPushButton::clicked, this, [this] { StepBtnClick(); });
    connect(RunBtn, &QPushButton::clicked, this, [this] { RunBtnClick(); });
    connect(AbortBtn, &QPushButton::clicked, this, [this] { AbortBtnClick(); });
    connect(ExecuteBtn, &QPushButton::clicked, this, [this] { RunGuarded([this] { ExecuteBtnClick(); }); });
    SetDialogHelp(this, HelpBtn, HelpContext);
    qApp->installEventFilter(new TBreakCatcher(this));
    SetDebugRunning(false);
}

TDebugDlg::~TDebugDlg()
{
    if (GDebugDlg == this)
        GDebugDlg = nullptr;
}

QLabel* TDebugDlg::AddField(QGridLayout* Grid, int Row, const char* Caption)
{
    auto* Name = new QLabel(QString::fromLatin1(Caption), this);
    auto* Value = new QLabel(this);
    for (QLabel* L : {Name, Value}) {
        L->setFrameStyle(QFrame::Panel | QFrame::Raised);
        L->setToolTip(QStringLiteral("Command Number"));
    }
    Value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Value->setMinimumWidth(80);
    Grid->addWidget(Name, Row, 0);
    Grid->addWidget(Value, Row, 1);
    return Value;
}

std::string TDebugDlg::DescribeCommand(char C)
{
    unsigned char U = static_cast<unsigned char>(C);
    if (U >= 'a' && U <= 'z')
        U = static_cast<unsigned char>(U - 'a' + 'A');
    if ((U >= '0' && U <= '9') || U == '#')
        return "Number (prefix)";
    if (U >= 126 || !DescriptionTable()[U])
        return "Unknown Command (Illegal)";
    return DescriptionTable()[U];
}

int TDebugDlg::DebugShowStep(const TDebugInfo& Info)
{
    SetDebugRunning(true);
    CmdEditor->ResetText();
    CmdEditor->InsertTextEx(Info.CmdLine, true, true);
    CmdEditor->UndoList->Clear();
    CmdEditor->RedoList->Clear();
    IndexDis->setText(QString::number(Info.Position));
    // The next command's character, positions in the line counted from 1.
    const std::int64_t P = Info.Position;
    CmdEditor->SetStreamHighlight(TPoint{std::max<std::int64_t>(P - 1, 0), 0}, TPoint{std::max<std::int64_t>(P, 0), 0});
    CmdEditor->Cursor->SetPos(TPoint{std::max<std::int64_t>(P, 0), 0});
    CmdEditor->RequestRedraw(true);
    CmdEditor->EnsureCursorVisible();
    const bool Inside = P >= 1 && P <= static_cast<std::int64_t>(Info.CmdLine.size());
    DecodeDis->setText(QString::fromLatin1(
        DescribeCommand(Inside ? Info.CmdLine[static_cast<std::size_t>(P - 1)] : '\0').c_str()));
    NestDis->setText(QString::number(Info.Depth));
    GlobalDis->setText(QString::number(Info.Value));
    CountDis->setText(QString::number(Info.Repetition));
    BeforeCursorDis->setText(CharText(Info.CharBefore));
    AfterCursorDis->setText(CharText(Info.CharAt));
    WaitForDebugAnswer();
    const int Answer = DebugAnswer;
    if (Answer == dbRunOn || Answer == dbAbort)
        hide();
    return Answer;
}

void TDebugDlg::WaitForDebugAnswer()
{
    // The debugger shows without taking the keyboard, and the main window is made
    // active again (a click on Step gave the keyboard to the debugger): the pane
    // has the focus while the step waits, so typing reaches the text.
    setAttribute(Qt::WA_ShowWithoutActivating);
    show();
    raise();
    if (Form1 && Form1->ActiveEditor) {
        Form1->activateWindow();
        Form1->ActiveEditor->setFocus();
    }
    DebugAnswer = 0;
    while (DebugAnswer == 0) {
        if (WaitHook) {
            WaitHook(*this);
        } else {
            QEventLoop Pause;
            QTimer::singleShot(50, &Pause, &QEventLoop::quit);
            Pause.exec();
        }
        QCoreApplication::processEvents();
        // The program is closing (closing the main window sets the break flag), or
        // Ctrl+Break was pressed in the main window: the run is aborted.
        if (DebugAnswer == 0 && (BreakFlag || QCoreApplication::closingDown()))
            DebugAnswer = dbAbort;
    }
}

void TDebugDlg::SetDebugRunning(bool Running)
{
    StepBtn->setEnabled(Running);
    RunBtn->setEnabled(Running);
    ExecuteBtn->setEnabled(!Running);
    StatusDis->setText(Running ? QStringLiteral("Running") : QStringLiteral("Done"));
}

void TDebugDlg::StepBtnClick() { DebugAnswer = dbStep; }

void TDebugDlg::RunBtnClick() { DebugAnswer = dbRunOn; }

void TDebugDlg::AbortBtnClick()
{
    DebugAnswer = dbAbort;
    hide();
}

void TDebugDlg::ExecuteBtnClick()
{
    if (Form1 && ExecuteBtn->isEnabled())
        Form1->ExecCmdBtn->Click();
}

void TDebugDlg::reject() { AbortBtnClick(); }

void TDebugDlg::closeEvent(QCloseEvent* Event)
{
    DebugAnswer = dbAbort;
    QDialog::closeEvent(Event);
}

TDebugDlg* DebugDlg()
{
    if (!GDebugDlg)
        GDebugDlg = new TDebugDlg(Form1);
    return GDebugDlg;
}

void SetDebuggerRunning(bool Running)
{
    // Leaving a level turns an existing window idle; none is created for it.
    if (GDebugDlg)
        GDebugDlg->SetDebugRunning(Running);
}

void FreeDebugDlg() { delete GDebugDlg; }

}  // namespace narvo
