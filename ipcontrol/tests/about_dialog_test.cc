// SPDX-License-Identifier: MIT

// The About box shown for real (offscreen) through the control's About
// method. Modal windows are answered from timers, never left waiting.

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "system_about.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/platform/dispatch.h"

namespace lattix {
namespace {

// Calls `answer` with each modal window that comes up until it returns
// true, polling every 20 ms; after 10 s it closes whatever is modal, so a
// test can fail but never hang.
class ModalAnswerer {
 public:
  explicit ModalAnswerer(std::function<bool(QWidget*)> answer) : answer_(std::move(answer)) {
    clock_.start();
    QObject::connect(&timer_, &QTimer::timeout, [this] { Poll(); });
    timer_.start(20);
  }
  bool gave_up() const { return gave_up_; }

 private:
  void Poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (clock_.elapsed() > 10000) {
      gave_up_ = true;
      if (modal != nullptr) modal->close();
      return;
    }
    if (modal != nullptr && answer_(modal)) timer_.stop();
  }

  std::function<bool(QWidget*)> answer_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool gave_up_ = false;
};

void ShowAbout(const std::shared_ptr<platform::Component>& control) {
  platform::QueryInterface<platform::Dispatch>(control)->Invoke(kDispIdAbout,
                                                                platform::InvokeKind::kMethod, {});
}

std::shared_ptr<platform::Component> NewQuadrel() {
  RegisterClasses();
  return platform::CreateObject(kQuadrelProgId);
}

TEST(AboutDialog, ShowsTheVersionAndClosesWithOk) {
  const auto control = NewQuadrel();
  QString title, version, sys_info;
  bool loaded_while_shown = false;
  QColor version_color;
  ModalAnswerer answerer([&](QWidget* modal) {
    title = modal->windowTitle();
    auto* label = modal->findChild<QLabel*>("lblVersion");
    version = label->text();
    version_color = label->palette().color(QPalette::WindowText);
    loaded_while_shown = ThisThreadsAboutForm().IsLoaded();
    sys_info = modal->findChild<QPushButton*>("cmdSysInfo")->text();
    modal->findChild<QPushButton*>("cmdOK")->click();
    return true;
  });
  ShowAbout(control);  // returns once OK has closed the box
  EXPECT_FALSE(answerer.gave_up());
  EXPECT_EQ(title, "About Quadrel.OCX");
  EXPECT_EQ(version, "Version 1.0.1");
  EXPECT_EQ(version_color, QColor(0, 128, 0));
  EXPECT_EQ(sys_info, "&System Info...");
  EXPECT_TRUE(loaded_while_shown);
  EXPECT_FALSE(ThisThreadsAboutForm().IsLoaded());

  // A second showing uses the same form object and loads it again.
  const AboutForm* const first_form = &ThisThreadsAboutForm();
  QString second_version;
  loaded_while_shown = false;
  ModalAnswerer again([&](QWidget* modal) {
    second_version = modal->findChild<QLabel*>("lblVersion")->text();
    loaded_while_shown = ThisThreadsAboutForm().IsLoaded();
    modal->findChild<QPushButton*>("cmdOK")->click();
    return true;
  });
  ShowAbout(control);
  EXPECT_EQ(&ThisThreadsAboutForm(), first_form);
  EXPECT_TRUE(loaded_while_shown);
  EXPECT_EQ(second_version, "Version 1.0.1");
  EXPECT_FALSE(ThisThreadsAboutForm().IsLoaded());
}

// With a larger system font every text of the box has the room it needs.
TEST(AboutDialog, ALargeFontClipsNothing) {
  const auto control = NewQuadrel();
  const QFont default_font = QApplication::font();
  for (double points : {0.0, 12.0, 16.0}) {
    SCOPED_TRACE(points);
    QFont font = default_font;
    if (points > 0) font.setPointSizeF(points);
    QApplication::setFont(font);
    std::vector<std::string> clipped;
    QSize size;
    ModalAnswerer answerer([&](QWidget* modal) {
      size = modal->size();
      for (QLabel* label : modal->findChildren<QLabel*>()) {
        if (label->text().isEmpty()) continue;  // the pictures
        const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                             : label->minimumSizeHint().height();
        if (label->height() < height || label->width() < label->minimumSizeHint().width()) {
          clipped.push_back(label->objectName().toStdString());
        }
      }
      for (QPushButton* button : modal->findChildren<QPushButton*>()) {
        if (button->size().width() < button->minimumSizeHint().width() ||
            button->size().height() < button->minimumSizeHint().height()) {
          clipped.push_back(button->objectName().toStdString());
        }
      }
      modal->findChild<QPushButton*>("cmdOK")->click();
      return true;
    });
    ShowAbout(control);
    EXPECT_FALSE(answerer.gave_up());
    EXPECT_TRUE(clipped.empty()) << clipped.front();
    if (points == 0) {
      EXPECT_EQ(size.width(), 420);  // the design's width for the default font
    }
  }
  QApplication::setFont(default_font);
}

TEST(AboutDialog, TellsWhenSystemInformationIsUnavailable) {
  // An empty Windows directory: no registry file, so no program to start.
  std::string pattern = (std::filesystem::temp_directory_path() / "about-XXXXXX").string();
  const std::filesystem::path dir = ::mkdtemp(pattern.data());
  ::setenv("WINDIR", dir.c_str(), 1);

  const auto control = NewQuadrel();
  QString message, message_title;
  bool pressed = false;
  ModalAnswerer answerer([&](QWidget* modal) {
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      message = box->text();
      message_title = box->windowTitle();
      box->button(QMessageBox::Ok)->click();
      return false;  // the About box is still to close
    }
    if (!pressed) {
      pressed = true;
      // The button's own modal message box takes over from here.
      QTimer::singleShot(0, modal->findChild<QPushButton*>("cmdSysInfo"), &QPushButton::click);
      return false;
    }
    if (message.isEmpty()) return false;
    modal->findChild<QPushButton*>("cmdOK")->click();
    return true;
  });
  ShowAbout(control);
  EXPECT_FALSE(answerer.gave_up());
  EXPECT_EQ(message, "System Information Is Unavailable At This Time");
  EXPECT_EQ(message_title, "Lattix");

  ::unsetenv("WINDIR");
  std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace lattix
