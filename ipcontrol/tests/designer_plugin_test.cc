// SPDX-License-Identifier: MIT

// The Designer plugin as Designer and QUiLoader meet it: its description,
// and a form that places a Quadrel and sets its properties.

#include <gtest/gtest.h>

#include <QColor>
#include <QFile>
#include <QPluginLoader>
#include <QUiLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <memory>

namespace {

constexpr char kClassName[] = "lattix::QuadrelWidget";

TEST(DesignerPlugin, DescribesTheWidgetForTheWidgetBox) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(QStringLiteral(LATTIX_DESIGNER_PLUGIN_DIR));
  ASSERT_TRUE(loader.availableWidgets().contains(kClassName));

  // The loader keeps its plugins to itself: load the file as Designer does.
  QPluginLoader file(QStringLiteral(LATTIX_DESIGNER_PLUGIN_DIR "/liblattix_designer.so"));
  auto* found = qobject_cast<QDesignerCustomWidgetInterface*>(file.instance());
  ASSERT_NE(found, nullptr) << file.errorString().toStdString();
  EXPECT_EQ(found->name(), kClassName);
  EXPECT_EQ(found->group(), "Tessaly");
  EXPECT_EQ(found->includeFile(), "tessaly/lattix/quadrel_widget.h");
  EXPECT_FALSE(found->icon().isNull());
  EXPECT_FALSE(found->isContainer());
  EXPECT_TRUE(found->domXml().contains(kClassName));
  const std::unique_ptr<QWidget> widget(found->createWidget(nullptr));
  ASSERT_NE(widget, nullptr);
  EXPECT_EQ(widget->metaObject()->className(), QString(kClassName));
}

TEST(DesignerPlugin, AFormSetsTheAddressThroughTheProperties) {
  QUiLoader loader;
  loader.clearPluginPaths();
  loader.addPluginPath(QStringLiteral(LATTIX_DESIGNER_PLUGIN_DIR));
  QFile form(QStringLiteral(LATTIX_TEST_FORM));
  ASSERT_TRUE(form.open(QIODevice::ReadOnly));
  const std::unique_ptr<QWidget> window(loader.load(&form));
  ASSERT_NE(window, nullptr) << loader.errorString().toStdString();

  QWidget* quadrel = window->findChild<QWidget*>(QStringLiteral("gateway"));
  ASSERT_NE(quadrel, nullptr);
  EXPECT_EQ(quadrel->metaObject()->className(), QString(kClassName));
  // Each property the form sets, as it reads back.
  const struct {
    const char* property;
    QVariant value;
  } rows[] = {
      {"pos1", 192.0f},
      {"pos2", 168.0f},
      {"pos3", 1.0f},
      {"pos4", 10.0f},
      {"address", QStringLiteral("192.168.1.10")},
      {"ipLong", 0x0A01A8C0},
      {"foreColor", QColor(0, 0, 128)},
      {"backColor", QColor(255, 255, 255)},
      {"border3D", false},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(quadrel->property(row.property), row.value) << row.property;
  }
  EXPECT_EQ(quadrel->findChild<QWidget*>(QStringLiteral("Text4"))->property("text"), "10");
}

}  // namespace
