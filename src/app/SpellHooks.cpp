// Wiring of the spelling dialog into the main window (see SpellHooks.h).
#include "app/SpellHooks.h"

#include "app/MainWindow.h"
#include "app/MainWindowMenus.h"
#include "app/Settings.h"
#include "editor/ScrollEditor.h"
#include "tools/SpellChecker.h"
#include "tools/SpellDialog.h"

namespace narvo {

int CheckSpelling(const std::string& Word, bool& NoDictionary)
{
    SpellingDlg(Form1);
    NoDictionary = !SpellChecker->Loaded && !LoadDictionary();
    if (NoDictionary)
        return 0;
    return SpellChecker->CheckWord(Word) ? 0 : -1;
}

void InstallSpellHooks()
{
    SpellHooks().ActiveEditor = []() -> TScrollEditor* {
        if (!Form1)
            return nullptr;
        return Form1->ActiveEditor ? Form1->ActiveEditor : Form1->MainEditor;
    };
    TMenuActions& Menus = MenuActions();
    Menus.SpellCheck = [] { SpellingDlg(Form1)->SpellCheckNext(); };
    Menus.SpellCheckerSettings = [] { SpellingDlg(Form1)->ShowSpellOptions(); };
    // Written by "Save User Settings" only, and only once the form has read them.
    SaveSpellSettings = [] {
        if (SpellChecker)
            SpellingDlg()->SaveSpellSettings();
    };
}

void CreateSpellForms() { SpellingDlg(Form1); }

void FreeSpellForms() { FreeSpellingDlg(); }

}  // namespace narvo
