// The line searcher: finds a pattern in the lines of a buffer, forward or backward
// from a position, with optional case folding, a whole-word test and two wildcard
// characters (14 any digit, 23 any character). The text is seen as one stream in
// which every line is preceded by a line break that reads as CR, so a pattern can
// span lines.
//
// Search positions count columns from 1: X = 0 is the line break before line Y, and
// 1..length the characters of the line. Found ranges are ordinary text positions.
#pragma once

#include "shared/Geometry.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace narvo {

class TEditBuffer;

class TListSearcher {
public:
    static constexpr unsigned char AnyDigit = 14;
    static constexpr unsigned char AnyChar = 23;

    explicit TListSearcher(const TEditBuffer& Lines);

    // The first match that begins at P or later. On success R is the found range and
    // P the search position of the match's last character.
    bool SearchForward(const std::string& Pattern, TPoint& P, TRect& R);
    // The nearest match that begins at P or earlier.
    bool SearchBackward(const std::string& Pattern, TPoint& P, TRect& R);

    bool IgnoreCase = false;
    bool WholeWord = false;

private:
    unsigned char CharAt(TPoint P);
    bool Advance(TPoint& P);
    bool Back(TPoint& P);
    bool Matches(unsigned char PatternChar, unsigned char C) const;
    bool MatchAt(TPoint& P, TRect& R);
    bool IsWholeWord(const TRect& R);
    void Prepare(const std::string& APattern);
    std::string_view LineText(std::int64_t Y);
    // Moves P to the next (previous) position whose character can begin a match,
    // skipping whole stretches of a line at once. False when none is left.
    bool SkipForward(TPoint& P);
    bool SkipBackward(TPoint& P);
    // Patterns of plain characters (no line break, LF or wildcard) match inside one
    // line only: these scan the stored bytes of whole stretches of lines for the
    // pattern's rarest character and try a match around each hit.
    bool PlainPattern() const;
    bool ScanForward(TPoint& P, TRect& R);
    bool ScanBackward(TPoint& P, TRect& R);
    // The pattern matches the bytes at D (as many as it has).
    bool BytesMatch(const char* D) const;

    const TEditBuffer& Lines;
    std::int64_t CachedLine = -1;
    std::string_view CachedText;
    std::string Pattern;
    // FirstMatch[c]: the character c (folded when IgnoreCase) can begin a match.
    bool FirstMatch[256] = {};
    bool FirstIsLiteral = false;
    // The pattern character the scans look for, and its two cases (equal when the
    // case counts or it is no letter).
    std::size_t Anchor = 0;
    char AnchorA = 0, AnchorB = 0;
};

}  // namespace narvo
