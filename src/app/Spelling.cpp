// Wiring of the spelling dialog into the main window (see Spelling.h).
#include "app/Spelling.h"

#include "app/MainWindow.h"
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

void SpellCheckNext() { SpellingDlg(Form1)->SpellCheckNext(); }

void ShowSpellCheckerSettings() { SpellingDlg(Form1)->ShowSpellOptions(); }

void CreateSpellForms() { SpellingDlg(Form1); }

void FreeSpellForms() { FreeSpellingDlg(); }

}  // namespace narvo
