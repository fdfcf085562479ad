// SPDX-License-Identifier: MIT

// What the settings window's logic needs from its window: the two address
// controls, the port box, the keyboard focus, message boxes and the end of
// the program.
//
// The Qt window supplies these operations with real widgets; tests supply
// a fake. The settings file's directory and the file test come from the
// platform layer, not from the host.

#ifndef RAVELSET_FORM1_HOST_H_
#define RAVELSET_FORM1_HOST_H_

#include <optional>
#include <string>

#include "tessaly/platform/dispatch.h"

namespace ravelset {

// The entries of the window that the logic reads, fills or focuses.
enum class Form1Control {
  kIpLocalHost,    // address control: the machine that runs the web server
  kIpRemoteHost,   // address control: the machine that runs the host's server module
  kTxtPortNumber,  // the port box
};

// The most characters the port box holds, typed or set by the program.
inline constexpr size_t kPortBoxMaxLength = 5;

class Form1Host {
 public:
  virtual ~Form1Host() = default;

  // The address control `which` (kIpLocalHost or kIpRemoteHost). The logic
  // binds it late: it reads and assigns only the Single properties Pos1 to
  // Pos4 by their dispatch identifiers. Valid for the life of the host.
  virtual platform::Dispatch& AddressControl(Form1Control which) = 0;

  // The text of the port box as it stands (UTF-8).
  virtual std::string PortText() const = 0;

  // Replaces the text of the port box. The box keeps only the first
  // kPortBoxMaxLength characters of `text`, exactly as it does for typing.
  virtual void SetPortText(const std::string& text) = 0;

  // Moves the keyboard focus to `which`.
  virtual void SetFocus(Form1Control which) = 0;

  // Moves the keyboard focus into field `field` (0 for Text1 to 3 for
  // Text4) of the address control `which`, its text selected.
  virtual void FocusAddressField(Form1Control which, int field) = 0;

  // Shows `text` in a modal message box with the information icon and one
  // OK button, and returns when the user has dismissed it. The box is
  // captioned `title`, or the program's own title when there is none.
  virtual void ShowInformation(const std::string& text,
                               const std::optional<std::string>& title) = 0;

  // Closes the window and ends the program. The logic calls nothing on the
  // host after this.
  virtual void EndProgram() = 0;
};

}  // namespace ravelset

#endif  // RAVELSET_FORM1_HOST_H_
