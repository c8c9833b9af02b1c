// The search commands: `S` searches for the text given in the command line and
// `F` searches and replaces, in the direction of ForwardFlag (a `+` or `-` just
// before the letter sets it); the word-search keys look for the highlighted word or
// the word at the cursor; the search-line maker writes an `S` command for the word
// at the cursor into the next command line. All act on the given pane through its
// searcher, with the ignore-case and whole-word switches copied in first.
#pragma once

#include <cstdint>
#include <string>

namespace narvo {

class TCommandHost;
class TCommandLineStore;
class TEditorEngine;

// Pos is the position after the letter (from 1); the answer is where the search
// text ended (on its Esc, or one past the line's end).
std::int64_t SearchCmd(TCommandHost& Host, TEditorEngine& Pane, char Prev, const std::string& Line, std::int64_t Pos);
// The answer is where the replacement text ended.
std::int64_t FindReplaceCmd(TCommandHost& Host, TEditorEngine& Pane, char Prev, const std::string& Line,
                            std::int64_t Pos);
std::int64_t SearchTextCore(TCommandHost& Host, TEditorEngine& Pane, const std::string& Line, std::int64_t Pos);

// The highlighted text; without a highlight the word at the cursor is highlighted
// first.
std::string GetWordToSearch(TCommandHost& Host, TEditorEngine& Pane);
void WordSearchBackward(TCommandHost& Host, TEditorEngine& Pane);
void WordSearchForward(TCommandHost& Host, TEditorEngine& Pane);
// "S", the word at the cursor, Esc Esc (with "-" in front when Backward) in the
// next command line; nothing runs.
void MakeSearchCmdLine(TCommandHost& Host, TCommandLineStore& Store, TEditorEngine& Pane, bool Backward);

}  // namespace narvo
