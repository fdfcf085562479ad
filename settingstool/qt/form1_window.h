// SPDX-License-Identifier: MIT

// Form1, the settings tool's one window, in Qt: the widgets and the two
// Quadrel address controls, bound to the toolkit-free ravelset::Form1.
//
// The window does nothing of its own beyond laying out its widgets: every
// event goes to the form logic, and the logic reaches the widgets through
// the Form1Host operations this class implements.

#ifndef RAVELSET_QT_FORM1_WINDOW_H_
#define RAVELSET_QT_FORM1_WINDOW_H_

#include <QWidget>
#include <functional>
#include <memory>

#include "ravelset/form1.h"
#include "ravelset/form1_host.h"
#include "tessaly/platform/dispatch.h"

class QLineEdit;
class QPushButton;

namespace ravelset {

class Form1Window : public QWidget, private Form1Host {
  Q_OBJECT

 public:
  // Shows one information message; `title` is never empty.
  using MessageSink = std::function<void(const QString& text, const QString& title)>;

  // Builds the window with two controls created by "Lattix.Quadrel". Raises
  // platform::PlatformError when the controls cannot be created (429 when
  // no class is registered under that name). The window is not shown and
  // nothing is loaded yet.
  explicit Form1Window(QWidget* parent = nullptr);
  ~Form1Window() override;

  // Window creation: runs the form's Form_Load, which reads or creates the
  // settings file. Call before show().
  void Load();

  // Replaces the modal message boxes, for example by a recorder in tests.
  // By default a QMessageBox with the information icon is shown and waited for.
  void SetMessageSink(MessageSink sink);

  // What ending the program does after the window has closed. By default
  // the application's event loop is left.
  void SetEndHandler(std::function<void()> handler);

  // True once the form has ended the program.
  bool ended() const { return ending_; }

  // The address control `which` (kIpLocalHost or kIpRemoteHost), as the
  // form binds it.
  platform::Dispatch& AddressControl(Form1Control which) override;

 protected:
  // Enter presses OK and Escape Cancel, from wherever the keys come.
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  // Form1Host.
  std::string PortText() const override;
  void SetPortText(const std::string& text) override;
  void SetFocus(Form1Control which) override;
  void FocusAddressField(Form1Control which, int field) override;
  void ShowInformation(const std::string& text, const std::optional<std::string>& title) override;
  void EndProgram() override;

  void ShowMessageBox(const QString& text, const QString& title);

  // One Quadrel control: the object the form binds late, and its widget.
  struct AddressEntry {
    std::shared_ptr<platform::Component> object;
    std::shared_ptr<platform::Dispatch> dispatch;
    QWidget* widget = nullptr;  // owned by its Qt parent once placed
  };
  static AddressEntry CreateAddressEntry(const char* name);

  AddressEntry ip_local_host_;
  AddressEntry ip_remote_host_;
  QLineEdit* txt_port_number_ = nullptr;
  QPushButton* cmd_ok_ = nullptr;
  QPushButton* cmd_exit_ = nullptr;
  MessageSink message_sink_;
  std::function<void()> end_handler_;
  bool ending_ = false;
  bool in_close_event_ = false;
  std::unique_ptr<Form1> form_;
};

}  // namespace ravelset

#endif  // RAVELSET_QT_FORM1_WINDOW_H_
