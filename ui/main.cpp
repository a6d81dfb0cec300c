// Start-up: the application object, the title, the three windows, the event loop.
#include <QFile>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

#include "filelist/file_list.h"
#include "ui/application_title.h"
#include "ui/error_display.h"
#include "ui/file_list_model.h"
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
    // Files named on the command line (as the menu entry and "open with" pass them).
    Guarded([&] {
      const QStringList arguments = app.arguments();
      for (qsizetype i = 1; i < arguments.size(); ++i)
        mainWindow.ListModel->AddUnlessPresent(
            QFile::encodeName(QFileInfo(arguments[i]).absoluteFilePath()).toStdString());
    });
    // Test hook for the installed program: write the listed paths and end.
    if (const QByteArray dump = qgetenv("ORVELA_DUMP_LIST"); !dump.isEmpty()) {
      QFile out(QFile::decodeName(dump));
      if (out.open(QIODevice::WriteOnly))
        for (long i = 0; i < mainWindow.Files().Count(); ++i)
          out.write(QByteArray::fromStdString(mainWindow.Files().Path(i)) + '\n');
      return 0;
    }
    mainWindow.show();
    app.exec();
    Form1 = nullptr;
  } catch (...) {
    ShowError(std::current_exception());
  }
  return 0;
}
