// Build tool: renders the program's SVG picture into a square PNG icon of the given size.
//   tavik_render_icon picture.svg icon.png 48
#include <cstdio>
#include <cstdlib>

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s picture.svg icon.png size\n", argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QSvgRenderer picture(QString::fromLocal8Bit(argv[1]));
    const int size = std::atoi(argv[3]);
    if (!picture.isValid() || size <= 0) return 1;
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    // The picture keeps its proportions, centred in the square.
    QSizeF box = picture.defaultSize();
    box.scale(size, size, Qt::KeepAspectRatio);
    QPainter painter(&icon);
    picture.render(&painter, QRectF((size - box.width()) / 2, (size - box.height()) / 2, box.width(), box.height()));
    painter.end();
    return icon.save(QString::fromLocal8Bit(argv[2]), "PNG") ? 0 : 1;
}
