#include "ui/orvela_application.h"

#include "ui/error_display.h"

namespace orvela {

OrvelaApplication::OrvelaApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool OrvelaApplication::notify(QObject* receiver, QEvent* event) {
  bool handled = false;
  Guarded([&] { handled = QApplication::notify(receiver, event); });
  return handled;
}

}  // namespace orvela
