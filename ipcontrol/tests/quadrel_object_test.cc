// SPDX-License-Identifier: MIT

// Creating the control by its programmatic identifier, as a Qt host does,
// and the ownership between the object and its widget.

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QVBoxLayout>

#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/lattix/quadrel_widget.h"
#include "tessaly/platform/dispatch.h"
#include "tessaly/platform/error.h"
#include "tessaly/platform/property_bag.h"
#include "tessaly/platform/testing/memory_property_bag.h"

namespace lattix {
namespace {

std::shared_ptr<platform::Component> NewQuadrel() {
  RegisterClasses();
  return platform::CreateObject("lattix.QUADREL");
}

TEST(QuadrelObject, SetsAndReadsThePartsByDispatchIdentifier) {
  const auto control = NewQuadrel();
  const auto quadrel = platform::QueryInterface<platform::Dispatch>(control);
  EXPECT_EQ(quadrel->GetIDOfName("Pos1"), kDispIdPos1);
  for (int n = 1; n <= 4; ++n) quadrel->PutProperty(PosDispId(n), float(n * 50));
  quadrel->PutProperty(kDispIdPos4, int32_t{300});
  EXPECT_EQ(platform::ToSingle(quadrel->GetProperty(kDispIdPos1)), 50.0f);
  EXPECT_EQ(platform::ToSingle(quadrel->GetProperty(kDispIdPos3)), 150.0f);
  EXPECT_EQ(platform::ToSingle(quadrel->GetProperty(kDispIdPos4)), 255.0f);
  EXPECT_EQ(platform::ToText(quadrel->GetProperty(kDispIdAddress)), "50.100.150.255");

  QWidget* widget = ControlWidget(control);
  ASSERT_NE(qobject_cast<QuadrelWidget*>(widget), nullptr);
  EXPECT_EQ(widget->findChild<QLineEdit*>("Text2")->text(), "100");
}

TEST(QuadrelObject, OwnsItsWidgetUntilAQtParentTakesIt) {
  auto control = NewQuadrel();
  QPointer<QWidget> widget = ControlWidget(control);
  control.reset();
  EXPECT_TRUE(widget.isNull());

  auto window = std::make_unique<QWidget>();
  auto* layout = new QVBoxLayout(window.get());
  control = NewQuadrel();
  widget = ControlWidget(control);
  layout->addWidget(widget);
  control.reset();  // the window owns the widget now
  ASSERT_FALSE(widget.isNull());
  window.reset();
  EXPECT_TRUE(widget.isNull());
}

TEST(QuadrelObject, ReportsCallsAfterItsWidgetWasDeleted) {
  auto window = std::make_unique<QWidget>();
  const auto control = NewQuadrel();
  const auto quadrel = platform::QueryInterface<platform::Dispatch>(control);
  ControlWidget(control)->setParent(window.get());
  window.reset();
  EXPECT_EQ(ControlWidget(control), nullptr);
  try {
    quadrel->GetProperty(kDispIdPos1);
    FAIL();
  } catch (const platform::PlatformError& error) {
    EXPECT_EQ(error.number(), kControlGone);
  }
}

TEST(QuadrelObject, MayBeDroppedFromItsOwnChangeHandler) {
  auto control = NewQuadrel();
  auto* widget = qobject_cast<QuadrelWidget*>(ControlWidget(control));
  QPointer<QWidget> watch = widget;
  QObject::connect(widget, &QuadrelWidget::Change, [&control](QString&) { control.reset(); });
  widget->findChild<QLineEdit*>("Text1")->setText("5");  // runs the handler, nested
  EXPECT_FALSE(watch.isNull());                          // not deleted under its own feet
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(watch.isNull());
}

TEST(QuadrelObject, SavesAndLoadsThroughAPropertyBag) {
  const auto first = NewQuadrel();
  const auto first_dispatch = platform::QueryInterface<platform::Dispatch>(first);
  first_dispatch->PutProperty(kDispIdPos1, 10.0f);
  first_dispatch->PutProperty(kDispIdBorder3D, platform::Bool16{0});
  platform::MemoryPropertyBag bag;
  platform::QueryInterface<platform::PersistPropertyBag>(first)->Save(bag);

  const auto second = NewQuadrel();
  platform::QueryInterface<platform::PersistPropertyBag>(second)->Load(bag);
  const auto second_dispatch = platform::QueryInterface<platform::Dispatch>(second);
  EXPECT_EQ(platform::ToText(second_dispatch->GetProperty(kDispIdAddress)), "10.0.0.0");
  EXPECT_EQ(platform::ToBool(second_dispatch->GetProperty(kDispIdBorder3D)).value, 0);
}

// The late binding and the widget's properties are two roads to one control.
TEST(QuadrelObject, SharesOneControlWithTheWidgetsProperties) {
  const auto control = NewQuadrel();
  const auto quadrel = platform::QueryInterface<platform::Dispatch>(control);
  auto* widget = qobject_cast<QuadrelWidget*>(ControlWidget(control));
  ASSERT_NE(widget, nullptr);
  QSignalSpy pos2(widget, &QuadrelWidget::pos2Changed);
  QSignalSpy address(widget, &QuadrelWidget::addressChanged);
  QSignalSpy border(widget, &QuadrelWidget::border3DChanged);

  quadrel->PutProperty(kDispIdPos2, 77.0f);
  EXPECT_EQ(widget->pos2(), 77.0f);
  EXPECT_EQ(pos2.count(), 1);
  EXPECT_EQ(address.count(), 1);
  widget->setPos1(9);
  EXPECT_EQ(platform::ToText(quadrel->GetProperty(kDispIdAddress)), "9.77.0.0");
  widget->setForeColor(QColor(0x11, 0x22, 0x33));
  EXPECT_EQ(platform::ToLong(quadrel->GetProperty(kDispIdForeColor)), 0x00332211);

  // Loading sets the properties without the control's notifications; the
  // widget signals them all the same.
  platform::MemoryPropertyBag bag;
  bag.WriteProperty("Border3D", platform::Bool16{0}, int32_t{1});
  platform::QueryInterface<platform::PersistPropertyBag>(control)->Load(bag);
  EXPECT_FALSE(widget->border3D());
  EXPECT_EQ(border.count(), 1);
  EXPECT_EQ(pos2.count(), 2);  // back to 0
}

TEST(QuadrelObject, OtherObjectsAreNoControls) {
  EXPECT_THROW(ControlWidget(std::make_shared<platform::Component>()), platform::PlatformError);
}

}  // namespace
}  // namespace lattix
