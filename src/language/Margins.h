// Text formatting against a left margin, a right margin and a paragraph indent:
// wrap while typing (a line that grows past the right margin is broken at a blank
// and continues at the left margin), the left-margin indent after Enter, centring
// a line (`Y`), remargining a paragraph (reflow to the margins, `M` and F6) and its
// inverse that joins a paragraph into one line.
//
// The rules that cut text into output lines are plain functions over strings, so
// they are tested with tables; the routines act on one pane's text model (the
// active pane), so they run headless. Margin values come from the settings file,
// the presets and `M`, and may be anything a user typed: every blank count is
// computed in 64 bits, and only a count that could exhaust memory (a margin of a
// billion columns put before every line) is clamped, to MaxMarginBlanks.
#pragma once

#include "engine/EditorEngine.h"
#include "engine/LongStep.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace narvo {

// The most blanks a margin, an indent or a centring pad puts before one line: far
// beyond any column a user means (`M0,5000Y` centres with its 2,499 blanks), and
// still small enough that a paragraph of short lines cannot exhaust memory.
inline constexpr std::int64_t MaxMarginBlanks = 65535;
// The line width that joins a paragraph into one line.
inline constexpr std::int64_t UnwrapWidth = 32000;
// How far back from the cursor wrap while typing looks for a blank.
inline constexpr std::int64_t WrapLookBack = 16;

// N blanks, N clamped into 0..MaxMarginBlanks.
std::string MarginBlanks(std::int64_t N);

// --- output-line rules ---------------------------------------------------------------
// Takes the next output line off the front of Rest: Prefix, then as many words as
// fit in Width (a word longer than the room stands alone and is never cut; a room
// of 0 or less gives one word). The blank after the line goes with it.
std::string TakeOutputLine(std::string& Rest, const std::string& Prefix, std::int64_t Width);
// The same over a view, which is advanced past the taken text (no copy of the rest).
std::string TakeOutputLine(std::string_view& Rest, const std::string& Prefix, std::int64_t Width);
// Text reflowed into lines of at most Width characters joined by CR: tabs and line
// breaks become blanks, runs of blanks one blank, leading blanks go; the first line
// starts with Indent + Left blanks, the others with Left; no line ends in a blank.
// A final CR is kept. With Step, the building looks out between its pieces and
// ends, answering "" with what it built freed, once Step stops.
std::string ReflowText(std::string_view Text, std::int64_t Left, std::int64_t Width, std::int64_t Indent,
                       TLongStep* Step = nullptr);

// The reflow of one text made a piece at a time, so that a huge result (a wide
// margin before every word) need not be held whole: what ReflowText gives, in the
// same order. Text must outlive it.
class TReflow {
public:
    TReflow(std::string_view Text, std::int64_t Left, std::int64_t Width, std::int64_t Indent);
    TReflow(const TReflow&) = delete;
    TReflow& operator=(const TReflow&) = delete;
    // The size of the whole result; with Step stopped meanwhile, less.
    std::int64_t Size(TLongStep& Step) const;
    // Appends the next whole lines to Out until it has grown by Most bytes or more;
    // false once the result is out or Step stopped (a piece may come with false).
    bool Next(std::string& Out, std::size_t Most, TLongStep& Step);

private:
    std::string FWords;
    std::string_view FRest;
    const std::string FFirstPad, FRestPad;
    const std::int64_t FWidth;
    const bool FEndsWithCR;
    bool FFirst = true, FDone = false;
};

// The 1-based index of the blank at which a line typed up to character Col breaks:
// the nearest blank among the WrapLookBack characters ending at Col; 0 for none.
std::int64_t FindWrapBlank(const std::string& Line, std::int64_t Col);
// Line broken at that blank: the blank becomes CR followed by Left blanks, and
// NewCol (in: the cursor's column) becomes the cursor's column on the new line.
// False, with Line unchanged, when there is no blank to break at.
bool BreakLineAtSpace(std::string& Line, std::int64_t Col, std::int64_t& NewCol, std::int64_t Left);
// Line without its leading characters up to code 32, centred between the margins:
// Left + (Right - Left - n + 1) / 2 blanks in front (none when that is 0 or less),
// n counting its characters of codes 32 to 254.
std::string CenteredLine(const std::string& Line, std::int64_t Left, std::int64_t Right);

// --- pane routines (the active pane; margins from AppState.h) -----------------------------
// Highlights From..To as a stream block for the text that replaces it: the found
// and column-block flags go first, so that an insertion replaces it rather than
// going in beside a search match.
void HighlightForReplacement(TEditorEngine& Pane, TPoint From, TPoint To);
// The paragraph around the cursor (the non-blank lines around it, or a blank cursor
// line alone), highlighted for replacement.
void HighlightParagraph(TEditorEngine& Pane);

// Inserts LeftMargin blanks at the cursor (nothing for none).
void IndentToLeftMargin(TEditorEngine& Pane);
// When the cursor's display column has passed RightMargin, breaks its line at the
// nearest blank among the last WrapLookBack characters; the cursor stays behind the
// character it followed. True when it broke the line.
bool AutoWrapLine(TEditorEngine& Pane);
// The step after a character has been typed: with WrapFlag on, a CR is followed by
// the left-margin indent and any other character by AutoWrapLine.
void AfterTypedChar(TEditorEngine& Pane, char Ch);
// F3: WrapFlag toggled; when it turns on, the cursor line is wrapped at once.
void ToggleWrapCmd(TEditorEngine& Pane);
// `Y`: the cursor line centred between LeftMargin and RightMargin.
void CenterLineCmd(TEditorEngine& Pane);
// The highlight (a search match counts as none), else the paragraph at the cursor,
// reflowed to the margins; the cursor then steps one character right. On an empty
// line that follows an empty line the cursor line is deleted instead, one per call.
// A reflow stopped by the pane's OnLongOperation (Ctrl+Break in a run) changes
// nothing, and the paragraph it highlighted is no longer highlighted.
void RemarginParagraph(TEditorEngine& Pane, std::int64_t Left, std::int64_t Right, std::int64_t Indent);
// F6 and `M`: with LeftMargin, RightMargin and ParaIndent.
void RemarginParagraph(TEditorEngine& Pane);
// Alt+F6: the paragraph joined into one line.
void UnwrapParagraph(TEditorEngine& Pane);

}  // namespace narvo
