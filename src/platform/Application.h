// The application object and the program's one exception boundary. No exception
// may cross a Qt frame unseen: whatever escapes an event handler, a timer or a run
// is shown in a message box with its message, and the program goes on. Tests
// replace the box by a reporter that records the message.
#pragma once

#include <QApplication>
#include <functional>
#include <string>

namespace narvo {

class TNarvoApplication : public QApplication {
public:
    TNarvoApplication(int& Argc, char** Argv);
    // Delivers the event with the live key state of input events set, and shows any
    // exception that escapes its handler.
    bool notify(QObject* Receiver, QEvent* Event) override;
};

// Receives the message of an exception that reached the boundary.
using TExceptionReporter = std::function<void(const std::string& Message)>;
// Installs Reporter (an empty function restores the message box); returns the previous one.
TExceptionReporter SetExceptionReporter(TExceptionReporter Reporter);

// Shows Message (Windows-1252 bytes) as the boundary does: the reporter, else a
// message box titled with the application's name.
void ShowExceptionMessage(const std::string& Message);
// What the boundary shows for memory that ran out (std::bad_alloc or a size past
// what a string or list can hold).
inline constexpr const char* OutOfMemoryMessage =
    "Text Too Large: there was not enough memory to complete the operation.";
// Shows the exception being handled; call only inside a catch block.
void ShowCurrentException();

// Runs Action inside the boundary, for entry points that Qt calls outside notify
// (and for runs started by hand). False when an exception was shown.
bool RunGuarded(const std::function<void()>& Action);

}  // namespace narvo
