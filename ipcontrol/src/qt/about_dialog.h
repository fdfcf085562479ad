// SPDX-License-Identifier: MIT

// frmAbout: the About box of the Quadrel control as a Qt dialog.

#ifndef LATTIX_SRC_QT_ABOUT_DIALOG_H_
#define LATTIX_SRC_QT_ABOUT_DIALOG_H_

#include <QDialog>

#include "about_form.h"

class QLabel;

namespace lattix {

// The title of the library's own message boxes.
inline constexpr const char* kLibraryTitle = "Lattix";

// The window; its logic is the AboutForm it is given.
class AboutDialog : public QDialog, public AboutView {
  Q_OBJECT

 public:
  // Builds the window and loads `form` into it (which sets the version
  // label); `form` must outlive the dialog.
  explicit AboutDialog(AboutForm& form, QWidget* parent = nullptr);
  // Unloads the form.
  ~AboutDialog() override;

  // AboutView.
  void SetVersionCaption(const std::string& caption) override;
  void ShowMessage(const std::string& text) override;

 private:
  AboutForm& form_;
  QLabel* version_label_;
};

// Shows the About box of the calling thread modally, without an owner
// window, and returns when it is closed. Raises PlatformError 400 when that
// thread's box is already showing.
void ShowAboutBox();

}  // namespace lattix

#endif  // LATTIX_SRC_QT_ABOUT_DIALOG_H_
