// SPDX-License-Identifier: MIT

// The QuadrelHost of the Qt widget: the control's parts as real widgets.

#ifndef LATTIX_SRC_QT_WIDGET_HOST_H_
#define LATTIX_SRC_QT_WIDGET_HOST_H_

#include <QFont>
#include <QSize>
#include <QTimer>
#include <array>

#include "quadrel.h"
#include "quadrel_host.h"

class QLineEdit;

namespace lattix {

class ClickFrame;
class DotShape;
class OctetEdit;
class QuadrelWidget;

// Lengths: 15 twips are one pixel.
inline constexpr int kTwipsPerPixel = 15;
constexpr int ToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }
constexpr int ToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// How much larger than its design the control is drawn for `font`: 1 while
// three digits of the font fit a field of the design in width and height,
// as the default font's do, so that the design's pixels stay exactly as
// they are; for a larger font, the factor that makes them fit.
double FontScale(const QFont& font);

// `twips` in pixels, drawn `scale` times the design size.
int ScaledPixels(int twips, double scale);

class WidgetHost : public QuadrelHost {
 public:
  // Builds the parts inside `widget` at their design places.
  explicit WidgetHost(QuadrelWidget& widget);
  // The parts' connections hold this object's address: it stays where it
  // was built.
  WidgetHost(const WidgetHost&) = delete;
  WidgetHost& operator=(const WidgetHost&) = delete;

  // Connects the parts' notifications to `control`.
  void Connect(Quadrel& control);
  // Stops all notifications to the control and the timer.
  void Disconnect();

  // Sizes and places the parts for the widget's font (see FontScale); the
  // frame keeps its position.
  void ApplyFont();
  // The frame's size at its design, for the widget's font.
  QSize DesignSize() const;

  // Field `field` (0 to 3) as a widget.
  QWidget* Field(int field) const;
  // The field that last had the keyboard focus, the first one at the start.
  QLineEdit* LastActiveField() const;

  // Counts the calls into the control that are running.
  class BusyScope {
   public:
    explicit BusyScope(WidgetHost& host) : host_(host) { ++host_.busy_; }
    ~BusyScope() { --host_.busy_; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

   private:
    WidgetHost& host_;
  };
  bool busy() const { return busy_ > 0; }

  // QuadrelHost.
  std::string FieldText(int field) override;
  void SetFieldText(int field, const std::string& text) override;
  void SetFieldSelection(int field, int start, int length) override;
  void FocusField(int field) override;
  void SetFieldBackColor(int field, OleColor color) override;
  void SetFieldForeColor(int field, OleColor color) override;
  TwipRect FrameGeometry() override;
  void MoveFrame(int left, int top) override;
  void SetFrameBackColor(OleColor color) override;
  void SetFrameBorderStyle(int style) override;
  void SetDotOutlineColor(int dot, OleColor color) override;
  void SetDotFillColor(int dot, OleColor color) override;
  void SetTimerInterval(int milliseconds) override;
  TwipSize ControlSize() override;
  void SetControlWidth(int twips) override;
  void SetControlHeight(int twips) override;
  void PropertyChanged(std::string_view name) override;
  void RaiseClick() override;
  void RaiseDblClick() override;
  void RaiseChange(std::string& ip_address) override;
  void ShowAbout() override;

 private:
  // Centres each field's text in the part of the field that the frame's
  // inside shows: the design places the fields lower than the inside is
  // tall, which would set the digits on the bottom edge.
  void CentreFieldText();

  QuadrelWidget& widget_;
  ClickFrame* frame_;                           // Picture1, a child of widget_
  QWidget* inside_;                             // the frame's inside
  std::array<OctetEdit*, kFieldCount> fields_;  // Text1 to Text4
  std::array<DotShape*, kDotCount> dots_;       // Shape1 to Shape3
  QTimer* timer_;                               // Timer1
  double scale_ = 1;                            // FontScale of the widget's font
  int busy_ = 0;
  int last_active_field_ = 0;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QT_WIDGET_HOST_H_
