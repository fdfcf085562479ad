// SPDX-License-Identifier: MIT

#include "qt/about_dialog.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace lattix {
namespace {

// The control in miniature: a white box with four fields and three dots.
QPixmap ProductPicture(int width, int height) {
  QPixmap picture(width, height);
  picture.fill(Qt::transparent);
  QPainter painter(&picture);
  painter.fillRect(0, 0, width - 1, height - 1, Qt::white);
  painter.setPen(Qt::darkGray);
  painter.drawRect(0, 0, width - 1, height - 1);
  const int field = (width - 2) / 4;
  for (int i = 0; i < 4; ++i) {
    painter.fillRect(2 + i * field, height / 3, field - 4, height / 3, QColor(0, 0, 128));
    if (i > 0) painter.fillRect(i * field - 1, height * 2 / 3, 2, 2, Qt::black);
  }
  return picture;
}

// The box's width, in pixels; its height follows from its contents.
constexpr int kDialogWidth = 420;

QFrame* SeparatorLine(QWidget* parent) {
  auto* line = new QFrame(parent);
  line->setObjectName("Line1");
  line->setFrameShape(QFrame::HLine);
  line->setFrameShadow(QFrame::Sunken);
  return line;
}

}  // namespace

AboutDialog::AboutDialog(AboutForm& form, QWidget* parent) : QDialog(parent), form_(form) {
  setObjectName("frmAbout");
  setWindowTitle("About Quadrel.OCX");

  // Qt parents own the parts below.
  auto* icon = new QLabel(this);
  icon->setObjectName("picIcon");
  auto* icon_picture = new QLabel(icon);
  icon_picture->setObjectName("imgPtr");
  icon_picture->setPixmap(ProductPicture(32, 12));
  icon->setFixedSize(40, 40);
  icon_picture->move(4, 14);

  auto* picture = new QLabel(this);
  picture->setObjectName("Image2");
  picture->setPixmap(ProductPicture(120, 30));

  auto* title = new QLabel("Quadrel", this);
  title->setObjectName("lblTitle");
  QFont title_font = title->font();
  title_font.setPointSizeF(title_font.pointSizeF() * 1.5);
  title_font.setBold(true);
  title->setFont(title_font);

  auto* description = new QLabel(
      "An entry box for IPv4 addresses: four numeric fields, each taking a "
      "part from 0 to 255, that together give the dotted address and its "
      "32-bit number.",
      this);
  description->setObjectName("lblDescription");
  description->setWordWrap(true);

  version_label_ = new QLabel("Version", this);
  version_label_->setObjectName("lblVersion");
  QPalette green = version_label_->palette();
  green.setColor(QPalette::WindowText, QColor(0, 128, 0));
  version_label_->setPalette(green);

  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("cmdOK");
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);

  auto* sys_info = new QPushButton("&System Info...", this);
  sys_info->setObjectName("cmdSysInfo");
  connect(sys_info, &QPushButton::clicked, this, [this] { form_.StartSysInfo(); });

  auto* text = new QVBoxLayout;
  text->addWidget(title);
  text->addWidget(version_label_);
  text->addWidget(description);
  text->addWidget(picture);
  auto* top = new QHBoxLayout;
  top->addWidget(icon, 0, Qt::AlignTop);
  top->addLayout(text, 1);

  auto* buttons = new QVBoxLayout;
  buttons->addWidget(ok);
  buttons->addWidget(sys_info);
  auto* bottom = new QHBoxLayout;
  bottom->addStretch(1);
  bottom->addLayout(buttons);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(SeparatorLine(this));
  layout->addWidget(SeparatorLine(this));
  layout->addLayout(bottom);
  setFixedWidth(kDialogWidth);
  // The description wraps at that width, on more lines in a larger font; a
  // window does not take its height from its width by itself.
  setMinimumHeight(heightForWidth(kDialogWidth));

  form_.Load(*this);
}

AboutDialog::~AboutDialog() { form_.Unload(); }

void AboutDialog::SetVersionCaption(const std::string& caption) {
  version_label_->setText(QString::fromStdString(caption));
}

void AboutDialog::ShowMessage(const std::string& text) {
  QMessageBox box(QMessageBox::NoIcon, kLibraryTitle, QString::fromStdString(text), QMessageBox::Ok,
                  this);
  box.exec();
}

}  // namespace lattix
