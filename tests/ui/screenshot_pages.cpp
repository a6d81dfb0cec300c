// Saves a picture of the main window with each of its five pages in front:
// orvela-screenshot-pages <folder>. Run under a display (scripts/screenshot uses Xvfb).
#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTest>
#include <cstdio>

#include "filelist/file_list.h"
#include "ui/application_title.h"
#include "ui/file_list_box.h"
#include "ui/file_list_model.h"
#include "ui/main_window.h"
#include "ui/ui_fonts.h"

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
  // The list in use: a few paths, two of them selected, the conversion page in front.
  for (const char* path : {"/home/用户/文档/说明.txt", "/home/用户/网页/index.htm",
                           "/home/用户/网页/新闻/2026-12-11.html", "/srv/texts/README.TXT"})
    form.ListModel->Append(path);
  form.Files().SetSelected(1, true);
  form.Files().SetSelected(2, true);
  form.ListBox1->ShowListSelection();
  form.PageControl2->setCurrentIndex(0);
  QTest::qWait(100);
  const QString file = folder + QStringLiteral("/list.png");
  if (!form.grab().save(file)) return 1;
  std::printf("%s\n", qPrintable(file));
  return 0;
}
