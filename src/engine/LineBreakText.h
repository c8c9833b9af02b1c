// Line breaks between the editor and the clipboard. Inside the editor a stream of
// lines is joined by CR alone; on the clipboard every CR is followed by LF.
#pragma once

#include <string>
#include <string_view>

namespace narvo {

// S with LF after every CR that is not already followed by one, so that text which
// already ends its lines with CR LF (a column block) is not widened to CR LF LF.
std::string CrToCrLf(std::string_view S);
// S without its LF characters.
std::string StripLineFeeds(std::string_view S);
// A stream's text (lines joined by CR, an LF a character of its line) for the
// clipboard: LF after every CR. CrLfToCr gives back the very same text.
std::string StreamToCrLf(std::string_view S);
// Clipboard text for the panes: each CR LF becomes the one CR of a line end; a lone
// CR still ends a line and a lone LF stays a character of its line.
std::string CrLfToCr(std::string_view S);
// S with each CR or LF as one space, except that no space is put at the very start
// or right after a space.
std::string FlattenLineBreaks(std::string_view S);

}  // namespace narvo
