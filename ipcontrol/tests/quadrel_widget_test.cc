// SPDX-License-Identifier: MIT

// The Qt widget under simulated keys and clicks: the binding must deliver
// what the control's logic expects.

#include "tessaly/lattix/quadrel_widget.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>
#include <string>
#include <string_view>

#include "qt/dot_shape.h"
#include "qt/quadrel_widget_p.h"
#include "quadrel.h"

namespace lattix {
namespace {

class QuadrelWidgetTest : public ::testing::Test {
 protected:
  QuadrelWidgetTest() {
    ControlOf(widget).InitProperties();
    for (int n = 0; n < kFieldCount; ++n) {
      fields[n] = widget.findChild<QLineEdit*>(QString("Text%1").arg(n + 1));
    }
    QObject::connect(&widget, &QuadrelWidget::Change,
                     [this](QString& address) { changes.push_back(address); });
    QObject::connect(&widget, &QuadrelWidget::Click, [this] { ++clicks; });
    QObject::connect(&widget, &QuadrelWidget::DblClick, [this] { ++double_clicks; });
    widget.show();
    widget.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
  }

  QuadrelWidget widget;
  std::array<QLineEdit*, kFieldCount> fields{};
  QStringList changes;
  int clicks = 0;
  int double_clicks = 0;
};

TEST_F(QuadrelWidgetTest, HasTheDesignGeometryInPixels) {
  EXPECT_EQ(widget.sizeHint(), QSize(147, 19));
  const QFrame* frame = widget.findChild<QFrame*>("Picture1");
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->size(), QSize(147, 19));
  EXPECT_EQ(frame->frameShadow(), QFrame::Sunken);
  for (int n = 0; n < kFieldCount; ++n) {
    ASSERT_NE(fields[n], nullptr);
    EXPECT_EQ(fields[n]->geometry(), QRect(4 + 38 * n, 2, 29, 19));
    EXPECT_FALSE(fields[n]->hasFrame());
    EXPECT_EQ(fields[n]->text(), "0");
  }
  EXPECT_EQ(widget.findChild<QWidget*>("Shape2")->geometry(), QRect(72, 10, 3, 3));
  // The first tick moves the frame from its design place to the corner.
  QTRY_COMPARE(frame->pos(), QPoint(0, 0));
  EXPECT_EQ(widget.size(), QSize(147, 19));
}

TEST_F(QuadrelWidgetTest, TypingOneNineTwoIntoAClickedField) {
  QTest::mouseClick(fields[0], Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(fields[0]->selectedText(), "0");
  QTest::keyClicks(fields[0], "192");
  EXPECT_EQ(fields[0]->text(), "192");
  EXPECT_EQ(ControlOf(widget).Pos(1), 192.0f);
  EXPECT_EQ(changes, (QStringList{"1.0.0.0", "19.0.0.0", "192.0.0.0"}));
}

TEST_F(QuadrelWidgetTest, CorrectionsMadeWhileTypingStick) {
  fields[1]->setFocus();
  fields[1]->selectAll();
  QTest::keyClicks(fields[1], "300");
  EXPECT_EQ(fields[1]->text(), "255");
  EXPECT_EQ(ControlOf(widget).Pos(2), 255.0f);
  fields[1]->end(false);
  QTest::keyClick(fields[1], Qt::Key_4);  // a fourth digit
  EXPECT_EQ(fields[1]->text(), "255");
  EXPECT_EQ(changes.size(), 6);
}

TEST_F(QuadrelWidgetTest, TheDotKeyMovesToTheNextFieldAndSelectsIt) {
  fields[0]->setFocus();
  fields[0]->clear();  // an emptied field: Address gets an empty part
  EXPECT_EQ(changes.back(), ".0.0.0");
  QTest::keyClick(fields[0], Qt::Key_Period, Qt::NoModifier);
  EXPECT_EQ(fields[0]->text(), "0");
  EXPECT_TRUE(fields[1]->hasFocus());
  EXPECT_EQ(fields[1]->selectedText(), "0");
  EXPECT_EQ(fields[1]->text(), "0");
  EXPECT_EQ(clicks, 1);
  QTest::keyClick(fields[1], Qt::Key_7);
  EXPECT_EQ(fields[1]->text(), "7");  // the selection was replaced
}

TEST_F(QuadrelWidgetTest, BackspaceAndLettersAreDiscardedButEditingKeysWork) {
  fields[2]->setFocus();
  fields[2]->setText("12");
  fields[2]->end(false);
  changes.clear();
  QTest::keyClick(fields[2], Qt::Key_Backspace);
  QTest::keyClicks(fields[2], "a -");
  QTest::keyClick(fields[2], Qt::Key_5, Qt::AltModifier);
  QTest::keyClick(fields[2], Qt::Key_V, Qt::ControlModifier);  // Ctrl+V is a character too
  EXPECT_EQ(fields[2]->text(), "12");
  EXPECT_TRUE(changes.isEmpty());

  QTest::keyClick(fields[2], Qt::Key_Home);
  QTest::keyClick(fields[2], Qt::Key_Delete);
  EXPECT_EQ(fields[2]->text(), "2");
  EXPECT_EQ(ControlOf(widget).Pos(3), 2.0f);
  QTest::keyClick(fields[2], Qt::Key_End);
  EXPECT_EQ(fields[2]->cursorPosition(), 1);
}

TEST_F(QuadrelWidgetTest, PastedTextRunsTheChangeProcessing) {
  QGuiApplication::clipboard()->setText("1234");
  fields[3]->setFocus();
  fields[3]->selectAll();
  fields[3]->paste();
  EXPECT_EQ(fields[3]->text(), "123");
  EXPECT_EQ(ControlOf(widget).Pos(4), 123.0f);
}

TEST_F(QuadrelWidgetTest, AssigningTheShownTextIsNoChange) {
  ControlOf(widget).SetPos(1, 7);
  ASSERT_EQ(changes.size(), 1);
  ControlOf(widget).SetPos(1, 7);
  EXPECT_EQ(changes.size(), 1);
  EXPECT_EQ(fields[0]->text(), "7");
}

TEST_F(QuadrelWidgetTest, AChangeHandlerMayReplaceTheAddress) {
  QObject::connect(&widget, &QuadrelWidget::Change, [](QString& address) { address = "x"; });
  ControlOf(widget).SetPos(2, 5);
  EXPECT_EQ(ControlOf(widget).Address(), "x");
}

TEST_F(QuadrelWidgetTest, DoubleClicksRaiseDblClickOnce) {
  QTest::mouseDClick(fields[1], Qt::LeftButton, Qt::NoModifier, QPoint(10, 8));
  EXPECT_EQ(double_clicks, 1);
  QWidget* frame = widget.findChild<QWidget*>("Picture1");
  QTest::mouseClick(frame, Qt::LeftButton, Qt::NoModifier, QPoint(36, 4));  // between fields
  QTest::mouseDClick(frame, Qt::LeftButton, Qt::NoModifier, QPoint(36, 4));
  EXPECT_EQ(double_clicks, 2);
}

TEST_F(QuadrelWidgetTest, ClicksOnTheFrameRaiseClick) {
  QWidget* frame = widget.findChild<QWidget*>("Picture1");
  QTest::mouseClick(frame, Qt::LeftButton, Qt::NoModifier, QPoint(35, 11));  // on a dot
  EXPECT_EQ(clicks, 1);
}

TEST_F(QuadrelWidgetTest, SnapsBackToItsSizeAndStopsItsTimer) {
  QTimer* timer = widget.findChild<QTimer*>("Timer1");
  QTRY_VERIFY(!timer->isActive());
  widget.resize(267, 67);  // 4000 x 1000 twips
  EXPECT_TRUE(timer->isActive());
  QTRY_COMPARE(widget.size(), QSize(147, 19));
  QTRY_VERIFY(!timer->isActive());
}

TEST_F(QuadrelWidgetTest, ColoursAndBorderReachTheirParts) {
  ControlOf(widget).SetForeColor(0x000000FF);  // red, as 0x00BBGGRR
  ControlOf(widget).SetBackColor(0x00FF0000);  // blue
  EXPECT_EQ(fields[2]->palette().color(QPalette::Text), QColor(255, 0, 0));
  EXPECT_EQ(fields[2]->palette().color(QPalette::Base), QColor(0, 0, 255));
  auto* dot = widget.findChild<DotShape*>("Shape3");
  EXPECT_EQ(dot->fillColor(), QColor(255, 0, 0));
  EXPECT_EQ(dot->outlineColor(), QColor(255, 0, 0));
  auto* frame = widget.findChild<QFrame*>("Picture1");
  EXPECT_EQ(frame->palette().color(QPalette::Window), QColor(0, 0, 255));

  ControlOf(widget).SetForeColor(0x80000008u);  // the window text colour
  EXPECT_EQ(dot->fillColor(), QApplication::palette().color(QPalette::Text));

  ControlOf(widget).SetBorder3D(0);
  EXPECT_EQ(frame->frameShape(), QFrame::NoFrame);
  ControlOf(widget).SetBorder3D(-1);
  EXPECT_EQ(frame->frameShape(), QFrame::Panel);
}

// Each row sets one property through Qt's property system and checks what
// reads back and how often its change signal went out.
TEST_F(QuadrelWidgetTest, PropertiesSetTheControlAndSignalEachChange) {
  const struct {
    const char* property;
    QVariant value;
    QVariant read_back;
    int signals_emitted;
    const char* field_text;  // Text1 or Text4 afterwards, where it applies
  } rows[] = {
      {"pos1", 192.0f, 192.0f, 1, "192"},
      {"pos1", 192.0f, 192.0f, 0, "192"},  // the same value: no signal
      {"pos1", 300, 255.0f, 1, "255"},     // clamped; an int converts
      {"pos1", -4.0f, 0.0f, 1, "0"},
      {"pos4", 12.5f, 12.0f, 2, "12."},  // the fraction, then the value read back from "12."
      {"foreColor", QColor(255, 0, 0), QColor(255, 0, 0), 1, nullptr},
      {"backColor", QColor(0, 0, 128, 40), QColor(0, 0, 128), 1, nullptr},  // alpha dropped
      {"backColor", QColor(0, 0, 128), QColor(0, 0, 128), 0, nullptr},
      {"border3D", false, false, 1, nullptr},
      {"border3D", false, false, 0, nullptr},
      {"border3D", true, true, 1, nullptr},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(std::string(row.property) + " = " + row.value.toString().toStdString());
    const QMetaObject* meta = widget.metaObject();
    const QMetaProperty property = meta->property(meta->indexOfProperty(row.property));
    ASSERT_TRUE(property.hasNotifySignal());
    QSignalSpy spy(&widget, property.notifySignal());
    EXPECT_TRUE(widget.setProperty(row.property, row.value));
    EXPECT_EQ(widget.property(row.property), row.read_back);
    ASSERT_EQ(spy.count(), row.signals_emitted);
    if (row.signals_emitted > 0) {
      EXPECT_EQ(spy.last().at(0), row.read_back);
    }
    if (row.field_text != nullptr) {
      const int field = std::string_view(row.property) == "pos1" ? 0 : 3;
      EXPECT_EQ(fields[field]->text(), row.field_text);
    }
  }
}

TEST_F(QuadrelWidgetTest, AddressAndIpLongFollowTheFieldsAndCannotBeSet) {
  QSignalSpy spy(&widget, &QuadrelWidget::addressChanged);
  EXPECT_EQ(widget.address(), "");
  EXPECT_EQ(widget.ipLong(), 0);
  widget.setPos1(192);
  widget.setPos2(168);
  widget.setPos3(1);
  widget.setPos4(10);
  EXPECT_EQ(widget.address(), "192.168.1.10");
  EXPECT_EQ(widget.ipLong(), 0x0A01A8C0);
  ASSERT_EQ(spy.count(), 4);
  EXPECT_EQ(spy.at(0).at(0).toString(), "192.0.0.0");
  EXPECT_EQ(spy.last().at(0).toString(), "192.168.1.10");

  // Typing a fourth digit re-composes the address twice, its text the same.
  QTest::mouseClick(fields[0], Qt::LeftButton);
  fields[0]->end(false);
  QTest::keyClick(fields[0], '7');
  EXPECT_EQ(spy.count(), 6);
  // An emptied field gives an empty part; its part value stays.
  fields[1]->clear();
  EXPECT_EQ(widget.property("address").toString(), "192..1.10");
  EXPECT_EQ(widget.property("ipLong").toInt(), 0);
  EXPECT_EQ(widget.pos2(), 168.0f);

  EXPECT_FALSE(widget.setProperty("address", "1.2.3.4"));
  EXPECT_FALSE(widget.setProperty("ipLong", 5));
  EXPECT_EQ(widget.address(), "192..1.10");
  widget.setPos3(std::numeric_limits<float>::quiet_NaN());  // ignored
  EXPECT_EQ(widget.pos3(), 1.0f);
}

TEST_F(QuadrelWidgetTest, TypingSignalsThePartValueOnceItIsStored) {
  QSignalSpy spy(&widget, &QuadrelWidget::pos3Changed);
  QTest::mouseClick(fields[2], Qt::LeftButton);
  QTest::keyClicks(fields[2], "300");  // corrected to 255 on the third digit
  ASSERT_EQ(spy.count(), 3);
  EXPECT_EQ(spy.at(0).at(0).toFloat(), 3.0f);
  EXPECT_EQ(spy.at(1).at(0).toFloat(), 30.0f);
  EXPECT_EQ(spy.at(2).at(0).toFloat(), 255.0f);
}

// The design's pixels hold for the default font; a larger font draws the
// control larger, so that "255" fits each field in width and height.
TEST_F(QuadrelWidgetTest, ALargerFontDrawsTheControlLargerSoNoDigitIsCut) {
  const QFont default_font = widget.font();
  const struct {
    double points;  // 0: the default font
    bool design_size;
  } rows[] = {{0, true}, {12, false}, {16, false}, {24, false}, {0, true}};
  const QFrame* frame = widget.findChild<QFrame*>("Picture1");
  for (const auto& row : rows) {
    SCOPED_TRACE(row.points);
    QFont font = default_font;
    if (row.points > 0) font.setPointSizeF(row.points);
    widget.setFont(font);
    ControlOf(widget).SetPos(2, 255);
    if (row.design_size) {
      EXPECT_EQ(widget.sizeHint(), QSize(147, 19));
      EXPECT_EQ(fields[1]->geometry(), QRect(42, 2, 29, 19));
    } else {
      EXPECT_GT(widget.sizeHint().width(), 147);
    }
    QTRY_COMPARE(widget.size(), widget.sizeHint());
    EXPECT_EQ(frame->size(), widget.sizeHint());
    const QFontMetrics metrics(font);
    const QRect inside = frame->contentsRect();
    const int text = metrics.horizontalAdvance("255");
    for (QLineEdit* field : fields) {
      SCOPED_TRACE(field->objectName().toStdString());
      // Inside its margins with the caret after it, so the field never
      // scrolls; not cut by the frame (Text4 reaches under its border);
      // and the text's full height in the part of the field shown.
      EXPECT_GE(field->width() - 4, text + 1);
      EXPECT_LE(field->x() + 2 + text, inside.width());
      EXPECT_GE(inside.height() - field->y(), metrics.height());
    }
  }
}

TEST(QuadrelWidgetInDialog, EnterStillReachesTheDefaultButton) {
  QDialog dialog;
  auto* layout = new QVBoxLayout(&dialog);
  auto* quadrel = new QuadrelWidget(&dialog);
  auto* ok = new QPushButton("OK", &dialog);
  ok->setDefault(true);
  layout->addWidget(quadrel);
  layout->addWidget(ok);
  int pressed = 0;
  QObject::connect(ok, &QPushButton::clicked, [&] { ++pressed; });
  dialog.show();
  dialog.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  auto* field = quadrel->findChild<QLineEdit*>("Text1");
  field->setFocus();
  QTest::keyClick(field, Qt::Key_Return);
  EXPECT_EQ(field->text(), "0");
  EXPECT_EQ(pressed, 1);
}

TEST_F(QuadrelWidgetTest, FocusGivenToTheControlReachesAField) {
  // The first field at first, then the field last active.
  const struct {
    int typed_in;  // -1: none yet
    int focused;
  } kRows[] = {{-1, 0}, {2, 2}, {3, 3}, {0, 0}};
  QLineEdit outside;  // somewhere else to put the focus meanwhile
  for (const auto& row : kRows) {
    if (row.typed_in >= 0) QTest::mouseClick(fields[row.typed_in], Qt::LeftButton);
    widget.setFocus();
    EXPECT_EQ(QApplication::focusWidget(), fields[row.focused]) << row.typed_in;
    QTest::keyClicks(QApplication::focusWidget(), "5");
    EXPECT_TRUE(fields[row.focused]->text().contains('5')) << row.typed_in;
  }
}

TEST_F(QuadrelWidgetTest, TheDigitsSitInTheMiddleOfTheVisibleFieldInsideFourEdges) {
  ControlOf(widget).SetPos(1, 188);
  QTRY_COMPARE(widget.findChild<QFrame*>("Picture1")->pos(), QPoint(0, 0));
  fields[0]->clearFocus();  // no caret among the digits
  const QImage image = widget.grab().toImage();
  const QRect frame(QPoint(0, 0), QSize(147, 19));
  ASSERT_EQ(image.size(), frame.size());
  const QColor white(255, 255, 255);
  // All four edges of the border differ from the white inside.
  for (const QPoint& edge : {QPoint(73, 0), QPoint(73, 18), QPoint(0, 9), QPoint(146, 9)}) {
    EXPECT_NE(image.pixelColor(edge), white) << edge.x() << "," << edge.y();
  }
  // Rows with ink in the first field, between the border's rows.
  int first_ink = -1, last_ink = -1;
  for (int y = 1; y < 18; ++y) {
    for (int x = fields[0]->x() + 1; x < fields[0]->x() + fields[0]->width(); ++x) {
      if (image.pixelColor(x, y).lightness() < 128) {
        if (first_ink < 0) first_ink = y;
        last_ink = y;
      }
    }
  }
  ASSERT_GE(first_ink, 0);
  const int above = first_ink - 1;  // free rows between the border and the digits
  const int below = 17 - last_ink;
  EXPECT_LE(std::abs(above - below), 2) << above << " above, " << below << " below";
  EXPECT_EQ(widget.size(), QSize(147, 19));
}

TEST_F(QuadrelWidgetTest, TheEditMenuPromisesNoShortcutsAndItsActionsWork) {
  fields[1]->setText("42");
  QStringList texts;
  bool selected_all = false;
  QTimer::singleShot(0, [&] {
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    for (QAction* action : menu->actions()) {
      if (action->isSeparator()) continue;
      texts.push_back(action->text());
      EXPECT_TRUE(action->shortcut().isEmpty()) << action->text().toStdString();
      if (action->text() == "Select All") {
        action->trigger();
        selected_all = true;
      }
    }
    menu->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5),
                          fields[1]->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(fields[1], &event);
  EXPECT_FALSE(texts.isEmpty());
  for (const QString& text : texts) EXPECT_FALSE(text.contains('\t')) << text.toStdString();
  EXPECT_TRUE(selected_all);
  EXPECT_EQ(fields[1]->selectedText(), "42");
}

}  // namespace
}  // namespace lattix
