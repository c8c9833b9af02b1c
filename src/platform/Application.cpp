// The application object and the exception boundary (see Application.h).
#include "platform/Application.h"

#include "platform/Canvas.h"
#include "platform/KeyState.h"
#include "platform/MessageBoxes.h"
#include "platform/ProgramIcon.h"
#include "platform/TextConvert.h"
#include "platform/posix/ProcessMemory.h"
#include "shared/StringRoutines.h"

#include <QInputEvent>
#include <exception>
#include <new>
#include <stdexcept>

namespace narvo {

namespace {
TExceptionReporter GReporter;
}  // namespace

TNarvoApplication::TNarvoApplication(int& Argc, char** Argv) : QApplication(Argc, Argv)
{
    setApplicationName(QStringLiteral("Narvo"));
    // The task bar matches the window to the installed narvo.desktop and its icon.
    setDesktopFileName(QStringLiteral("narvo"));
    setWindowIcon(ProgramIcon());
    InstallSystemColorResolver();
}

bool TNarvoApplication::notify(QObject* Receiver, QEvent* Event)
{
    try {
        if (Event && Event->isInputEvent()) {
            TKeyStateScope Keys(static_cast<QInputEvent*>(Event)->modifiers());
            return QApplication::notify(Receiver, Event);
        }
        return QApplication::notify(Receiver, Event);
    } catch (...) {
        ShowCurrentException();
    }
    return false;
}

TExceptionReporter SetExceptionReporter(TExceptionReporter Reporter)
{
    std::swap(GReporter, Reporter);
    return Reporter;
}

void ShowExceptionMessage(const std::string& Message)
{
    // A huge name in the message (from a damaged settings file) is shortened.
    const std::string Shown = ElideLongLines(Message, 300);
    if (GReporter) {
        GReporter(Shown);
        return;
    }
    ShowQtMessageBox(QApplication::applicationName().toStdString(), Shown, mtError, mbOK);
}

void ShowCurrentException()
{
    std::string Message;
    try {
        throw;
    } catch (const ENoRoom& E) {
        // A step refused before it built: what it needs and the bound it met.
        Message = E.what();
    } catch (const std::bad_alloc&) {
        // What ran out is said in words; the operation that met it changed nothing.
        Message = OutOfMemoryMessage;
    } catch (const std::length_error&) {
        Message = OutOfMemoryMessage;
    } catch (const std::exception& E) {
        Message = E.what();
    } catch (...) {
        Message = "Unknown exception";
    }
    try {
        ShowExceptionMessage(Message);
    } catch (...) {
        // The box itself failed; there is nobody left to tell.
    }
}

bool RunGuarded(const std::function<void()>& Action)
{
    try {
        Action();
        return true;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
}

}  // namespace narvo
