// The message boxes (see MessageBoxes.h): QMessageBox for the program, scripted
// answers for the tests.
#include "platform/MessageBoxes.h"

#include "platform/TextConvert.h"
#include "shared/StringRoutines.h"

#include <QApplication>
#include <QMessageBox>

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

class TQtMessageBoxes : public TMessageBoxes {
public:
    TModalResult MessageDlg(const std::string& Text, TMsgDlgType Type, TMsgDlgButtons Buttons) override
    {
        static constexpr const char* Titles[] = {"Warning", "Error", "Information", "Confirm", ""};
        static constexpr QMessageBox::Icon Icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                                      QMessageBox::Information, QMessageBox::Question,
                                                      QMessageBox::NoIcon};
        if (Buttons == 0)
            Buttons = mbOK;
        QMessageBox Box(Icons[Type], QString::fromLatin1(Titles[Type]), AnsiToQString(Text), QMessageBox::NoButton,
                        QApplication::activeWindow());
        for (const TButtonMap& M : ButtonMap)
            if (Buttons & M.Bit)
                Box.addButton(M.Button);
        if ((Buttons & mbDefaultNo) && (Buttons & mbNo))
            Box.setDefaultButton(QMessageBox::No);
        const int Chosen = Box.exec();
        for (const TButtonMap& M : ButtonMap)
            if (Chosen == M.Button)
                return M.Result;
        return EscapeResult(Buttons);
    }
};

TMessageBoxes* GInstalled = nullptr;

}  // namespace

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
