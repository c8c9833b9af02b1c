// What the benchmarks with widgets share: one application on the offscreen
// platform for the whole run.
#pragma once

#include <QApplication>

#include <cstdlib>
#include <string>
#include <unistd.h>

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

// A settings folder of the bench's own, removed at the end.
class TSettingsFolder {
public:
    TSettingsFolder()
    {
        char Pattern[] = "/tmp/narvo-bench-XXXXXX";
        Folder = mkdtemp(Pattern);
        setenv("NARVO_CONFIG_DIR", Folder.c_str(), 1);
    }
    ~TSettingsFolder() { std::system(("rm -rf '" + Folder + "'").c_str()); }

    std::string Folder;
};

}  // namespace narvo::bench
