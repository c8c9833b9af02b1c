// The Format menu's text transforms on plain strings (see TextTransforms.h). Each
// runs in one pass over its input, so a large highlight costs its length only.
#include "tools/TextTransforms.h"

#include "engine/EditBuffer.h"
#include "platform/posix/ProcessMemory.h"
#include "shared/CharClass.h"
#include "shared/HexText.h"

#include <algorithm>

namespace narvo {

namespace {

int ValidTabWidth(int TabWidth) { return TabWidth < 1 ? 1 : TabWidth; }

// The transforms that put something before every line or in place of every tab
// may build many times their input: the room for the most they can build is asked
// for before they start (see NeedRoomToBuild).
void NeedRoomForEach(std::string_view S, std::string_view Chars, std::int64_t Each)
{
    std::int64_t N = 1;
    for (const char C : Chars)
        N += std::count(S.begin(), S.end(), C);
    NeedRoomToBuild(static_cast<std::int64_t>(S.size()) + N * Each);
}

// Index I starts a line of S: the first character, or one after a line end (CR, LF or
// CR LF, taken as one), except at the very end of S.
bool IsLineStart(std::string_view S, std::size_t I)
{
    if (I >= S.size())
        return false;
    if (I == 0)
        return true;
    const char P = S[I - 1];
    if (P == '\n')
        return true;
    return P == '\r' && S[I] != '\n';
}

// A step that nothing stops, for the callers that pass none.
TLongStep& StepOrNone(TLongStep* Step)
{
    thread_local TLongStep None;
    return Step ? *Step : None;
}

template <class F>
std::string MapLines(std::string_view S, TLongStep& Step, F&& Line)
{
    std::string Out;
    Out.reserve(S.size());
    bool First = true;
    ForEachTextLine(S, [&](std::string_view Piece, bool) {
        if (Step.Stopped())
            return;
        if (!First)
            Out += '\r';
        First = false;
        const std::size_t Before = Out.size();
        Out += Line(Piece);
        Step.Going(Piece.size() + Out.size() - Before);
    });
    if (Step.Stopped())
        return {};
    return Out;
}

void ReplaceAll(std::string& S, std::string_view From, std::string_view To)
{
    if (S.find(From) == std::string::npos)
        return;
    std::string Out;
    Out.reserve(S.size());
    std::size_t Start = 0;
    for (std::size_t At; (At = S.find(From, Start)) != std::string::npos; Start = At + From.size()) {
        Out.append(S, Start, At - Start);
        Out += To;
    }
    Out.append(S, Start, std::string::npos);
    S = std::move(Out);
}

// Every "<div" tag, with whatever attributes follow up to its ">", becomes one line
// break; a "<div" that no ">" closes loses only the four characters.
void ReplaceDivTags(std::string& S)
{
    static constexpr std::string_view Div = "<div";
    if (S.find(Div) == std::string::npos)
        return;
    std::string Out;
    Out.reserve(S.size());
    std::size_t Start = 0;
    for (std::size_t At; (At = S.find(Div, Start)) != std::string::npos;) {
        Out.append(S, Start, At - Start);
        Out += "\r\n";
        const std::size_t Close = S.find_first_of("<>", At + Div.size());
        Start = Close != std::string::npos && S[Close] == '>' ? Close + 1 : At + Div.size();
    }
    Out.append(S, Start, std::string::npos);
    S = std::move(Out);
}

}  // namespace

std::vector<std::string> SplitHighlightLines(std::string_view S)
{
    std::vector<std::string> Lines;
    ForEachTextLine(S, [&](std::string_view Piece, bool) { Lines.emplace_back(Piece); });
    return Lines;
}

std::string StringToPercentHex(std::string_view S, TLongStep* Step)
{
    static constexpr char Digits[] = "0123456789ABCDEF";
    TLongStep& L = StepOrNone(Step);
    NeedRoomToBuild(static_cast<std::int64_t>(S.size()) * 3);
    std::string Out;
    Out.reserve(S.size() * 3);
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (!L.GoingAt(I))
            return {};
        const auto U = static_cast<unsigned char>(S[I]);
        Out += '%';
        Out += Digits[U >> 4];
        Out += Digits[U & 15];
    }
    return Out;
}

std::string PercentHexToString(std::string_view S) { return DecodeEscapedText(S, '%'); }

std::string InsertLineMarksText(std::string_view S, char Mark, TLongStep* Step)
{
    TLongStep& L = StepOrNone(Step);
    NeedRoomForEach(S, "\r\n", 2);
    std::string Out;
    Out.reserve(S.size() + 16);
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (!L.GoingAt(I))
            return {};
        if (IsLineStart(S, I)) {
            Out += Mark;
            if (S[I] != Mark)
                Out += ' ';
        }
        Out += S[I];
    }
    return Out;
}

std::string RemoveLineMarksText(std::string_view S, char Mark, TLongStep* Step)
{
    TLongStep& L = StepOrNone(Step);
    std::string Out;
    Out.reserve(S.size());
    for (std::size_t I = 0; I < S.size(); ++I) {
        if (!L.GoingAt(I))
            return {};
        if (!(S[I] == Mark && IsLineStart(S, I)))
            Out += S[I];
    }
    return Out;
}

namespace {

char SpanishAccent(char C)
{
    switch (C) {
    case '?': return static_cast<char>(191);
    case 'A': return static_cast<char>(193);
    case 'E': return static_cast<char>(201);
    case 'I': return static_cast<char>(205);
    case 'N': return static_cast<char>(209);
    case 'O': return static_cast<char>(211);
    case 'U': return static_cast<char>(218);
    case 'a': return static_cast<char>(225);
    case 'e': return static_cast<char>(233);
    case 'i': return static_cast<char>(237);
    case 'n': return static_cast<char>(241);
    case 'o': return static_cast<char>(243);
    case 'u': return static_cast<char>(250);
    default: return C;
    }
}

}  // namespace

std::string SpanishAccentsText(std::string_view S)
{
    if (S.size() < 2)
        return std::string(S);
    // Walking down from the end, a mark accents the character before it and goes;
    // since marks never become accented letters, flags replace the deletions.
    std::string T(S);
    std::vector<bool> Gone(T.size(), false);
    for (std::size_t I = T.size() - 1; I >= 1; --I) {
        if (T[I] == '\'' || T[I] == '~') {
            T[I - 1] = SpanishAccent(T[I - 1]);
            Gone[I] = true;
        }
    }
    std::string Out;
    Out.reserve(T.size());
    for (std::size_t I = 0; I < T.size(); ++I)
        if (!Gone[I])
            Out += T[I];
    return Out;
}

std::string StripTags(std::string_view Text)
{
    // A tag runs from a "<" to the first ">" after it with no other "<" in between
    // and goes whole. A "<" that no such ">" closes is dropped alone, and a ">" that
    // closes no tag is text. Each character is looked at most twice.
    std::string Out;
    Out.reserve(Text.size());
    std::size_t I = 0;
    while (I < Text.size()) {
        if (Text[I] != '<') {
            Out += Text[I++];
            continue;
        }
        const std::size_t Next = Text.find_first_of("<>", I + 1);
        I = Next != std::string_view::npos && Text[Next] == '>' ? Next + 1 : I + 1;
    }
    return Out;
}

std::string RemoveHtmlText(std::string_view S)
{
    static const std::string CrLf = "\r\n";
    struct TRule {
        const char* From;
        std::string To;
    };
    static const TRule Rules[] = {
        {"<html>", CrLf},    {"<html/>", CrLf},  {"<body>", CrLf},        {"<p>", CrLf},    {"<p/>", CrLf},
        {"<br>", CrLf},      {"<a href=\"", CrLf}, {"\">", CrLf + CrLf}, {"</a>", CrLf},   {"<b>", ""},
        {"<b/>", ""},        {"<i>", ""},        {"<i/>", ""},            {"<!--", "Comment: "},
        {"-->", CrLf},       {"<ul>", CrLf},     {"<ul/>", CrLf},         {"<ol>", CrLf},   {"<ol/>", CrLf},
        {"<li>", CrLf + " + "}, {"<li/>", CrLf}, {"<pre>", CrLf},
        {"<pre/>", CrLf},
    };
    // A div tag goes whole before the quote rule can cut into its attributes.
    std::string T(S);
    ReplaceDivTags(T);
    for (const TRule& R : Rules)
        ReplaceAll(T, R.From, R.To);
    return StripTags(T);
}

std::string ExpandTabsLine(std::string_view Line, int TabWidth, std::int64_t StartColumn)
{
    const std::size_t W = static_cast<std::size_t>(ValidTabWidth(TabWidth));
    const auto Start = static_cast<std::size_t>(std::max<std::int64_t>(StartColumn, 0));
    std::string Out;
    Out.reserve(Line.size());
    for (const char C : Line) {
        if (C == '\t')
            Out.append(W - (Start + Out.size()) % W, ' ');
        else
            Out += C;
    }
    return Out;
}

std::string TabsToSpacesText(std::string_view S, int TabWidth, TLongStep* Step)
{
    NeedRoomForEach(S, "\t", ValidTabWidth(TabWidth));
    return MapLines(S, StepOrNone(Step), [&](std::string_view L) { return ExpandTabsLine(L, TabWidth); });
}

std::int64_t DisplayColumn(std::string_view Line, std::size_t Index, int TabWidth)
{
    const std::int64_t W = ValidTabWidth(TabWidth);
    std::int64_t Col = 0;
    for (std::size_t I = 0; I < Index && I < Line.size(); ++I)
        Col = Line[I] == '\t' ? (Col / W + 1) * W : Col + 1;
    return Col;
}

std::string SpacesToTabsLine(std::string_view Line, int TabWidth, int MinSpaces, std::int64_t StartColumn,
                             bool KeepTrailing)
{
    const std::int64_t W = ValidTabWidth(TabWidth);
    const std::int64_t Min = std::max(MinSpaces, 1);
    std::string Out;
    Out.reserve(Line.size());
    // Col: the display column of the character at hand.
    std::int64_t Run = 0, Col = std::max<std::int64_t>(StartColumn, 0);
    auto Flush = [&] {
        if (Run >= Min) {
            const std::int64_t R = std::min(Col % W, Run);
            const std::int64_t K = Run - R;
            Out.append(static_cast<std::size_t>((K + W - 1) / W), '\t');
            Out.append(static_cast<std::size_t>(R), ' ');
        } else {
            Out.append(static_cast<std::size_t>(Run), ' ');
        }
        Run = 0;
    };
    for (const char C : Line) {
        if (C == ' ') {
            ++Run;
            ++Col;
            continue;
        }
        Flush();
        Out += C;
        Col = C == '\t' ? (Col / W + 1) * W : Col + 1;
    }
    if (KeepTrailing)
        Flush();
    return Out;
}

std::string SpacesToTabsText(std::string_view S, int TabWidth, int MinSpaces, TLongStep* Step)
{
    return MapLines(S, StepOrNone(Step), [&](std::string_view L) { return SpacesToTabsLine(L, TabWidth, MinSpaces); });
}

std::string IndentText(std::string_view S, char Ch, int Count, bool Unindent, TLongStep* Step)
{
    const std::size_t N = static_cast<std::size_t>(std::max(Count, 0));
    if (!Unindent)
        NeedRoomForEach(S, "\r\n", static_cast<std::int64_t>(N));
    return MapLines(S, StepOrNone(Step), [&](std::string_view L) {
        if (!Unindent)
            return std::string(N, Ch) + std::string(L);
        std::size_t Cut = 0;
        while (Cut < N && Cut < L.size() && L[Cut] == Ch)
            ++Cut;
        return std::string(L.substr(Cut));
    });
}

void UpperCaseText(std::string& S)
{
    for (char& C : S)
        C = static_cast<char>(UpCaseChar(static_cast<unsigned char>(C)));
}

void LowerCaseText(std::string& S)
{
    for (char& C : S)
        C = static_cast<char>(LowCaseChar(static_cast<unsigned char>(C)));
}

void SentenceCase(std::string& S)
{
    bool Start = true;
    for (char& C : S) {
        const auto U = static_cast<unsigned char>(C);
        if (C == '.')
            Start = true;
        if (Start && IsAlpha(U)) {
            C = static_cast<char>(UpCaseChar(U));
            Start = false;
        } else if (IsUpper(U)) {
            C = static_cast<char>(LowCaseChar(U));
        }
    }
}

void TitleCase(std::string& S)
{
    char Prev = ' ';
    for (char& C : S) {
        const auto U = static_cast<unsigned char>(C);
        const bool WordStart = Prev == ' ' || Prev == '\t' || Prev == '\r';
        Prev = C;
        if (IsAlpha(U))
            C = static_cast<char>(WordStart ? UpCaseChar(U) : LowCaseChar(U));
    }
}

bool ToggleLetterCase(std::string& S)
{
    bool Changed = false;
    for (char& C : S) {
        const auto U = static_cast<unsigned char>(C);
        if (IsAlpha(U)) {
            C = static_cast<char>(IsUpper(U) ? LowCaseChar(U) : UpCaseChar(U));
            Changed = true;
        }
    }
    return Changed;
}

void ApplyCaseMode(std::string& S, TCaseMode Mode)
{
    switch (Mode) {
    case TCaseMode::Upper: UpperCaseText(S); break;
    case TCaseMode::Lower: LowerCaseText(S); break;
    case TCaseMode::Sentence: SentenceCase(S); break;
    case TCaseMode::Title: TitleCase(S); break;
    case TCaseMode::Toggle: ToggleLetterCase(S); break;
    }
}

}  // namespace narvo
