// SPDX-License-Identifier: MIT

// What the Quadrel control's logic needs from its surroundings: the parts
// of its form (four text fields, a frame, three dots, a timer) and its
// container. A toolkit binding supplies these with real widgets; tests
// supply a recording fake.
//
// Fields are numbered 0 (Text1) to 3 (Text4), dots 0 (Shape1) to 2
// (Shape3). Lengths are in twips (15 twips are one pixel at 96 dpi).
// Colours are OLE_COLOR values, passed on unchanged.
//
// Any operation may raise (a part that refuses a value); the logic decides
// whether that ends the handler or is skipped.

#ifndef LATTIX_SRC_QUADREL_HOST_H_
#define LATTIX_SRC_QUADREL_HOST_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace lattix {

// A 32-bit colour, 0x00BBGGRR; with the top bit set, the low byte names a
// system colour (0x80000005 is the window background, 0x80000008 the
// window text).
using OleColor = uint32_t;

inline constexpr OleColor kSystemColorFlag = 0x80000000u;
inline constexpr OleColor kSystemWindowColor = 0x80000005u;

struct TwipRect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

struct TwipSize {
  int width = 0;
  int height = 0;
};

class QuadrelHost {
 public:
  virtual ~QuadrelHost() = default;

  // Text fields.
  // The field's text (UTF-8).
  virtual std::string FieldText(int field) = 0;
  // Replaces the field's text. When the new text differs from the old one,
  // the host calls Quadrel::FieldChanged(field) before returning, as it does
  // for every change by typing or pasting.
  virtual void SetFieldText(int field, const std::string& text) = 0;
  // Selects `length` characters from `start` (counted in characters; a
  // selection beyond the end stops at the end).
  virtual void SetFieldSelection(int field, int start, int length) = 0;
  // Moves the keyboard focus to the field; may raise when the toolkit
  // refuses.
  virtual void FocusField(int field) = 0;
  virtual void SetFieldBackColor(int field, OleColor color) = 0;
  virtual void SetFieldForeColor(int field, OleColor color) = 0;

  // The frame that holds fields and dots.
  virtual TwipRect FrameGeometry() = 0;
  virtual void MoveFrame(int left, int top) = 0;
  virtual void SetFrameBackColor(OleColor color) = 0;
  // 0: no border; 1: a single line drawn sunken.
  virtual void SetFrameBorderStyle(int style) = 0;

  // The dots between the fields.
  virtual void SetDotOutlineColor(int dot, OleColor color) = 0;
  virtual void SetDotFillColor(int dot, OleColor color) = 0;

  // The self-sizing timer: ticks arrive as Quadrel::TimerTick every
  // `milliseconds`; 0 stops it. Setting the interval it already runs with
  // keeps it running.
  virtual void SetTimerInterval(int milliseconds) = 0;

  // The container.
  // The control's own size.
  virtual TwipSize ControlSize() = 0;
  // Resize the control; when its size changes, the host calls
  // Quadrel::Resized, before returning or later from its event loop.
  virtual void SetControlWidth(int twips) = 0;
  virtual void SetControlHeight(int twips) = 0;
  // Tells the container that the persisted property `name` changed.
  virtual void PropertyChanged(std::string_view name) = 0;
  // The control's events. `ip_address` is the control's stored address
  // itself: a handler that assigns to it replaces the stored address.
  virtual void RaiseClick() = 0;
  virtual void RaiseDblClick() = 0;
  virtual void RaiseChange(std::string& ip_address) = 0;

  // Shows the About box modally and returns when it is closed.
  virtual void ShowAbout() = 0;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QUADREL_HOST_H_
