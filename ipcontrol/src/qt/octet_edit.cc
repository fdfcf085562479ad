// SPDX-License-Identifier: MIT

#include "qt/octet_edit.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <memory>
#include <utility>

namespace lattix {
namespace {

// Menu entries carry their shortcut after a tab: "&Copy\tCtrl+C".
constexpr char16_t kShortcutSeparator = u'\t';

QString CharacterText(int32_t code) {
  const char32_t c = static_cast<char32_t>(code);
  return QString::fromUcs4(&c, 1);
}

}  // namespace

std::optional<int32_t> DeliveredCharacter(const QKeyEvent& event) {
  switch (event.key()) {
    case Qt::Key_Backspace: return 8;
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    default: break;
  }
  const Qt::KeyboardModifiers modifiers =
      event.modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier | Qt::GroupSwitchModifier);
  if (modifiers == Qt::ControlModifier) {
    if (event.key() >= Qt::Key_A && event.key() <= Qt::Key_Z) return event.key() - Qt::Key_A + 1;
    return std::nullopt;  // Ctrl+Left and the like: editing keys
  }
  // Printable text, AltGr characters (Ctrl+Alt on some systems) included.
  const QList<uint> characters = event.text().toUcs4();
  if (characters.isEmpty() || characters.front() < 0x20 || characters.front() == 0x7F) {
    return std::nullopt;
  }
  return static_cast<int32_t>(characters.front());
}

bool IsAltCombination(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers();
  const bool alt_gr =
      modifiers.testFlag(Qt::AltModifier) && modifiers.testFlag(Qt::ControlModifier);
  return modifiers.testFlag(Qt::MetaModifier) || (modifiers.testFlag(Qt::AltModifier) && !alt_gr);
}

OctetEdit::OctetEdit(QWidget* parent) : QLineEdit(parent) { setFrame(false); }

void OctetEdit::keyPressEvent(QKeyEvent* event) {
  // Alt and Meta combinations type nothing into a field (QLineEdit would
  // insert their text unfiltered); they are left to menus and mnemonics.
  if (IsAltCombination(*event)) {
    event->ignore();
    return;
  }
  const std::optional<int32_t> delivered = DeliveredCharacter(*event);
  if (!delivered || !key_filter) {
    QLineEdit::keyPressEvent(event);
    return;
  }
  int32_t code = *delivered;
  key_filter(code);
  if (code == *delivered) {
    QLineEdit::keyPressEvent(event);
  } else if (code != 0) {
    insert(CharacterText(code));
    event->accept();
  } else if (*delivered == 13 || *delivered == 27) {
    // Not for the field, but a dialog's default or cancel button may want it.
    event->ignore();
  } else {
    event->accept();
  }
}

void OctetEdit::inputMethodEvent(QInputMethodEvent* event) {
  // Characters composed by an input method pass the same filter.
  if (!key_filter || event->commitString().isEmpty()) {
    QLineEdit::inputMethodEvent(event);
    return;
  }
  QString kept;
  for (uint character : event->commitString().toUcs4()) {
    int32_t code = static_cast<int32_t>(character);
    key_filter(code);
    if (code != 0) kept += CharacterText(code);
  }
  QInputMethodEvent filtered(event->preeditString(), event->attributes());
  filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
  QLineEdit::inputMethodEvent(&filtered);
}

void OctetEdit::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  Q_EMIT focused();
}

void OctetEdit::contextMenuEvent(QContextMenuEvent* event) {
  const std::unique_ptr<QMenu> menu(createStandardContextMenu());
  for (QAction* action : menu->actions()) {
    const QString text = action->text();
    const qsizetype separator = text.indexOf(kShortcutSeparator);
    if (separator >= 0) action->setText(text.left(separator));
    action->setShortcut(QKeySequence());
  }
  menu->setObjectName(QStringLiteral("FieldMenu"));
  menu->exec(event->globalPos());
}

void OctetEdit::mouseReleaseEvent(QMouseEvent* event) {
  QLineEdit::mouseReleaseEvent(event);
  if (event->button() != Qt::LeftButton) return;
  if (std::exchange(swallow_release_, false)) return;
  if (rect().contains(event->position().toPoint())) Q_EMIT clicked();
}

void OctetEdit::mouseDoubleClickEvent(QMouseEvent* event) {
  QLineEdit::mouseDoubleClickEvent(event);
  if (event->button() != Qt::LeftButton) return;
  swallow_release_ = true;
  Q_EMIT doubleClicked();
}

}  // namespace lattix
