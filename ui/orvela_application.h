// The application object: a QApplication whose event dispatch shows every error that
// escapes an event handler, then goes on.
#pragma once

#include <QApplication>

namespace orvela {

class OrvelaApplication : public QApplication {
 public:
  OrvelaApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace orvela
