// The 7-bit transliteration table and the menu command that applies it.
#include "tools/SevenBit.h"

#include "platform/posix/ProcessMemory.h"
#include "tools/TextToolHooks.h"

#include <array>

namespace narvo {

namespace {

// Texts for the codes 128 to 255.
const std::array<const char*, 128>& SevenBitTable()
{
    static const std::array<const char*, 128> Table = [] {
        std::array<const char*, 128> T{};
        T.fill(" ");
        auto Set = [&](int From, int To, const char* S) {
            for (int C = From; C <= To; ++C)
                T[static_cast<std::size_t>(C - 128)] = S;
        };
        Set(145, 145, "`");
        Set(146, 146, "'");
        Set(161, 161, "!");
        Set(162, 162, "cents");
        Set(163, 163, "pounds");
        Set(165, 165, "y");
        Set(166, 166, "|");
        Set(167, 167, "s");
        Set(168, 168, "-");
        Set(169, 169, "(c)");
        Set(170, 170, "a");
        Set(171, 171, "<<");
        Set(172, 173, "-");
        Set(174, 174, "(R)");
        Set(175, 175, "_");
        Set(176, 176, "degrees");
        Set(177, 177, "+/-");
        Set(178, 178, "2");
        Set(179, 179, "3");
        Set(180, 180, "'");
        Set(181, 181, "u");
        Set(182, 182, "P");
        Set(183, 183, ".");
        Set(184, 184, ",");
        Set(185, 185, "1");
        Set(186, 186, "0");
        Set(187, 187, ">>");
        Set(188, 188, "1/4");
        Set(189, 189, "1/2");
        Set(190, 190, "3/4");
        Set(191, 191, "?");
        Set(192, 197, "A");
        Set(198, 198, "AE");
        Set(199, 199, "C");
        Set(200, 203, "E");
        Set(204, 207, "I");
        Set(208, 208, "D");
        Set(209, 209, "N");
        Set(210, 214, "O");
        Set(215, 215, "X");
        Set(216, 216, "0");
        Set(217, 220, "U");
        Set(221, 221, "Y");
        Set(222, 222, "p");
        Set(223, 223, "b");
        Set(224, 229, "a");
        Set(230, 230, "ae");
        Set(231, 231, "C");
        Set(232, 235, "e");
        Set(236, 239, "i");
        Set(240, 240, "o");
        Set(241, 241, "n");
        Set(242, 246, "o");
        Set(247, 247, "/");
        Set(248, 248, "o");
        Set(249, 252, "u");
        Set(253, 253, "y");
        Set(254, 254, "p");
        return T;
    }();
    return Table;
}

}  // namespace

std::string CharTo7Bit(unsigned char C)
{
    if (C < 128)
        return std::string(1, static_cast<char>(C));
    return SevenBitTable()[C - 128u];
}

std::string StringTo7Bit(std::string_view S, TLongStep* Step)
{
    TLongStep None;
    TLongStep& L = Step ? *Step : None;
    // A high byte may become several characters: the result is sized, and the room
    // for it asked for, before it is built.
    std::array<std::int64_t, 256> Width{};
    for (std::size_t B = 0; B < 256; ++B)
        Width[B] = B < 128 ? 1 : static_cast<std::int64_t>(std::string_view(SevenBitTable()[B - 128]).size());
    std::int64_t Size = 0;
    for (const char C : S)
        Size += Width[static_cast<unsigned char>(C)];
    NeedRoomToBuild(Size);
    std::string Out;
    Out.reserve(static_cast<std::size_t>(Size));
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (!L.GoingAt(I))
            return {};
        const char C = S[I];
        const auto U = static_cast<unsigned char>(C);
        if (U < 128)
            Out += C;
        else
            Out += SevenBitTable()[U - 128u];
    }
    return Out;
}

void ConvertSelectionTo7Bit(TEditorEngine& Pane)
{
    ReplaceHighlightedText(Pane, [](const std::string& S, TLongStep& Step) { return StringTo7Bit(S, &Step); });
}

}  // namespace narvo
