// Program entry: creates the application object with the one exception boundary
// and hands over to the main window's run (MainBlock), which ends when the main
// window closes.
#include "app/MainWindow.h"
#include "platform/Application.h"

int main(int argc, char* argv[])
{
    // The application object takes the toolkit's own options out of argv.
    narvo::TNarvoApplication App(argc, argv);
    return narvo::MainBlock(App, argc, argv);
}
