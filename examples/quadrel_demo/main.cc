// SPDX-License-Identifier: MIT

// quadrel_demo: one Quadrel address field in a small window, used only
// through its Qt properties and signals.
//
//   quadrel_demo [A.B.C.D]          the window, showing that address
//   quadrel_demo --print A.B.C.D    sets the address, prints what the
//                                   widget composed and its 32-bit value
//
// Typing into the fields updates the line below them; the check box turns
// the sunken border off and on, the button colours the digits.

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>
#include <QTextStream>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "tessaly/lattix/quadrel_widget.h"

namespace {

// Sets pos1 to pos4 from dotted text; false when it has no four numbers.
bool SetAddress(lattix::QuadrelWidget& quadrel, const QString& text) {
  const QStringList parts = text.split('.');
  if (parts.size() != 4) return false;
  const char* const properties[] = {"pos1", "pos2", "pos3", "pos4"};
  for (int n = 0; n < 4; ++n) {
    bool ok = false;
    const double value = parts[n].toDouble(&ok);
    if (!ok) return false;
    quadrel.setProperty(properties[n], value);  // clamped to 0..255 by the widget
  }
  return true;
}

QString Describe(const lattix::QuadrelWidget& quadrel) {
  return QStringLiteral("%1 (%2)").arg(quadrel.address()).arg(quadrel.ipLong());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QStringList args = QApplication::arguments().mid(1);
  const bool print = !args.isEmpty() && args.first() == QStringLiteral("--print");
  if (print) args.removeFirst();

  QWidget window;
  window.setWindowTitle(QStringLiteral("Quadrel demo"));
  auto* layout = new QVBoxLayout(&window);
  auto* quadrel = new lattix::QuadrelWidget(&window);
  auto* shown = new QLabel(QStringLiteral("Type an address."), &window);
  auto* border = new QCheckBox(QStringLiteral("Sunken border"), &window);
  auto* colour = new QPushButton(QStringLiteral("Blue digits"), &window);
  layout->addWidget(quadrel);
  layout->addWidget(shown);
  layout->addWidget(border);
  layout->addWidget(colour);

  border->setChecked(quadrel->border3D());
  QObject::connect(border, &QCheckBox::toggled, quadrel, &lattix::QuadrelWidget::setBorder3D);
  QObject::connect(colour, &QPushButton::clicked, quadrel,
                   [quadrel] { quadrel->setForeColor(Qt::blue); });
  QObject::connect(quadrel, &lattix::QuadrelWidget::addressChanged, shown,
                   [quadrel, shown] { shown->setText(Describe(*quadrel)); });
  QObject::connect(quadrel, &lattix::QuadrelWidget::DblClick, quadrel,
                   [quadrel] { SetAddress(*quadrel, QStringLiteral("0.0.0.0")); });

  if (!args.isEmpty() && !SetAddress(*quadrel, args.first())) {
    std::fprintf(stderr, "quadrel_demo: %s is no dotted address\n", qPrintable(args.first()));
    return 2;
  }
  if (print) {
    QTextStream(stdout) << Describe(*quadrel) << "\n";
    return 0;
  }
  window.show();
  return QApplication::exec();
}
