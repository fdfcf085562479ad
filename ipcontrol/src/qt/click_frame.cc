// SPDX-License-Identifier: MIT

#include "qt/click_frame.h"

#include <QMouseEvent>

namespace lattix {

ClickFrame::ClickFrame(QWidget* parent) : QFrame(parent) {}

void ClickFrame::mouseReleaseEvent(QMouseEvent* event) {
  QFrame::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (std::exchange(swallow_release_, false)) return;
  if (rect().contains(event->position().toPoint())) Q_EMIT clicked();
}

void ClickFrame::mouseDoubleClickEvent(QMouseEvent* event) {
  QFrame::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  swallow_release_ = true;
  Q_EMIT doubleClicked();
}

}  // namespace lattix
