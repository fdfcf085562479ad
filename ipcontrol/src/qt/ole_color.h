// SPDX-License-Identifier: MIT

// OLE_COLOR values as Qt colours.

#ifndef LATTIX_SRC_QT_OLE_COLOR_H_
#define LATTIX_SRC_QT_OLE_COLOR_H_

#include <QColor>
#include <QPalette>

#include "quadrel_host.h"

namespace lattix {

// The colour of `color` (0x00BBGGRR). A system colour (top bit set) is
// taken from `system`, the application's palette: the window background
// from Base, the window text from Text, button faces from Button, and so
// on; an unknown system colour gives the window text colour.
QColor ToQColor(OleColor color, const QPalette& system);

// The OLE_COLOR of `color`: its red, green and blue as 0x00BBGGRR. Alpha
// is dropped; an invalid colour gives black.
OleColor ToOleColor(const QColor& color);

}  // namespace lattix

#endif  // LATTIX_SRC_QT_OLE_COLOR_H_
