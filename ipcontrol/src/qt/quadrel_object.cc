// SPDX-License-Identifier: MIT

// The component object behind "Lattix.Quadrel": late binding, persistence
// and the widget for Qt hosts. The object is an adapter over the widget's
// own control, so the late binding and the widget's properties share one
// behaviour and one set of change signals.

#include <QApplication>
#include <QPointer>
#include <QThread>
#include <memory>

#include "qt/quadrel_widget_p.h"
#include "quadrel_dispatch.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/lattix/quadrel_widget.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/property_bag.h"

namespace lattix {
namespace {

class QuadrelObject final : public QuadrelDispatch,
                            public EmbeddedControl,
                            public platform::PersistPropertyBag {
 public:
  QuadrelObject() {
    auto widget = std::make_unique<QuadrelWidget>();
    // Ours while no Qt parent has taken it; see the destructor.
    widget_ = widget.release();
  }

  ~QuadrelObject() override {
    QuadrelWidget* widget = widget_.data();
    if (widget == nullptr || widget->parent() != nullptr) return;  // gone, or a parent's
    if (IsBusy(*widget)) {
      // Dropped from inside one of the widget's own handlers: delete it
      // once that handler has returned.
      widget->deleteLater();
    } else {
      const std::unique_ptr<QuadrelWidget> owned(widget);
    }
  }

  QWidget* Widget() const override { return widget_.data(); }

  void InitNew() override {
    Control().InitProperties();
    Announce();
  }
  void Load(platform::PropertyBag& bag) override {
    Control().ReadProperties(bag);
    Announce();
  }
  void Save(platform::PropertyBag& bag) override { Control().WriteProperties(bag); }

 protected:
  Quadrel& Control() override {
    if (widget_.isNull()) {
      throw platform::PlatformError(kControlGone, "the Quadrel control's widget has been deleted");
    }
    return ControlOf(*widget_);
  }

 private:
  // Loading sets the properties without the control's notifications; the
  // widget's change signals follow it all the same.
  void Announce() { QuadrelWidgetPrivate::Of(*widget_).AnnounceChanges(); }

  QPointer<QuadrelWidget> widget_;
};

std::shared_ptr<platform::Component> CreateQuadrel() {
  auto* application = qobject_cast<QApplication*>(QCoreApplication::instance());
  if (application == nullptr || QThread::currentThread() != application->thread()) {
    throw platform::PlatformError(
        platform::kCannotCreateObject,
        std::string(kQuadrelProgId) + " needs the thread of a running QApplication");
  }
  return std::make_shared<QuadrelObject>();
}

// Loading the library registers its class, as a component library does.
[[maybe_unused]] const bool kRegisteredOnLoad = (RegisterClasses(), true);

}  // namespace

void RegisterClasses() { platform::RegisterClass(kQuadrelProgId, &CreateQuadrel); }

QWidget* ControlWidget(const std::shared_ptr<platform::Component>& control) {
  return platform::QueryInterface<EmbeddedControl>(control)->Widget();
}

}  // namespace lattix
