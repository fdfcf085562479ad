// Ravelset: the settings tool. Shows the settings window, which reads or
// creates the settings file before it appears; OK saves and ends, Cancel
// ends. There are no command-line options of its own.

#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "form1_window.h"
#include "lattix/quadrel_control.h"
#include "platform/error.h"
#include "ravelset/form1_texts.h"

int main(int argc, char** argv) {
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
