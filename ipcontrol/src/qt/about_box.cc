// About on a thread: one form object per thread, a new window per showing.

#include "lattix/system_about.h"
#include "platform/error.h"
#include "qt/about_dialog.h"

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
