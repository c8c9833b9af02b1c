// A main window in a temporary folder (also the settings folder) with the real
// settings and document modules hooked in, scripted message boxes and file dialogs,
// and exceptions recorded instead of shown. Shared by the document, settings and
// key-routing tests.
#pragma once

#include "app/CommandLanguage.h"
#include "app/Documents.h"
#include "app/MainWindow.h"
#include "app/MainWindowHost.h"
#include "app/Settings.h"
#include "language/AppState.h"
#include "language/CommandHost.h"
#include "language/StatusLine.h"
#include "platform/Application.h"
#include "platform/FileDialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/posix/SafeFile.h"
#include "shared/FileFolder.h"

#include <gtest/gtest.h>

#include <QAction>

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <memory>
#include <sstream>
#include <unistd.h>

namespace narvo {

class AppWindowFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallCommandLanguage();
        CurrentFileName.clear();
        DefaultFolder.clear();
        MacroFolder.clear();
        // The module values other tests may have changed.
        MarginPresets = FactoryMarginPresets;
        PrintMargins = {};
        NewWordStyle = IgnoreCaseFlag = WrapFlag = false;
        HighlightSearch = AutoSaveEnabled = true;
        MinimumSpace = 1;
        AutoSaveInterval = 600000;
        LeftMargin = ParaIndent = 0;
        RightMargin = BellColumn = 72;
        BreakFlag = false;
        SetStatusMessage("", false);
        StartFolder = GetCurrentFolder();
        char Pattern[] = "/tmp/narvo-doc-XXXXXX";
        Folder = mkdtemp(Pattern);
        setenv("NARVO_CONFIG_DIR", Folder.c_str(), 1);
        PreviousReporter = SetExceptionReporter([this](const std::string& M) { Errors.push_back(M); });
        Form = std::make_unique<TForm1>();
    }
    void TearDown() override
    {
        SetFileFaultHook({});
        Form.reset();
        SetCommandHost(nullptr);
        SetExceptionReporter(PreviousReporter);
        EXPECT_EQ(chdir(StartFolder.c_str()), 0);
        std::system(("rm -rf '" + Folder + "'").c_str());
    }

    std::string Path(const std::string& Name) const { return Folder + "/" + Name; }
    void Write(const std::string& Name, const std::string& Bytes) const
    {
        std::ofstream(Path(Name), std::ios::binary) << Bytes;
    }
    std::string Read(const std::string& Name) const
    {
        std::ifstream In(Path(Name), std::ios::binary);
        std::ostringstream S;
        S << In.rdbuf();
        return S.str();
    }
    // The names in Folder, hidden ones left out, sorted.
    static std::vector<std::string> FilesIn(const std::string& Folder)
    {
        std::vector<std::string> Names;
        if (DIR* D = opendir(Folder.c_str())) {
            while (const dirent* E = readdir(D))
                if (E->d_name[0] != '.')
                    Names.emplace_back(E->d_name);
            closedir(D);
        }
        std::sort(Names.begin(), Names.end());
        return Names;
    }
    bool Exists(const std::string& Name) const { return access(Path(Name).c_str(), F_OK) == 0; }
    TScrollEditor& Main() const { return *Form->MainEditor; }
    // The last question the message boxes were asked ("" when none).
    std::string LastAsked() const { return Boxes.Asked.empty() ? std::string() : Boxes.Asked.back().Text; }
    // Triggers the window's menu entry or action of that object name.
    void Trigger(const char* Name)
    {
        QAction* A = Form->findChild<QAction*>(QString::fromLatin1(Name));
        ASSERT_NE(A, nullptr) << Name;
        A->trigger();
    }

    std::string Folder, StartFolder;
    std::vector<std::string> Errors;
    TExceptionReporter PreviousReporter;
    TScriptedMessageBoxes Boxes;
    TScriptedFileDialogs Dialogs;
    std::unique_ptr<TForm1> Form;
};

}  // namespace narvo
