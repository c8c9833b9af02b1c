// The message boxes (see MessageBoxes.h): QMessageBox for the program, scripted
// answers for the tests.
#include "platform/MessageBoxes.h"

#include "platform/TextConvert.h"
#include "platform/posix/SafeFile.h"
#include "shared/StringRoutines.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <memory>

namespace narvo {

namespace {

struct TButtonMap {
    TMsgDlgBtn Bit;
    QMessageBox::StandardButton Button;
    TModalResult Result;
};

constexpr TButtonMap ButtonMap[] = {
    {mbYes, QMessageBox::Yes, mrYes},         {mbNo, QMessageBox::No, mrNo},
    {mbOK, QMessageBox::Ok, mrOk},            {mbCancel, QMessageBox::Cancel, mrCancel},
    {mbAbort, QMessageBox::Abort, mrAbort},   {mbRetry, QMessageBox::Retry, mrRetry},
    {mbIgnore, QMessageBox::Ignore, mrIgnore},
};

// A path with a long file name (up to 255 bytes) is one word to the label, wider than
// the screen: the box was cut down to a sliver with its text in a scroll area. A
// zero-width space after each slash and within every 40 characters of a run without
// a space gives the label places to wrap; the text looks the same. No break goes
// inside a surrogate pair or before a combining mark.
QString WithWrapPlaces(const QString& Text)
{
    constexpr int LongestRun = 40;
    QString Out;
    Out.reserve(Text.size() + Text.size() / LongestRun + 8);
    int Run = 0;
    for (qsizetype I = 0; I < Text.size(); ++I) {
        const QChar C = Text[I];
        const bool MayBreakBefore = !C.isLowSurrogate() && !C.isMark();
        if (Run >= LongestRun && MayBreakBefore) {
            Out += QChar(0x200B);
            Run = 0;
        }
        Out += C;
        if (C.isSpace() || C == QChar(0x200B))
            Run = 0;
        else if (C == u'/' && I + 1 < Text.size() && !Text[I + 1].isSpace())
            Run = LongestRun;  // a break may follow the slash
        else
            ++Run;
    }
    return Out;
}

class TQtMessageBoxes : public TMessageBoxes {
public:
    TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override
    {
        static constexpr const char* Titles[] = {"Warning", "Error", "Information", "Confirm", ""};
        return ShowQtMessageBox(Titles[Type], Text, Type, Buttons);
    }
};

TMessageBoxes* GInstalled = nullptr;

QMessageBox* MakeQtMessageBox(const std::string& Title, const std::string& Text, TMsgDlgType Type,
                              TMsgDlgButtons Buttons, QWidget* Parent)
{
    static constexpr QMessageBox::Icon Icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                                  QMessageBox::Information, QMessageBox::Question,
                                                  QMessageBox::NoIcon};
    if (Buttons == 0)
        Buttons = mbOK;
    auto* Box = new QMessageBox(Icons[Type], AnsiToQString(Title), WithWrapPlaces(AnsiToQString(Text)),
                                QMessageBox::NoButton, Parent);
    // The label wraps from the start: the screen fitting judges the box as it
    // shows, before the box would turn wrapping on for a long text itself.
    if (auto* Label = Box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")))
        Label->setWordWrap(true);
    for (const TButtonMap& M : ButtonMap)
        if (Buttons & M.Bit)
            Box->addButton(M.Button);
    if ((Buttons & mbDefaultNo) && (Buttons & mbNo))
        Box->setDefaultButton(QMessageBox::No);
    return Box;
}

// The window a box belongs to: the active one. Right after another box closed no
// window may be active yet; a box without a parent would then open under a tool
// window that stays on top (the spelling dialog), out of sight while it blocks the
// program, so it belongs to that window.
QWidget* BoxParent()
{
    if (QWidget* Active = QApplication::activeWindow())
        return Active;
    for (QWidget* W : QApplication::topLevelWidgets())
        if (W->isVisible() && (W->windowFlags() & Qt::WindowStaysOnTopHint))
            return W;
    return nullptr;
}

}  // namespace

TModalResult ShowQtMessageBox(const std::string& Title, const std::string& Text, TMsgDlgType Type,
                              TMsgDlgButtons Buttons)
{
    const std::unique_ptr<QMessageBox> Box(MakeQtMessageBox(Title, Text, Type, Buttons, BoxParent()));
    const int Chosen = Box->exec();
    for (const TButtonMap& M : ButtonMap)
        if (Chosen == M.Button)
            return M.Result;
    return EscapeResult(Buttons);
}

QWidget* ShowNoticeBox(const std::string& Title, const std::string& Text, TMsgDlgType Type, QWidget* Parent)
{
    QMessageBox* Box = MakeQtMessageBox(Title, Text, Type, mbOK, Parent);
    Box->setAttribute(Qt::WA_DeleteOnClose);
    Box->setWindowModality(Qt::NonModal);
    Box->show();
    Box->raise();
    return Box;
}

TModalResult EscapeResult(TMsgDlgButtons Buttons)
{
    if (Buttons & mbCancel)
        return mrCancel;
    if (Buttons & mbNo)
        return mrNo;
    if (Buttons & mbAbort)
        return mrAbort;
    return mrOk;
}

TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)
{
    return MessageBoxes().MessageDlg(ElideLongLines(Text, 300), Type, Buttons);
}

bool AgreeToReplaceReadOnly(const std::string& Path)
{
    return !IsReadOnlyFile(Path) || MessageDlg(ReadOnlyQuestion, mtWarning, mbYes | mbNo | mbDefaultNo) == mrYes;
}

std::string ChangedFileQuestion(const std::string& Name, bool Made, std::string_view Since)
{
    return "\"" + Name + "\" was " + (Made ? "made" : "changed") + " by another program since it was " +
           std::string(Since) + ".\r\nOverwrite it?";
}

bool AgreeToReplaceChanged(const std::string& Path, const TFileStamp& Then, std::string_view Since)
{
    if (!ChangedSince(Then, StampOf(Path)))
        return true;
    return MessageDlg(ChangedFileQuestion(Path, !Then.Valid, Since), mtWarning, mbYes | mbNo | mbDefaultNo) == mrYes;
}

std::string NotWrittenText(const std::string& Name) { return "\"" + Name + "\" was not written; it stays as it was"; }

TMessageBoxes& MessageBoxes()
{
    static TQtMessageBoxes Real;
    return GInstalled ? *GInstalled : Real;
}

TMessageBoxes* SetMessageBoxes(TMessageBoxes* Boxes)
{
    TMessageBoxes* Previous = GInstalled;
    GInstalled = Boxes;
    return Previous;
}

TScriptedMessageBoxes::TScriptedMessageBoxes() : FPrevious(SetMessageBoxes(this)) {}

TScriptedMessageBoxes::TScriptedMessageBoxes(std::deque<TModalResult> Script)
    : Answers(std::move(Script)), FPrevious(SetMessageBoxes(this))
{
}

TScriptedMessageBoxes::~TScriptedMessageBoxes() { SetMessageBoxes(FPrevious); }

TModalResult TScriptedMessageBoxes::MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons)
{
    Asked.push_back({Text, Type, Buttons});
    if (Answers.empty())
        return EscapeResult(Buttons);
    const TModalResult R = Answers.front();
    Answers.pop_front();
    return R;
}

}  // namespace narvo
