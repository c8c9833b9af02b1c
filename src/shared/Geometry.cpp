// Point arithmetic (see Geometry.h). Rounding halves to even matches the rounding
// the layout code was designed with, so centred texts land on the same pixel.
#include "shared/Geometry.h"

#include <cmath>
#include <stdexcept>

namespace narvo {

namespace {

std::int64_t RoundHalfEven(double V)
{
    // 2^63 is exactly representable; anything at or beyond it does not fit.
    if (!std::isfinite(V) || V >= 9223372036854775808.0 || V < -9223372036854775808.0)
        throw std::range_error("PointDivReal: the result does not fit a coordinate");
    const double Floor = std::floor(V);
    const double Fraction = V - Floor;
    double R = Floor;
    if (Fraction > 0.5 || (Fraction == 0.5 && std::fmod(Floor, 2.0) != 0.0))
        R = Floor + 1.0;
    return static_cast<std::int64_t>(R);
}

}  // namespace

TRealPoint MakeRealPoint(double X, double Y) { return TRealPoint{X, Y}; }

TRealPoint PointToRealPoint(TPoint P)
{
    return TRealPoint{static_cast<double>(P.X), static_cast<double>(P.Y)};
}

TRealPoint RealPointDiv(TRealPoint A, TRealPoint B) { return TRealPoint{A.X / B.X, A.Y / B.Y}; }

TRealPoint RealPointMul(TRealPoint A, TRealPoint B) { return TRealPoint{A.X * B.X, A.Y * B.Y}; }

TPoint PointAdd(TPoint A, TPoint B) { return TPoint{A.X + B.X, A.Y + B.Y}; }

TPoint PointSub(TPoint A, TPoint B) { return TPoint{A.X - B.X, A.Y - B.Y}; }

TPoint PointDivReal(TPoint P, double D)
{
    return TPoint{RoundHalfEven(static_cast<double>(P.X) / D), RoundHalfEven(static_cast<double>(P.Y) / D)};
}

double PointLength(TPoint P) { return std::hypot(static_cast<double>(P.X), static_cast<double>(P.Y)); }

double PointDistance(TPoint A, TPoint B) { return PointLength(PointSub(A, B)); }

bool PointsEqual(TPoint A, TPoint B) { return A.X == B.X && A.Y == B.Y; }

std::string PointToStr(TPoint P, bool Labelled)
{
    if (Labelled)
        return "X: " + std::to_string(P.X) + " Y: " + std::to_string(P.Y);
    return std::to_string(P.X) + "," + std::to_string(P.Y);
}

}  // namespace narvo
