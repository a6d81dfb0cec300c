// Saves a picture of the main window with each of its five pages in front:
// orvela-screenshot-pages <folder>. Run under a display (scripts/screenshot uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "app/application_title.h"
#include "app/main_window.h"
#include "app/ui_fonts.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <folder>\n", argv[0]);
    return 2;
  }
  app.setApplicationName(orvela::ApplicationTitle());
  app.setFont(orvela::DialogFont());
  const QString folder = QString::fromLocal8Bit(argv[1]);
  QDir().mkpath(folder);
  orvela::TForm1 form;
  form.show();
  if (!QTest::qWaitForWindowExposed(&form)) return 1;
  const char* names[] = {"1-conversion", "2-options", "3-help", "4-notes", "5-about"};
  for (int page = 0; page < form.PageControl2->count(); ++page) {
    form.PageControl2->setCurrentIndex(page);
    QTest::qWait(100);
    const QString file = folder + QStringLiteral("/page-%1.png").arg(QLatin1String(names[page]));
    if (!form.grab().save(file)) return 1;
    std::printf("%s\n", qPrintable(file));
  }
  return 0;
}
