// Helpers of the editor tests: an editor on a shown window (mouse events from QTest
// reach only widgets on an exposed window), cell geometry, and pixels of a grab.
#pragma once

#include "editor/ScrollEditor.h"

#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace narvo::testing {

class EditorHost {
public:
    explicit EditorHost(const std::vector<std::string>& Lines = {""}, int Width = 500, int Height = 300)
    {
        Window.resize(Width, Height);
        Editor = new TScrollEditor(&Window);
        Editor->setGeometry(0, 0, Width, Height);
        Editor->SetStrings(Lines);
        // Shown at once, so that the scroll area lays out its client area.
        Window.show();
        Exposed = QTest::qWaitForWindowExposed(&Window);
    }
    void Show() { ASSERT_TRUE(Exposed); }
    bool Exposed = false;
    // Sizes the client area to hold exactly Rows lines (scale 1).
    void SetClientRows(int Rows)
    {
        const int Extra = Editor->height() - Editor->viewport()->height();
        Editor->resize(Editor->width(), Rows * Editor->LineHeight() + Extra);
        Editor->Relayout();
    }
    QWidget Window;
    TScrollEditor* Editor;
};

// The client pixel at the middle of display cell (Column, Row) of the view, at scale 1.
inline QPoint CellCenter(const TScrollEditor& E, std::int64_t Column, std::int64_t Row)
{
    return QPoint(E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth() + E.CharWidth() / 2,
                  static_cast<int>(Row - E.TopLine) * E.LineHeight() + E.LineHeight() / 2);
}

inline QImage GrabClient(TScrollEditor& E) { return E.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

// Whether Test holds for any pixel (or, with All, for every pixel) of the display
// cell (Column, Row) of a grab at scale 1.
template <class F>
bool CellPixels(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, bool All, F Test)
{
    const int X0 = E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth();
    const int Y0 = static_cast<int>(Row - E.TopLine) * E.LineHeight();
    for (int Y = Y0; Y < Y0 + E.LineHeight(); ++Y)
        for (int X = X0; X < X0 + E.CharWidth(); ++X)
            if (Test(Image.pixel(X, Y)) != All)
                return !All;
    return All;
}

inline int ColorDistance(QRgb A, QRgb B)
{
    return std::abs(qRed(A) - qRed(B)) + std::abs(qGreen(A) - qGreen(B)) + std::abs(qBlue(A) - qBlue(B));
}

// Backgrounds are filled exactly.
inline bool CellHasColor(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb C)
{
    return CellPixels(Image, E, Column, Row, false, [C](QRgb P) { return (P & 0xFFFFFF) == (C & 0xFFFFFF); });
}

// A glyph in colour Ink: some pixel much nearer to Ink than to the background Paper
// (antialiased glyphs do not always reach the pen's colour).
inline bool CellHasInk(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb Ink,
                       QRgb Paper)
{
    return CellPixels(Image, E, Column, Row, false,
                      [=](QRgb P) { return ColorDistance(P, Ink) * 3 < ColorDistance(P, Paper); });
}

// An empty cell on background C, give or take the faint edge of a neighbour's glyph.
inline bool CellAllColor(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb C)
{
    return CellPixels(Image, E, Column, Row, true, [C](QRgb P) { return ColorDistance(P, C) <= 48; });
}

inline std::vector<std::string> LinesOf(const TScrollEditor& E)
{
    std::vector<std::string> L;
    for (std::int64_t Y = 0; Y < E.Strings->Count(); ++Y)
        L.emplace_back((*E.Strings)[Y]);
    return L;
}

inline std::vector<std::string> NumberedLines(int Count)
{
    std::vector<std::string> Lines;
    Lines.reserve(static_cast<std::size_t>(Count));
    for (int I = 0; I < Count; ++I)
        Lines.push_back(std::string("line ").append(std::to_string(I)));
    return Lines;
}

}  // namespace narvo::testing
