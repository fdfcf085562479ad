// SPDX-License-Identifier: MIT

// The settings window's pictures, drawn rather than shipped as files: the
// window icon and the picture in the frame "Notes".

#ifndef RAVELSET_QT_FORM1_ART_H_
#define RAVELSET_QT_FORM1_ART_H_

#include <QIcon>
#include <QPixmap>

namespace ravelset {

// Two computers joined by a cable, `size` pixels square: the web server
// and the machine of the host's server module.
QPixmap NetworkPicture(int size);

// The window icon: the same picture in the usual icon sizes.
QIcon Form1Icon();

}  // namespace ravelset

#endif  // RAVELSET_QT_FORM1_ART_H_
