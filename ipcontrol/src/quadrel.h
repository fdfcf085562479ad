// SPDX-License-Identifier: MIT

// The Quadrel control: an entry box for an IPv4 address made of four
// numeric fields, free of any toolkit.
//
// The control keeps the address state (the four part values Pos1 to Pos4
// and the dotted text Address) and its appearance (ForeColor, BackColor,
// Border3D), checks and corrects every change of a field, and reaches its
// parts and its container only through a QuadrelHost.
//
// Field N shows part N: the host tells the control about every key typed
// into a field (before it is inserted), every change of a field's text and
// every click; the control answers through the host. A field's change is
// processed at once, and processing may change the field again, which
// processes that change nested inside the first (see FieldChanged).
//
// The user-interface handlers (FieldKeyPress, FieldClick, FieldDblClick,
// FrameClick, FrameDblClick, FieldChanged, IPChange, ChangeTextColor,
// SetBorder) and the IPLong get are step-tolerant: a step that raises is
// skipped and the handler goes on. The lets, the lifecycle handlers
// (InitProperties, ReadProperties, WriteProperties, Resized, TimerTick)
// and About pass every error to their caller.
//
// Single-threaded: all calls come from the host's user-interface thread.

#ifndef LATTIX_SRC_QUADREL_H_
#define LATTIX_SRC_QUADREL_H_

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "quadrel_host.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/platform/property_bag.h"
#include "tessaly/platform/variant.h"

namespace lattix {

inline constexpr int kDotCount = 3;

// Fixed geometry, in twips.
inline constexpr TwipRect kFrameDesignGeometry{90, 60, 2205, 285};
inline constexpr TwipRect kFieldGeometry[kFieldCount] = {
    {60, 30, 435, 285}, {630, 30, 435, 285}, {1200, 30, 435, 285}, {1770, 30, 435, 285}};
inline constexpr TwipRect kDotGeometry[kDotCount] = {
    {510, 150, 45, 45}, {1080, 150, 45, 45}, {1650, 150, 45, 45}};

// The colours of a new instance.
inline constexpr OleColor kDefaultForeColor = 0x00000000;
inline constexpr OleColor kDefaultBackColor = 0x00FFFFFF;

class Quadrel {
 public:
  // The control starts with the state of a new instance before
  // InitProperties: part values 0, empty Address, black on white with the
  // border. `host` must outlive the control.
  explicit Quadrel(QuadrelHost& host);

  Quadrel(const Quadrel&) = delete;
  Quadrel& operator=(const Quadrel&) = delete;

  // --- Address ---

  // The dotted text last composed by IPChange ("" until the first one).
  const std::string& Address() const { return address_; }
  // Accepted and ignored: Address is derived from the fields.
  void SetAddress(std::string_view) {}

  // The stored value of part `n` (1 to 4).
  float Pos(int n) const { return pos_[n - 1]; }
  // Clamps `value` to 0..255 (fractions kept), stores it, tells the
  // container, then shows its shortest decimal text in field n, which
  // processes that field's change when the text differs. Raises
  // PlatformError 5 for a value that is not a number (NaN).
  void SetPos(int n, float value);

  // Address packed into 32 bits, Pos1's part the least significant byte:
  // a.b.c.d gives 0xddccbbaa as a signed value. 0 unless Address has
  // exactly four parts that are all whole numbers from 0 to 255.
  int32_t IPLong() const;
  // Accepted and ignored.
  void SetIPLong(int32_t) {}

  // Composes Address from the four fields' texts as they stand, tells the
  // container and raises Change with Address by reference.
  void IPChange();

  // --- Appearance ---

  OleColor ForeColor() const { return fore_color_; }
  OleColor BackColor() const { return back_color_; }
  // -1 (true) or 0 (false); other stored values are kept as they are.
  int16_t Border3D() const { return border_3d_; }
  // Each let stores the value, tells the container and applies the
  // appearance (ChangeTextColor or SetBorder).
  void SetForeColor(OleColor color);
  void SetBackColor(OleColor color);
  void SetBorder3D(int16_t value);

  // Applies BackColor to the fields' and the frame's backgrounds and
  // ForeColor to the fields' text and the dots (outline, then fill).
  void ChangeTextColor();
  // Border3D -1 gives the frame its sunken single border, 0 removes it, any
  // other value changes nothing.
  void SetBorder();

  // Shows the About box and returns when it is closed.
  void About();

  // --- Notifications from the parts ---

  // A character about to be inserted into `field`; set `key` to 0 to
  // discard it. Only the digits pass. In fields 0 to 2 a '.' first moves to
  // the next field: an empty field becomes "0", the focus moves on and the
  // next field is clicked (FieldClick).
  void FieldKeyPress(int field, int32_t& key);
  // A click selects the whole field and raises Click.
  void FieldClick(int field);
  void FieldDblClick(int field);
  void FrameClick();
  void FrameDblClick();

  // Processes a change of the field's text: cuts it to three characters,
  // corrects a leading number below 0 to "0" and above 255 to "255" (each
  // correction changes the field and so runs this processing again, nested),
  // composes Address (raising Change), then stores the text as part value
  // when it is a number as a whole, and tells the container.
  void FieldChanged(int field);

  // The container resized the control: starts the self-sizing timer.
  void Resized();
  // A tick of the self-sizing timer: moves the frame to (0, 0), sizes the
  // control to the frame and stops the timer once both agree.
  void TimerTick();

  // --- Lifecycle ---

  // The properties of a new instance (nothing is applied to the parts).
  void InitProperties();
  // Loads colours and border, applies them, loads the part values and shows
  // them in the fields (each changed field is processed). Raises what the
  // bag or a conversion raises.
  void ReadProperties(platform::PropertyBag& bag);
  // Saves ForeColor, BackColor, Border3D, Pos4, Pos1, Pos2, Pos3 in this
  // order, each with its default.
  void WriteProperties(platform::PropertyBag& bag);

 private:
  QuadrelHost& host_;
  // Part values, index 0 for Pos1.
  std::array<float, kFieldCount> pos_{};
  std::string address_;
  OleColor fore_color_ = kDefaultForeColor;
  OleColor back_color_ = kDefaultBackColor;
  int16_t border_3d_ = platform::Bool16::kTrue;
};

// The names of the persisted part values, index 0 for "Pos1".
inline constexpr std::string_view kPosNames[kFieldCount] = {"Pos1", "Pos2", "Pos3", "Pos4"};

}  // namespace lattix

#endif  // LATTIX_SRC_QUADREL_H_
