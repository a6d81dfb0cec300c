#include "ui/error_display.h"

#include <QApplication>
#include <QFile>
#include <string>

#include "base/error.h"
#include "ui/application_title.h"
#include "ui/dialogs.h"

namespace orvela {

void ShowError(std::exception_ptr error) {
  std::string message;
  try {
    std::rethrow_exception(error);
  } catch (const std::exception& e) {
    message = e.what();
  } catch (...) {
  }
  // Messages carry paths as bytes; only the display decodes them.
  Dialogs().ShowMessage(QApplication::activeWindow(),
                        QFile::decodeName(WithFullStop(std::move(message)).c_str()),
                        ApplicationTitle(), DialogHost::Icon::Stop);
}

}  // namespace orvela
