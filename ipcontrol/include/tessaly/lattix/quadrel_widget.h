// SPDX-License-Identifier: MIT

// The Quadrel control as a Qt 6 widget: an entry box for an IPv4 address
// in four numeric fields.
//
//   lattix::QuadrelWidget* address = new lattix::QuadrelWidget(parent);
//   address->setPos1(192);  // ... setPos4(1)
//   connect(address, &lattix::QuadrelWidget::addressChanged, this,
//           [](const QString& text) { qDebug() << text; });
//
// Properties. pos1 to pos4 are the four part values, single-precision as
// the control stores them (their properties are typed double, since .ui
// files and Designer's editor know no single-precision type; a value set
// through them is rounded to float). A value below 0 is stored as 0, one
// above 255 as 255, fractions are kept until the field's own processing
// reads the value back from its text; each assignment shows the value in
// its field. address is the dotted text last composed from
// the four fields exactly as they show (a field emptied by the user gives
// an empty part), empty until the first composition; ipLong packs it into
// 32 bits, pos1's part the least significant byte (a.b.c.d gives
// 0xddccbbaa as a signed value), and is 0 unless address has four whole
// parts. foreColor colours the digits and the dots, backColor the fields
// and the frame; border3D gives the frame its sunken border. A colour's
// alpha is not kept.
//
// Signals. Each writable property has a change signal, emitted when its
// value has changed, by whichever road it was set (a property, typing in
// a field, the control's late binding, loading). addressChanged is emitted
// every time the address is composed, which is after every change of a
// field's text, even when the text stays the same; Change is emitted just
// before it and lets a handler replace the stored address.
//
// Focus: the widget takes no keys itself. Given the focus (setFocus), it
// passes it on to the field that last had it, Text1 at first, and selects
// that field's text, so that the digits typed next replace it. The four
// fields are tab stops of their own, Text1 to Text4 in that order; a host
// that sets a tab order chains its widgets to field(0) and field(3).
//
// Keys: only the digits reach a field. A '.' in the first three fields
// moves on to the next one; Backspace is dropped (Delete, the arrows,
// Home, End and Tab keep their usual behaviour). A dropped Enter or Escape
// is passed on to the parent, so the default and cancel buttons of a
// dialog still answer them. A field holds at most three characters and a
// leading number of at most 255.
//
// The widget is 147 x 19 pixels and returns to that size by itself shortly
// after anyone resizes it. A font too large for that design (a common sans
// serif above 9 pt) draws it larger, in proportion, so that three digits
// fit a field.

#ifndef TESSALY_LATTIX_QUADREL_WIDGET_H_
#define TESSALY_LATTIX_QUADREL_WIDGET_H_

#include <QColor>
#include <QString>
#include <QWidget>
#include <memory>

#include "tessaly/lattix/export.h"

namespace lattix {

class QuadrelWidgetPrivate;

class LATTIX_EXPORT QuadrelWidget : public QWidget {
  Q_OBJECT
  Q_PROPERTY(double pos1 READ pos1 WRITE setPos1 NOTIFY pos1Changed)
  Q_PROPERTY(double pos2 READ pos2 WRITE setPos2 NOTIFY pos2Changed)
  Q_PROPERTY(double pos3 READ pos3 WRITE setPos3 NOTIFY pos3Changed)
  Q_PROPERTY(double pos4 READ pos4 WRITE setPos4 NOTIFY pos4Changed)
  Q_PROPERTY(QString address READ address NOTIFY addressChanged STORED false)
  Q_PROPERTY(qint32 ipLong READ ipLong NOTIFY addressChanged STORED false)
  Q_PROPERTY(QColor foreColor READ foreColor WRITE setForeColor NOTIFY foreColorChanged)
  Q_PROPERTY(QColor backColor READ backColor WRITE setBackColor NOTIFY backColorChanged)
  Q_PROPERTY(bool border3D READ border3D WRITE setBorder3D NOTIFY border3DChanged)

 public:
  // A control with the properties of a new instance: all parts 0, every
  // field showing "0", an empty address, black on white with the border.
  explicit QuadrelWidget(QWidget* parent = nullptr);
  ~QuadrelWidget() override;

  // The stored part values. A setter given a value that is not a number
  // (NaN) changes nothing.
  float pos1() const;
  float pos2() const;
  float pos3() const;
  float pos4() const;
  void setPos1(float value);
  void setPos2(float value);
  void setPos3(float value);
  void setPos4(float value);

  QString address() const;
  qint32 ipLong() const;

  // A system colour set through the late binding reads back as the
  // palette's colour it stands for.
  QColor foreColor() const;
  QColor backColor() const;
  void setForeColor(const QColor& color);
  void setBackColor(const QColor& color);

  bool border3D() const;
  void setBorder3D(bool border);

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Field `index` (0 for Text1 to 3 for Text4), for tab orders and buddies.
  QWidget* field(int index) const;

 Q_SIGNALS:
  void pos1Changed(float value);
  void pos2Changed(float value);
  void pos3Changed(float value);
  void pos4Changed(float value);
  void addressChanged(const QString& address);
  void foreColorChanged(const QColor& color);
  void backColorChanged(const QColor& color);
  void border3DChanged(bool border);

  // A field or the frame was clicked, or the '.' key moved on to a field.
  void Click();
  // A field or the frame was double-clicked.
  void DblClick();
  // Address was composed; `ipAddress` is the control's stored Address, and
  // assigning to it (in a direct connection) replaces that.
  void Change(QString& ipAddress);
  // A persisted property changed (its name, such as "Pos1").
  void PropertyChanged(const QString& name);

 protected:
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  friend class QuadrelWidgetPrivate;

  const std::unique_ptr<QuadrelWidgetPrivate> d_;
};

}  // namespace lattix

#endif  // TESSALY_LATTIX_QUADREL_WIDGET_H_
