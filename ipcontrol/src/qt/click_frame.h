// SPDX-License-Identifier: MIT

// The control's frame: a QFrame that reports clicks and double-clicks.

#ifndef LATTIX_SRC_QT_CLICK_FRAME_H_
#define LATTIX_SRC_QT_CLICK_FRAME_H_

#include <QFrame>

namespace lattix {

class ClickFrame : public QFrame {
  Q_OBJECT

 public:
  explicit ClickFrame(QWidget* parent);

 Q_SIGNALS:
  void clicked();
  void doubleClicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The release that ends a double-click is no click of its own.
  bool swallow_release_ = false;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QT_CLICK_FRAME_H_
