// SPDX-License-Identifier: MIT

#include "quadrel_designer_plugin.h"

#include <QIcon>

#include "tessaly/lattix/quadrel_widget.h"

namespace lattix {

QuadrelDesignerPlugin::QuadrelDesignerPlugin(QObject* parent) : QObject(parent) {}

QString QuadrelDesignerPlugin::name() const { return QStringLiteral("lattix::QuadrelWidget"); }

QString QuadrelDesignerPlugin::group() const { return QStringLiteral("Tessaly"); }

QString QuadrelDesignerPlugin::toolTip() const {
  return QStringLiteral("Quadrel: an IPv4 address in four fields");
}

QString QuadrelDesignerPlugin::whatsThis() const {
  return QStringLiteral(
      "An entry box for an IPv4 address: four fields of up to three digits, "
      "each part from 0 to 255. Set the address with pos1 to pos4; read it "
      "as text (address) or packed into 32 bits (ipLong).");
}

QString QuadrelDesignerPlugin::includeFile() const {
  return QStringLiteral("tessaly/lattix/quadrel_widget.h");
}

QIcon QuadrelDesignerPlugin::icon() const { return QIcon(QStringLiteral(":/lattix/quadrel.xpm")); }

bool QuadrelDesignerPlugin::isContainer() const { return false; }

QWidget* QuadrelDesignerPlugin::createWidget(QWidget* parent) {
  // The form (Designer's or the loader's) takes ownership through `parent`
  // or of the returned top-level widget.
  return new QuadrelWidget(parent);
}

QString QuadrelDesignerPlugin::domXml() const {
  return QStringLiteral(
      "<ui language=\"c++\" displayname=\"Quadrel\">\n"
      " <widget class=\"lattix::QuadrelWidget\" name=\"quadrel\"/>\n"
      "</ui>\n");
}

}  // namespace lattix
