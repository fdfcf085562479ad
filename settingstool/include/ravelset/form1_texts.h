// SPDX-License-Identifier: MIT

// The fixed texts of the settings window, shared by its logic and its Qt
// binding. They are the program's own wording and stay exactly as written.

#ifndef RAVELSET_FORM1_TEXTS_H_
#define RAVELSET_FORM1_TEXTS_H_

namespace ravelset {

// The program's own title: message boxes without a title of their own show it.
inline constexpr const char* kProgramTitle = "Ravelset";

// The window.
inline constexpr const char* kForm1Caption = "Tessaly ASP Component Properties";
inline constexpr const char* kTabGeneral = "General";
inline constexpr const char* kFrameNotes = "Notes";
inline constexpr const char* kFrameSettings = "Current TCP/IP Settings";
inline constexpr const char* kLabel1 = "Local Host IP :";
inline constexpr const char* kLabel2 = "Remote Host IP :";
inline constexpr const char* kLabel3 = "Port Number :";
inline constexpr const char* kLabel4 =
    "Local Host IP is the IP of the machine that your IIS Server is running on.";
inline constexpr const char* kLabel5 =
    "Remote Host IP is the IP of the machine that your Worldgroup Server is running on.";
inline constexpr const char* kLabel6 =
    "Please specify which port you wish the ASP Component to connect to on the Worldgroup "
    "Server's machine.";
inline constexpr const char* kButtonOk = "OK";
inline constexpr const char* kButtonCancel = "Cancel";

// Messages.
inline constexpr const char* kFirstRunMessage =
    "Since this is your first time running setup, the default configuration has been loaded.";
inline constexpr const char* kPortMessage = "Port must be a number between 1 and 32000";
inline constexpr const char* kErrorTitle = "Error";
inline constexpr const char* kLocalHostMessage = "Your Local Host IP is incorrectly formatted";
inline constexpr const char* kRemoteHostMessage = "Your Remote Host IP is incorrectly formatted";

}  // namespace ravelset

#endif  // RAVELSET_FORM1_TEXTS_H_
