// SPDX-License-Identifier: MIT

// The settings window's behaviour, free of any toolkit: loading the
// settings file into the entries, the first-run defaults, the checks of OK
// and the saving.
//
// The window's Qt binding creates one Form1 for its host and forwards the
// window's events to the handlers below; tests drive it through a fake host.
// The settings file is morvane::SettingsFilePath(), one 60-byte record of
// remote host, local host and port.

#ifndef RAVELSET_FORM1_H_
#define RAVELSET_FORM1_H_

#include <array>
#include <string>
#include <string_view>

#include "ravelset/form1_host.h"

namespace ravelset {

class Form1 {
 public:
  // Where the user meets the form: its messages end with advice on how to
  // save (press OK, or run ravelset --set).
  enum class FrontEnd { kWindow, kCommandLine };

  // A form that works on `host`, which must outlive it.
  explicit Form1(Form1Host& host, FrontEnd front_end = FrontEnd::kWindow);

  Form1(const Form1&) = delete;
  Form1& operator=(const Form1&) = delete;

  // Window creation, before the window is shown: runs LoadSettings. A
  // control that refuses its values is reported in a message box instead
  // of ending the program.
  void Form_Load();

  // Without a settings file (the first run): shows the first-run message,
  // then LoadDefaults and SaveSettings, so the file exists from then on.
  // Otherwise reads record 1 into the entries: field 2 into ipLocalHost,
  // field 1 into ipRemoteHost (each taken apart at its dots), field 3 into
  // the port box without its leading blanks (the box keeps 5 characters,
  // so a stored "3425" shows as "3425 "). What a damaged file lacks shows
  // as 0, and one message box tells what was wrong: a file shorter than a
  // record, an address with fewer than three dots or a part that is no
  // whole number from 0 to 255, a port the tool would refuse, or a file
  // that cannot be read at all. Only a path where nothing exists is a first
  // run: a file that cannot be read, and anything that is not a regular
  // file (a directory, a pipe, a device), is reported as unreadable and
  // nothing is written; such a thing is never read or written, nor waited
  // for.
  void LoadSettings();

  // LoadSettings without the first run: returns false, showing and writing
  // nothing, when there is no settings file; otherwise loads it (or reports
  // why it cannot) as LoadSettings does and returns true. Whether the file
  // exists and what it holds come from one read, never from a look before
  // the read.
  bool LoadStoredSettings();

  // How the last LoadSettings went.
  enum class LoadOutcome { kNotLoaded, kFirstRun, kLoaded, kDamaged, kUnreadable };
  LoadOutcome load_outcome() const { return load_outcome_; }

  // Puts the default configuration into the entries: local host
  // 192.168.0.1, remote host 192.168.0.2, port "3425".
  void LoadDefaults();

  // Checks the port box with ValidPort; a refused port shows "Port must be
  // a number between 1 and 32000" titled "Error", moves the focus to the
  // port box and returns false without touching the file. Otherwise writes
  // record 1 (remote host, local host, the port text as it stands), keeping
  // any bytes after it, and returns true. A write that fails, or a path
  // that holds something other than a regular file, shows a message naming
  // the file and the reason, and returns false.
  bool SaveSettings();

  // The port rule of ravelset/port_rule.h.
  static bool ValidPort(std::string_view text);

  // OK: the local host address must be well formed, then the remote host
  // address, then SaveSettings must succeed; then the program ends. OK
  // saves what the fields show: each field must show a whole number from 0
  // to 255 or nothing, and an emptied field is saved as 0 and shows "0"
  // from then on (the control's own part value would still hold what the
  // field showed before). A field showing anything else (pasted letters) is
  // refused with the focus in that field; so is a part value that is no
  // whole number from 0 to 255, with the focus on ipLocalHost for the local
  // host and left where it is for the remote host. The window stays open
  // after any refusal.
  void cmdOk_Click();

  // Cancel: ends the program at once; nothing is written.
  void cmdExit_Click();

  // The window's close box: the same as Cancel.
  void Form_QueryUnload();

 private:
  // The four part values of an address control.
  std::array<float, 4> ReadParts(Form1Control which);
  void WriteParts(Form1Control which, const std::array<float, 4>& parts);
  // True when every part of the control is a whole number from 0 to 255.
  // A control that cannot be read counts as badly formatted.
  bool AddressIsWellFormed(Form1Control which);
  // OK's check of one address control: what its fields show, then its part
  // values. Shows `message` and moves the focus when refused; puts 0 into
  // emptied fields when accepted.
  bool AcceptAddress(Form1Control which, const char* message);
  // Empties the entries and shows `message` about a file that is not read.
  void ShowUnreadable(const std::string& message);

  Form1Host& host_;
  const FrontEnd front_end_;
  LoadOutcome load_outcome_ = LoadOutcome::kNotLoaded;
};

}  // namespace ravelset

#endif  // RAVELSET_FORM1_H_
