// SPDX-License-Identifier: MIT

// The Quadrel widget in Qt Designer's widget box (group "Tessaly") and for
// QUiLoader: forms place it as lattix::QuadrelWidget and edit its
// properties (pos1 to pos4, foreColor, backColor, border3D) in the
// property editor. address and ipLong show there read-only.

#ifndef LATTIX_DESIGNER_QUADREL_DESIGNER_PLUGIN_H_
#define LATTIX_DESIGNER_QUADREL_DESIGNER_PLUGIN_H_

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

namespace lattix {

class QuadrelDesignerPlugin : public QObject, public QDesignerCustomWidgetInterface {
  Q_OBJECT
  Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetInterface")
  Q_INTERFACES(QDesignerCustomWidgetInterface)

 public:
  explicit QuadrelDesignerPlugin(QObject* parent = nullptr);

  QString name() const override;
  QString group() const override;
  QString toolTip() const override;
  QString whatsThis() const override;
  QString includeFile() const override;
  QIcon icon() const override;
  bool isContainer() const override;
  QWidget* createWidget(QWidget* parent) override;
  QString domXml() const override;
};

}  // namespace lattix

#endif  // LATTIX_DESIGNER_QUADREL_DESIGNER_PLUGIN_H_
