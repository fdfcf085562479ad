// SPDX-License-Identifier: MIT

#include "fake_quadrel_host.h"

#include <algorithm>
#include <cstdio>

namespace lattix::testing {
namespace {

std::string Hex(OleColor color) {
  char text[16];
  std::snprintf(text, sizeof text, "%x", color);
  return text;
}

std::string Args(int a, const std::string& b) { return "(" + std::to_string(a) + "," + b + ")"; }

}  // namespace

FakeQuadrelHost::FakeQuadrelHost() {
  text.fill("0");
  field_back = {0x00FFFFFF, kSystemWindowColor, kSystemWindowColor, kSystemWindowColor};
  frame = kFrameDesignGeometry;
  frame_back = 0x00FFFFFF;
  control_size = TwipSize{2400, 400};
}

std::vector<std::string> FakeQuadrelHost::Logged(
    std::initializer_list<std::string> prefixes) const {
  std::vector<std::string> out;
  for (const std::string& entry : log) {
    if (std::any_of(prefixes.begin(), prefixes.end(),
                    [&](const std::string& prefix) { return entry.starts_with(prefix); })) {
      out.push_back(entry);
    }
  }
  return out;
}

void FakeQuadrelHost::Type(int field, int32_t key) {
  control_->FieldKeyPress(field, key);
  if (key == 0) return;
  std::string inserted;
  if (key < 0x80) inserted = std::string(1, static_cast<char>(key));
  ReplaceSelection(field, inserted);
}

void FakeQuadrelHost::TypeText(int field, const std::string& keys) {
  for (char key : keys) Type(field, key);
}

void FakeQuadrelHost::Paste(int field, const std::string& pasted) {
  ReplaceSelection(field, pasted);
}

void FakeQuadrelHost::Clear(int field) {
  selection_start[field] = 0;
  selection_length[field] = static_cast<int>(text[field].size());
  ReplaceSelection(field, "");
}

void FakeQuadrelHost::ReplaceSelection(int field, const std::string& inserted) {
  std::string& current = text[field];
  const size_t start = std::min<size_t>(selection_start[field], current.size());
  const size_t length = std::min<size_t>(selection_length[field], current.size() - start);
  std::string changed = current;
  changed.replace(start, length, inserted);
  selection_start[field] = static_cast<int>(start + inserted.size());
  selection_length[field] = 0;
  if (changed == current) return;
  current = changed;
  control_->FieldChanged(field);
}

void FakeQuadrelHost::ClickField(int field) { control_->FieldClick(field); }

void FakeQuadrelHost::DoubleClickField(int field) { control_->FieldDblClick(field); }

void FakeQuadrelHost::ResizeControl(int width, int height) {
  if (width == control_size.width && height == control_size.height) return;
  control_size = TwipSize{width, height};
  NotifyResize();
}

void FakeQuadrelHost::NotifyResize() {
  if (resize_at_once) {
    control_->Resized();
  } else {
    ++pending_resizes;
  }
}

void FakeQuadrelHost::DeliverResizes() {
  for (; pending_resizes > 0; --pending_resizes) control_->Resized();
}

std::string FakeQuadrelHost::FieldText(int field) { return text.at(field); }

void FakeQuadrelHost::SetFieldText(int field, const std::string& new_text) {
  if (refuse_text) throw std::runtime_error("text refused");
  if (text.at(field) == new_text) return;
  text[field] = new_text;
  // Like an edit control, assignment puts the caret at the end.
  selection_start[field] = static_cast<int>(new_text.size());
  selection_length[field] = 0;
  control_->FieldChanged(field);
}

void FakeQuadrelHost::SetFieldSelection(int field, int start, int length) {
  log.push_back("Select(" + std::to_string(field) + "," + std::to_string(start) + "," +
                std::to_string(length) + ")");
  selection_start.at(field) = start;
  selection_length.at(field) = length;
}

void FakeQuadrelHost::FocusField(int field) {
  if (refuse_focus) throw std::runtime_error("focus refused");
  log.push_back("Focus(" + std::to_string(field) + ")");
  focus = field;
}

void FakeQuadrelHost::SetFieldBackColor(int field, OleColor color) {
  if (refuse_field_back_color) throw std::runtime_error("colour refused");
  log.push_back("FieldBack" + Args(field, Hex(color)));
  field_back.at(field) = color;
}

void FakeQuadrelHost::SetFieldForeColor(int field, OleColor color) {
  log.push_back("FieldFore" + Args(field, Hex(color)));
  field_fore.at(field) = color;
}

void FakeQuadrelHost::MoveFrame(int left, int top) {
  log.push_back("MoveFrame(" + std::to_string(left) + "," + std::to_string(top) + ")");
  frame.left = left;
  frame.top = top;
}

void FakeQuadrelHost::SetFrameBackColor(OleColor color) {
  log.push_back("FrameBack(" + Hex(color) + ")");
  frame_back = color;
}

void FakeQuadrelHost::SetFrameBorderStyle(int style) {
  log.push_back("Border(" + std::to_string(style) + ")");
  border_style = style;
}

void FakeQuadrelHost::SetDotOutlineColor(int dot, OleColor color) {
  log.push_back("DotOutline" + Args(dot, Hex(color)));
  dot_outline.at(dot) = color;
}

void FakeQuadrelHost::SetDotFillColor(int dot, OleColor color) {
  log.push_back("DotFill" + Args(dot, Hex(color)));
  dot_fill.at(dot) = color;
}

void FakeQuadrelHost::SetTimerInterval(int milliseconds) {
  log.push_back("Timer(" + std::to_string(milliseconds) + ")");
  timer_interval = milliseconds;
}

void FakeQuadrelHost::SetControlWidth(int twips) { ResizeControl(twips, control_size.height); }

void FakeQuadrelHost::SetControlHeight(int twips) { ResizeControl(control_size.width, twips); }

void FakeQuadrelHost::PropertyChanged(std::string_view name) {
  log.push_back("PropertyChanged(" + std::string(name) + ")");
}

void FakeQuadrelHost::RaiseClick() { log.push_back("Click"); }

void FakeQuadrelHost::RaiseDblClick() { log.push_back("DblClick"); }

void FakeQuadrelHost::RaiseChange(std::string& ip_address) {
  log.push_back("Change(" + ip_address + ")");
  if (on_change) on_change(ip_address);
  if (fail_change_handler) throw std::runtime_error("handler failed");
}

void FakeQuadrelHost::ShowAbout() { log.push_back("About"); }

}  // namespace lattix::testing
