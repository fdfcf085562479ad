// SPDX-License-Identifier: MIT

// About on a thread: one form object per thread, a new window per showing.

#include "qt/about_dialog.h"
#include "system_about.h"
#include "tessaly/platform/error.h"

namespace lattix {

void ShowAboutBox() {
  AboutForm& form = ThisThreadsAboutForm();
  // A box that is up already cannot be shown modally a second time.
  if (form.IsLoaded()) {
    throw platform::PlatformError(400, "the About box is already shown");
  }
  AboutDialog dialog(form);  // no owner window
  dialog.exec();
}

}  // namespace lattix
