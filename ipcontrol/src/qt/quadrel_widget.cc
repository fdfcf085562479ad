// SPDX-License-Identifier: MIT

#include "tessaly/lattix/quadrel_widget.h"

#include <QApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <cmath>

#include "qt/ole_color.h"
#include "qt/quadrel_widget_p.h"
#include "tessaly/platform/variant.h"

namespace lattix {
namespace {

QColor Resolve(OleColor color) { return ToQColor(color, QApplication::palette()); }

}  // namespace

QuadrelWidgetPrivate::QuadrelWidgetPrivate(QuadrelWidget& owner)
    : widget(owner),
      host(owner),
      control(host),
      announced_fore_color_(control.ForeColor()),
      announced_back_color_(control.BackColor()),
      announced_border_(control.Border3D() != 0) {
  for (int n = 1; n <= kFieldCount; ++n) announced_pos_[n - 1] = control.Pos(n);
}

void QuadrelWidgetPrivate::PropertyChanged(std::string_view name) {
  Q_EMIT widget.PropertyChanged(
      QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
  AnnounceChanges();
}

void QuadrelWidgetPrivate::AnnounceChanges() {
  // Each value is recorded before its signal goes out: a handler that sets
  // the property again announces its own change, once.
  using PosSignal = void (QuadrelWidget::*)(float);
  static constexpr PosSignal kPosSignals[kFieldCount] = {
      &QuadrelWidget::pos1Changed, &QuadrelWidget::pos2Changed, &QuadrelWidget::pos3Changed,
      &QuadrelWidget::pos4Changed};
  for (int n = 1; n <= kFieldCount; ++n) {
    float& announced = announced_pos_[n - 1];
    const float value = control.Pos(n);
    if (value == announced) continue;
    announced = value;
    Q_EMIT(widget.*kPosSignals[n - 1])(value);
  }
  if (control.ForeColor() != announced_fore_color_) {
    announced_fore_color_ = control.ForeColor();
    Q_EMIT widget.foreColorChanged(Resolve(announced_fore_color_));
  }
  if (control.BackColor() != announced_back_color_) {
    announced_back_color_ = control.BackColor();
    Q_EMIT widget.backColorChanged(Resolve(announced_back_color_));
  }
  if ((control.Border3D() != 0) != announced_border_) {
    announced_border_ = control.Border3D() != 0;
    Q_EMIT widget.border3DChanged(announced_border_);
  }
}

void QuadrelWidgetPrivate::RaiseChange(std::string& ip_address) {
  QString address = QString::fromStdString(ip_address);
  Q_EMIT widget.Change(address);
  // A handler may have replaced the stored address.
  std::string replaced = address.toStdString();
  if (replaced != ip_address) ip_address = std::move(replaced);
  Q_EMIT widget.addressChanged(address);
}

QuadrelWidget::QuadrelWidget(QWidget* parent)
    : QWidget(parent), d_(std::make_unique<QuadrelWidgetPrivate>(*this)) {
  d_->control.InitProperties();
  d_->host.Connect(d_->control);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
  resize(sizeHint());
}

QuadrelWidget::~QuadrelWidget() {
  // The parts are children, deleted by ~QWidget after the control has
  // gone; from here on they must not call it.
  d_->host.Disconnect();
}

float QuadrelWidget::pos1() const { return d_->control.Pos(1); }
float QuadrelWidget::pos2() const { return d_->control.Pos(2); }
float QuadrelWidget::pos3() const { return d_->control.Pos(3); }
float QuadrelWidget::pos4() const { return d_->control.Pos(4); }

// The control refuses NaN with an error; a Qt setter has no way to report
// one, so it is dropped here instead.
void QuadrelWidget::setPos1(float value) {
  if (!std::isnan(value)) d_->control.SetPos(1, value);
}
void QuadrelWidget::setPos2(float value) {
  if (!std::isnan(value)) d_->control.SetPos(2, value);
}
void QuadrelWidget::setPos3(float value) {
  if (!std::isnan(value)) d_->control.SetPos(3, value);
}
void QuadrelWidget::setPos4(float value) {
  if (!std::isnan(value)) d_->control.SetPos(4, value);
}

QString QuadrelWidget::address() const { return QString::fromStdString(d_->control.Address()); }

qint32 QuadrelWidget::ipLong() const { return d_->control.IPLong(); }

QColor QuadrelWidget::foreColor() const { return Resolve(d_->control.ForeColor()); }
QColor QuadrelWidget::backColor() const { return Resolve(d_->control.BackColor()); }

void QuadrelWidget::setForeColor(const QColor& color) {
  d_->control.SetForeColor(ToOleColor(color));
}

void QuadrelWidget::setBackColor(const QColor& color) {
  d_->control.SetBackColor(ToOleColor(color));
}

bool QuadrelWidget::border3D() const { return d_->control.Border3D() != 0; }

void QuadrelWidget::setBorder3D(bool border) {
  d_->control.SetBorder3D(border ? platform::Bool16::kTrue : platform::Bool16::kFalse);
}

QSize QuadrelWidget::sizeHint() const { return d_->host.DesignSize(); }

QSize QuadrelWidget::minimumSizeHint() const { return sizeHint(); }

QWidget* QuadrelWidget::field(int index) const { return d_->host.Field(index); }

void QuadrelWidget::focusInEvent(QFocusEvent* event) {
  // The outer widget takes no keys: the focus belongs in a field. The
  // field is selected whole, as a click selects it, so that the digits
  // typed next replace it.
  QWidget::focusInEvent(event);
  QLineEdit* field = d_->host.LastActiveField();
  field->setFocus(event->reason());
  field->selectAll();
}

void QuadrelWidget::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange) return;
  // A larger font draws the control larger; it then keeps that size as it
  // keeps its design size.
  d_->host.ApplyFont();
  updateGeometry();
  resize(sizeHint());
}

void QuadrelWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  WidgetHost::BusyScope busy(d_->host);
  d_->control.Resized();
}

}  // namespace lattix
