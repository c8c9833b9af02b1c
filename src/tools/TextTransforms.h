// The text transforms of the Format menu as plain functions on one string: the
// highlighted text of a pane (a stream joined by CR, a column block with CR LF after
// every line) goes in, the replacement comes out. The line-wise transforms cut the
// text at CR, LF and CR LF (a final line break gives a final empty line) and join
// the lines with a lone CR, with none after the last line. Letters are the ASCII
// letters only; bytes above 127 pass through every case transform unchanged. The
// transforms that may build a large result take a step (TLongStep) that can stop
// them between pieces of their work: they then answer "", having built nothing.
#pragma once

#include "engine/LongStep.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace narvo {

// --- lines -------------------------------------------------------------------------------
std::vector<std::string> SplitHighlightLines(std::string_view S);

// --- %-hex -------------------------------------------------------------------------------
// "%" and two upper-case hex digits per character: "A" CR gives "%41%0D".
std::string StringToPercentHex(std::string_view S, TLongStep* Step = nullptr);
// %XX runs decoded ("%414243" gives "ABC"); a "%" without two hex digits is dropped.
std::string PercentHexToString(std::string_view S);

// --- line marks --------------------------------------------------------------------------
// At every line start (the first character and each character after a CR, except
// after a CR that ends S): a line starting with Mark gets one more Mark, any other
// line gets Mark and a blank. "" stays "".
std::string InsertLineMarksText(std::string_view S, char Mark, TLongStep* Step = nullptr);
// One Mark removed from every line start that holds one.
std::string RemoveLineMarksText(std::string_view S, char Mark, TLongStep* Step = nullptr);

// --- Spanish accents ---------------------------------------------------------------------
// An apostrophe or tilde after a letter of "?AEINOUaeinou" accents that letter
// (Latin-1 codes); the mark itself is always dropped (except as the first character).
std::string SpanishAccentsText(std::string_view S);

// --- HTML --------------------------------------------------------------------------------
// Every tag, from a "<" to the first ">" after it with no "<" in between, removed
// whole; a "<" that no ">" closes is dropped, a ">" that closes no tag is text.
std::string StripTags(std::string_view Text);
// The common tags turned into line breaks (links show their address on a line of its
// own), then StripTags.
std::string RemoveHtmlText(std::string_view S);

// --- tabs and spaces ---------------------------------------------------------------------
// Tab widths below 1 count as 1 (a width of 0 may come from a hand-edited ini file).
// Every tab becomes blanks up to the next multiple of TabWidth, Line's first
// character standing at StartColumn.
std::string ExpandTabsLine(std::string_view Line, int TabWidth, std::int64_t StartColumn = 0);
std::string TabsToSpacesText(std::string_view S, int TabWidth, TLongStep* Step = nullptr);
// The column at which the character at Index shows once tabs are expanded.
std::int64_t DisplayColumn(std::string_view Line, std::size_t Index, int TabWidth);
// Runs of at least MinSpaces blanks before a non-blank become tabs (and the blanks
// the tab grid cannot cover), Line's first character standing at StartColumn.
// Blanks at the end are dropped, or with KeepTrailing (a piece in the middle of a
// line) converted as if a character followed them.
std::string SpacesToTabsLine(std::string_view Line, int TabWidth, int MinSpaces, std::int64_t StartColumn = 0,
                             bool KeepTrailing = false);
std::string SpacesToTabsText(std::string_view S, int TabWidth, int MinSpaces, TLongStep* Step = nullptr);

// --- block indent ------------------------------------------------------------------------
// Indent: Count copies of Ch before every line. Unindent: up to Count leading copies
// of Ch removed from every line.
std::string IndentText(std::string_view S, char Ch, int Count, bool Unindent, TLongStep* Step = nullptr);

// --- case --------------------------------------------------------------------------------
enum class TCaseMode : std::uint8_t { Upper, Lower, Sentence, Title, Toggle };
void UpperCaseText(std::string& S);
void LowerCaseText(std::string& S);
// A "." starts a sentence: its next letter is upper-cased, all other letters lowered.
void SentenceCase(std::string& S);
// A letter at the start or after a tab, CR or blank is upper-cased, all others lowered.
void TitleCase(std::string& S);
// Every letter changes case; whether any did.
bool ToggleLetterCase(std::string& S);
void ApplyCaseMode(std::string& S, TCaseMode Mode);

}  // namespace narvo
