// SPDX-License-Identifier: MIT

#include "form1_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>
#include <vector>

#include "form1_art.h"
#include "ravelset/form1_texts.h"
#include "tessaly/lattix/quadrel_control.h"
#include "tessaly/lattix/quadrel_dispids.h"
#include "tessaly/lattix/quadrel_widget.h"
#include "tessaly/platform/component.h"

namespace ravelset {
namespace {

QLabel* MakeLabel(const char* name, const char* text, QWidget* parent) {
  auto* label = new QLabel(QString::fromUtf8(text), parent);
  label->setObjectName(QString::fromLatin1(name));
  return label;
}

// An explanatory text of the frame "Notes", wrapped to the frame's width.
QLabel* MakeNote(const char* name, const char* text, QWidget* parent) {
  QLabel* label = MakeLabel(name, text, parent);
  label->setWordWrap(true);
  return label;
}

}  // namespace

Form1Window::AddressEntry Form1Window::CreateAddressEntry(const char* name) {
  AddressEntry entry;
  entry.object = platform::CreateObject(lattix::kQuadrelProgId);
  entry.dispatch = platform::QueryInterface<platform::Dispatch>(entry.object);
  entry.widget = platform::QueryInterface<lattix::EmbeddedControl>(entry.object)->Widget();
  if (entry.widget == nullptr) throw platform::PlatformError(lattix::kControlGone, name);
  entry.widget->setObjectName(QString::fromLatin1(name));
  return entry;
}

Form1Window::Form1Window(QWidget* parent)
    : QWidget(parent),
      ip_local_host_(CreateAddressEntry("ipLocalHost")),
      ip_remote_host_(CreateAddressEntry("ipRemoteHost")) {
  setObjectName(QStringLiteral("Form1"));
  // A fixed-size dialog: a title, the system menu and the close box, and no
  // maximise button, which could do nothing.
  setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint |
                 Qt::MSWindowsFixedSizeDialogHint);
  setWindowTitle(QString::fromUtf8(kForm1Caption));
  setWindowIcon(Form1Icon());

  auto* tabs = new QTabWidget(this);
  tabs->setObjectName(QStringLiteral("SSTab1"));
  auto* general = new QWidget(tabs);
  tabs->addTab(general, QString::fromUtf8(kTabGeneral));

  auto* notes = new QGroupBox(QString::fromUtf8(kFrameNotes), general);
  notes->setObjectName(QStringLiteral("Frame2"));
  auto* image = new QLabel(notes);
  image->setObjectName(QStringLiteral("Image1"));
  image->setPixmap(NetworkPicture(48));
  image->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
  auto* note_texts = new QVBoxLayout;
  note_texts->addWidget(MakeNote("Label4", kLabel4, notes));
  note_texts->addWidget(MakeNote("Label5", kLabel5, notes));
  note_texts->addWidget(MakeNote("Label6", kLabel6, notes));
  auto* notes_layout = new QHBoxLayout(notes);
  notes_layout->addWidget(image, 0, Qt::AlignTop);
  notes_layout->addLayout(note_texts, 1);

  auto* settings = new QGroupBox(QString::fromUtf8(kFrameSettings), general);
  settings->setObjectName(QStringLiteral("Frame1"));
  txt_port_number_ = new QLineEdit(settings);
  txt_port_number_->setObjectName(QStringLiteral("txtPortNumber"));
  // Also cuts text that the program sets to its first 5 characters.
  txt_port_number_->setMaxLength(static_cast<int>(kPortBoxMaxLength));
  txt_port_number_->setFixedWidth(
      txt_port_number_->fontMetrics().horizontalAdvance(QStringLiteral("000000")) + 12);
  auto* rows = new QGridLayout(settings);
  rows->setColumnStretch(2, 1);
  rows->addWidget(MakeLabel("Label1", kLabel1, settings), 0, 0);
  rows->addWidget(ip_local_host_.widget, 0, 1, Qt::AlignLeft);
  rows->addWidget(MakeLabel("Label2", kLabel2, settings), 1, 0);
  rows->addWidget(ip_remote_host_.widget, 1, 1, Qt::AlignLeft);
  rows->addWidget(MakeLabel("Label3", kLabel3, settings), 2, 0);
  rows->addWidget(txt_port_number_, 2, 1, Qt::AlignLeft);

  auto* tab_layout = new QVBoxLayout(general);
  tab_layout->addWidget(notes);
  tab_layout->addWidget(settings);

  cmd_ok_ = new QPushButton(QString::fromUtf8(kButtonOk), this);
  cmd_ok_->setObjectName(QStringLiteral("cmdOk"));
  cmd_exit_ = new QPushButton(QString::fromUtf8(kButtonCancel), this);
  cmd_exit_->setObjectName(QStringLiteral("cmdExit"));
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(cmd_ok_);
  buttons->addWidget(cmd_exit_);

  auto* window_layout = new QVBoxLayout(this);
  window_layout->addWidget(tabs);
  window_layout->addLayout(buttons);
  // A fixed window, sized to its contents; the notes wrap at this width.
  general->setMinimumWidth(440);
  window_layout->setSizeConstraint(QLayout::SetFixedSize);

  // The one tab needs no stop of its own: Tab runs through the entries and
  // the buttons only, the address controls field by field.
  tabs->setFocusPolicy(Qt::NoFocus);
  for (QTabBar* bar : tabs->findChildren<QTabBar*>()) bar->setFocusPolicy(Qt::NoFocus);
  std::vector<QWidget*> tab_stops;
  for (const AddressEntry* entry : {&ip_local_host_, &ip_remote_host_}) {
    auto* quadrel = qobject_cast<lattix::QuadrelWidget*>(entry->widget);
    for (int field = 0; quadrel != nullptr && field < lattix::kFieldCount; ++field) {
      tab_stops.push_back(quadrel->field(field));
    }
  }
  tab_stops.insert(tab_stops.end(), {txt_port_number_, cmd_ok_, cmd_exit_});
  for (size_t stop = 0; stop + 1 < tab_stops.size(); ++stop) {
    setTabOrder(tab_stops[stop], tab_stops[stop + 1]);
  }

  // OK is the default button: Enter in an entry presses it. Each button
  // also answers Enter itself while it has the focus.
  cmd_ok_->setDefault(true);
  cmd_ok_->setAutoDefault(true);
  cmd_exit_->setAutoDefault(true);
  // The window opens with the cursor in the local host's first field.
  ip_local_host_.widget->setFocus(Qt::OtherFocusReason);

  form_ = std::make_unique<Form1>(static_cast<Form1Host&>(*this));
  connect(cmd_ok_, &QPushButton::clicked, this, [this] { form_->cmdOk_Click(); });
  connect(cmd_exit_, &QPushButton::clicked, this, [this] { form_->cmdExit_Click(); });
}

Form1Window::~Form1Window() = default;

void Form1Window::Load() { form_->Form_Load(); }

void Form1Window::SetMessageSink(MessageSink sink) { message_sink_ = std::move(sink); }

void Form1Window::SetEndHandler(std::function<void()> handler) {
  end_handler_ = std::move(handler);
}

void Form1Window::keyPressEvent(QKeyEvent* event) {
  // Keys the entries pass on: Enter presses OK, with all of OK's checks,
  // and Escape Cancel. Modifiers other than the keypad's leave them alone.
  const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
  if (modifiers == Qt::NoModifier) {
    switch (event->key()) {
      case Qt::Key_Return:
      case Qt::Key_Enter: cmd_ok_->click(); return;
      case Qt::Key_Escape: cmd_exit_->click(); return;
      default: break;
    }
  }
  QWidget::keyPressEvent(event);
}

void Form1Window::closeEvent(QCloseEvent* event) {
  // The close box: the form decides, as for Cancel. A close that the form
  // started itself (EndProgram) simply goes through.
  if (!ending_) {
    in_close_event_ = true;
    form_->Form_QueryUnload();
    in_close_event_ = false;
  }
  if (ending_) {
    event->accept();
  } else {
    event->ignore();
  }
}

platform::Dispatch& Form1Window::AddressControl(Form1Control which) {
  return *(which == Form1Control::kIpRemoteHost ? ip_remote_host_ : ip_local_host_).dispatch;
}

std::string Form1Window::PortText() const { return txt_port_number_->text().toStdString(); }

void Form1Window::SetPortText(const std::string& text) {
  txt_port_number_->setText(QString::fromStdString(text));
}

void Form1Window::SetFocus(Form1Control which) {
  switch (which) {
    case Form1Control::kIpLocalHost: ip_local_host_.widget->setFocus(); break;
    case Form1Control::kIpRemoteHost: ip_remote_host_.widget->setFocus(); break;
    case Form1Control::kTxtPortNumber: txt_port_number_->setFocus(); break;
  }
}

void Form1Window::FocusAddressField(Form1Control which, int field) {
  const AddressEntry& entry =
      which == Form1Control::kIpRemoteHost ? ip_remote_host_ : ip_local_host_;
  auto* quadrel = qobject_cast<lattix::QuadrelWidget*>(entry.widget);
  if (quadrel == nullptr) {
    entry.widget->setFocus();
    return;
  }
  auto* edit = qobject_cast<QLineEdit*>(quadrel->field(field));
  edit->setFocus(Qt::OtherFocusReason);
  edit->selectAll();
}

void Form1Window::ShowInformation(const std::string& text,
                                  const std::optional<std::string>& title) {
  // A box without a title of its own, or with an empty one, shows the program's.
  const QString caption =
      QString::fromStdString(title && !title->empty() ? *title : std::string(kProgramTitle));
  if (message_sink_) {
    message_sink_(QString::fromStdString(text), caption);
  } else {
    ShowMessageBox(QString::fromStdString(text), caption);
  }
}

void Form1Window::ShowMessageBox(const QString& text, const QString& title) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, this);
  box.setObjectName(QStringLiteral("Form1Message"));
  box.exec();
}

void Form1Window::EndProgram() {
  ending_ = true;
  if (!in_close_event_) close();
  if (end_handler_) {
    end_handler_();
  } else {
    QCoreApplication::quit();
  }
}

}  // namespace ravelset
