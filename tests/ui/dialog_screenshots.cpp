// Grabs the folder dialog and the type entry dialog into PNG files, as the program
// shows them (application font, default type list): dialog_screenshots <out-folder>.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTreeView>

#include "ui/folder_dialog.h"
#include "ui/folder_import.h"
#include "ui/type_entry_dialog.h"
#include "ui/type_list_place.h"
#include "ui/ui_fonts.h"

namespace {

void Settle(int ms) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 20);
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setFont(orvela::DialogFont());
  const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
  // The defaults: a type-list file that does not exist.
  orvela::SetTypeListFileForTest("/nonexistent-orvela/varu_ext.txt");

  QWidget mainWindow;
  mainWindow.resize(575, 543);
  mainWindow.show();
  orvela::CreateFolderDialogs(&mainWindow);
  using orvela::Form3;
  using orvela::Form4;

  // As at the first opening: nothing selected in the tree.
  Form3->show();
  Settle(1500);  // the folder tree fills in the background
  Form3->ShellTreeView1->setFocus();
  Settle(100);
  const bool ok3 = Form3->grab().save(out + "/form3.png");
  Form3->hide();

  Form4->show();
  Form4->Edit1->setFocus();
  Settle(300);
  const bool ok4 = Form4->grab().save(out + "/form4.png");
  Form4->hide();
  return ok3 && ok4 ? 0 : 1;
}
