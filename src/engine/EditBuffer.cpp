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

void TEditBuffer::DecodeBytes(std::string_view Text, std::vector<std::string>& Out)
{
    // Count first so that the line vector is allocated once, at its final size.
    std::size_t Ends = 0;
    bool StyleSeen = false;
    const char* P = Text.data();
    const std::size_t N = Text.size();
    for (std::size_t I = 0; I < N; ++I) {
        const char C = P[I];
        if (C != '\r' && C != '\n')
            continue;
        if (!StyleSeen) {
            StyleSeen = true;
            LineEnd = C == '\n' ? TLineEnd::Lf : (I + 1 < N && P[I + 1] == '\n' ? TLineEnd::CrLf : TLineEnd::Cr);
        }
        ++Ends;
        if (C == '\r' && I + 1 < N && P[I + 1] == '\n')
            ++I;
    }
    Out.reserve(Ends + 1);
    ForEachTextLine(Text, [&](std::string_view Piece, bool) { Out.emplace_back(Piece); });
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
    bool StyleSeen = false;
    std::string Line;
    for (std::size_t I = 0; I < Units; ++I) {
        const char16_t U = Unit(I);
        if (U == 0x0D || U == 0x0A) {
            const bool CrLf = U == 0x0D && I + 1 < Units && Unit(I + 1) == 0x0A;
            if (!StyleSeen) {
                StyleSeen = true;
                LineEnd = CrLf ? TLineEnd::CrLf : (U == 0x0A ? TLineEnd::Lf : TLineEnd::Cr);
            }
            Out.push_back(std::move(Line));
            Line.clear();
            if (CrLf)
                ++I;
            continue;
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
    Out.push_back(static_cast<char>(0xFF));
    Out.push_back(static_cast<char>(0xFE));
    for (char16_t U : Wide) {
        Out.push_back(static_cast<char>(U & 0xFF));
        Out.push_back(static_cast<char>(U >> 8));
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
