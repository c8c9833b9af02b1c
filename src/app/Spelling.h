// The spelling dialog in the running program: its form made at start-up, the Spell
// menu entry and tool button, the spell-checker settings entry, the command
// language's word-check operand and the writer of "NrvDictionary.ini".
#pragma once

#include <string>

namespace narvo {

// The command language's word check: -1 misspelt, 0 accepted; NoDictionary when no
// word list could be loaded (the answer is then 0).
int CheckSpelling(const std::string& Word, bool& NoDictionary);

// The Spell Check entry and button: the next misspelt word from the cursor on.
void SpellCheckNext();
// The Spell Checker... entry: the spelling settings.
void ShowSpellCheckerSettings();

// The spelling form, made with the start-up forms and freed after the message loop.
void CreateSpellForms();
void FreeSpellForms();

}  // namespace narvo
