// The column ruler: column positions at several zooms, the marker drag rules,
// the mouse protocol of a drag and what the painting puts where.
#include "components/TextRuler.h"

#include "WidgetTestHelpers.h"

#include <QImage>
#include <climits>
#include <QTest>
#include <gtest/gtest.h>

namespace narvo {
namespace {

TEST(TextRuler, RefusedSpacingAndScaleKeepTheOldValue)
{
    TTextRuler ruler;
    for (int bad : {0, -3}) {
        ruler.SetSpacing(bad);
        EXPECT_EQ(ruler.Spacing(), 8) << bad;
    }
    ruler.SetSpacing(1);
    EXPECT_EQ(ruler.Spacing(), 1);
    for (double bad : {0.0, -1.5, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        ruler.SetScale(bad);
        EXPECT_EQ(ruler.Scale(), 1.0) << bad;
    }
}

struct ColumnCase {
    double scale;
    int spacing, start, gutter, column, x;
};

TEST(TextRuler, ColumnPositionsRoundHalvesToEven)
{
    const ColumnCase cases[] = {
        {1.0, 8, 0, 0, 0, 1},    {1.0, 8, 0, 0, 10, 81},  {1.0, 8, 0, 5, 3, 30},  {1.0, 8, 20, 5, 25, 46},
        {1.5, 8, 0, 0, 1, 13},   {1.5, 8, 0, 0, 10, 121}, {1.5, 8, 10, 4, 13, 41},
        // 1.5, 4.5 and 7.5 pixels: halves go to the even neighbour.
        {1.5, 1, 0, 0, 1, 3},    {1.5, 1, 0, 0, 3, 5},    {1.5, 1, 0, 0, 5, 9},   {0.5, 1, 0, 0, 5, 3},
    };
    for (const ColumnCase& k : cases) {
        TTextRuler ruler;
        ruler.SetScale(k.scale);
        ruler.SetSpacing(k.spacing);
        ruler.SetStart(k.start);
        ruler.SetGutter(k.gutter);
        EXPECT_EQ(ruler.ColumnX(k.column), k.x) << k.scale << " column " << k.column;
    }
}

TEST(TextRuler, ColumnUnderTheMouseInvertsThePositionAtEveryScale)
{
    for (double scale : {0.75, 1.0, 1.5, 2.0, 3.25}) {
        TTextRuler ruler;
        ruler.SetScale(scale);
        ruler.SetGutter(7);
        ruler.SetStart(12);
        for (int c = 12; c < 80; ++c) {
            const int x = ruler.ColumnX(c);
            EXPECT_EQ(ruler.ColumnAt(x), c) << scale;
            // A pixel or two to either side still picks the nearest tick.
            if (ruler.ColumnX(c + 1) - x >= 6) {
                EXPECT_EQ(ruler.ColumnAt(x + 2), c) << scale;
                EXPECT_EQ(ruler.ColumnAt(x - 2), c) << scale;
            }
        }
    }
}

TEST(TextRuler, LastColumnIsTheLastTickPainted)
{
    TTextRuler ruler;
    ruler.resize(200, 17);
    EXPECT_EQ(ruler.LastColumn(), 24); // 8 * 24 + 1 = 193 < 199, 201 is not
    ruler.SetScale(0.5);
    ruler.SetStart(100);
    EXPECT_EQ(ruler.LastColumn(), 149); // 4 * 49 + 1 = 197
    ruler.resize(3, 17);
    EXPECT_EQ(ruler.LastColumn(), 101); // never less than room for both margins
}

TEST(TextRuler, ColumnsNearTheIntLimitStopAtIt)
{
    // A text scrolled to its far right: the visible columns end at the int limit,
    // where the last one is kept below it so that a pushed marker still fits.
    TTextRuler ruler;
    ruler.resize(200, 17);
    ruler.SetStart(INT_MAX - 5);
    EXPECT_EQ(ruler.LastColumn(), INT_MAX - 1);
    ruler.DragMarker1(INT_MAX);
    EXPECT_EQ(ruler.Marker1(), INT_MAX - 2);
    EXPECT_EQ(ruler.Marker2(), INT_MAX - 1);
    ruler.SetStart(INT_MAX);
    EXPECT_EQ(ruler.LastColumn(), INT_MAX - 1);
    ruler.DragMarker2(5);
    EXPECT_EQ(ruler.Marker1(), INT_MAX - 2);
    // A far-off column under the mouse is the limit, not a wrapped value.
    ruler.SetStart(INT_MAX - 5);
    EXPECT_EQ(ruler.ColumnAt(1'000'000), INT_MAX);
    // Markers at the limits are painted where they are: off the ruler.
    ruler.SetColor(clWhite);
    for (const int start : {0, 490, INT_MAX - 5, INT_MAX}) {
        ruler.SetStart(start);
        ruler.SetMarker1(INT_MIN);
        ruler.SetMarker2(INT_MAX);
        ruler.SetMarker3(INT_MAX);
        const QImage image = ruler.grab().toImage();
        const QRgb silver = qRgb(0xC0, 0xC0, 0xC0);
        for (int x = 0; x < image.width(); ++x)
            ASSERT_NE(image.pixelColor(x, 13).rgb(), silver) << start << " " << x;
    }
}

// A ruler 200 pixels wide: columns 0 to 24 visible.
struct DragFixture : ::testing::Test {
    DragFixture()
    {
        ruler.resize(200, 17);
        ruler.SetMarker1(10);
        ruler.SetMarker2(20);
        ruler.SetMarker3(12);
    }
    void ExpectMarkers(int M1, int M2, int M3)
    {
        EXPECT_EQ(ruler.Marker1(), M1);
        EXPECT_EQ(ruler.Marker2(), M2);
        EXPECT_EQ(ruler.Marker3(), M3);
    }
    TTextRuler ruler;
};

TEST_F(DragFixture, EachMarkerPushesOrPullsTheOthers)
{
    // Each row drags one marker of a fresh ruler (10, 20, 12), or, after a
    // continued row, of the ruler as the row before left it.
    struct Row {
        int marker, to, m1, m2, m3;
        bool continued;
    };
    const Row rows[] = {
        {1, 15, 15, 20, 15, false}, {1, 20, 20, 21, 20, true}, {1, 99, 23, 24, 23, true}, {1, -4, 0, 24, 23, true},
        {2, 5, 4, 5, 12, false},    {2, 0, 0, 1, 12, true},    {2, 60, 0, 24, 12, true},
        {3, 30, 10, 20, 24, false}, {3, 6, 6, 20, 6, true},
    };
    for (const Row& r : rows) {
        if (!r.continued) {
            ruler.SetMarker1(10);
            ruler.SetMarker2(20);
            ruler.SetMarker3(12);
        }
        (ruler.*(r.marker == 1 ? &TTextRuler::DragMarker1 : r.marker == 2 ? &TTextRuler::DragMarker2
                                                                          : &TTextRuler::DragMarker3))(r.to);
        SCOPED_TRACE(std::to_string(r.marker) + "->" + std::to_string(r.to));
        ExpectMarkers(r.m1, r.m2, r.m3);
    }
    ruler.SetStart(3); // the indent never pulls the left margin before the start
    ruler.DragMarker3(1);
    ExpectMarkers(3, 20, 3);
}

TEST_F(DragFixture, DragsKeepTheMarkersInOrder)
{
    // Any sequence of drags leaves Marker1 < Marker2 and Marker1 <= Marker3.
    const int moves[][2] = {{1, 22}, {2, 3}, {3, 1}, {1, 24}, {2, 0}, {3, 18}, {1, 19}, {2, 19}, {3, -9}, {1, 50}};
    for (const auto& m : moves) {
        if (m[0] == 1)
            ruler.DragMarker1(m[1]);
        else if (m[0] == 2)
            ruler.DragMarker2(m[1]);
        else
            ruler.DragMarker3(m[1]);
        EXPECT_LT(ruler.Marker1(), ruler.Marker2()) << m[0] << "->" << m[1];
        EXPECT_LE(ruler.Marker1(), ruler.Marker3()) << m[0] << "->" << m[1];
        EXPECT_GE(ruler.Marker1(), ruler.Start());
        EXPECT_LE(ruler.Marker2(), ruler.LastColumn());
    }
}

// Mouse drags on a shown ruler.
struct MouseFixture : DragFixture {
    MouseFixture()
    {
        host.Add(&ruler);
        ruler.resize(200, 17);
        ruler.OnMarkerChange = [this](QObject* Sender) {
            ++changes;
            EXPECT_EQ(Sender, &ruler);
        };
        ruler.OnMouseDown = [this](QObject*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
            // The panel's own handling comes first: no drag has begun yet.
            dragAtMouseDown = ruler.DragMarker();
        };
        host.Show();
    }
    // The ruler belongs to the base fixture, not to the host window.
    ~MouseFixture() override { ruler.setParent(nullptr); }
    QPoint Bottom(int Column) { return {ruler.ColumnX(Column), 12}; }
    QPoint Top(int Column) { return {ruler.ColumnX(Column), 3}; }
    testing::Host host;
    int changes = 0;
    int dragAtMouseDown = -1;
};

TEST_F(MouseFixture, DraggingTheLeftMarginMovesItAndReportsOnce)
{
    QTest::mousePress(&ruler, Qt::LeftButton, {}, Bottom(10));
    EXPECT_EQ(dragAtMouseDown, 0);
    EXPECT_EQ(ruler.DragMarker(), 1);
    QTest::mouseMove(&ruler, Bottom(14));
    ExpectMarkers(14, 20, 14);
    QTest::mouseMove(&ruler, Bottom(20));
    ExpectMarkers(20, 21, 20);
    EXPECT_EQ(changes, 0);
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, Bottom(20));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(ruler.DragMarker(), 0);
    // Moving afterwards drags nothing.
    QTest::mouseMove(&ruler, Bottom(3));
    ExpectMarkers(20, 21, 20);
}

TEST_F(MouseFixture, EachMarkerIsHitWhereItIsDrawn)
{
    EXPECT_EQ(ruler.HitTest(ruler.ColumnX(10) + 4, 12), 0); // right edge excluded
    EXPECT_EQ(ruler.HitTest(ruler.ColumnX(10), 15), 0);     // bottom edge excluded

    QTest::mousePress(&ruler, Qt::LeftButton, {}, Bottom(20));
    EXPECT_EQ(ruler.DragMarker(), 2);
    QTest::mouseMove(&ruler, Bottom(8));
    ExpectMarkers(7, 8, 12);
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, Bottom(8));
    QTest::mousePress(&ruler, Qt::LeftButton, {}, Top(12));
    EXPECT_EQ(ruler.DragMarker(), 3);
    QTest::mouseMove(&ruler, Top(5));
    ExpectMarkers(5, 8, 5);
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, Top(5));
    EXPECT_EQ(changes, 2);
}

TEST_F(MouseFixture, ADragEndingWhereItBeganStillReportsAPressOffTheMarkersNothing)
{
    QTest::mousePress(&ruler, Qt::LeftButton, {}, Bottom(16));
    EXPECT_EQ(ruler.DragMarker(), 0);
    QTest::mouseMove(&ruler, Bottom(3));
    QTest::mouseRelease(&ruler, Qt::LeftButton, {}, Bottom(3));
    ExpectMarkers(10, 20, 12);
    EXPECT_EQ(changes, 0);
    QTest::mousePress(&ruler, Qt::RightButton, {}, Bottom(10));
    QTest::mouseRelease(&ruler, Qt::RightButton, {}, Bottom(10));
    ExpectMarkers(10, 20, 12);
    EXPECT_EQ(changes, 1);
}

// Painting on a white panel with blue lines, numbers off; height 17 and frame 1
// give ticks of rows 1-15 (long), 4-10 (medium) and 6-10 (short).
struct PaintFixture : ::testing::Test {
    PaintFixture()
    {
        ruler.resize(400, 17);
        ruler.SetColor(clWhite);
        ruler.SetLineColor(clBlue);
        ruler.SetShowNumbers(false);
        ruler.SetMarker1(30);
        ruler.SetMarker2(31);
        ruler.SetMarker3(30);
        ruler.CursorColumn = 40;
        image = ruler.grab().toImage();
    }
    QRgb At(int X, int Y) const { return image.pixelColor(X, Y).rgb(); }
    bool IsLine(int X, int Y) const { return At(X, Y) == qRgb(0, 0, 255); }
    TTextRuler ruler;
    QImage image;
};

TEST_F(PaintFixture, TicksHaveTheirLengthsAndTheCursorColumnIsBoxed)
{
    // Column, first and last row of its tick.
    const int ticks[][3] = {{10, 1, 15}, {5, 4, 10}, {3, 6, 10}};
    for (const auto& t : ticks) {
        const int x = ruler.ColumnX(t[0]);
        EXPECT_FALSE(IsLine(x, t[1] - 1)) << t[0];
        EXPECT_TRUE(IsLine(x, t[1]) && IsLine(x, t[2])) << t[0];
        EXPECT_FALSE(IsLine(x, t[2] + 1)) << t[0];
    }
    // The cursor column is boxed in red: outline in the line colour, Spacing wide.
    const int x = ruler.ColumnX(40);
    EXPECT_TRUE(IsLine(x, 6) && IsLine(x + 7, 8));
    EXPECT_EQ(At(x + 3, 8), qRgb(255, 0, 0));
    EXPECT_EQ(At(x + 8, 8), qRgb(255, 255, 255));
}

TEST_F(PaintFixture, ShortTicksBesideANumberAreLeftOutExceptAtTheSecondPosition)
{
    EXPECT_TRUE(IsLine(ruler.ColumnX(1), 8)); // second position
    EXPECT_FALSE(IsLine(ruler.ColumnX(9), 8));
    EXPECT_FALSE(IsLine(ruler.ColumnX(11), 8));

    ruler.SetStart(20);
    image = ruler.grab().toImage();
    EXPECT_TRUE(IsLine(ruler.ColumnX(21), 8)); // second position
    EXPECT_FALSE(IsLine(ruler.ColumnX(29), 8));
    ruler.SetStart(19);
    image = ruler.grab().toImage();
    EXPECT_FALSE(IsLine(ruler.ColumnX(19), 8)); // first position, beside 20
}

TEST_F(PaintFixture, MarkersAreDrawnOnlyWhileStartIsBelow500)
{
    const QRgb silver = qRgb(0xC0, 0xC0, 0xC0);
    EXPECT_EQ(At(ruler.ColumnX(30), 13), silver); // bottom marker's body
    EXPECT_EQ(At(ruler.ColumnX(30), 3), silver);  // top marker's body

    ruler.SetStart(500);
    ruler.SetMarker1(502);
    ruler.SetMarker2(510);
    ruler.SetMarker3(502);
    image = ruler.grab().toImage();
    const int x = ruler.ColumnX(502);
    EXPECT_TRUE(At(x, 13) != silver && At(x, 3) != silver);
    // ... yet the marker is still there to be dragged.
    EXPECT_EQ(ruler.HitTest(x, 13), 1);
}

TEST_F(PaintFixture, NumbersAreDrawnAtTheLongTicks)
{
    ruler.SetShowNumbers(true);
    image = ruler.grab().toImage();
    // Some pixel of the text "20" left of the tick is in the line colour.
    const int x = ruler.ColumnX(20);
    bool found = false;
    for (int dx = 1; dx < 8 && !found; ++dx)
        for (int y = 1; y < 16 && !found; ++y)
            found = qBlue(At(x - dx, y)) > 128 && qRed(At(x - dx, y)) < 128;
    EXPECT_TRUE(found);
}

} // namespace
} // namespace narvo
