// The Windows-1252 and code page 437 tables and the string conversions over them.
#include "shared/CodePage.h"

#include <array>

namespace narvo {
namespace {

// Windows-1252, 0x80-0x9F; the rest is Latin-1.
constexpr char16_t kAnsiHigh[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// Code page 437, 0x80-0xFF.
constexpr char16_t kOemHigh[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0};

// Reverse lookup over the upper halves; the lower halves are identities.
bool ReverseHigh(const char16_t* table, int size, int base, char32_t ch, unsigned char& byte)
{
    for (int i = 0; i < size; ++i) {
        if (table[i] == ch) {
            byte = static_cast<unsigned char>(base + i);
            return true;
        }
    }
    return false;
}

// Decodes one UTF-8 sequence at s[i]; advances i. Returns U+FFFFFFFF for malformed input.
char32_t NextUtf8(std::string_view s, size_t& i)
{
    constexpr char32_t bad = 0xFFFFFFFF;
    const unsigned char c = static_cast<unsigned char>(s[i++]);
    if (c < 0x80)
        return c;
    int extra = 0;
    char32_t cp = 0;
    if ((c & 0xE0) == 0xC0) { extra = 1; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; cp = c & 0x07; }
    else return bad;
    for (int k = 0; k < extra; ++k) {
        if (i >= s.size() || (static_cast<unsigned char>(s[i]) & 0xC0) != 0x80)
            return bad;
        cp = (cp << 6) | (static_cast<unsigned char>(s[i++]) & 0x3F);
    }
    static constexpr char32_t minimum[4] = {0, 0x80, 0x800, 0x10000};
    if (cp < minimum[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return bad;
    return cp;
}

void AppendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

}  // namespace

char32_t ByteToUnicode(TCodePage Page, unsigned char Byte)
{
    if (Page == TCodePage::Ansi)
        return (Byte >= 0x80 && Byte < 0xA0) ? kAnsiHigh[Byte - 0x80] : Byte;
    return Byte < 0x80 ? Byte : kOemHigh[Byte - 0x80];
}

bool UnicodeToByte(TCodePage Page, char32_t Ch, unsigned char& Byte)
{
    if (Page == TCodePage::Ansi) {
        if (Ch < 0x80 || (Ch >= 0xA0 && Ch <= 0xFF)) {
            Byte = static_cast<unsigned char>(Ch);
            return true;
        }
        return ReverseHigh(kAnsiHigh, 32, 0x80, Ch, Byte);
    }
    if (Ch < 0x80) {
        Byte = static_cast<unsigned char>(Ch);
        return true;
    }
    return ReverseHigh(kOemHigh, 128, 0x80, Ch, Byte);
}

std::string BytesToUtf8(TCodePage Page, std::string_view Bytes)
{
    std::string out;
    out.reserve(Bytes.size());
    for (char c : Bytes)
        AppendUtf8(out, ByteToUnicode(Page, static_cast<unsigned char>(c)));
    return out;
}

std::string Utf8ToBytes(TCodePage Page, std::string_view Utf8, bool* Lossy, char Replacement)
{
    std::string out;
    out.reserve(Utf8.size());
    size_t i = 0;
    while (i < Utf8.size()) {
        const char32_t cp = NextUtf8(Utf8, i);
        unsigned char b = 0;
        if (UnicodeToByte(Page, cp, b)) {
            out += static_cast<char>(b);
        } else {
            out += Replacement;
            if (Lossy)
                *Lossy = true;
        }
    }
    return out;
}

std::u16string BytesToUtf16(TCodePage Page, std::string_view Bytes)
{
    std::u16string out(Bytes.size(), u'\0');
    BytesToUtf16Units(Page, Bytes, out.data());
    return out;
}

void BytesToUtf16Units(TCodePage Page, std::string_view Bytes, char16_t* Out)
{
    // One table for the page, so that a text of many megabytes converts in a
    // plain loop.
    char16_t Table[256];
    for (int B = 0; B < 256; ++B)
        Table[B] = static_cast<char16_t>(ByteToUnicode(Page, static_cast<unsigned char>(B)));
    for (const char C : Bytes)
        *Out++ = Table[static_cast<unsigned char>(C)];
}

std::string Utf16ToBytes(TCodePage Page, std::u16string_view Utf16, bool* Lossy, char Replacement)
{
    std::string out;
    out.reserve(Utf16.size());
    for (size_t i = 0; i < Utf16.size(); ++i) {
        char32_t cp = Utf16[i];
        // A surrogate pair is one character (never in either table).
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < Utf16.size() && Utf16[i + 1] >= 0xDC00 && Utf16[i + 1] <= 0xDFFF)
            ++i, cp = 0x10000;
        unsigned char b = 0;
        if (UnicodeToByte(Page, cp, b)) {
            out += static_cast<char>(b);
        } else {
            out += Replacement;
            if (Lossy)
                *Lossy = true;
        }
    }
    return out;
}

}  // namespace narvo
