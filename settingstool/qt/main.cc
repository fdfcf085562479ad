// SPDX-License-Identifier: MIT

// Ravelset: the settings tool. Without arguments, or with Qt's own options
// only, it shows the settings window, which reads or creates the settings
// file before it appears; OK saves and ends, Cancel ends. Any other
// argument belongs to the command line (--show, --set; see ravelset
// --help), which never starts the toolkit, so it also runs where there is
// no display, and an argument it does not know ends the program with the
// usage text before a window could open or a file be written.

#include <QApplication>
#include <QMessageBox>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "form1_window.h"
#include "ravelset/command_line.h"
#include "ravelset/form1_texts.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/platform/error.h"

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (ravelset::WantsCommandLine(args)) return ravelset::RunCommandLine(args, std::cout, std::cerr);

  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(ravelset::kProgramTitle));
  lattix::RegisterClasses();

  std::unique_ptr<ravelset::Form1Window> window;
  try {
    window = std::make_unique<ravelset::Form1Window>();
  } catch (const platform::PlatformError& error) {
    QMessageBox::critical(nullptr, QString::fromUtf8(ravelset::kProgramTitle),
                          QStringLiteral("The address entry control could not be created: ") +
                              QString::fromStdString(error.description()));
    return 1;
  }
  window->Load();
  if (window->ended()) return 0;
  window->show();
  return QApplication::exec();
}
