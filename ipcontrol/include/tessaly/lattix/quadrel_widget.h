// SPDX-License-Identifier: MIT

// The Quadrel control as a Qt 6 widget.
//
// A thin binding: the widget builds the control's parts (a frame with a
// sunken single border, four frameless line edits, three dots and the
// self-sizing timer), lends them to the toolkit-free lattix::Quadrel
// through a QuadrelHost, and turns the control's events into signals.
// Every behaviour lives in lattix::Quadrel.
//
// Focus: the widget takes no keys itself. Given the focus (setFocus), it
// passes it on to the field that last had it, Text1 at first, and selects
// that field's text, so that the digits typed next replace it. The four
// fields are tab stops of their own, Text1 to Text4 in that order; a host
// that sets a tab order chains its widgets to field(0) and field(3).
//
// Keys: only keys that produce a character reach the control's filter
// before insertion (printable characters, Backspace, Enter, Escape and
// Ctrl+letter); a character the filter drops never reaches the line edit.
// A dropped Enter or Escape is passed on to the parent, so the default and
// cancel buttons of a dialog still answer them. Delete, the arrows, Home,
// End and Tab keep their usual behaviour. Every change of a field's text,
// typed, pasted or assigned, runs the control's change processing.
//
// The widget is 147 x 19 pixels (2205 x 285 twips at 15 twips a pixel) and
// returns to that size by itself shortly after anyone resizes it.

#ifndef TESSALY_LATTIX_QUADREL_WIDGET_H_
#define TESSALY_LATTIX_QUADREL_WIDGET_H_

#include <QString>
#include <QWidget>
#include <memory>

#include "tessaly/lattix/export.h"

namespace lattix {

class Quadrel;
class WidgetHost;

class LATTIX_EXPORT QuadrelWidget : public QWidget {
  Q_OBJECT

 public:
  // A control in the state of a new instance (InitProperties is left to the
  // creator).
  explicit QuadrelWidget(QWidget* parent = nullptr);
  ~QuadrelWidget() override;

  // The control's logic: properties, methods and lifecycle handlers.
  Quadrel& control();

  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

  // Field `index` (0 for Text1 to 3 for Text4).
  QWidget* field(int index) const;

  // True while the widget is handling one of its own events or signals
  // (deleting it then would pull the ground from under that handler).
  bool isBusy() const;

 Q_SIGNALS:
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
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  friend class WidgetHost;

  std::unique_ptr<WidgetHost> host_;
  std::unique_ptr<Quadrel> control_;
};

}  // namespace lattix

#endif  // TESSALY_LATTIX_QUADREL_WIDGET_H_
