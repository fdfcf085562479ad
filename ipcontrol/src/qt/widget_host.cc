// SPDX-License-Identifier: MIT

#include "qt/widget_host.h"

#include <QApplication>
#include <QFontMetrics>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "qt/about_dialog.h"
#include "qt/click_frame.h"
#include "qt/dot_shape.h"
#include "qt/octet_edit.h"
#include "qt/ole_color.h"
#include "qt/quadrel_widget_p.h"

namespace lattix {
namespace {

QRect ToPixelRect(const TwipRect& twips, double scale) {
  return QRect(ScaledPixels(twips.left, scale), ScaledPixels(twips.top, scale),
               ScaledPixels(twips.width, scale), ScaledPixels(twips.height, scale));
}

// What the design leaves for a field's digits: the field's width less the
// line edit's own margin of 2 pixels on either side and the caret's pixel
// after the text (a wider text scrolls, cutting the first digit), and the
// part of its height that the frame's inside (inside a 1-pixel border)
// shows.
constexpr int kLineEditMargin = 2;
constexpr int kCaretWidth = 1;
constexpr int kFrameBorder = 1;
constexpr int kDesignTextWidth =
    ToPixels(kFieldGeometry[0].width) - 2 * kLineEditMargin - kCaretWidth;
constexpr int kDesignTextHeight =
    ToPixels(kFrameDesignGeometry.height) - 2 * kFrameBorder - ToPixels(kFieldGeometry[0].top);

void SetPaletteColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
  QPalette palette = widget->palette();
  palette.setColor(role, color);
  widget->setPalette(palette);
}

QColor Resolve(OleColor color) { return ToQColor(color, QApplication::palette()); }

}  // namespace

double FontScale(const QFont& font) {
  const QFontMetrics metrics(font);
  int widest = 0;
  for (QChar digit = u'0'; digit <= u'9'; digit = QChar(digit.unicode() + 1)) {
    widest = std::max(widest, metrics.horizontalAdvance(QString(3, digit)));
  }
  return std::max({1.0, static_cast<double>(widest) / kDesignTextWidth,
                   static_cast<double>(metrics.height()) / kDesignTextHeight});
}

int ScaledPixels(int twips, double scale) {
  if (scale == 1) return ToPixels(twips);
  return static_cast<int>(std::lround(twips * scale / kTwipsPerPixel));
}

WidgetHost::WidgetHost(QuadrelWidget& widget) : widget_(widget) {
  // Qt parents own every part: they go with the widget.
  frame_ = new ClickFrame(&widget);
  frame_->setObjectName("Picture1");
  scale_ = FontScale(widget.font());
  frame_->setGeometry(ToPixelRect(kFrameDesignGeometry, scale_));
  frame_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  frame_->setLineWidth(1);
  frame_->setAutoFillBackground(true);
  SetPaletteColor(frame_, QPalette::Window, Resolve(kDefaultBackColor));
  // The sunken border draws its lower and right edges in the light colour,
  // which on the white inside would leave only the upper and left edges
  // to be seen; a mid tone keeps all four visible and the edge sunken.
  SetPaletteColor(frame_, QPalette::Light, QApplication::palette().color(QPalette::Mid));

  // Positions of fields and dots count from the inside of the border, and
  // the inside clips them, as a picture box does its children.
  auto* layout = new QVBoxLayout(frame_);
  layout->setContentsMargins(0, 0, 0, 0);
  inside_ = new QWidget(frame_);
  layout->addWidget(inside_);

  for (int field = 0; field < kFieldCount; ++field) {
    auto* edit = new OctetEdit(inside_);
    edit->setObjectName(QString("Text%1").arg(field + 1));
    edit->setGeometry(ToPixelRect(kFieldGeometry[field], scale_));
    edit->setText("0");
    edit->setAutoFillBackground(true);
    // Text1 is white; the others take the system's window colour.
    SetPaletteColor(edit, QPalette::Base,
                    Resolve(field == 0 ? kDefaultBackColor : kSystemWindowColor));
    SetPaletteColor(edit, QPalette::Text, Resolve(kDefaultForeColor));
    fields_[field] = edit;
  }
  for (int dot = 0; dot < kDotCount; ++dot) {
    auto* shape = new DotShape(inside_);
    shape->setObjectName(QString("Shape%1").arg(dot + 1));
    shape->setGeometry(ToPixelRect(kDotGeometry[dot], scale_));
    dots_[dot] = shape;
  }
  timer_ = new QTimer(&widget);
  timer_->setObjectName("Timer1");
  for (int field = 0; field + 1 < kFieldCount; ++field) {
    QWidget::setTabOrder(fields_[field], fields_[field + 1]);
  }
  for (int field = 0; field < kFieldCount; ++field) {
    QObject::connect(fields_[field], &OctetEdit::focused, &widget,
                     [this, field] { last_active_field_ = field; });
  }
  CentreFieldText();
}

void WidgetHost::ApplyFont() {
  const double scale = FontScale(widget_.font());
  if (scale == scale_) return;
  scale_ = scale;
  frame_->resize(DesignSize());
  for (int field = 0; field < kFieldCount; ++field) {
    fields_[field]->setGeometry(ToPixelRect(kFieldGeometry[field], scale_));
  }
  for (int dot = 0; dot < kDotCount; ++dot) {
    dots_[dot]->setGeometry(ToPixelRect(kDotGeometry[dot], scale_));
  }
  CentreFieldText();
}

QSize WidgetHost::DesignSize() const { return ToPixelRect(kFrameDesignGeometry, scale_).size(); }

QWidget* WidgetHost::Field(int field) const { return fields_.at(field); }

QLineEdit* WidgetHost::LastActiveField() const { return fields_.at(last_active_field_); }

void WidgetHost::CentreFieldText() {
  for (OctetEdit* edit : fields_) {
    const int shown = frame_->contentsRect().height() - edit->y();
    const int hidden = std::max(0, edit->height() - shown);
    edit->setTextMargins(0, 0, 0, hidden);
  }
}

void WidgetHost::Connect(Quadrel& control) {
  for (int field = 0; field < kFieldCount; ++field) {
    OctetEdit* edit = fields_[field];
    edit->key_filter = [this, &control, field](int32_t& key) {
      BusyScope busy(*this);
      control.FieldKeyPress(field, key);
    };
    QObject::connect(edit, &QLineEdit::textChanged, &widget_, [this, &control, field] {
      BusyScope busy(*this);
      control.FieldChanged(field);
    });
    QObject::connect(edit, &OctetEdit::clicked, &widget_, [this, &control, field] {
      BusyScope busy(*this);
      control.FieldClick(field);
    });
    QObject::connect(edit, &OctetEdit::doubleClicked, &widget_, [this, &control, field] {
      BusyScope busy(*this);
      control.FieldDblClick(field);
    });
  }
  QObject::connect(frame_, &ClickFrame::clicked, &widget_, [this, &control] {
    BusyScope busy(*this);
    control.FrameClick();
  });
  QObject::connect(frame_, &ClickFrame::doubleClicked, &widget_, [this, &control] {
    BusyScope busy(*this);
    control.FrameDblClick();
  });
  QObject::connect(timer_, &QTimer::timeout, &widget_, [this, &control] {
    BusyScope busy(*this);
    control.TimerTick();
  });
}

void WidgetHost::Disconnect() {
  timer_->stop();
  for (OctetEdit* edit : fields_) {
    edit->key_filter = nullptr;
    QObject::disconnect(edit, nullptr, &widget_, nullptr);
  }
  QObject::disconnect(frame_, nullptr, &widget_, nullptr);
  QObject::disconnect(timer_, nullptr, &widget_, nullptr);
}

std::string WidgetHost::FieldText(int field) { return fields_.at(field)->text().toStdString(); }

void WidgetHost::SetFieldText(int field, const std::string& text) {
  // QLineEdit reports a change (textChanged) only when the text differs.
  fields_.at(field)->setText(QString::fromStdString(text));
}

void WidgetHost::SetFieldSelection(int field, int start, int length) {
  OctetEdit* edit = fields_.at(field);
  const QString text = edit->text();
  // Characters to UTF-16 positions, stopping at the end of the text.
  const auto position = [&](int characters) {
    int units = 0;
    for (int i = 0; i < characters && units < text.size(); ++i) {
      units += text.at(units).isHighSurrogate() && units + 1 < text.size() ? 2 : 1;
    }
    return units;
  };
  const int from = position(start);
  edit->setSelection(from, position(start + length) - from);
}

void WidgetHost::FocusField(int field) { fields_.at(field)->setFocus(Qt::OtherFocusReason); }

void WidgetHost::SetFieldBackColor(int field, OleColor color) {
  SetPaletteColor(fields_.at(field), QPalette::Base, Resolve(color));
}

void WidgetHost::SetFieldForeColor(int field, OleColor color) {
  SetPaletteColor(fields_.at(field), QPalette::Text, Resolve(color));
}

TwipRect WidgetHost::FrameGeometry() {
  const QRect r = frame_->geometry();
  return TwipRect{ToTwips(r.x()), ToTwips(r.y()), ToTwips(r.width()), ToTwips(r.height())};
}

void WidgetHost::MoveFrame(int left, int top) { frame_->move(ToPixels(left), ToPixels(top)); }

void WidgetHost::SetFrameBackColor(OleColor color) {
  const QColor resolved = Resolve(color);
  SetPaletteColor(frame_, QPalette::Window, resolved);
  SetPaletteColor(inside_, QPalette::Window, resolved);
}

void WidgetHost::SetFrameBorderStyle(int style) {
  frame_->setFrameStyle(style == 1 ? (QFrame::Panel | QFrame::Sunken) : QFrame::NoFrame);
  CentreFieldText();
}

void WidgetHost::SetDotOutlineColor(int dot, OleColor color) {
  dots_.at(dot)->setOutlineColor(Resolve(color));
}

void WidgetHost::SetDotFillColor(int dot, OleColor color) {
  dots_.at(dot)->setFillColor(Resolve(color));
}

void WidgetHost::SetTimerInterval(int milliseconds) {
  if (milliseconds <= 0) {
    timer_->stop();
  } else if (!timer_->isActive() || timer_->interval() != milliseconds) {
    timer_->start(milliseconds);
  }
}

TwipSize WidgetHost::ControlSize() {
  return TwipSize{ToTwips(widget_.width()), ToTwips(widget_.height())};
}

void WidgetHost::SetControlWidth(int twips) { widget_.resize(ToPixels(twips), widget_.height()); }

void WidgetHost::SetControlHeight(int twips) { widget_.resize(widget_.width(), ToPixels(twips)); }

void WidgetHost::PropertyChanged(std::string_view name) {
  QuadrelWidgetPrivate::Of(widget_).PropertyChanged(name);
}

void WidgetHost::RaiseClick() { Q_EMIT widget_.Click(); }

void WidgetHost::RaiseDblClick() { Q_EMIT widget_.DblClick(); }

void WidgetHost::RaiseChange(std::string& ip_address) {
  QuadrelWidgetPrivate::Of(widget_).RaiseChange(ip_address);
}

void WidgetHost::ShowAbout() { ShowAboutBox(); }

}  // namespace lattix
