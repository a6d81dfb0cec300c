// The application title: set on the application object at start-up; captions the main
// window, the error display and the program's message boxes.
#pragma once

#include <QString>

namespace orvela {

inline QString ApplicationTitle() {
  return QStringLiteral("Orvela");
}

}  // namespace orvela
