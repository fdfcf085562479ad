// SPDX-License-Identifier: MIT

// The real settings window, offscreen, with real Quadrel controls: layout,
// OK writing the file, the port box, the close box, the message boxes, the
// focus and the keys.

#include "form1_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <algorithm>

#include "fake_form1_host.h"
#include "process.h"
#include "ravelset/form1_texts.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/platform/variant.h"

namespace ravelset::testing {
namespace {

using Parts = std::array<float, 4>;

class Form1WindowTest : public Form1Test {
 protected:
  struct Shown {
    QString text;
    QString title;
  };

  Form1WindowTest() { lattix::RegisterClasses(); }

  // A window that records its messages and its end instead of blocking or
  // leaving the event loop.
  std::unique_ptr<Form1Window> NewWindow() {
    auto window = std::make_unique<Form1Window>();
    window->SetMessageSink([this](const QString& text, const QString& title) {
      shown_.push_back({text, title});
    });
    window->SetEndHandler([this] { ++ends_; });
    return window;
  }

  template <class T>
  static T* Child(QWidget& window, const char* name) {
    T* child = window.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(child, nullptr) << name;
    return child;
  }

  static Parts PartsOf(Form1Window& window, Form1Control which) {
    Parts parts{};
    for (int n = 1; n <= 4; ++n) {
      parts[static_cast<size_t>(n - 1)] =
          platform::ToSingle(window.AddressControl(which).GetProperty(lattix::PosDispId(n)));
    }
    return parts;
  }

  // Types the four parts into the fields of the address control `name`,
  // clicking each field first as a user would.
  static void TypeAddress(Form1Window& window, const char* name,
                          const std::array<const char*, 4>& parts) {
    QWidget* control = Child<QWidget>(window, name);
    QList<QLineEdit*> fields = control->findChildren<QLineEdit*>();
    ASSERT_EQ(fields.size(), 4);
    std::sort(fields.begin(), fields.end(),
              [](QLineEdit* a, QLineEdit* b) { return a->x() < b->x(); });
    for (int n = 0; n < 4; ++n) {
      QTest::mouseClick(fields[n], Qt::LeftButton);
      QTest::keyClicks(fields[n], QString::fromLatin1(parts[static_cast<size_t>(n)]));
    }
  }

  // Replaces the port box's text by typing `text`.
  static void TypePort(Form1Window& window, const QString& text) {
    QLineEdit* port = Child<QLineEdit>(window, "txtPortNumber");
    port->selectAll();
    QTest::keyClick(port, Qt::Key_Delete);
    QTest::keyClicks(port, text);
  }

  // A window on a settings file, shown and active, as a user meets it.
  std::unique_ptr<Form1Window> ActiveWindow() {
    WriteFileBytes(Record("10.0.0.7", "10.0.0.2", "3425"));
    auto window = NewWindow();
    window->Load();
    window->show();
    window->activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
    return window;
  }

  // Field `n` (1 to 4) of the address control `name`.
  static QLineEdit* Field(Form1Window& window, const char* name, int n) {
    return Child<QLineEdit>(*Child<QWidget>(window, name), ("Text" + std::to_string(n)).c_str());
  }

  std::vector<Shown> shown_;
  int ends_ = 0;
};

// Where `widget` sits in its window.
QRect InWindow(QWidget* widget) {
  return QRect(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
}

TEST_F(Form1WindowTest, TheWindowIsLaidOutAsItsTableSays) {
  WriteFileBytes(Record("10.0.0.7", "10.0.0.2", "3425"));
  auto window = NewWindow();
  window->Load();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));

  EXPECT_EQ(window->objectName(), "Form1");
  EXPECT_EQ(window->windowTitle(), "Tessaly ASP Component Properties");
  // A fixed-size dialog without a maximise button.
  EXPECT_EQ(window->windowType(), Qt::Dialog);
  EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
  EXPECT_TRUE(window->windowFlags().testFlag(Qt::WindowCloseButtonHint));
  EXPECT_EQ(window->minimumSize(), window->maximumSize());
  EXPECT_FALSE(window->windowIcon().isNull());

  auto* tabs = Child<QTabWidget>(*window, "SSTab1");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), 1);
  EXPECT_EQ(tabs->tabText(0), "General");

  auto* notes = Child<QGroupBox>(*window, "Frame2");
  auto* settings = Child<QGroupBox>(*window, "Frame1");
  ASSERT_TRUE(notes && settings);
  EXPECT_EQ(notes->title(), "Notes");
  EXPECT_EQ(settings->title(), "Current TCP/IP Settings");
  EXPECT_LE(InWindow(notes).bottom(), InWindow(settings).top());
  EXPECT_TRUE(tabs->widget(0)->isAncestorOf(notes));
  EXPECT_TRUE(tabs->widget(0)->isAncestorOf(settings));

  auto* image = Child<QLabel>(*window, "Image1");
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(notes->isAncestorOf(image));
  EXPECT_FALSE(image->pixmap().isNull());
  struct LabelText {
    const char* name;
    QGroupBox* frame;
    const char* text;
  };
  const LabelText labels[] = {
      {"Label4", notes,
       "Local Host IP is the IP of the machine that your IIS Server is running on."},
      {"Label5", notes,
       "Remote Host IP is the IP of the machine that your Worldgroup Server is running on."},
      {"Label6", notes,
       "Please specify which port you wish the ASP Component to connect to on the Worldgroup "
       "Server's machine."},
      {"Label1", settings, "Local Host IP :"},
      {"Label2", settings, "Remote Host IP :"},
      {"Label3", settings, "Port Number :"},
  };
  for (const auto& [name, frame, text] : labels) {
    auto* label = Child<QLabel>(*window, name);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->text(), QString::fromUtf8(text)) << name;
    EXPECT_TRUE(frame->isAncestorOf(label)) << name;
  }

  // Three rows: each label left of its entry, the rows in the table's order.
  const char* const rows[][2] = {
      {"Label1", "ipLocalHost"}, {"Label2", "ipRemoteHost"}, {"Label3", "txtPortNumber"}};
  int previous_row_top = -1;
  for (const auto& [label_name, entry_name] : rows) {
    QWidget* label = Child<QWidget>(*window, label_name);
    QWidget* entry = Child<QWidget>(*window, entry_name);
    ASSERT_TRUE(label && entry);
    EXPECT_TRUE(settings->isAncestorOf(entry)) << entry_name;
    EXPECT_TRUE(entry->isVisible()) << entry_name;
    EXPECT_LT(InWindow(label).right(), InWindow(entry).left()) << entry_name;
    EXPECT_GT(InWindow(entry).top(), previous_row_top) << entry_name;
    previous_row_top = InWindow(entry).top();
  }
  EXPECT_EQ(Child<QLineEdit>(*window, "txtPortNumber")->maxLength(), 5);

  auto* ok = Child<QPushButton>(*window, "cmdOk");
  auto* cancel = Child<QPushButton>(*window, "cmdExit");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->text(), "OK");
  EXPECT_EQ(cancel->text(), "Cancel");
  EXPECT_LT(InWindow(ok).right(), InWindow(cancel).left());
  EXPECT_EQ(InWindow(ok).top(), InWindow(cancel).top());
  EXPECT_GT(InWindow(ok).top(), InWindow(tabs).bottom());
  EXPECT_TRUE(shown_.empty());
}

// With a larger system font nothing clips: every text has the room its
// font needs, and the window is sized to hold it all.
TEST_F(Form1WindowTest, ALargeFontClipsNothing) {
  WriteFileBytes(Record("255.255.255.255", "255.255.255.255", "32000"));
  const QFont default_font = QApplication::font();
  for (double points : {12.0, 16.0}) {
    SCOPED_TRACE(points);
    QFont font = default_font;
    font.setPointSizeF(points);
    QApplication::setFont(font);
    auto window = NewWindow();
    window->Load();
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QTest::qWait(50);  // the controls' self-sizing ticks

    EXPECT_EQ(window->size(), window->sizeHint());
    for (QLineEdit* edit : window->findChildren<QLineEdit*>()) {
      SCOPED_TRACE(edit->objectName().toStdString());
      const QFontMetrics metrics(edit->font());
      // No field narrower than its text (with the caret after it).
      EXPECT_GE(edit->contentsRect().width() - 4, metrics.horizontalAdvance(edit->text()) + 1);
      EXPECT_GE(edit->height(), metrics.height());
    }
    for (QLabel* label : window->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;  // the picture
      SCOPED_TRACE(label->objectName().toStdString());
      const int height = label->wordWrap() ? label->heightForWidth(label->width())
                                           : label->minimumSizeHint().height();
      EXPECT_GE(label->height(), height);
      if (!label->wordWrap()) {
        EXPECT_GE(label->width(), label->minimumSizeHint().width());
      }
    }
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      EXPECT_GE(button->width(), button->minimumSizeHint().width());
      EXPECT_GE(button->height(), button->minimumSizeHint().height());
    }
    // Every control fits its row.
    for (const char* name : {"ipLocalHost", "ipRemoteHost"}) {
      QWidget* control = Child<QWidget>(*window, name);
      EXPECT_EQ(control->size(), control->sizeHint()) << name;
      EXPECT_TRUE(
          Child<QWidget>(*window, "Frame1")
              ->rect()
              .contains(QRect(control->mapTo(Child<QWidget>(*window, "Frame1"), QPoint(0, 0)),
                              control->size())))
          << name;
    }
  }
  QApplication::setFont(default_font);
}

TEST_F(Form1WindowTest, OkWritesTheEnteredAddressesAndPort) {
  WriteFileBytes(Record("10.0.0.7", "10.0.0.2", "3425") + "tail");
  auto window = NewWindow();
  window->Load();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpLocalHost), (Parts{10, 0, 0, 2}));
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpRemoteHost), (Parts{10, 0, 0, 7}));
  EXPECT_EQ(Child<QLineEdit>(*window, "txtPortNumber")->text(), "3425 ");

  TypeAddress(*window, "ipRemoteHost", {"172", "16", "254", "3"});
  TypePort(*window, "2500");
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpRemoteHost), (Parts{172, 16, 254, 3}));
  QTest::mouseClick(Child<QPushButton>(*window, "cmdOk"), Qt::LeftButton);

  EXPECT_TRUE(shown_.empty());
  EXPECT_EQ(ends_, 1);
  EXPECT_TRUE(window->ended());
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(FileBytes(), Record("172.16.254.3", "10.0.0.2", "2500") + "tail");
}

TEST_F(Form1WindowTest, TheFirstRunShowsTheDefaultsAndTheBoxCutsTheStoredPort) {
  auto window = NewWindow();
  window->Load();
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text.toStdString(), kFirstRunMessage);
  EXPECT_EQ(shown_[0].title, "Ravelset");
  EXPECT_EQ(FileBytes(), Record("192.168.0.2", "192.168.0.1", "3425"));
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpLocalHost), (Parts{192, 168, 0, 1}));
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpRemoteHost), (Parts{192, 168, 0, 2}));

  // Started again, the 20-character port field lands in the 5-character box.
  auto again = NewWindow();
  again->Load();
  EXPECT_EQ(shown_.size(), 1u);
  EXPECT_EQ(Child<QLineEdit>(*again, "txtPortNumber")->text(), "3425 ");
}

TEST_F(Form1WindowTest, ARefusedPortKeepsTheWindowOpenWithTheFocusOnThePortBox) {
  WriteFileBytes(Record("10.0.0.7", "10.0.0.2", "3425"));
  auto window = NewWindow();
  window->Load();
  window->show();
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  TypePort(*window, "99999");
  Child<QPushButton>(*window, "cmdOk")->setFocus();
  QTest::mouseClick(Child<QPushButton>(*window, "cmdOk"), Qt::LeftButton);

  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "Port must be a number between 1 and 32000");
  EXPECT_EQ(shown_[0].title, "Error");
  EXPECT_EQ(QApplication::focusWidget(), Child<QLineEdit>(*window, "txtPortNumber"));
  EXPECT_EQ(ends_, 0);
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(FileBytes(), Record("10.0.0.7", "10.0.0.2", "3425"));
}

TEST_F(Form1WindowTest, TheCloseBoxIsCancel) {
  WriteFileBytes(Record("10.0.0.7", "10.0.0.2", "3425"));
  auto window = NewWindow();
  window->Load();
  window->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
  TypePort(*window, "80");
  EXPECT_TRUE(window->close());
  EXPECT_EQ(ends_, 1);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(FileBytes(), Record("10.0.0.7", "10.0.0.2", "3425"));

  auto cancelled = NewWindow();
  cancelled->Load();
  cancelled->show();
  QTest::mouseClick(Child<QPushButton>(*cancelled, "cmdExit"), Qt::LeftButton);
  EXPECT_EQ(ends_, 2);
  EXPECT_FALSE(cancelled->isVisible());
}

TEST_F(Form1WindowTest, MessageBoxesShowTheInformationIconAndTheProgramTitle) {
  auto window = std::make_unique<Form1Window>();  // real message boxes
  window->SetEndHandler([] {});
  struct Seen {
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
  };
  std::vector<Seen> seen;
  // Each box is modal: read it and press its OK from inside its loop.
  std::function<void()> answer = [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) {
      QTimer::singleShot(10, answer);
      return;
    }
    seen.push_back({box->windowTitle(), box->text(), box->icon()});
    box->button(QMessageBox::Ok)->click();
  };
  QTimer::singleShot(0, answer);
  window->Load();  // the first run: a box without a title of its own
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].title, "Ravelset");
  EXPECT_EQ(seen[0].text.toStdString(), kFirstRunMessage);
  EXPECT_EQ(seen[0].icon, QMessageBox::Information);

  window->show();
  TypePort(*window, "0");
  QTimer::singleShot(0, answer);
  QTest::mouseClick(Child<QPushButton>(*window, "cmdOk"), Qt::LeftButton);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[1].title, "Error");
  EXPECT_EQ(seen[1].icon, QMessageBox::Information);
}

TEST_F(Form1WindowTest, TheWindowOpensInTheFirstFieldAndTabRunsThroughTheEntries) {
  auto window = ActiveWindow();
  std::vector<QWidget*> expected;
  for (const char* control : {"ipLocalHost", "ipRemoteHost"}) {
    for (int n = 1; n <= 4; ++n) expected.push_back(Field(*window, control, n));
  }
  for (const char* name : {"txtPortNumber", "cmdOk", "cmdExit"}) {
    expected.push_back(Child<QWidget>(*window, name));
  }
  expected.push_back(expected.front());  // and round again
  // At the start the first field is selected: digits typed replace it.
  EXPECT_EQ(Field(*window, "ipLocalHost", 1)->selectedText(), "10");
  for (size_t stop = 0; stop < expected.size(); ++stop) {
    EXPECT_EQ(QApplication::focusWidget(), expected[stop]) << "stop " << stop;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  }
  // Shift+Tab goes back; a field entered by the keyboard is selected whole,
  // so the digits typed replace it.
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
  QTest::keyClicks(QApplication::focusWidget(), "7");
  EXPECT_EQ(Field(*window, "ipLocalHost", 1)->text(), "7");
}

TEST_F(Form1WindowTest, AfterTheLocalHostMessageTypingGoesIntoTheControl) {
  auto window = ActiveWindow();
  QLineEdit* third = Field(*window, "ipLocalHost", 3);
  QTest::mouseClick(third, Qt::LeftButton);
  third->insert("1.5");  // as pasting would: no whole number
  Child<QPushButton>(*window, "cmdOk")->setFocus();
  QTest::mouseClick(Child<QPushButton>(*window, "cmdOk"), Qt::LeftButton);
  ASSERT_EQ(shown_.size(), 1u);
  EXPECT_EQ(shown_[0].text, "Your Local Host IP is incorrectly formatted");
  // The focus is back in the field last used, selected, and digits reach it.
  EXPECT_EQ(QApplication::focusWidget(), third);
  QTest::keyClicks(QApplication::focusWidget(), "9");
  EXPECT_EQ(PartsOf(*window, Form1Control::kIpLocalHost), (Parts{10, 0, 9, 2}));
}

// OK saves exactly what the fields show, or refuses with the focus in the
// field at fault. The file holds remote 10.0.0.7 and local 10.0.0.2.
TEST_F(Form1WindowTest, OkSavesWhatTheFieldsShowOrRefuses) {
  const struct {
    const char* what;
    const char* control;
    int field;          // 1 to 4
    const char* typed;  // nullptr: the field is emptied with Delete
    bool pasted;        // inserted as pasting would, past the key filter
    const char* message;
    std::string after;
    const char* field_after;
  } kRows[] = {
      {"an emptied field is saved as 0", "ipRemoteHost", 1, nullptr, false, nullptr,
       Record("0.0.0.7", "10.0.0.2", "3425"), "0"},
      {"a field emptied by cutting", "ipLocalHost", 4, "", true, nullptr,
       Record("10.0.0.7", "10.0.0.0", "3425"), "0"},
      {"leading zeros are the number shown", "ipLocalHost", 2, "010", false, nullptr,
       Record("10.0.0.7", "10.10.0.2", "3425"), "010"},
      {"pasted letters in the local host", "ipLocalHost", 3, "ab", true,
       "Your Local Host IP is incorrectly formatted", Record("10.0.0.7", "10.0.0.2", "3425"), "ab"},
      {"pasted letters after digits", "ipRemoteHost", 4, "7x", true,
       "Your Remote Host IP is incorrectly formatted", Record("10.0.0.7", "10.0.0.2", "3425"),
       "7x"},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    shown_.clear();
    ends_ = 0;
    auto window = ActiveWindow();
    QLineEdit* field = Field(*window, row.control, row.field);
    QTest::mouseClick(field, Qt::LeftButton);  // selects the whole field
    if (row.typed == nullptr) {
      QTest::keyClick(field, Qt::Key_Delete);
    } else if (row.pasted) {
      field->insert(QString::fromLatin1(row.typed));
    } else {
      QTest::keyClicks(field, QString::fromLatin1(row.typed));
    }
    Child<QPushButton>(*window, "cmdOk")->setFocus();
    QTest::mouseClick(Child<QPushButton>(*window, "cmdOk"), Qt::LeftButton);

    EXPECT_EQ(FileBytes(), row.after);
    EXPECT_EQ(field->text(), row.field_after);
    if (row.message == nullptr) {
      EXPECT_TRUE(shown_.empty());
      EXPECT_EQ(ends_, 1);
    } else {
      ASSERT_EQ(shown_.size(), 1u);
      EXPECT_EQ(shown_[0].text, row.message);
      EXPECT_EQ(ends_, 0);
      EXPECT_EQ(QApplication::focusWidget(), field);
      EXPECT_EQ(field->selectedText(), field->text());
    }
  }
}

TEST_F(Form1WindowTest, EnterPressesOkAndEscapeCancel) {
  const struct {
    const char* what;
    const char* focus;  // an entry or button by name, or a field "ipLocalHost/N"
    const char* port;
    Qt::Key key;
    int ends;
    const char* message;  // nullptr: none
    bool written;
  } kRows[] = {
      {"Enter in a field", "ipLocalHost/2", "2500", Qt::Key_Return, 1, nullptr, true},
      {"Enter in the port box", "txtPortNumber", "2500", Qt::Key_Enter, 1, nullptr, true},
      {"Enter runs OK's checks", "ipRemoteHost/4", "0", Qt::Key_Return, 0,
       "Port must be a number between 1 and 32000", false},
      {"Escape in a field", "ipRemoteHost/1", "2500", Qt::Key_Escape, 1, nullptr, false},
      {"Escape in the port box", "txtPortNumber", "2500", Qt::Key_Escape, 1, nullptr, false},
      {"Enter on Cancel", "cmdExit", "2500", Qt::Key_Return, 1, nullptr, false},
  };
  for (const auto& row : kRows) {
    SCOPED_TRACE(row.what);
    shown_.clear();
    ends_ = 0;
    auto window = ActiveWindow();
    TypePort(*window, QString::fromLatin1(row.port));
    const std::string focus = row.focus;
    QWidget* target =
        focus.find('/') == std::string::npos
            ? Child<QWidget>(*window, row.focus)
            : Field(*window, focus.substr(0, focus.find('/')).c_str(), focus.back() - '0');
    ASSERT_NE(target, nullptr);
    target->setFocus();
    QTest::keyClick(target, row.key);
    EXPECT_EQ(ends_, row.ends);
    ASSERT_EQ(shown_.size(), row.message ? 1u : 0u);
    if (row.message) {
      EXPECT_EQ(shown_[0].text, row.message);
    }
    EXPECT_EQ(FileBytes(), row.written ? Record("10.0.0.7", "10.0.0.2", "2500")
                                       : Record("10.0.0.7", "10.0.0.2", "3425"));
  }
}

TEST_F(Form1WindowTest, TheCommandLineRunsWithoutADisplay) {
  // A toolkit started against no display would end the program at once.
  const testing_support::Environment no_display = {
      {"WINDIR", windir().string()}, {"DISPLAY", ""}, {"QT_QPA_PLATFORM", "xcb"}};
  // A mistyped option is a usage error before the toolkit starts: without
  // a display that start would abort, with one it would be a first run.
  const auto mistyped = testing_support::RunProcess({RAVELSET_PATH, "--shwo"}, no_display);
  EXPECT_EQ(mistyped.exit_code, 2) << mistyped.err;
  EXPECT_NE(mistyped.err.find("Usage: ravelset"), std::string::npos) << mistyped.err;
  EXPECT_EQ(FileBytes(), std::nullopt);
  const auto set = testing_support::RunProcess({RAVELSET_PATH, "--set", "--local-host", "10.0.0.1",
                                                "--remote-host", "10.0.0.9", "--port", "2500"},
                                               no_display);
  EXPECT_EQ(set.exit_code, 0) << set.err;
  EXPECT_EQ(FileBytes(), Record("10.0.0.9", "10.0.0.1", "2500"));
  const auto show = testing_support::RunProcess({RAVELSET_PATH, "--show"}, no_display);
  EXPECT_EQ(show.exit_code, 0) << show.err;
  EXPECT_NE(show.out.find("Remote Host IP : 10.0.0.9\n"), std::string::npos) << show.out;
}

}  // namespace
}  // namespace ravelset::testing
