// Start-up: the application object, the title, the three windows, the event loop.
#include <QLibraryInfo>
#include <QTranslator>

#include "ui/application_title.h"
#include "ui/error_display.h"
#include "ui/folder_import.h"
#include "ui/main_window.h"
#include "ui/orvela_application.h"
#include "ui/ui_fonts.h"

int main(int argc, char** argv) {
  using namespace orvela;
  OrvelaApplication app(argc, argv);
  try {
    app.setApplicationName(ApplicationTitle());
    app.setFont(DialogFont());
    // Qt's own dialogs (the Open dialog) speak the program's language when Qt's
    // Chinese translation is installed.
    QTranslator qtChinese;
    if (qtChinese.load(QStringLiteral("qt_zh_CN"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
      app.installTranslator(&qtChinese);

    TForm1 mainWindow;
    Form1 = &mainWindow;
    // The folder dialog and the type entry dialog, in this order, hidden.
    Guarded([&] { CreateFolderDialogs(&mainWindow); });
    mainWindow.show();
    app.exec();
    Form1 = nullptr;
  } catch (...) {
    ShowError(std::current_exception());
  }
  return 0;
}
