// TTextRuler: the column ruler under a text pane. It shows columns as tick marks
// (long with the number every tenth column, medium every fifth, short between),
// boxes the cursor's column in red and carries three markers the user drags: the
// left and right margins at the bottom edge and the paragraph indent at the top.
// A drag keeps Marker1 < Marker2 and Marker1 <= Marker3 and reports its end
// through OnMarkerChange; setting markers by property reports nothing.
#pragma once

#include "components/Panel.h"

#include <cstdint>

namespace narvo {

class TTextRuler : public TCustomPanel {
    Q_OBJECT
public:
    explicit TTextRuler(QWidget* Parent = nullptr);

    int Start() const { return FStart; }
    void SetStart(int Value);
    int Spacing() const { return FSpacing; }
    void SetSpacing(int Value); // values below 1 are refused
    int Gutter() const { return FGutter; }
    void SetGutter(int Value);
    int Marker1() const { return FMarker1; }
    void SetMarker1(int Value);
    int Marker2() const { return FMarker2; }
    void SetMarker2(int Value);
    int Marker3() const { return FMarker3; }
    void SetMarker3(int Value);
    int DragMarker() const { return FDragMarker; }
    TColor LineColor() const { return FLineColor; }
    void SetLineColor(TColor Value);
    bool ShowNumbers() const { return FShowNumbers; }
    void SetShowNumbers(bool Value);
    double Scale() const { return FScale; }
    void SetScale(double Value); // the pane's zoom; zero, negative and non-finite values are refused

    // The column drawn with the red box. The main window writes it and repaints.
    int CursorColumn = 0;

    // Fired when a drag of a marker ends, also when the markers ended where they began.
    TNotifyEvent OnMarkerChange;

    // The x position of column C: (C - Start) * Spacing * Scale + frame + Gutter,
    // rounded to the nearest pixel, halves to even.
    int ColumnX(std::int64_t C) const;
    // The column whose tick is nearest to X: the inverse of ColumnX at any scale.
    int ColumnAt(int X) const;
    // The last column whose tick is painted (at least Start + 1, so that both
    // margins always have room).
    int LastColumn() const;
    // 1, 2 or 3 for the marker whose rectangle holds (X, Y), else 0. Markers are hit
    // also while they are not drawn (Start of 500 or more).
    int HitTest(int X, int Y) const;

    // Moving one marker to a column, with the rules that keep the three in order.
    void DragMarker1(int C);
    void DragMarker2(int C);
    void DragMarker3(int C);

protected:
    void Paint(QPainter& Canvas) override;
    void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) override;
    void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;

private:
    QRect BottomMarkerRect(int Column) const;
    QRect TopMarkerRect(int Column) const;
    void DrawBottomMarker(QPainter& Canvas, int Column) const;
    void DrawTopMarker(QPainter& Canvas, int Column) const;
    int ClampColumn(int C) const;

    int FStart = 0;
    int FSpacing = 8;
    int FGutter = 0;
    int FMarker1 = 1;
    int FMarker2 = 2;
    int FMarker3 = 1;
    int FDragMarker = 0;
    TColor FLineColor = clBlack;
    bool FShowNumbers = true;
    double FScale = 1.0;
};

} // namespace narvo
