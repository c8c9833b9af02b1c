// Helpers of the component tests: a shown host window (mouse events from QTest
// reach only widgets on an exposed window) and pixel reading from a grab.
#pragma once

#include <QImage>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

namespace narvo::testing {

// A top-level window holding the widget under test at (0, 0).
class Host {
public:
    explicit Host(int Width = 400, int Height = 200)
    {
        window.resize(Width, Height);
    }
    template <class T> T* Add(T* Widget)
    {
        Widget->setParent(&window);
        Widget->move(0, 0);
        return Widget;
    }
    void Show()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    QWidget window;
};

// The colour of one pixel as the widget paints itself.
inline QRgb PixelAt(QWidget& Widget, int X, int Y)
{
    const QImage image = Widget.grab().toImage();
    return image.pixelColor(X, Y).rgb();
}

} // namespace narvo::testing
