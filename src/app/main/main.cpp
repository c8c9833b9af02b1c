// Program entry: creates the application object with the one exception boundary,
// shows the main window and runs the message loop until it closes.
#include "platform/Application.h"

#include <QMainWindow>

int main(int argc, char* argv[])
{
    narvo::TNarvoApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Narvo");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
