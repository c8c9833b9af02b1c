// What the benchmarks with widgets share: one application on the offscreen
// platform for the whole run.
#pragma once

#include <QApplication>

namespace narvo::bench {

// Makes the application the first time (Name is the program's name); true that time.
inline bool EnsureApplication(const char* Name)
{
    static int Argc = 1;
    static char* Argv[] = {const_cast<char*>(Name), nullptr};
    // Never destroyed: taking it down at exit, after Qt's own globals, crashed.
    static QApplication* App = nullptr;
    if (App)
        return false;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    App = new QApplication(Argc, Argv);
    return true;
}

}  // namespace narvo::bench
