// The program's icon rendered from its drawing (see ProgramIcon.h).
#include "platform/ProgramIcon.h"

#include <QIconEngine>
#include <QPainter>
#include <QSvgRenderer>
#include <cmath>

namespace narvo {

namespace {

constexpr const char* IconResource = ":/icons/narvo.svg";

QSvgRenderer& Drawing()
{
    static QSvgRenderer Renderer{QString::fromLatin1(IconResource)};
    return Renderer;
}

// Renders the drawing at whatever size and mode an icon is asked for.
class TDrawingEngine : public QIconEngine {
public:
    void paint(QPainter* Painter, const QRect& Rect, QIcon::Mode Mode, QIcon::State) override
    {
        if (Mode == QIcon::Disabled)
            Painter->setOpacity(0.5);
        Drawing().render(Painter, QRectF(Rect));
    }
    QPixmap pixmap(const QSize& Size, QIcon::Mode Mode, QIcon::State State) override
    {
        QPixmap P(Size);
        P.fill(Qt::transparent);
        QPainter Painter(&P);
        paint(&Painter, QRect(QPoint(0, 0), Size), Mode, State);
        return P;
    }
    QIconEngine* clone() const override { return new TDrawingEngine; }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override
    {
        QList<QSize> Sizes;
        for (int S : {16, 22, 24, 32, 48, 64, 128, 256})
            Sizes.append(QSize(S, S));
        return Sizes;
    }
    QString key() const override { return QStringLiteral("NarvoDrawing"); }
};

}  // namespace

QIcon ProgramIcon()
{
    if (!Drawing().isValid())
        return QIcon();
    return QIcon(new TDrawingEngine);
}

QPixmap ProgramIconPixmap(int Size, qreal Ratio)
{
    if (!Drawing().isValid() || Size <= 0)
        return QPixmap();
    const int Device = static_cast<int>(std::lround(Size * std::max<qreal>(Ratio, 1.0)));
    QPixmap P(Device, Device);
    P.fill(Qt::transparent);
    {
        QPainter Painter(&P);
        Painter.setRenderHint(QPainter::Antialiasing);
        Drawing().render(&Painter, QRectF(0, 0, Device, Device));
    }
    P.setDevicePixelRatio(static_cast<qreal>(Device) / Size);
    return P;
}

}  // namespace narvo
