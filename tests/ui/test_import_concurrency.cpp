// The recursive import lets pending events run after every entry: commands given
// meanwhile run between two entries, with the main window of the program.
#include <QCheckBox>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <fstream>
#include <memory>
#include <sstream>

#include "filelist/file_list.h"
#include "folders/type_list_file.h"
#include "tests/support/temp_tree.h"
#include "tests/ui/scripted_folder_dialogs.h"
#include "ui/folder_dialog.h"
#include "ui/folder_import.h"
#include "ui/main_window.h"
#include "ui/type_list_place.h"

using namespace orvela;
using Entries = std::vector<std::string>;

namespace {

Entries Listed(TForm1& form) {
  Entries paths;
  for (long i = 0; i < form.Files().Count(); ++i) paths.push_back(form.Files().Path(i));
  return paths;
}

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A click given while the scan runs: it waits in the event queue for the scan's next turn.
void ClickLater(QToolButton* button) {
  QMetaObject::invokeMethod(button, &QToolButton::click, Qt::QueuedConnection);
}

}  // namespace

class ImportConcurrencyTest : public QObject {
  Q_OBJECT

  std::unique_ptr<test::TempTree> files_;
  std::unique_ptr<test::ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<test::TempTree> tree_;  // root: a.txt, sub/b.txt, sub/c.md

  // The first opening of the folder dialog chooses the tree, subfolders included.
  void ChooseTreeRecursively() {
    dialogs_->onExecModal = [this](QDialog*) {
      Form3->SelectFolder(tree_->Root());
      Form3->CheckBox1->setChecked(true);
      return 1;
    };
  }

 private slots:
  void init() {
    files_ = std::make_unique<test::TempTree>();
    SetTypeListFileForTest(files_->Path("varu_ext.txt"));
    dialogs_ = std::make_unique<test::ScriptedDialogs>();
    form_ = std::make_unique<TForm1>();
    Form1 = form_.get();
    CreateFolderDialogs(form_.get());
    tree_ = std::make_unique<test::TempTree>();
    tree_->File("a.txt");
    tree_->File("sub/b.txt");
    tree_->File("sub/c.md");
  }
  void cleanup() {
    Form1 = nullptr;
    form_.reset();
    dialogs_.reset();
    tree_.reset();
  }

  void aCommandRunsBetweenTwoEntries() {
    ChooseTreeRecursively();
    bool given = false;
    long countWhenRun = -1;
    dialogs_->onEvents = [&] {
      if (!given && form_->Files().Count() == 1) {
        ClickLater(form_->BtnDeleteAll);
        given = true;
      } else if (given && countWhenRun < 0) {
        countWhenRun = form_->Files().Count();
      }
    };
    QTest::mouseClick(form_->BtnOpenFolder, Qt::LeftButton);
    QCOMPARE(countWhenRun, 0L);  // it ran at the very next turn
    // The scan went on with the list as the command left it.
    QCOMPARE(Listed(*form_), Entries{tree_->Path("sub/b.txt")});
    QVERIFY(dialogs_->messages.empty());
  }

  void anotherImportMeanwhileAndAnEditedTypeList() {
    test::TempTree other;
    other.File("x.txt");
    other.File("deeper/y.txt");
    int openings = 0;
    dialogs_->onExecModal = [&](QDialog*) {
      if (++openings == 1) {
        Form3->SelectFolder(tree_->Root());
        Form3->CheckBox1->setChecked(true);
      } else {
        // The nested import: another folder, flat, and "*.md" added to the list.
        Form3->SelectFolder(other.Root());
        Form3->CheckBox1->setChecked(false);
        Form3->Types().Add("*.MD");
        Form3->ShowTypes();
      }
      return 1;
    };
    bool given = false;
    dialogs_->onEvents = [&] {
      if (!given && form_->Files().Count() == 1) {
        ClickLater(form_->BtnOpenFolder);
        given = true;
      }
    };
    QTest::mouseClick(form_->BtnOpenFolder, Qt::LeftButton);
    QCOMPARE(openings, 2);
    QCOMPARE(Listed(*form_), (Entries{tree_->Path("a.txt"), other.Path("x.txt"),
                                      tree_->Path("sub/b.txt"), tree_->Path("sub/c.md")}));
    QCOMPARE(dialogs_->cursorCalls, (std::vector<bool>{true, true, false, false}));
  }

  void aCloseSavesAtOnceAndTheProgramEndsAfterTheScan() {
    ChooseTreeRecursively();
    form_->show();
    bool closeGiven = false, quitByTimeout = false;
    int turnsAfterClose = 0;
    std::string savedMeanwhile;
    bool visibleMeanwhile = true;
    dialogs_->onEvents = [&] {
      if (!closeGiven && form_->Files().Count() == 1) {
        Form3->Types().Add("*.md");
        ClickLater(form_->BtnExit);
        closeGiven = true;
      } else if (closeGiven && ++turnsAfterClose == 1) {
        savedMeanwhile = Slurp(files_->Path("varu_ext.txt"));
        visibleMeanwhile = form_->isVisible();
      }
    };
    QTimer::singleShot(0, form_.get(), [this] { form_->BtnOpenFolder->click(); });
    QTimer::singleShot(10000, qApp, [&] {
      quitByTimeout = true;
      qApp->quit();
    });
    qApp->exec();

    QVERIFY(!quitByTimeout);  // the close ended the program
    QVERIFY(!visibleMeanwhile);
    // Saved at once, with the list as it stood.
    QCOMPARE(ParseTypeList(savedMeanwhile).back(), std::string("*.md"));
    QVERIFY(turnsAfterClose > 1);  // the scan went on...
    // ...to its end, with the type list as edited.
    QCOMPARE(Listed(*form_),
             (Entries{tree_->Path("a.txt"), tree_->Path("sub/b.txt"), tree_->Path("sub/c.md")}));
    QCOMPARE(dialogs_->cursorCalls.back(), false);
    QVERIFY(dialogs_->messages.empty());
  }
};

QTEST_MAIN(ImportConcurrencyTest)
#include "test_import_concurrency.moc"
