// Names edited through their shown text (see TextConvert.h).
#include "platform/TextConvert.h"

#include <algorithm>

namespace narvo {

std::string EditedFileName(std::string_view OldName, const QString& NewText)
{
    const QString Old = FileNameToQString(OldName);
    if (NewText == Old)
        return std::string(OldName);
    const qsizetype Max = std::min(Old.size(), NewText.size());
    qsizetype Prefix = 0;
    while (Prefix < Max && Old[Prefix] == NewText[Prefix])
        ++Prefix;
    qsizetype Suffix = 0;
    while (Suffix < Max - Prefix && Old[Old.size() - 1 - Suffix] == NewText[NewText.size() - 1 - Suffix])
        ++Suffix;
    // A byte cut is clean when both halves decode to the two halves of the shown text;
    // names are short, so trying every cut costs nothing worth counting.
    const auto CleanAt = [&](std::size_t Cut, qsizetype& Chars) {
        const QString Head = FileNameToQString(OldName.substr(0, Cut));
        if (!Old.startsWith(Head) || FileNameToQString(OldName.substr(Cut)) != Old.mid(Head.size()))
            return false;
        Chars = Head.size();
        return true;
    };
    std::size_t HeadBytes = 0;
    qsizetype HeadChars = 0;
    for (std::size_t Cut = OldName.size(); Cut > 0; --Cut) {
        qsizetype Chars = 0;
        if (CleanAt(Cut, Chars) && Chars <= Prefix) {
            HeadBytes = Cut;
            HeadChars = Chars;
            break;
        }
    }
    std::size_t TailStart = OldName.size();
    qsizetype TailChars = 0;
    for (std::size_t Cut = HeadBytes; Cut < OldName.size(); ++Cut) {
        qsizetype Chars = 0;
        if (CleanAt(Cut, Chars) && Old.size() - Chars <= Suffix && HeadChars + (Old.size() - Chars) <= NewText.size()) {
            TailStart = Cut;
            TailChars = Old.size() - Chars;
            break;
        }
    }
    return std::string(OldName.substr(0, HeadBytes)) +
           QStringToFileName(NewText.mid(HeadChars, NewText.size() - HeadChars - TailChars)) +
           std::string(OldName.substr(TailStart));
}

}  // namespace narvo
