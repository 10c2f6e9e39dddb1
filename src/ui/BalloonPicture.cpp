#include "ui/BalloonPicture.h"

#include <QPainter>
#include <QSvgRenderer>

namespace {

const QString BalloonResource = QStringLiteral(":/tavik/balloon.svg");

constexpr int IconSizes[] = {16, 24, 32, 48, 64, 128, 256};

}  // namespace

QPixmap BalloonPixmap(QSize size, qreal devicePixelRatio) {
    QPixmap pixmap(size * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QSvgRenderer renderer(BalloonResource);
    renderer.setAspectRatioMode(Qt::KeepAspectRatio);
    QPainter painter(&pixmap);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return pixmap;
}

QIcon BalloonIcon() {
    QIcon icon;
    for (const int side : IconSizes) icon.addPixmap(BalloonPixmap(QSize(side, side)));
    return icon;
}
