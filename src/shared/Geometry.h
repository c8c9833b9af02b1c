// Points and rectangles. A text position is a point (X the column, Y the line, both
// from 0) and a text range a rectangle (Left/Top the start, Right/Bottom the end);
// pixels use the same records. Coordinates are 64-bit so that offsets into large
// texts never overflow.
#pragma once

#include <cstdint>
#include <string>

namespace narvo {

struct TPoint {
    std::int64_t X = 0;
    std::int64_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    std::int64_t Left = 0;
    std::int64_t Top = 0;
    std::int64_t Right = 0;
    std::int64_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

struct TRealPoint {
    double X = 0;
    double Y = 0;
    friend bool operator==(const TRealPoint&, const TRealPoint&) = default;
};

inline TPoint Point(std::int64_t X, std::int64_t Y) { return TPoint{X, Y}; }
inline TRect Rect(std::int64_t Left, std::int64_t Top, std::int64_t Right, std::int64_t Bottom)
{
    return TRect{Left, Top, Right, Bottom};
}

TRealPoint MakeRealPoint(double X, double Y);
TRealPoint PointToRealPoint(TPoint P);
TRealPoint RealPointDiv(TRealPoint A, TRealPoint B);
TRealPoint RealPointMul(TRealPoint A, TRealPoint B);
TPoint PointAdd(TPoint A, TPoint B);
TPoint PointSub(TPoint A, TPoint B);
// Each coordinate divided by D and rounded to the nearest integer, halves to even.
// std::range_error when a quotient is not finite (D = 0) or does not fit.
TPoint PointDivReal(TPoint P, double D);
double PointLength(TPoint P);
double PointDistance(TPoint A, TPoint B);
bool PointsEqual(TPoint A, TPoint B);
// "X: 3 Y: -4" when Labelled, else "3,-4".
std::string PointToStr(TPoint P, bool Labelled);

}  // namespace narvo
