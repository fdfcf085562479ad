// SPDX-License-Identifier: MIT

// One of the control's four fields: a frameless QLineEdit that shows each
// typed character to a filter before inserting it, and reports clicks.

#ifndef LATTIX_SRC_QT_OCTET_EDIT_H_
#define LATTIX_SRC_QT_OCTET_EDIT_H_

#include <QLineEdit>
#include <cstdint>
#include <functional>
#include <optional>

class QKeyEvent;

namespace lattix {

// The character code a key press delivers to the filter, or nullopt for a
// key that produces no character (Delete, arrows, Home, End, Tab, function
// keys, Ctrl with other keys): printable characters give their code point,
// Backspace 8, Enter 13, Escape 27 and Ctrl+A to Ctrl+Z 1 to 26.
std::optional<int32_t> DeliveredCharacter(const QKeyEvent& event);

// True for Alt and Meta combinations other than AltGr (Ctrl+Alt): keys
// that type nothing into a field.
bool IsAltCombination(const QKeyEvent& event);

class OctetEdit : public QLineEdit {
  Q_OBJECT

 public:
  explicit OctetEdit(QWidget* parent);

  // Sees each character before insertion and sets it to 0 to drop it (or
  // to another code to insert that instead).
  std::function<void(int32_t&)> key_filter;

 Q_SIGNALS:
  void clicked();
  void doubleClicked();
  // The field took the keyboard focus.
  void focused();

 protected:
  void focusInEvent(QFocusEvent* event) override;
  // The toolkit's edit menu, without the shortcut hints: the control drops
  // Ctrl+letter keys (they are no digits), so the hints would promise
  // keys that do nothing. The menu's actions themselves work.
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The release that ends a double-click is no click of its own.
  bool swallow_release_ = false;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QT_OCTET_EDIT_H_
