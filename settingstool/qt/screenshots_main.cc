// SPDX-License-Identifier: MIT

// Renders the settings window and the About box of its address control to
// PNG files, for the documentation:
//
//   QT_QPA_PLATFORM=offscreen ravelset_screenshots <directory>
//
// It works in a temporary Windows directory of its own with a sample
// settings file, so the machine's real settings are never read or written.

#include <stdlib.h>

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "form1_window.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/morvane/settings_file.h"
#include "tessaly/platform/error.h"

namespace {

// The offscreen platform draws no window frames, so the picture gets a
// plain caption bar with the window's icon and title, as a desktop would
// show it.
QImage WithCaption(QWidget& widget) {
  const QPixmap content = widget.grab();
  const int bar = 28;
  QImage image(content.width() + 2, content.height() + bar + 1, QImage::Format_ARGB32);
  image.fill(QColor(96, 96, 104));
  QPainter painter(&image);
  painter.fillRect(QRect(1, 1, content.width(), bar - 1), QColor(58, 92, 150));
  widget.windowIcon().paint(&painter, QRect(6, 5, 18, 18));
  QFont font = widget.font();
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::white);
  painter.drawText(QRect(30, 1, content.width() - 34, bar - 1), Qt::AlignVCenter | Qt::AlignLeft,
                   widget.windowTitle());
  painter.drawPixmap(1, bar, content);
  return image;
}

bool Save(QWidget& widget, const QString& path) {
  const bool saved = WithCaption(widget).save(path, "PNG");
  std::fprintf(stderr, "%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
  return saved;
}

// Waits until the toolkit has laid out and painted the shown windows.
void Settle() {
  for (int round = 0; round < 5; ++round) QApplication::processEvents();
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output directory>\n", argv[0]);
    return 2;
  }
  const QDir output(QString::fromLocal8Bit(argv[1]));
  QTemporaryDir windir;
  if (!output.exists() || !windir.isValid()) {
    std::fprintf(stderr, "no output directory or no temporary directory\n");
    return 1;
  }
  ::setenv("WINDIR", windir.path().toLocal8Bit().constData(), 1);
  lattix::RegisterClasses();

  bool ok = true;
  try {
    morvane::WriteSettingsRecord(morvane::SettingsFilePath(), morvane::SettingsRecord::FromValues(
                                                                  "10.0.0.7", "10.0.0.2", "3425"));
    ravelset::Form1Window window;
    window.SetMessageSink([](const QString& text, const QString&) {
      std::fprintf(stderr, "message: %s\n", qPrintable(text));
    });
    window.SetEndHandler([] {});
    window.Load();
    window.show();
    Settle();
    ok = Save(window, output.filePath(QStringLiteral("ravelset-window.png"))) && ok;

    // The About box is modal: grab and close it from inside its own loop.
    bool about_seen = false;
    QTimer::singleShot(200, [&] {
      QWidget* about = QApplication::activeModalWidget();
      if (about == nullptr) return;
      about_seen = true;
      Settle();
      ok = Save(*about, output.filePath(QStringLiteral("quadrel-about.png"))) && ok;
      about->close();
    });
    QTimer::singleShot(5000, [] {
      if (QWidget* left = QApplication::activeModalWidget()) left->close();
    });
    window.AddressControl(ravelset::Form1Control::kIpLocalHost)
        .Invoke(lattix::kDispIdAbout, platform::InvokeKind::kMethod, {});
    if (!about_seen) {
      std::fprintf(stderr, "the About box did not appear\n");
      ok = false;
    }
  } catch (const platform::PlatformError& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return ok ? 0 : 1;
}
