// The spelling dialog in the running program: its form made at start-up, the Spell
// menu entry and tool button, the spell-checker settings entry, the command
// language's word-check operand and the writer of "NrvDictionary.ini".
#pragma once

namespace narvo {

// Fills the hooks once, before the main window exists.
void InstallSpellHooks();

}  // namespace narvo
