// Helpers of the editor tests: an editor on a shown window (mouse events from QTest
// reach only widgets on an exposed window), cell geometry, and pixels of a grab.
#pragma once

#include "editor/ScrollEditor.h"

#include <QImage>
#include <QTest>
#include <QWidget>
#include <cstdio>
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

// Whether any pixel of the cell (Column, Row) has exactly colour C (backgrounds
// are filled exactly).
inline bool CellHasColor(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb C)
{
    const int X0 = E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth();
    const int Y0 = static_cast<int>(Row - E.TopLine) * E.LineHeight();
    for (int Y = Y0; Y < Y0 + E.LineHeight(); ++Y)
        for (int X = X0; X < X0 + E.CharWidth(); ++X)
            if ((Image.pixel(X, Y) & 0xFFFFFF) == (C & 0xFFFFFF))
                return true;
    return false;
}

// Whether the cell holds a glyph drawn in colour Ink: some pixel is much nearer to
// Ink than to the background Paper (glyphs are antialiased and do not always reach
// the pen's colour).
inline bool CellHasInk(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb Ink,
                       QRgb Paper)
{
    auto Distance = [](QRgb A, QRgb B) {
        return std::abs(qRed(A) - qRed(B)) + std::abs(qGreen(A) - qGreen(B)) + std::abs(qBlue(A) - qBlue(B));
    };
    const int X0 = E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth();
    const int Y0 = static_cast<int>(Row - E.TopLine) * E.LineHeight();
    for (int Y = Y0; Y < Y0 + E.LineHeight(); ++Y)
        for (int X = X0; X < X0 + E.CharWidth(); ++X) {
            const QRgb P = Image.pixel(X, Y);
            if (Distance(P, Ink) * 3 < Distance(P, Paper))
                return true;
        }
    return false;
}

// Prints the cell's pixels (for a failing test).
inline std::string CellPicture(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row)
{
    std::string Out;
    const int X0 = E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth();
    const int Y0 = static_cast<int>(Row - E.TopLine) * E.LineHeight();
    for (int Y = Y0; Y < Y0 + E.LineHeight(); ++Y) {
        for (int X = X0; X < X0 + E.CharWidth(); ++X) {
            char Buf[16];
            std::snprintf(Buf, sizeof Buf, "%06x ", Image.pixel(X, Y) & 0xFFFFFF);
            Out += Buf;
        }
        Out += '\n';
    }
    return Out;
}

// Whether every pixel of the cell has colour C, give or take the faint edge of a
// neighbour's antialiased glyph: an empty cell on that background.
inline bool CellAllColor(const QImage& Image, const TScrollEditor& E, std::int64_t Column, std::int64_t Row, QRgb C)
{
    const int X0 = E.GutterWidth() + static_cast<int>(Column - E.LeftColumn) * E.CharWidth();
    const int Y0 = static_cast<int>(Row - E.TopLine) * E.LineHeight();
    for (int Y = Y0; Y < Y0 + E.LineHeight(); ++Y)
        for (int X = X0; X < X0 + E.CharWidth(); ++X) {
            const QRgb P = Image.pixel(X, Y);
            if (std::abs(qRed(P) - qRed(C)) + std::abs(qGreen(P) - qGreen(C)) + std::abs(qBlue(P) - qBlue(C)) > 48)
                return false;
        }
    return true;
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
