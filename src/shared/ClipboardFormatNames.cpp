// The fixed clipboard format names (see ClipboardFormatNames.h).
#include "shared/ClipboardFormatNames.h"

namespace narvo {

std::string StandardClipboardFormatName(int Format, bool& Known)
{
    static constexpr const char* Low[] = {
        "Text", "Bitmap", "Meta File Pict", "Sylk", "Dif", "TIFF", "Oem Text", "DIB", "Palette",
        "Pen Data", "RIFF", "Wave", "Unicode Text", "Enh Meta File", "Hdrop", "Locale", "Max"};
    Known = true;
    if (Format >= 1 && Format <= 17)
        return Low[Format - 1];
    switch (Format) {
    case 128: return "Owner Display";
    case 129: return "DSP Text";
    case 130: return "DSP Bitmap";
    case 131: return "DSP Meta File Pict";
    case 142: return "DSP Enh Meta File";
    default: break;
    }
    if (Format >= 512 && Format <= 767)
        return "Private";
    if (Format >= 768 && Format <= 1023)
        return "GDI Object";
    Known = false;
    return {};
}

}  // namespace narvo
