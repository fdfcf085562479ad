// SPDX-License-Identifier: MIT

#include "tessaly/lattix/quadrel_widget.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "qt/widget_host.h"
#include "quadrel.h"

namespace lattix {

QuadrelWidget::QuadrelWidget(QWidget* parent)
    : QWidget(parent), host_(std::make_unique<WidgetHost>(*this)) {
  control_ = std::make_unique<Quadrel>(*host_);
  host_->Connect(*control_);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(sizeHint());
}

QuadrelWidget::~QuadrelWidget() {
  // The parts are children, deleted by ~QWidget after the control has
  // gone; from here on they must not call it.
  host_->Disconnect();
}

Quadrel& QuadrelWidget::control() { return *control_; }

QSize QuadrelWidget::sizeHint() const {
  return QSize(ToPixels(kFrameDesignGeometry.width), ToPixels(kFrameDesignGeometry.height));
}

QSize QuadrelWidget::minimumSizeHint() const { return sizeHint(); }

QWidget* QuadrelWidget::field(int index) const { return host_->Field(index); }

void QuadrelWidget::focusInEvent(QFocusEvent* event) {
  // The outer widget takes no keys: the focus belongs in a field. The
  // field is selected whole, as a click selects it, so that the digits
  // typed next replace it.
  QWidget::focusInEvent(event);
  QLineEdit* field = host_->LastActiveField();
  field->setFocus(event->reason());
  field->selectAll();
}

bool QuadrelWidget::isBusy() const { return host_->busy(); }

void QuadrelWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  WidgetHost::BusyScope busy(*host_);
  control_->Resized();
}

}  // namespace lattix
