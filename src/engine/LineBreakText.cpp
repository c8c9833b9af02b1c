// Line-break conversions between the editor's CR-joined text and the clipboard's
// CR LF text, and the flattening used where a text is read aloud.
#include "engine/LineBreakText.h"

namespace narvo {

std::string CrToCrLf(std::string_view S)
{
    std::string R;
    R.reserve(S.size() + S.size() / 32 + 1);
    for (std::size_t I = 0; I < S.size(); ++I) {
        R += S[I];
        if (S[I] == '\r' && (I + 1 >= S.size() || S[I + 1] != '\n'))
            R += '\n';
    }
    return R;
}

std::string StripLineFeeds(std::string_view S)
{
    std::string R;
    R.reserve(S.size());
    // Copies the runs between LFs whole: a clipboard text has one per line.
    std::size_t Start = 0;
    while (Start < S.size()) {
        std::size_t Lf = S.find('\n', Start);
        if (Lf == std::string_view::npos)
            Lf = S.size();
        R.append(S.data() + Start, Lf - Start);
        Start = Lf + 1;
    }
    return R;
}

std::string StreamToCrLf(std::string_view S)
{
    std::string R;
    R.reserve(S.size() + S.size() / 32 + 1);
    for (const char C : S) {
        R += C;
        if (C == '\r')
            R += '\n';
    }
    return R;
}

std::string CrLfToCr(std::string_view S)
{
    std::string R;
    R.reserve(S.size());
    for (std::size_t I = 0; I < S.size(); ++I) {
        R += S[I];
        if (S[I] == '\r' && I + 1 < S.size() && S[I + 1] == '\n')
            ++I;
    }
    return R;
}

std::string FlattenLineBreaks(std::string_view S)
{
    std::string R;
    R.reserve(S.size());
    for (char C : S) {
        if (C == '\r' || C == '\n') {
            if (R.empty() || R.back() == ' ')
                continue;
            C = ' ';
        }
        R += C;
    }
    return R;
}

}  // namespace narvo
