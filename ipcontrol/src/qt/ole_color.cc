// SPDX-License-Identifier: MIT

#include "qt/ole_color.h"

namespace lattix {
namespace {

// The palette role standing in for a system colour index.
QPalette::ColorRole SystemRole(uint32_t index) {
  switch (index) {
    case 0: return QPalette::Button;            // scroll bar
    case 1: return QPalette::Window;            // desktop
    case 2: return QPalette::Highlight;         // active caption
    case 3: return QPalette::Mid;               // inactive caption
    case 4: return QPalette::Window;            // menu
    case 5: return QPalette::Base;              // window background
    case 6: return QPalette::Shadow;            // window frame
    case 7: return QPalette::WindowText;        // menu text
    case 8: return QPalette::Text;              // window text
    case 9: return QPalette::HighlightedText;   // caption text
    case 10: return QPalette::Window;           // active border
    case 11: return QPalette::Window;           // inactive border
    case 12: return QPalette::Dark;             // application workspace
    case 13: return QPalette::Highlight;        // highlight
    case 14: return QPalette::HighlightedText;  // highlighted text
    case 15: return QPalette::Button;           // button face
    case 16: return QPalette::Dark;             // button shadow
    case 17: return QPalette::PlaceholderText;  // grey text
    case 18: return QPalette::ButtonText;       // button text
    case 19: return QPalette::Text;             // inactive caption text
    case 20: return QPalette::Light;            // 3D highlight
    case 21: return QPalette::Shadow;           // 3D dark shadow
    case 22: return QPalette::Midlight;         // 3D light
    case 23: return QPalette::ToolTipText;      // tooltip text
    case 24: return QPalette::ToolTipBase;      // tooltip background
    default: return QPalette::Text;
  }
}

}  // namespace

QColor ToQColor(OleColor color, const QPalette& system) {
  if (color & kSystemColorFlag) return system.color(QPalette::Active, SystemRole(color & 0xFFFF));
  return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                static_cast<int>((color >> 16) & 0xFF));
}

OleColor ToOleColor(const QColor& color) {
  const QColor rgb = color.toRgb();
  return static_cast<OleColor>(rgb.red()) | static_cast<OleColor>(rgb.green()) << 8 |
         static_cast<OleColor>(rgb.blue()) << 16;
}

}  // namespace lattix
