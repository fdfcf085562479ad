// SPDX-License-Identifier: MIT

// One of the dots between the fields: a small filled square with an
// outline.

#ifndef LATTIX_SRC_QT_DOT_SHAPE_H_
#define LATTIX_SRC_QT_DOT_SHAPE_H_

#include <QColor>
#include <QWidget>

namespace lattix {

class DotShape : public QWidget {
  Q_OBJECT

 public:
  explicit DotShape(QWidget* parent);

  void setOutlineColor(const QColor& color);
  void setFillColor(const QColor& color);
  QColor outlineColor() const { return outline_; }
  QColor fillColor() const { return fill_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor outline_ = Qt::black;
  QColor fill_ = Qt::black;
};

}  // namespace lattix

#endif  // LATTIX_SRC_QT_DOT_SHAPE_H_
