// SPDX-License-Identifier: MIT

// What QuadrelWidget keeps behind its public header: the control's logic,
// the parts that host it, and the values last announced by the widget's
// change signals.

#ifndef LATTIX_SRC_QT_QUADREL_WIDGET_P_H_
#define LATTIX_SRC_QT_QUADREL_WIDGET_P_H_

#include <QString>
#include <array>
#include <string_view>

#include "qt/widget_host.h"
#include "quadrel.h"
#include "tessaly/lattix/quadrel_widget.h"

namespace lattix {

class QuadrelWidgetPrivate {
 public:
  // Builds the parts inside `owner`; the control starts as a new instance.
  explicit QuadrelWidgetPrivate(QuadrelWidget& owner);

  QuadrelWidgetPrivate(const QuadrelWidgetPrivate&) = delete;
  QuadrelWidgetPrivate& operator=(const QuadrelWidgetPrivate&) = delete;

  static QuadrelWidgetPrivate& Of(QuadrelWidget& widget) { return *widget.d_; }
  static const QuadrelWidgetPrivate& Of(const QuadrelWidget& widget) { return *widget.d_; }

  // The control tells its container that a persisted property changed:
  // emits PropertyChanged, then AnnounceChanges.
  void PropertyChanged(std::string_view name);
  // Emits the change signal of each property whose value differs from the
  // one last announced. Called after every notification of the control,
  // and by those who change it without one (loading from a property bag).
  void AnnounceChanges();
  // The control raised Change: emits Change (whose handlers may replace
  // the address), then addressChanged with the address as it is stored.
  void RaiseChange(std::string& ip_address);

  QuadrelWidget& widget;
  WidgetHost host;
  Quadrel control;

 private:
  // The values as last announced, to emit a change signal only for a change.
  std::array<float, kFieldCount> announced_pos_{};
  OleColor announced_fore_color_;
  OleColor announced_back_color_;
  bool announced_border_;
};

// The control behind `widget`: its logic, with every member of the control's
// interface (the widget's properties are a view of it).
inline Quadrel& ControlOf(QuadrelWidget& widget) {
  return QuadrelWidgetPrivate::Of(widget).control;
}

// True while the widget is handling one of its own events or signals
// (deleting it then would pull the ground from under that handler).
inline bool IsBusy(const QuadrelWidget& widget) {
  return QuadrelWidgetPrivate::Of(widget).host.busy();
}

}  // namespace lattix

#endif  // LATTIX_SRC_QT_QUADREL_WIDGET_P_H_
