// SPDX-License-Identifier: MIT

// Embedding the Quadrel address entry control in a Qt window.
//
// A host creates the control by its programmatic identifier, binds its
// members late through platform::Dispatch and places the control's widget
// in a layout of its own:
//
//   lattix::RegisterClasses();  // once, before the first CreateObject
//   std::shared_ptr<platform::Component> control =
//       platform::CreateObject(lattix::kQuadrelProgId);
//   auto quadrel = platform::QueryInterface<platform::Dispatch>(control);
//   layout->addWidget(lattix::ControlWidget(control));
//   quadrel->PutProperty(lattix::kDispIdPos1, 192.0f);
//   float first = platform::ToSingle(quadrel->GetProperty(lattix::kDispIdPos1));
//
// Ownership. The object (the shared_ptr) and the widget are two handles on
// one control, and the widget carries the control's state:
//   - Until a Qt parent takes the widget (QLayout::addWidget,
//     QWidget::setParent), the object owns it: when the last reference to
//     the object goes, the widget is deleted with it.
//   - Once the widget has a Qt parent, the parent owns it and deletes it;
//     the object never does. The host may keep the object for as long as it
//     wants to call members, and may drop it at any time, before or after
//     the widget goes.
//   - Calls through the object after the widget has been deleted raise
//     platform::PlatformError 91 (the control no longer exists).
//   - Never delete the widget yourself while the object may still own it.
// Objects belong to the thread that created them, which must be the thread
// of the QApplication; create and drop them while the QApplication exists.
//
// Late binding. The object implements platform::Dispatch with the member
// table of the interface `_Quadrel` (tessaly/lattix/quadrel_dispids.h lists the
// identifiers). Pos1 to Pos4 are Singles: a let clamps the value to 0..255
// and shows it in the field; a get returns the stored value. The events
// (Click, DblClick, Change) are the Qt signals of lattix::QuadrelWidget
// (tessaly/lattix/quadrel_widget.h), which is the type of the widget. The
// object and the widget's properties reach one and the same control: a let
// made here emits the widget's change signals as its property would.
//
// Persistence. The object also implements platform::PersistPropertyBag
// (tessaly/platform/property_bag.h) for hosts that save and load forms. A new
// object starts as a new instance (InitProperties already done).

#ifndef TESSALY_LATTIX_QUADREL_CONTROL_H_
#define TESSALY_LATTIX_QUADREL_CONTROL_H_

#include <cstdint>
#include <memory>

#include "tessaly/lattix/export.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/platform/component.h"

class QWidget;

namespace lattix {

// The programmatic identifier of the Quadrel control.
inline constexpr const char* kQuadrelProgId = "Lattix.Quadrel";

// The error number raised by calls on an object whose widget has been
// deleted.
inline constexpr int32_t kControlGone = 91;

// Makes kQuadrelProgId known to platform::CreateObject. Loading the library
// registers it as well; calling this also makes sure the library is linked.
// Safe to call more than once and from any thread.
//
// platform::CreateObject(kQuadrelProgId) then raises PlatformError 429 when
// no QApplication exists or when it is called from another thread than the
// QApplication's.
LATTIX_EXPORT void RegisterClasses();

// The Qt side of a control object: the widget that the host places.
class LATTIX_EXPORT EmbeddedControl : public virtual platform::Component {
 public:
  // The control's widget (a lattix::QuadrelWidget), or nullptr once it has
  // been deleted. See the ownership rules above.
  virtual QWidget* Widget() const = 0;
};

// The widget of `control`, or nullptr once it has been deleted. Raises
// PlatformError 13 (type mismatch) when `control` is not a Lattix control.
LATTIX_EXPORT QWidget* ControlWidget(const std::shared_ptr<platform::Component>& control);

}  // namespace lattix

#endif  // TESSALY_LATTIX_QUADREL_CONTROL_H_
