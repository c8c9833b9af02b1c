// The clipboard as the text model sees it: one text to read, a text or an HTML
// fragment with its text to write. The model has no window system, so the widget
// layer installs an implementation over the desktop's clipboard; until one is
// installed a clipboard in memory answers, which is also what engine tests use.
#pragma once

#include "shared/CodePage.h"

#include <string>

namespace narvo {

class TClipboardAccess {
public:
    virtual ~TClipboardAccess() = default;
    // The clipboard's text with line ends as CR LF; Page is the code page in which
    // a text from another program is to arrive. Empty when the clipboard holds none.
    virtual std::string GetText(TCodePage Page) = 0;
    virtual void SetText(const std::string& Text) = 0;
    // Html as the HTML format and Text as the plain text beside it.
    virtual void SetHtml(const std::string& Html, const std::string& Text) = 0;
};

// A clipboard that only remembers what was put on it.
class TMemoryClipboard : public TClipboardAccess {
public:
    std::string Text;
    std::string Html;
    int Writes = 0;
    int Reads = 0;

    std::string GetText(TCodePage) override
    {
        ++Reads;
        return Text;
    }
    void SetText(const std::string& AText) override
    {
        ++Writes;
        Text = AText;
        Html.clear();
    }
    void SetHtml(const std::string& AHtml, const std::string& AText) override
    {
        ++Writes;
        Html = AHtml;
        Text = AText;
    }
};

// The clipboard every editor uses: the installed one, else a memory clipboard of
// the process.
TClipboardAccess& ClipboardAccess();
// Installs Access (not owned; it must outlive its use); nullptr goes back to the
// memory clipboard. Answers the previously installed one (or nullptr).
TClipboardAccess* SetClipboardAccess(TClipboardAccess* Access);
// The installed clipboard, nullptr while none is.
TClipboardAccess* InstalledClipboardAccess();

}  // namespace narvo
