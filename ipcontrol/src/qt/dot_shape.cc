// SPDX-License-Identifier: MIT

#include "qt/dot_shape.h"

#include <QPainter>

namespace lattix {

DotShape::DotShape(QWidget* parent) : QWidget(parent) {
  // Clicks on a dot belong to the frame beneath it.
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void DotShape::setOutlineColor(const QColor& color) {
  outline_ = color;
  update();
}

void DotShape::setFillColor(const QColor& color) {
  fill_ = color;
  update();
}

void DotShape::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), fill_);
  painter.setPen(outline_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

}  // namespace lattix
