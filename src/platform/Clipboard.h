// The clipboard adapter: the design's clipboard formats on top of QClipboard. 8-bit
// text goes out as text/plain (through Windows-1252, for other programs) plus
// private MIME types holding the exact bytes of CF_TEXT and CF_OEMTEXT, so that a
// copy and paste inside the program never loses a byte. "HTML Format" goes out as
// text/html plus its raw CF_HTML bytes under a private type. Format numbers come
// from a registry of our own: the three standard text formats keep their numbers,
// and registered names get numbers from 0xC000.
#pragma once

#include <string>
#include <string_view>
#include <vector>

class QMimeData;

namespace narvo {

inline constexpr int CF_TEXT = 1;
inline constexpr int CF_OEMTEXT = 7;
inline constexpr int CF_UNICODETEXT = 13;
inline constexpr int FirstRegisteredClipboardFormat = 0xC000;

// The private MIME types that carry the exact bytes of our formats.
inline constexpr const char* TextMimeType = "application/x-narvo-cf-text";
inline constexpr const char* OemTextMimeType = "application/x-narvo-cf-oemtext";
inline constexpr const char* HtmlFormatMimeType = "application/x-narvo-cf-html";
inline constexpr const char* HtmlFormatName = "HTML Format";

// Puts Text as text/plain and, byte for byte, as CF_TEXT and CF_OEMTEXT.
void CopyTextToClipboard(std::string_view Text);
// CF_TEXT: our exact bytes when present; else the Unicode text of another program
// through Windows-1252 ('?' for a character without a byte), with each lone LF
// made CR LF so that pasted lines stay lines.
std::string GetClipboardText();
// CF_OEMTEXT: our exact bytes when present, else the Unicode text through code page 437.
std::string GetClipboardOemText();
// Html as "HTML Format", always set (an empty fragment gives the bare block), and
// as text/html when not empty; Text as CF_TEXT and text/plain when not empty.
void CopyHtmlToClipboard(std::string_view Html, std::string_view Text);
// True when any text format is on the clipboard.
bool ClipboardHasText();

// The format registry. A name is registered once: the same name (in any case)
// always gives the same number.
int RegisterClipboardFormat(std::string_view Name);
// The registered name of Format; empty when Format is not registered.
std::string RegisteredClipboardFormatName(int Format);
// The standard name from the fixed table, else the registered name, else "".
std::string ClipboardFormatName(int Format);

// One format on the clipboard, for the clipboard viewer.
struct TClipboardFormat {
    int Format = 0;        // the format number
    std::string MimeType;  // the MIME type that carries it
    std::string Name;      // ClipboardFormatName(Format)
    long long Size = 0;    // bytes of data
};
// The formats now on the clipboard, in the order the clipboard lists them; the
// private types appear under their design numbers, text/plain as CF_UNICODETEXT
// and every other MIME type as a format registered under its own name. The X11
// selection's meta-targets (TARGETS, MULTIPLE, TIMESTAMP...) hold no data of their
// own and are left out. Text from another program also lists CF_TEXT last, which
// GetClipboardText derives from its Unicode text.
std::vector<TClipboardFormat> ClipboardFormats();
// Whether Format holds text: the three text formats, "HTML Format" and any format
// named by a text/... MIME type.
bool IsTextClipboardFormat(int Format);
// The raw data of a format now on the clipboard (empty when absent; also for a
// CF_TEXT derived from another program's text, which GetClipboardText reads).
std::string ClipboardFormatBytes(int Format);

}  // namespace narvo
