#include "ui/click_label.h"

#include <QMouseEvent>

namespace orvela {

void TClickLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
    emit Clicked();
}

}  // namespace orvela
