// The folder dialog, the type entry dialog and the folder import command, on the
// offscreen platform with scripted dialog answers.
#include <stdlib.h>
#include <unistd.h>
#include <QCheckBox>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QTreeView>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>

#include "base/error.h"
#include "folders/folder_scan.h"
#include "folders/type_list_file.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/scripted_folder_dialogs.h"
#include "ui/folder_dialog.h"
#include "ui/folder_import.h"
#include "ui/type_entry_dialog.h"
#include "ui/type_list_place.h"

using namespace orvela;
using Entries = std::vector<std::string>;

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

QStringList Shown(const QListWidget* list) {
  QStringList items;
  for (int i = 0; i < list->count(); ++i) items << list->item(i)->text();
  return items;
}

// Runs body once the modal loop of dialog has started; returns exec's result.
int ExecWhile(QDialog* dialog, const std::function<void()>& body) {
  QTimer::singleShot(0, dialog, body);
  return dialog->exec();
}

}  // namespace

class FolderDialogsTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempTree> files_;  // holds the type-list file
  std::unique_ptr<QWidget> mainWindow_;
  std::unique_ptr<test::ScriptedDialogs> dialogs_;

  std::string ListFile() const { return files_->Path("varu_ext.txt"); }

  void StartUp() {
    mainWindow_ = std::make_unique<QWidget>();
    CreateFolderDialogs(mainWindow_.get());
  }

 private slots:
  void init() {
    files_ = std::make_unique<test::TempTree>();
    SetTypeListFileForTest(ListFile());
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
  }
  void cleanup() {
    mainWindow_.reset();
    dialogs_.reset();
    SetTypeListWriteLimitForTest(std::nullopt);
  }

  void folderDialogLayout() {
    StartUp();
    QVERIFY(Form3 && Form4);
    QCOMPARE(Form3->parentWidget(), mainWindow_.get());
    QVERIFY(Form3->isHidden() && Form4->isHidden());
    QCOMPARE(Form3->windowTitle(), QString::fromUtf8("选择目录"));
    // Client area 401 x 432 inside a border 5 pixels wide.
    QCOMPARE(Form3->size(), QSize(411, 442));
    QCOMPARE(Form3->ShellTreeView1->parentWidget()->geometry(), QRect(5, 5, 401, 432));
    for (QWidget* control :
         {static_cast<QWidget*>(Form3->CheckBox1), static_cast<QWidget*>(Form3->GroupBox1),
          static_cast<QWidget*>(Form3->BitBtn1), static_cast<QWidget*>(Form3->BitBtn2)})
      QCOMPARE(control->parentWidget(), Form3->ShellTreeView1->parentWidget());
    QCOMPARE(Form3->ShellTreeView1->geometry(), QRect(0, 0, 401, 313));
    QCOMPARE(Form3->CheckBox1->text(), QString::fromUtf8("包括选定目录下的所有子目录"));
    QCOMPARE(Form3->CheckBox1->pos(), QPoint(9, 319));
    QVERIFY(!Form3->CheckBox1->isChecked());
    QCOMPARE(Form3->GroupBox1->title(), QString::fromUtf8("包括以下类型文本文件"));
    QCOMPARE(Form3->GroupBox1->geometry(), QRect(8, 344, 185, 89));
    QCOMPARE(Form3->ListBox1->size(), QSize(97, 65));
    QCOMPARE(Form3->ListBox1->selectionMode(), QAbstractItemView::SingleSelection);
    QCOMPARE(Form3->Button1->text(), QString::fromUtf8("添加"));
    QCOMPARE(Form3->Button1->y(), 19);
    QCOMPARE(Form3->Button2->text(), QString::fromUtf8("删除"));
    QCOMPARE(Form3->Button2->y(), 53);
    QCOMPARE(Form3->BitBtn2->text(), QString::fromUtf8("取消"));
    QCOMPARE(Form3->BitBtn2->pos(), QPoint(323, 350));
    QCOMPARE(Form3->BitBtn1->text(), QString::fromUtf8("确定"));
    QCOMPARE(Form3->BitBtn1->pos(), QPoint(323, 398));
    QVERIFY(Form3->BitBtn1->isDefault());
    QCOMPARE(Form3->ShellTreeView1->indentation(), 19);
    QCOMPARE(Form3->GetPath(), std::string());  // nothing selected at start

    // Tab order: tree, check box, OK, Cancel, list, add, delete.
    QList<QWidget*> order;
    QWidget* w = Form3->ShellTreeView1;
    do {
      if (w->focusPolicy() & Qt::TabFocus) order << w;
      w = w->nextInFocusChain();
    } while (w != Form3->ShellTreeView1 && order.size() < 20);
    QCOMPARE(order,
             (QList<QWidget*>{Form3->ShellTreeView1, Form3->CheckBox1, Form3->BitBtn1,
                              Form3->BitBtn2, Form3->ListBox1, Form3->Button1, Form3->Button2}));
    // The first opening puts the focus on the first control of that order.
    QWidget* focused = nullptr;
    ExecWhile(Form3, [&] {
      if (QTest::qWaitForWindowActive(Form3)) focused = QApplication::focusWidget();
      Form3->BitBtn2->click();
    });
    QCOMPARE(focused, Form3->ShellTreeView1);
  }

  void aRightClickSelectsTheFolderUnderThePointer() {
    StartUp();
    test::TempTree tree;
    tree.Dir("left");
    const std::string right = tree.Dir("right");
    Form3->SelectFolder(tree.Path("left"));
    Form3->show();
    QTreeView* view = Form3->ShellTreeView1;
    auto* model = static_cast<QFileSystemModel*>(view->model());
    const QModelIndex target = model->index(QFile::decodeName(tree.Path("right").c_str()));
    view->scrollTo(target);
    QTest::mouseClick(view->viewport(), Qt::RightButton, {}, view->visualRect(target).center());
    QCOMPARE(Form3->GetPath() + "/", right);
    Form3->hide();
  }

  void typeEntryDialogLayout() {
    StartUp();
    QCOMPARE(Form4->windowTitle(), QString::fromUtf8("添加文本文件类型："));
    QCOMPARE(Form4->size(), QSize(190, 40));
    QCOMPARE(Form4->Edit1->geometry(), QRect(42, 13, 81, 21));
    QCOMPARE(Form4->Edit1->text(), QString("*."));
    QCOMPARE(Form4->Edit1->maxLength(), std::numeric_limits<int>::max());  // no length limit
    QCOMPARE(Form4->Button1->geometry(), QRect(132, 13, 49, 21));
    QCOMPARE(Form4->Button1->text(), QString::fromUtf8("添加"));
    QVERIFY(!Form4->Button1->isDefault() && !Form4->Button1->autoDefault());
  }

  void folderDialogResults() {
    StartUp();
    // Esc is Cancel (2), Enter is OK (1), the window frame is Cancel (2).
    QCOMPARE(ExecWhile(Form3, [] { QTest::keyClick(Form3, Qt::Key_Escape); }), 2);
    QCOMPARE(ExecWhile(Form3, [] { QTest::keyClick(Form3->ShellTreeView1, Qt::Key_Return); }), 1);
    QCOMPARE(ExecWhile(Form3, [] { Form3->close(); }), 2);
    QCOMPARE(ExecWhile(Form3, [] { Form3->BitBtn1->click(); }), 1);
    QCOMPARE(ExecWhile(Form3, [] { Form3->BitBtn2->click(); }), 2);
    QVERIFY(Form3->isHidden());
  }

  void typeEntryDialogKeys() {
    StartUp();
    const auto before = Form3->Types().Entries();
    bool stayedOpen = false;
    ExecWhile(Form4, [&] {
      Form4->Edit1->setText("*.md");
      QTest::keyClick(Form4->Edit1, Qt::Key_Escape);
      QTest::keyClick(Form4->Edit1, Qt::Key_Return);
      QTest::keyClick(Form4, Qt::Key_Enter);
      stayedOpen = Form4->isVisible();
      Form4->close();  // the frame: adds nothing
    });
    QVERIFY(stayedOpen);
    QCOMPARE(Form3->Types().Entries(), before);
    QCOMPARE(Form4->Edit1->text(), QString("*.md"));  // kept for the next opening
  }

  // Each opening, the second after a "添加" too, takes typing in the field and
  // replaces the text there.
  void typeEntryTakesTypingAtEveryOpening() {
    StartUp();
    for (const char* typed : {"*.md", "*.rst"}) {
      QWidget* focused = nullptr;
      dialogs_->onExecModal = [&](QDialog* dialog) {
        return ExecWhile(dialog, [&] {
          if (QTest::qWaitForWindowActive(Form4)) focused = QApplication::focusWidget();
          if (!qEnvironmentVariableIsEmpty("ORVELA_SHOT"))  // for a look at the reopened dialog
            Form4->grab().save(qEnvironmentVariable("ORVELA_SHOT"));
          QTest::keyClicks(QApplication::focusWidget(), typed);
          QTest::mouseClick(Form4->Button1, Qt::LeftButton);
        });
      };
      QTest::mouseClick(Form3->Button1, Qt::LeftButton);
      QCOMPARE(focused, Form4->Edit1);
      QCOMPARE(Form4->Edit1->text(), QString(typed));
      QVERIFY(Form3->Types().Contains(typed));
    }
  }

  void addingPatterns_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QStringList>("added");
    QTest::newRow("present in another case") << "*.TXT" << QStringList{};
    QTest::newRow("lower-cased") << "*.Md" << QStringList{"*.md"};
    QTest::newRow("no leading *.") << "txt" << QStringList{"txt"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("blanks and non-ASCII kept")
        << QString::fromUtf8(" *.文本X") << QStringList{QString::fromUtf8(" *.文本x")};
  }
  void addingPatterns() {
    QFETCH(QString, typed);
    QFETCH(QStringList, added);
    StartUp();
    const QStringList before = Shown(Form3->ListBox1);
    bool closed = false;
    // "添加" in the folder dialog opens the type entry dialog through the dialog host.
    dialogs_->onExecModal = [&](QDialog* dialog) {
      return ExecWhile(dialog, [&] {
        Form4->Edit1->setText(typed);
        QTest::mouseClick(Form4->Button1, Qt::LeftButton);
        closed = !Form4->isVisible();
      });
    };
    QTest::mouseClick(Form3->Button1, Qt::LeftButton);
    QVERIFY(closed);
    QCOMPARE(Shown(Form3->ListBox1), before + added);
    QCOMPARE(Form4->Edit1->text(), typed);  // as typed, not lower-cased
    QCOMPARE(static_cast<qsizetype>(Form3->Types().Count()), Form3->ListBox1->count());
  }

  void deletingPatterns() {
    StartUp();
    Form3->Button2Click();  // nothing selected: nothing happens
    QCOMPARE(Form3->ListBox1->count(), 10);
    Form3->ListBox1->setCurrentRow(1);  // "*.log"
    QTest::mouseClick(Form3->Button2, Qt::LeftButton);
    QCOMPARE(Form3->ListBox1->count(), 9);
    QVERIFY(!Form3->Types().Contains("*.log"));
    QVERIFY(Form3->ListBox1->selectedItems().isEmpty());
    Form3->Button2Click();  // the deletion left nothing selected
    QCOMPARE(Form3->ListBox1->count(), 9);
  }

  void editsSurviveCancelAndReachTheFile() {
    StartUp();
    // First start without the file: the ten defaults, saved as exactly ten CR LF lines.
    QCOMPARE(Form3->Types().Entries(), FileTypeList::Defaults());
    SaveFileTypeList();
    QCOMPARE(Slurp(ListFile()),
             std::string("*.txt\r\n*.log\r\n*.htm\r\n*.html\r\n*.ini\r\n*.asp\r\n*.php\r\n"
                         "*.jsp\r\n*.aspx\r\n*.cpp\r\n"));
    QCOMPARE(ExecWhile(Form3,
                       [] {
                         Form3->ListBox1->setCurrentRow(0);
                         Form3->Button2Click();
                         Form3->Types().Add("*.MD");
                         Form3->ShowTypes();
                         Form3->BitBtn2->click();
                       }),
             2);
    QCOMPARE(Form3->Types().Count(), 10u);
    QVERIFY(Form3->Types().Contains("*.md") && !Form3->Types().Contains("*.txt"));
    SaveFileTypeList();
    QCOMPARE(Slurp(ListFile()),
             std::string("*.log\r\n*.htm\r\n*.html\r\n*.ini\r\n*.asp\r\n*.php\r\n*.jsp\r\n"
                         "*.aspx\r\n*.cpp\r\n*.md\r\n"));
  }

  void theFileIsReadAtCreation() {
    files_->File("varu_ext.txt", std::string(" *.txt\n*.LOG\n\n*.c\0junk", 22));
    StartUp();
    QCOMPARE(Shown(Form3->ListBox1), (QStringList{" *.txt", "*.LOG", "", "*.c"}));
    SaveFileTypeList();
    QCOMPARE(Slurp(ListFile()), std::string(" *.txt\r\n*.LOG\r\n\r\n*.c\r\n"));
  }

  void anEmptyListIsAnEmptyFileAndBack() {
    StartUp();
    while (Form3->ListBox1->count()) {
      Form3->ListBox1->setCurrentRow(0);
      Form3->Button2Click();
    }
    SaveFileTypeList();
    QCOMPARE(std::filesystem::file_size(ListFile()), 0u);
    StartUp();  // the next start
    QCOMPARE(Form3->ListBox1->count(), 0);
  }

  void aFailedSaveIsReportedAndCanBeRetried() {
    StartUp();
    const std::string path = files_->Path("gone/varu_ext.txt");
    SetTypeListFileForTest(path);
    try {
      SaveFileTypeList();
      QFAIL("no error");
    } catch (const Error& e) {
      QCOMPARE(std::string(e.what()), "Cannot create file " + path + ": No such file or directory");
    }
    files_->Dir("gone");
    SetTypeListWriteLimitForTest(3);
    QVERIFY_THROWS_EXCEPTION(Error, SaveFileTypeList());
    SetTypeListWriteLimitForTest(std::nullopt);
    SaveFileTypeList();
    QCOMPARE(ParseTypeList(Slurp(path)), FileTypeList::Defaults());
  }

  // The folder import command.

  void importCancelledOrNoFolder() {
    StartUp();
    test::TempTree tree;
    tree.File("a.txt");
    Entries added;
    auto add = [&](const std::string& p) { added.push_back(p); };

    dialogs_->onExecModal = [&](QDialog* d) {
      Form3->SelectFolder(tree.Root());
      return d == Form3 ? 2 : 0;
    };
    ImportFolder(add);  // Cancel
    dialogs_->onExecModal = [&](QDialog*) {
      Form3->ShellTreeView1->clearSelection();
      return 1;
    };
    ImportFolder(add);  // OK with nothing selected
    const std::string gone = tree.Dir("gone");
    std::string chosen;
    dialogs_->onExecModal = [&](QDialog*) {
      Form3->SelectFolder(gone);
      chosen = Form3->GetPath();
      std::filesystem::remove(gone);  // removed meanwhile
      return 1;
    };
    ImportFolder(add);
    QCOMPARE(chosen + "/", gone);
    QVERIFY(added.empty());
    QVERIFY(dialogs_->cursorCalls.empty());  // the cursor was not touched
  }

  void importFlatAndRecursive() {
    StartUp();
    test::TempTree tree;
    tree.File("a.txt");
    tree.File("b.TXT");
    tree.File("c.doc");
    tree.File("README");
    tree.File(".h.txt");
    tree.File("sub/d.log");
    Entries added;
    auto add = [&](const std::string& p) {
      if (std::find(added.begin(), added.end(), p) == added.end()) added.push_back(p);
    };
    // The folder is chosen without its final "/": the import appends it.
    bool shownForm3 = false;
    dialogs_->onExecModal = [&](QDialog* d) {
      shownForm3 = d == Form3;
      Form3->SelectFolder(tree.Root().substr(0, tree.Root().size() - 1));
      return 1;
    };
    ImportFolder(add);
    QVERIFY(shownForm3);
    std::sort(added.begin(), added.end());
    QCOMPARE(added, (Entries{tree.Path("a.txt"), tree.Path("b.TXT")}));
    QCOMPARE(dialogs_->cursorCalls, (std::vector<bool>{true, false}));
    QCOMPARE(dialogs_->eventTurns, 0);  // the flat scan lets no events run

    // The dialog keeps its state: the next opening finds the same folder selected.
    std::string seen;
    dialogs_->onExecModal = [&](QDialog*) {
      seen = Form3->GetPath();
      Form3->CheckBox1->setChecked(true);
      return 1;
    };
    ImportFolder(add);
    QCOMPARE(seen + "/", tree.Root());
    std::sort(added.begin(), added.end());
    QCOMPARE(added, (Entries{tree.Path(".h.txt"), tree.Path("a.txt"), tree.Path("b.TXT"),
                             tree.Path("sub/d.log")}));
    QVERIFY(dialogs_->eventTurns > 0);
    dialogs_->onExecModal = [&](QDialog*) { return 1; };
    ImportFolder(add);
    QVERIFY(Form3->CheckBox1->isChecked());
    QCOMPARE(added.size(), 4u);  // a second import adds nothing
  }

  void importOfTheRootFolder() {
    // A file of a listed type directly under "/" (root may write there; others use
    // what "/" already holds).
    std::string own;
    if (::geteuid() == 0) {
      std::string name = "/orvela-root-XXXXXX.txt";
      const int fd = ::mkstemps(name.data(), 4);
      QVERIFY(fd >= 0);
      ::close(fd);
      own = name;
    }
    struct Remove {
      const std::string& path;
      ~Remove() {
        if (!path.empty()) ::unlink(path.c_str());
      }
    } remove{own};

    StartUp();
    std::vector<std::string> added;
    dialogs_->onExecModal = [&](QDialog*) {
      Form3->SelectFolder("/");
      // Every file directly under "/" is of a listed type.
      for (const auto& e : std::filesystem::directory_iterator("/"))
        Form3->Types().Add(CandidatePattern(e.path().filename().string()));
      return 1;
    };
    ImportFolder([&](const std::string& p) { added.push_back(p); });
    QCOMPARE(Form3->GetPath(), std::string("/"));
    for (const auto& p : added) {
      QVERIFY2(p.size() > 1 && p[0] == '/' && p[1] != '/', p.c_str());
      QVERIFY(std::filesystem::is_regular_file(p));
    }
    if (!own.empty()) QCOMPARE(std::count(added.begin(), added.end(), own), 1);
  }

  void importErrorRestoresTheCursor() {
    StartUp();
    test::TempTree tree;
    tree.File("a.txt");
    tree.File("b.txt");
    dialogs_->onExecModal = [&](QDialog*) {
      Form3->SelectFolder(tree.Root());
      return 1;
    };
    int adds = 0;
    QVERIFY_THROWS_EXCEPTION(Error, ImportFolder([&](const std::string&) {
                               if (++adds == 2) throw UnableToInsertLine();
                             }));
    QCOMPARE(adds, 2);
    QCOMPARE(dialogs_->cursorCalls, (std::vector<bool>{true, false}));
  }
};

QTEST_MAIN(FolderDialogsTest)
#include "test_folder_dialogs.moc"
