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
// S with each CR or LF as one space, except that no space is put at the very start
// or right after a space.
std::string FlattenLineBreaks(std::string_view S);

}  // namespace narvo
