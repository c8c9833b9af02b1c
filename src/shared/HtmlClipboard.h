// The bytes of the "HTML Format" clipboard data and the plain-text-to-paragraphs
// conversion used when text is copied as HTML. The clipboard itself is the
// platform layer's.
#pragma once

#include <string>
#include <string_view>

namespace narvo {

// The "HTML Format" data for the fragment Html: a 105-byte header of five lines
// (Version:0.9, then StartHTML, EndHTML, StartFragment and EndFragment as 10-digit
// byte offsets), "<html>" CR LF "<body>" CR LF "<!--StartFragment-->", Html
// unchanged, "<!--EndFragment-->" CR LF "</body>" CR LF "</html>". An empty
// fragment gives 177 bytes. The result does NOT end in the terminating zero byte:
// the writer that hands it to the clipboard appends that one byte.
std::string MakeHtmlFormatData(std::string_view Html);

// Each line of Text (ended by CR LF, CR or LF; a final line end adds no line) as
// "<p>" line "</p>" CR LF, with '&', '<' and '>' written as entities so that the
// text shows as typed.
std::string TextToHtmlParagraphs(std::string_view Text);

// Text with '&', '<' and '>' replaced by "&amp;", "&lt;" and "&gt;".
std::string HtmlEscape(std::string_view Text);

}  // namespace narvo
