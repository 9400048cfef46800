#include "panel/keypad/key_pictures.h"

#include <QPainter>
#include <QPainterPath>

namespace vr410 {
namespace {

QPixmap Blank() {
    QPixmap picture(KeyPictureSize, KeyPictureSize);
    picture.fill(Qt::transparent);
    return picture;
}

} // namespace

QPixmap EnterPicture() {
    QPixmap picture = Blank();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor green(0, 128, 0);
    painter.setPen(QPen(green, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    // The stem: down from the top right, then left.
    QPainterPath stem;
    stem.moveTo(12.5, 2.5);
    stem.lineTo(12.5, 10.0);
    stem.lineTo(5.0, 10.0);
    painter.drawPath(stem);
    // The head pointing left.
    painter.setPen(Qt::NoPen);
    painter.setBrush(green);
    const QPointF head[] = {{1.5, 10.0}, {6.5, 5.5}, {6.5, 14.5}};
    painter.drawPolygon(head, 3);
    return picture;
}

QPixmap ResetPicture() {
    QPixmap picture = Blank();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor red(200, 0, 0);
    painter.setPen(Qt::NoPen);
    painter.setBrush(red);
    painter.drawEllipse(QRectF(1.0, 1.0, 14.0, 14.0));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(4.0, 6.75, 8.0, 2.5));
    return picture;
}

} // namespace vr410
