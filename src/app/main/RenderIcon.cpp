// Build tool: renders the program's icon drawing into a square PNG of the given
// size, for the icon theme folders that the install puts it in.
// Usage: narvo_render_icon <drawing.svg> <size> <out.png>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s <drawing.svg> <size> <out.png>\n", argv[0]);
        return 2;
    }
    const int Size = std::atoi(argv[2]);
    QSvgRenderer Drawing{QString::fromLocal8Bit(argv[1])};
    if (!Drawing.isValid() || Size <= 0 || Size > 4096) {
        std::fprintf(stderr, "%s: cannot render %s at %s pixels\n", argv[0], argv[1], argv[2]);
        return 1;
    }
    QImage Image(Size, Size, QImage::Format_ARGB32_Premultiplied);
    Image.fill(Qt::transparent);
    {
        QPainter Painter(&Image);
        Painter.setRenderHint(QPainter::Antialiasing);
        Drawing.render(&Painter, QRectF(0, 0, Size, Size));
    }
    if (!Image.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
