// SPDX-License-Identifier: MIT

// A QuadrelHost for tests: keeps the parts' state in plain members, plays
// the user (typing, pasting, clicking) and the container (resizing), and
// records every event and notification in order.

#ifndef LATTIX_TESTS_FAKE_QUADREL_HOST_H_
#define LATTIX_TESTS_FAKE_QUADREL_HOST_H_

#include <array>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "quadrel.h"
#include "quadrel_host.h"

namespace lattix::testing {

class FakeQuadrelHost : public QuadrelHost {
 public:
  // Fields show "0", the frame stands at its design position, the container
  // gives the control 2400 x 400 twips and the timer is stopped.
  FakeQuadrelHost();

  // The control that receives the notifications (set before any action).
  void Attach(Quadrel& control) { control_ = &control; }

  // --- The user ---
  // Presses a key in `field`: the control's filter sees it first; a key it
  // keeps replaces the selection (or goes in at the caret).
  void Type(int field, int32_t key);
  void TypeText(int field, const std::string& keys);
  // Pastes `text` over the selection; pasting bypasses the filter.
  void Paste(int field, const std::string& text);
  // Clears the field as deleting its selected text would.
  void Clear(int field);
  void ClickField(int field);
  void DoubleClickField(int field);

  // --- The container ---
  // Resizes the control (notifying it when the size changes).
  void ResizeControl(int width, int height);

  // --- Recording ---
  // Every call in order: "Change(1.0.0.0)", "Click", "DblClick",
  // "PropertyChanged(Pos1)", "Focus(2)", "Select(2,0,3)", "Timer(1)",
  // "About", and the appearance calls ("FieldBack(0,ffffff)", ...).
  std::vector<std::string> log;
  // Only the entries that start with one of `prefixes`.
  std::vector<std::string> Logged(std::initializer_list<std::string> prefixes) const;
  // Only the events: Click, DblClick and Change entries.
  std::vector<std::string> Events() const { return Logged({"Click", "DblClick", "Change"}); }

  // Runs inside every Change, after it is logged.
  std::function<void(std::string&)> on_change;
  // Makes FocusField, RaiseChange, SetFieldBackColor or SetFieldText raise.
  bool refuse_focus = false;
  bool refuse_text = false;
  bool fail_change_handler = false;
  bool refuse_field_back_color = false;
  // When false, a resize notification is only counted in pending_resizes
  // and delivered by DeliverResizes(), as an event loop would.
  bool resize_at_once = true;
  int pending_resizes = 0;
  void DeliverResizes();

  // --- Part state ---
  std::array<std::string, kFieldCount> text;
  std::array<int, kFieldCount> selection_start{};
  std::array<int, kFieldCount> selection_length{};
  int focus = -1;
  std::array<OleColor, kFieldCount> field_back{};
  std::array<OleColor, kFieldCount> field_fore{};
  TwipRect frame;
  OleColor frame_back = 0;
  int border_style = 1;
  std::array<OleColor, kDotCount> dot_outline{};
  std::array<OleColor, kDotCount> dot_fill{};
  int timer_interval = 0;
  TwipSize control_size;

  // QuadrelHost.
  std::string FieldText(int field) override;
  void SetFieldText(int field, const std::string& new_text) override;
  void SetFieldSelection(int field, int start, int length) override;
  void FocusField(int field) override;
  void SetFieldBackColor(int field, OleColor color) override;
  void SetFieldForeColor(int field, OleColor color) override;
  TwipRect FrameGeometry() override { return frame; }
  void MoveFrame(int left, int top) override;
  void SetFrameBackColor(OleColor color) override;
  void SetFrameBorderStyle(int style) override;
  void SetDotOutlineColor(int dot, OleColor color) override;
  void SetDotFillColor(int dot, OleColor color) override;
  void SetTimerInterval(int milliseconds) override;
  TwipSize ControlSize() override { return control_size; }
  void SetControlWidth(int twips) override;
  void SetControlHeight(int twips) override;
  void PropertyChanged(std::string_view name) override;
  void RaiseClick() override;
  void RaiseDblClick() override;
  void RaiseChange(std::string& ip_address) override;
  void ShowAbout() override;

 private:
  // Sets the text as typing or pasting does and notifies the control.
  void ReplaceSelection(int field, const std::string& inserted);
  void NotifyResize();

  Quadrel* control_ = nullptr;
};

}  // namespace lattix::testing

#endif  // LATTIX_TESTS_FAKE_QUADREL_HOST_H_
