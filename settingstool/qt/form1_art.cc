// SPDX-License-Identifier: MIT

#include "form1_art.h"

#include <QPainter>
#include <QPainterPath>

namespace ravelset {
namespace {

// One computer: a screen with a stand, drawn in a cell of `cell` pixels
// whose top left corner is `origin`.
void DrawComputer(QPainter& painter, QPointF origin, qreal cell, const QColor& screen) {
  const QRectF frame(origin.x() + cell * 0.05, origin.y() + cell * 0.08, cell * 0.9, cell * 0.62);
  painter.setPen(QPen(QColor(40, 40, 48), cell * 0.05));
  painter.setBrush(QColor(210, 210, 216));
  painter.drawRoundedRect(frame, cell * 0.06, cell * 0.06);
  painter.setPen(Qt::NoPen);
  painter.setBrush(screen);
  painter.drawRect(frame.adjusted(cell * 0.1, cell * 0.1, -cell * 0.1, -cell * 0.1));
  painter.setBrush(QColor(40, 40, 48));
  painter.drawRect(QRectF(origin.x() + cell * 0.42, frame.bottom(), cell * 0.16, cell * 0.12));
  painter.drawRoundedRect(
      QRectF(origin.x() + cell * 0.22, frame.bottom() + cell * 0.12, cell * 0.56, cell * 0.08),
      cell * 0.03, cell * 0.03);
}

}  // namespace

QPixmap NetworkPicture(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  const qreal cell = size * 0.55;

  // The cable first, so that the computers stand on it.
  QPainterPath cable;
  cable.moveTo(cell * 0.5, cell * 0.9);
  cable.cubicTo(cell * 0.5, size * 0.98, size - cell * 0.5, size * 0.55, size - cell * 0.5,
                size - cell * 0.3);
  painter.setPen(QPen(QColor(0, 120, 60), size * 0.045, Qt::SolidLine, Qt::RoundCap));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(cable);

  DrawComputer(painter, QPointF(0, 0), cell, QColor(30, 90, 170));
  DrawComputer(painter, QPointF(size - cell, size - cell), cell, QColor(0, 140, 120));
  return pixmap;
}

QIcon Form1Icon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(NetworkPicture(size));
  return icon;
}

}  // namespace ravelset
