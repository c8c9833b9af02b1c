// The desktop clipboard behind the editors (see EditorClipboard.h).
#include "editor/EditorClipboard.h"

#include "platform/Clipboard.h"

namespace narvo {

namespace {

class TPlatformClipboard : public TClipboardAccess {
public:
    std::string GetText(TCodePage Page) override
    {
        // Our own copies carry their exact bytes, whatever the pane's font; only a
        // text from another program is converted, through the pane's code page.
        for (const int Format : {Page == TCodePage::Oem ? CF_OEMTEXT : CF_TEXT, CF_TEXT, CF_OEMTEXT}) {
            std::string Bytes = ClipboardFormatBytes(Format);
            if (!Bytes.empty())
                return Bytes;
        }
        return Page == TCodePage::Oem ? GetClipboardOemText() : GetClipboardText();
    }
    void SetText(const std::string& Text) override { CopyTextToClipboard(Text); }
    void SetHtml(const std::string& Html, const std::string& Text) override { CopyHtmlToClipboard(Html, Text); }
};

}  // namespace

TClipboardAccess& PlatformClipboardAccess()
{
    static TPlatformClipboard Board;
    return Board;
}

void InstallPlatformClipboard()
{
    if (!InstalledClipboardAccess())
        SetClipboardAccess(&PlatformClipboardAccess());
}

}  // namespace narvo
