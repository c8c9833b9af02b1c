// The program's own main window for tests that drive it as the program runs it:
// its modules and start-up forms, shown and past its first activation, in a
// settings folder of its own, with the given command host, the real clipboard,
// scripted message boxes and exceptions recorded. Shared by the golden cases on the
// window and the round of random command lines.
#pragma once

#include "app/MainWindow.h"
#include "editor/EditorClipboard.h"
#include "language/CommandHost.h"
#include "language/CommandLines.h"
#include "platform/Application.h"
#include "platform/MessageBoxes.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace narvo::test {

class TProgramWindow {
protected:
    // Opens the window with Host as the command language's host; Pattern names the
    // settings folder made for it ("/tmp/narvo-...-XXXXXX").
    void OpenWindow(const char* Pattern, TCommandHost& Host)
    {
        CommandLines() = TCommandLineStore();
        std::string Template = Pattern;
        Folder = mkdtemp(Template.data());
        setenv("NARVO_CONFIG_DIR", Folder.c_str(), 1);
        PreviousReporter = SetExceptionReporter([this](const std::string& M) { Errors.push_back(M); });
        PreviousClipboard = SetClipboardAccess(&PlatformClipboardAccess());
        InstallProgramModules();
        SetCommandHost(&Host);
        Form = std::make_unique<TForm1>();
        CreateStartupForms();
        Form->show();
        const auto End = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (Form->FirstActivation() && std::chrono::steady_clock::now() < End)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    void CloseWindow()
    {
        FreeStartupForms();
        Form.reset();
        SetCommandHost(nullptr);
        CommandLines() = TCommandLineStore();
        SetClipboardAccess(PreviousClipboard);
        SetExceptionReporter(PreviousReporter);
        std::system(("rm -rf '" + Folder + "'").c_str());
    }

    std::string Folder;
    std::vector<std::string> Errors;
    TScriptedMessageBoxes Boxes;
    std::unique_ptr<TForm1> Form;

private:
    TExceptionReporter PreviousReporter;
    TClipboardAccess* PreviousClipboard = nullptr;
};

}  // namespace narvo::test
