// Program entry: shares the arguments out between the toolkit and the program,
// creates the application object with the one exception boundary and hands over to
// the main window's run (MainBlock), which ends when the main window closes.
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "platform/Application.h"
#include "platform/ProgramArguments.h"

int main(int argc, char* argv[])
{
    // The file to open is read while the toolkit starts.
    narvo::PrefetchStartupFile(argc, argv);
    // The application object takes the toolkit's own options; a file named like one
    // (or given after "--") is kept for the program.
    narvo::TProgramArguments Args(argc, argv);
    narvo::TNarvoApplication App(Args.ToolkitArgc(), Args.ToolkitArgv());
    narvo::KeepCommandLine(Args);
    return narvo::MainBlock(App, Args.Params());
}
