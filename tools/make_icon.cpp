// Draws the program's icon (the picture of data/icons/quillix.svg) as PNG files:
//   make_icon FOLDER SIZE...   writes FOLDER/quillix-SIZE.png for each size
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPolygonF>

#include <cstdio>
#include <initializer_list>

namespace {

QPolygonF polygon(std::initializer_list<double> xy)
{
    QPolygonF points;
    for (auto it = xy.begin(); it != xy.end(); it += 2)
        points.append(QPointF(*it, *(it + 1)));
    return points;
}

// One bar: used space (blue) below free space (fuchsia), seen from the front right.
void bar(QPainter &painter, double left, double top, double split)
{
    const double right = left + 40;
    const auto face = [&](const QPolygonF &shape, const char *colour) {
        painter.setBrush(QColor(QString::fromLatin1(colour)));
        painter.drawPolygon(shape);
    };
    face(polygon({left, 196, right, 196, right, top, left, top}), "#ff00ff");
    face(polygon({right, 196, right + 20, 180, right + 20, top - 16, right, top}), "#b000b0");
    face(polygon({left, top, right, top, right + 20, top - 16, left + 20, top - 16}), "#ff66ff");
    face(polygon({left, 196, right, 196, right, split, left, split}), "#0000ff");
    face(polygon({right, 196, right + 20, 180, right + 20, split - 16, right, split}), "#0000a0");
}

} // namespace

int main(int argc, char *argv[])
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: make_icon FOLDER SIZE...\n");
        return 2;
    }
    for (int i = 2; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 256.0, size / 256.0);
        QLinearGradient sky(0, 8, 0, 248);
        sky.setColorAt(0, QColor(0x2a, 0x3c, 0xff));
        sky.setColorAt(1, QColor(0x00, 0x00, 0x30));
        painter.setPen(Qt::NoPen);
        painter.setBrush(sky);
        painter.drawRoundedRect(QRectF(8, 8, 240, 240), 40, 40);
        painter.setBrush(QColor(0x80, 0x80, 0xff));
        painter.drawPolygon(polygon({40, 206, 200, 206, 228, 184, 68, 184}));
        bar(painter, 56, 120, 170);
        bar(painter, 128, 70, 150);
        painter.end();
        const QString path =
            QString::fromLocal8Bit(argv[1]) + QStringLiteral("/quillix-%1.png").arg(size);
        if (!image.save(path)) {
            std::fprintf(stderr, "make_icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
