// The line buffer: its update bracket and lock, its line splices, and the conversion
// of whole texts between bytes (8-bit or UTF-16) and lines.
#include "engine/EditBuffer.h"

#include "shared/CodePage.h"

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace narvo {

std::string NormalizeLineBreaks(std::string_view Text)
{
    std::string Out;
    Out.reserve(Text.size());
    ForEachTextLine(Text, [&](std::string_view Piece, bool Ended) {
        Out.append(Piece);
        if (Ended)
            Out.push_back('\r');
    });
    return Out;
}

TEditBuffer::TEditBuffer() { FLines.emplace_back(); }

void TEditBuffer::BeginUpdate()
{
    if (FUpdateCount++ == 0) {
        FLock.lock();
        Changing = true;
        FDirty = false;
    }
}

void TEditBuffer::EndUpdate()
{
    if (FUpdateCount <= 0)
        throw std::logic_error("TEditBuffer::EndUpdate without BeginUpdate");
    if (--FUpdateCount == 0) {
        const bool Dirty = FDirty;
        Changing = false;
        FLock.unlock();
        if (Dirty && OnChange)
            OnChange();
    }
}

std::string& TEditBuffer::MutableLine(std::int64_t Y)
{
    if (FUpdateCount == 0)
        throw std::logic_error("TEditBuffer::MutableLine outside an update");
    FDirty = true;
    return FLines.at(static_cast<std::size_t>(Y));
}

void TEditBuffer::SetLine(std::int64_t Y, std::string S)
{
    TUpdate U(*this);
    MutableLine(Y) = std::move(S);
}

void TEditBuffer::InsertLine(std::int64_t At, std::string S)
{
    TUpdate U(*this);
    At = std::clamp<std::int64_t>(At, 0, Count());
    FLines.insert(FLines.begin() + At, std::move(S));
    FDirty = true;
}

void TEditBuffer::InsertLines(std::int64_t At, std::vector<std::string>&& NewLines)
{
    if (NewLines.empty())
        return;
    TUpdate U(*this);
    At = std::clamp<std::int64_t>(At, 0, Count());
    FLines.insert(FLines.begin() + At, std::make_move_iterator(NewLines.begin()),
                  std::make_move_iterator(NewLines.end()));
    FDirty = true;
}

void TEditBuffer::DeleteLines(std::int64_t First, std::int64_t Last)
{
    First = std::max<std::int64_t>(First, 0);
    Last = std::min<std::int64_t>(Last, Count() - 1);
    if (Last < First)
        return;
    TUpdate U(*this);
    FLines.erase(FLines.begin() + First, FLines.begin() + Last + 1);
    if (FLines.empty())
        FLines.emplace_back();
    FDirty = true;
}

void TEditBuffer::ResetFormat()
{
    Encoding = 0;
    FirstWord = 0;
    LineEnd = TLineEnd::Lf;
    Lossy = false;
    ChangedLineEnds = 0;
}

void TEditBuffer::Clear()
{
    TUpdate U(*this);
    std::vector<std::string> One(1);
    FLines.swap(One);
    ResetFormat();
    FDirty = true;
}

void TEditBuffer::ReplaceAll(std::vector<std::string>&& NewLines)
{
    if (NewLines.empty())
        NewLines.emplace_back();
    std::vector<std::string> Old;
    {
        TUpdate U(*this);
        Old.swap(FLines);
        FLines.swap(NewLines);
        FDirty = true;
    }
    // Old lines are freed here, outside the lock.
}

void TEditBuffer::SetTextStr(std::string_view Text)
{
    ResetFormat();
    if (Text.empty())
        return;
    const auto B0 = static_cast<unsigned char>(Text[0]);
    const auto B1 = Text.size() > 1 ? static_cast<unsigned char>(Text[1]) : 0u;
    FirstWord = static_cast<std::uint16_t>(B0 | (B1 << 8));
    if (FirstWord == 0xFEFF)
        Encoding = 1;
    else if (FirstWord == 0xFFFE)
        Encoding = 2;

    std::vector<std::string> NewLines;
    if (Encoding == 0)
        DecodeBytes(Text, NewLines);
    else
        DecodeUtf16(Text.substr(2), Encoding == 2, NewLines);
    ReplaceAll(std::move(NewLines));
}

namespace {

// The line end a text is split at: the most frequent of CR LF, lone LF and lone CR.
// A tie goes to CR, then CR LF, as those keep more files exactly as they were.
template <class FUnit>
TLineEnd DominantLineEnd(std::size_t N, FUnit&& Unit)
{
    std::size_t Count[3] = {0, 0, 0};
    for (std::size_t I = 0; I < N; ++I) {
        const char16_t C = Unit(I);
        if (C == 0x0A) {
            ++Count[static_cast<int>(TLineEnd::Lf)];
        } else if (C == 0x0D) {
            const bool Pair = I + 1 < N && Unit(I + 1) == 0x0A;
            ++Count[static_cast<int>(Pair ? TLineEnd::CrLf : TLineEnd::Cr)];
            I += Pair ? 1 : 0;
        }
    }
    TLineEnd Best = TLineEnd::Cr;
    for (TLineEnd K : {TLineEnd::CrLf, TLineEnd::Lf})
        if (Count[static_cast<int>(K)] > Count[static_cast<int>(Best)])
            Best = K;
    return Count[static_cast<int>(Best)] == 0 ? TLineEnd::Lf : Best;
}

// How the line end at unit I (a CR or an LF) is read in a text split at Style:
// 0 an LF that stays a character of its line, else the number of units the line
// end takes. Changed is set for a line end that is not Style: inside the program
// a CR always ends a line, so such a line end is written back as Style.
template <class FUnit>
int LineEndAt(std::size_t I, std::size_t N, FUnit&& Unit, TLineEnd Style, bool& Changed)
{
    const bool Cr = Unit(I) == 0x0D;
    const bool Pair = Cr && I + 1 < N && Unit(I + 1) == 0x0A;
    Changed = false;
    switch (Style) {
    case TLineEnd::Cr:
        return Cr ? 1 : 0;
    case TLineEnd::CrLf:
        Changed = Cr && !Pair;
        return Pair ? 2 : (Cr ? 1 : 0);
    case TLineEnd::Lf:
        Changed = Cr;
        return Pair ? 2 : 1;
    }
    return 1;
}

}  // namespace

void TEditBuffer::DecodeBytes(std::string_view Text, std::vector<std::string>& Out)
{
    const char* P = Text.data();
    const std::size_t N = Text.size();
    auto Unit = [P](std::size_t I) { return static_cast<char16_t>(static_cast<unsigned char>(P[I])); };
    LineEnd = DominantLineEnd(N, Unit);
    // Count first so that the line vector is allocated once, at its final size.
    std::size_t Ends = 0;
    bool Changed = false;
    for (std::size_t I = 0; I < N; ++I)
        if (P[I] == '\r' || P[I] == '\n')
            if (const int Len = LineEndAt(I, N, Unit, LineEnd, Changed)) {
                ++Ends;
                I += static_cast<std::size_t>(Len - 1);
            }
    Out.reserve(Ends + 1);
    std::size_t Start = 0;
    for (std::size_t I = 0; I < N; ++I) {
        if (P[I] != '\r' && P[I] != '\n')
            continue;
        const int Len = LineEndAt(I, N, Unit, LineEnd, Changed);
        if (Len == 0)
            continue;
        ChangedLineEnds += Changed ? 1 : 0;
        Out.emplace_back(Text.substr(Start, I - Start));
        I += static_cast<std::size_t>(Len - 1);
        Start = I + 1;
    }
    Out.emplace_back(Text.substr(Start));
}

void TEditBuffer::DecodeUtf16(std::string_view Text, bool BigEndian, std::vector<std::string>& Out)
{
    const std::size_t Units = Text.size() / 2;
    if (Text.size() % 2 != 0)
        Lossy = true;
    auto Unit = [&](std::size_t I) -> char16_t {
        const auto A = static_cast<unsigned char>(Text[2 * I]);
        const auto B = static_cast<unsigned char>(Text[2 * I + 1]);
        return static_cast<char16_t>(BigEndian ? (A << 8) | B : (B << 8) | A);
    };
    LineEnd = DominantLineEnd(Units, Unit);
    std::string Line;
    for (std::size_t I = 0; I < Units; ++I) {
        const char16_t U = Unit(I);
        if (U == 0x0D || U == 0x0A) {
            bool Changed = false;
            if (const int Len = LineEndAt(I, Units, Unit, LineEnd, Changed)) {
                ChangedLineEnds += Changed ? 1 : 0;
                Out.push_back(std::move(Line));
                Line.clear();
                I += static_cast<std::size_t>(Len - 1);
                continue;
            }
        }
        unsigned char Byte = 0;
        if (U >= 0xD800 && U <= 0xDFFF) {
            // A surrogate pair is one character; no 8-bit byte can hold it.
            if (U <= 0xDBFF && I + 1 < Units && Unit(I + 1) >= 0xDC00 && Unit(I + 1) <= 0xDFFF)
                ++I;
            Line.push_back('?');
            Lossy = true;
        } else if (UnicodeToAnsi(U, Byte)) {
            Line.push_back(static_cast<char>(Byte));
        } else {
            Line.push_back('?');
            Lossy = true;
        }
    }
    Out.push_back(std::move(Line));
}

std::string_view TEditBuffer::LineEndChars() const
{
    switch (LineEnd) {
    case TLineEnd::CrLf:
        return "\r\n";
    case TLineEnd::Cr:
        return "\r";
    case TLineEnd::Lf:
        break;
    }
    return "\n";
}

namespace {

std::string Join(const std::vector<std::string>& Lines, std::string_view Sep)
{
    std::size_t Total = 0;
    for (const auto& L : Lines)
        Total += L.size() + Sep.size();
    std::string Out;
    Out.reserve(Total);
    for (std::size_t I = 0; I < Lines.size(); ++I) {
        if (I > 0)
            Out.append(Sep);
        Out.append(Lines[I]);
    }
    return Out;
}

}  // namespace

std::string TEditBuffer::GetTextStr() const { return Join(FLines, LineEndChars()); }

std::string TEditBuffer::JoinLines(char Separator) const { return Join(FLines, std::string_view(&Separator, 1)); }

std::string TEditBuffer::GetFileBytes() const
{
    std::string Text = GetTextStr();
    if (Encoding == 0)
        return Text;
    const std::u16string Wide = BytesToUtf16(TCodePage::Ansi, Text);
    std::string Out;
    Out.reserve(2 + 2 * Wide.size());
    // Back in the byte order it came in, so that an unchanged text keeps its bytes.
    const bool Big = Encoding == 2;
    Out.push_back(static_cast<char>(Big ? 0xFE : 0xFF));
    Out.push_back(static_cast<char>(Big ? 0xFF : 0xFE));
    for (char16_t U : Wide) {
        const char Lo = static_cast<char>(U & 0xFF), Hi = static_cast<char>(U >> 8);
        Out.push_back(Big ? Hi : Lo);
        Out.push_back(Big ? Lo : Hi);
    }
    return Out;
}

TEditBuffer::TReadLock::TReadLock(const TEditBuffer& B) : FBuffer(B)
{
    FLocked = FBuffer.FLock.try_lock();
    FOwns = FLocked && !FBuffer.Changing.load();
}

TEditBuffer::TReadLock::~TReadLock()
{
    if (FLocked)
        FBuffer.FLock.unlock();
}

}  // namespace narvo
