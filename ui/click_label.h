// A label that reports a click, for the link "主页".
#pragma once

#include <QLabel>

namespace orvela {

class TClickLabel : public QLabel {
  Q_OBJECT

 public:
  using QLabel::QLabel;

 signals:
  void Clicked();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace orvela
