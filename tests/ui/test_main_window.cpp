// The main window on the offscreen platform, with dialog answers scripted.
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QWindow>
#include <QtTest>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>

#include "base/safe_rewrite.h"
#include "conversion/modes.h"
#include "filelist/file_list.h"
#include "scripted_dialogs.h"
#include "ui/click_label.h"
#include "ui/file_list_box.h"
#include "ui/folder_dialog.h"
#include "ui/folder_import.h"
#include "ui/local_file_url.h"
#include "ui/main_window.h"
#include "ui/option_check_box.h"
#include "ui/saved_options.h"
#include "ui/type_list_place.h"

using orvela::DialogHost;
using orvela::TForm1;
using orvela::test::ScriptedDialogs;

namespace {

QString U(const char* text) {
  return QString::fromUtf8(text);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

QStringList ListedPaths(TForm1& form) {
  QStringList paths;
  for (long i = 0; i < form.Files().Count(); ++i)
    paths << QString::fromStdString(form.Files().Path(i));
  return paths;
}

QList<int> ViewSelectedRows(TForm1& form) {
  QList<int> rows;
  for (const QModelIndex& index : form.ListBox1->selectionModel()->selectedRows())
    rows << index.row();
  std::sort(rows.begin(), rows.end());
  return rows;
}

// Drops the paths on the list as a drag source offering `actions` would, with the
// keys held that choose among them; the action the list answered, or none if refused.
std::optional<Qt::DropAction> Drop(TForm1& form, const QStringList& localPaths,
                                   Qt::DropActions actions = Qt::CopyAction,
                                   Qt::KeyboardModifiers keys = Qt::NoModifier) {
  QMimeData mime;
  QList<QUrl> urls;
  for (const QString& p : localPaths) urls << QUrl::fromLocalFile(p);
  mime.setUrls(urls);
  QWidget* target = form.ListBox1->viewport();
  const QPointF at(10, 10);
  QDragEnterEvent enter(at.toPoint(), actions, &mime, Qt::LeftButton, keys);
  QApplication::sendEvent(target, &enter);
  QDropEvent drop(at, actions, &mime, Qt::LeftButton, keys);
  QApplication::sendEvent(target, &drop);
  if (!drop.isAccepted()) return std::nullopt;
  return drop.dropAction();
}

// Closes the window by the tool button (0), the menu (1) or the frame (2): the window
// system's close request reaches the window, not the widget.
void CloseBy(TForm1& form, int way) {
  if (way == 0) QTest::mouseClick(form.BtnExit, Qt::LeftButton);
  if (way == 1) form.X1->trigger();
  if (way == 2) {
    QCloseEvent request;
    QApplication::sendEvent(form.windowHandle(), &request);
  }
}

// Selects the given rows in the view, as clicks would.
void SelectRows(TForm1& form, std::initializer_list<int> rows) {
  auto* selection = form.ListBox1->selectionModel();
  selection->clearSelection();
  for (int row : rows) selection->select(form.ListModel->index(row), QItemSelectionModel::Select);
}

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<ScriptedDialogs> dialogs_;
  std::unique_ptr<TForm1> form_;
  std::unique_ptr<QTemporaryDir> dir_;

  std::string Temp(const char* name) const {
    return QFile::encodeName(dir_->filePath(QString::fromUtf8(name))).toStdString();
  }
  void Fill(const char* letters) {
    for (const char* c = letters; *c; ++c) form_->ListModel->Append(std::string(1, *c));
  }

 private slots:
  void init() {
    dir_ = std::make_unique<QTemporaryDir>();
    orvela::SetTypeListFileForTest(Temp("varu_ext.txt"));
    orvela::SetSavedOptionsFileForTest(QString::fromStdString(Temp("orvela.conf")));
    dialogs_ = std::make_unique<ScriptedDialogs>();
    form_ = std::make_unique<TForm1>();
    orvela::CreateFolderDialogs(form_.get());
    form_->show();
    QVERIFY(QTest::qWaitForWindowExposed(form_.get()));
  }

  void cleanup() {
    form_.reset();
    dialogs_.reset();
    orvela::FailWritesAfterForTesting(std::nullopt);
    orvela::SetTypeListFileForTest(std::nullopt);
    orvela::SetSavedOptionsFileForTest(std::nullopt);
    dir_.reset();
  }

  void freshStart() {
    TForm1& f = *form_;
    QCOMPARE(f.windowTitle(), U("Orvela"));
    QCOMPARE(f.size(), QSize(575, 543));
    QCOMPARE(f.PageControl2->currentWidget(), f.TabSheet6);
    QCOMPARE(f.Files().Count(), 0);
    QCOMPARE(f.ListModel->rowCount(), 0);
    QVERIFY(!f.ChosenMode());
    QCOMPARE(f.ChkAlterTag->checkState(), Qt::PartiallyChecked);
    QVERIFY(f.ChkAlterTag->text().isEmpty());
    QCOMPARE(f.lblVersion->text(), U("Orvela 1.62 版"));
    QCOMPARE(f.lblHome->text(), U("主页"));
    QVERIFY(f.lblEmail->text().startsWith(U("Email: ")));
    QCOMPARE(f.lblChkAlterTag->text(),
             U("Big5 编码的网页文件更改为GB2312编码；或GB2312 编码的网页文件改为 "
               "Big5编码时，同步修改网页文件的charset 中字符编码标签"));
    for (QLabel* panel : f.StatusBar1->findChildren<QLabel*>()) QVERIFY(panel->text().isEmpty());
    QCOMPARE(f.StatusBar1->currentMessage(), QString());
    QCOMPARE(f.ListBox1->selectionMode(), QAbstractItemView::ExtendedSelection);
    QVERIFY(f.ListBox1->acceptDrops());
    QVERIFY(!f.acceptDrops() && !f.PageControl2->acceptDrops() && !f.ToolBar1->acceptDrops());
  }

  void menuToolBarAndPages() {
    TForm1& f = *form_;
    QCOMPARE(f.F1->title(), U("文件(&F)"));
    QCOMPARE(f.F1->actions().size(), 1);
    QCOMPARE(f.X1->text(), U("退出(&X)"));

    // Left to right: caption, hint; separators as empty rows.
    const std::pair<const char*, const char*> expected[] = {{"添加目录", "增加文件夹下所有文件"},
                                                            {"添加文件", "添加文件"},
                                                            {"", ""},
                                                            {"上移", "上移文件"},
                                                            {"下移", "下移文件"},
                                                            {"", ""},
                                                            {"移除", "删除一条"},
                                                            {"移除全部", "删除全部"},
                                                            {"", ""},
                                                            {"编码知识", "中文编码知识库"},
                                                            {"退出", "退出"}};
    const QList<QAction*> actions = f.ToolBar1->actions();
    QCOMPARE(actions.size(), 11);
    for (int i = 0; i < 11; ++i) {
      auto* button = qobject_cast<QToolButton*>(f.ToolBar1->widgetForAction(actions[i]));
      if (!*expected[i].first) {
        QVERIFY2(actions[i]->isSeparator(), qPrintable(QString::number(i)));
        continue;
      }
      QVERIFY(button);
      QCOMPARE(button->text(), U(expected[i].first));
      QCOMPARE(button->toolTip(), U(expected[i].second));
      QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
      QCOMPARE(button->iconSize(), QSize(32, 32));
      QVERIFY(!button->icon().isNull());
      QCOMPARE(button->size(), QSize(55, 52));
    }

    const char* pages[] = {"中文字繁简转换", "选项", "使用帮助：选用什么样的编码？", "使用须知！",
                           "关于"};
    QCOMPARE(f.PageControl2->count(), 5);
    for (int i = 0; i < 5; ++i) QCOMPARE(f.PageControl2->tabText(i), U(pages[i]));

    const std::pair<QRadioButton*, const char*> radios[] = {
        {f.RbGB2GBK, "简体中文GB2312转换为GBK码繁体中文"},
        {f.RbGBK2GB, "GBK码繁体中文转达换为简体中文GB2312"},
        {f.RbGB2Big5, "简体中文GB2312转换为Big5码繁体中文"},
        {f.RbBig52GB, "Big5码繁体中文转换为简体中文GB2312"},
        {f.RbBig52GBK, "Big5码繁体中文转换为GBK码繁体中文"},
        {f.RbGBK2Big5, "GBK码繁体中文转换为Big5码繁体中文"}};
    for (const auto& [radio, caption] : radios) {
      QCOMPARE(radio->text(), U(caption));
      QVERIFY(!radio->isChecked());
    }
    QCOMPARE(f.BtnSc2Tc->text(), U("转换"));
    QCOMPARE(f.BtnSc2Tc->geometry(), QRect(234, 83, 72, 23));

    QCOMPARE(
        f.Memo1->toPlainText().split(QLatin1Char('\n')),
        QStringList({U("GB2312字集是简体字集，全称为GB2312(80)字集，共包括国标简体汉字6763个。 "),
                     U("BIG5字集是台湾繁体字集，共包括国标繁体汉字13053个。 "),
                     U("GBK字集是简繁字集，包括了GB字集、BIG5字集和一些符号，共包括21003个字符。 "),
                     QString(),
                     U("一般来说，如果您在简体中文操作系统中使用繁体字，选GBK码繁体中文；如果您在繁"
                       "体中文操"),
                     U("作系统中使用繁体字,选Big5码繁体中文。")}));
    QCOMPARE(f.Memo2->toPlainText().split(QLatin1Char('\n')),
             QStringList({U("1、本软件只能用于文本文件（如TXT文件、HTML网页文件）中文繁简字体转换，"
                            "不能用于其它非"),
                          U("文本文件，如XLS、EXE、DLL等类型文件。"), QString(),
                          U("2、使用前建议您先做好原文件的备份，发防信息损失。")}));
    QVERIFY(f.Memo1->isReadOnly() && f.Memo2->isReadOnly());
  }

  void conversionPageTabOrder() {
    TForm1& f = *form_;
    const QWidget* order[] = {f.RbBig52GB, f.RbBig52GBK, f.RbGB2Big5, f.RbGB2GBK,
                              f.BtnSc2Tc,  f.RbGBK2GB,   f.RbGBK2Big5};
    for (std::size_t i = 0; i + 1 < std::size(order); ++i)
      QCOMPARE(order[i]->nextInFocusChain(), order[i + 1]);
  }

  void onlyTheListGrows() {
    TForm1& f = *form_;
    const int listHeight = f.ListBox1->height();
    const int toolBarHeight = f.ToolBar1->height();
    f.resize(800, 743);
    QTest::qWait(20);
    QCOMPARE(f.ListBox1->height(), listHeight + 200);
    QCOMPARE(f.PageControl2->height(), 139);
    QCOMPARE(f.ToolBar1->height(), toolBarHeight);
    QCOMPARE(f.ToolBar1->height(), 54);
    QCOMPARE(f.StatusBar1->height(), 19);
  }

  void optionClickOrder() {
    TForm1& f = *form_;
    QVERIFY(f.ChkAlterTag->IsOn());
    const std::pair<Qt::CheckState, bool> after[] = {{Qt::Checked, true},
                                                     {Qt::Unchecked, false},
                                                     {Qt::Checked, true},
                                                     {Qt::Unchecked, false},
                                                     {Qt::Checked, true}};
    f.PageControl2->setCurrentWidget(f.TabSheet5);
    for (const auto& [state, on] : after) {
      QTest::mouseClick(f.ChkAlterTag, Qt::LeftButton);
      QCOMPARE(f.ChkAlterTag->checkState(), state);
      QCOMPARE(f.ChkAlterTag->IsOn(), on);
    }
    // Clicking the option's text changes nothing.
    QTest::mouseClick(f.lblChkAlterTag, Qt::LeftButton);
    QCOMPARE(f.ChkAlterTag->checkState(), Qt::Checked);
    // Space on the focused box follows the same order.
    f.ChkAlterTag->setFocus();
    QTest::keyClick(f.ChkAlterTag, Qt::Key_Space);
    QCOMPARE(f.ChkAlterTag->checkState(), Qt::Unchecked);
  }

  void addFileThroughTheOpenDialog() {
    TForm1& f = *form_;
    dialogs_->files = {std::string("/texts/a.txt"), std::nullopt, std::string("/texts/a.txt"),
                       std::string("/Texts/A.TXT"), std::string("/texts/b.txt")};
    for (int i = 0; i < 5; ++i) QTest::mouseClick(f.BtnAddFile, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"/texts/a.txt", "/Texts/A.TXT", "/texts/b.txt"}));
    QVERIFY(dialogs_->shown.empty());
    QCOMPARE(f.ListModel->data(f.ListModel->index(2), Qt::DisplayRole).toString(),
             U("/texts/b.txt"));
  }

  void dropsOnTheListOnly() {
    TForm1& f = *form_;
    Fill("X");
    const QString a = dir_->filePath(U("甲.txt"));
    Drop(f, {a, U("/bin/Setup.EXE"), U("/texts/page.html"), U("/tools/WinRAR"), a});
    QCOMPARE(ListedPaths(f), QStringList({U("X"), a, U("/texts/page.html"), a}));
    QVERIFY(dialogs_->shown.empty());
    // A dropped path is listed as bytes and shown decoded.
    QCOMPARE(f.Files().Path(1), QFile::encodeName(a).toStdString());
    QCOMPARE(f.ListModel->data(f.ListModel->index(1), Qt::DisplayRole).toString(), a);
  }

  void aDropIsAlwaysACopy_data() {
    QTest::addColumn<int>("actions");
    QTest::addColumn<int>("keys");
    QTest::addColumn<bool>("taken");
    QTest::newRow("copy") << int(Qt::CopyAction) << int(Qt::NoModifier) << true;
    QTest::newRow("copy or move") << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::NoModifier)
                                  << true;
    // Shift asks the source for a move; the list still only copies the names.
    QTest::newRow("move asked for")
        << int(Qt::CopyAction | Qt::MoveAction) << int(Qt::ShiftModifier) << true;
    QTest::newRow("move only") << int(Qt::MoveAction) << int(Qt::NoModifier) << false;
  }

  void aDropIsAlwaysACopy() {
    // A source told "moved" may delete the originals: the list never answers so.
    QFETCH(int, actions);
    QFETCH(int, keys);
    QFETCH(bool, taken);
    TForm1& f = *form_;
    const QString a = dir_->filePath(U("a.txt"));
    WriteFile(QFile::encodeName(a).toStdString(), "x");
    const std::optional<Qt::DropAction> answer =
        Drop(f, {a}, Qt::DropActions(actions), Qt::KeyboardModifiers(keys));
    QCOMPARE(answer, taken ? std::optional(Qt::CopyAction) : std::nullopt);
    QCOMPARE(ListedPaths(f), taken ? QStringList({a}) : QStringList());
    QVERIFY(QFile::exists(a));
  }

  void aDropBeyondWhatTheListTakesEndsThroughTheErrorDisplay() {
    TForm1& f = *form_;
    Fill("X");
    f.Files().SetMaxCount(3);
    Drop(f, {U("/t/1.txt"), U("/t/2.exe"), U("/t/3.txt"), U("/t/4.txt"), U("/t/5.txt")});
    QCOMPARE(ListedPaths(f), QStringList({"X", "/t/1.txt", "/t/3.txt"}));
    QCOMPARE(f.ListModel->rowCount(), 3);
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));
    QCOMPARE(dialogs_->shown[0].text, U("Unable to insert a line."));
    QCOMPARE(dialogs_->shown[0].caption, U("Orvela"));
    QCOMPARE(dialogs_->shown[0].icon, DialogHost::Icon::Stop);
    // The add-file command fails the same way; a path already listed is no error.
    dialogs_->files = {std::string("/t/1.txt"), std::string("/t/6.txt")};
    QTest::mouseClick(f.BtnAddFile, Qt::LeftButton);
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));
    QTest::mouseClick(f.BtnAddFile, Qt::LeftButton);
    QCOMPARE(dialogs_->shown.size(), std::size_t(2));
    QCOMPARE(f.Files().Count(), 3L);
  }

  void rowsAre13HighAndScrollSidewaysTo1024() {
    TForm1& f = *form_;
    Fill("AB");
    QTest::qWait(20);
    QCOMPARE(f.ListBox1->sizeHintForRow(0), 13);
    QCOMPARE(f.ListBox1->visualRect(f.ListModel->index(1)).top() -
                 f.ListBox1->visualRect(f.ListModel->index(0)).top(),
             13);
    QScrollBar* bar = f.ListBox1->horizontalScrollBar();
    QCOMPARE(bar->maximum() + f.ListBox1->viewport()->width(), 1024);
  }

  void moveUpAndDownShowTheSelection() {
    TForm1& f = *form_;
    Fill("ABCDE");
    SelectRows(f, {1, 2, 4});
    QTest::mouseClick(f.BtnUp, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"B", "C", "A", "E", "D"}));
    QCOMPARE(ViewSelectedRows(f), QList<int>({0, 1, 3}));
    QCOMPARE(f.ListModel->data(f.ListModel->index(3), Qt::DisplayRole).toString(), U("E"));
    // From the view's selection again, the other way.
    SelectRows(f, {0, 1, 3});
    QTest::mouseClick(f.BtnDown, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"A", "B", "C", "D", "E"}));
    QCOMPARE(ViewSelectedRows(f), QList<int>({1, 2, 4}));
    QTest::mouseClick(f.BtnDown, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"A", "D", "B", "C", "E"}));
    QCOMPARE(ViewSelectedRows(f), QList<int>({2, 3, 4}));
  }

  void clicksSelectInTheList() {
    // Click, Ctrl+click, Shift+click reach the list's flags and its current item.
    TForm1& f = *form_;
    Fill("ABCDE");
    QTest::qWait(20);
    auto at = [&](int row) { return f.ListBox1->visualRect(f.ListModel->index(row)).center(); };
    QWidget* viewport = f.ListBox1->viewport();
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at(1));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, at(3));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, at(4));
    QCOMPARE(f.Files().Current(), 4L);
    auto flags = [&] {
      QString s;
      for (long i = 0; i < f.Files().Count(); ++i) s += f.Files().Selected(i) ? '1' : '0';
      return s;
    };
    QCOMPARE(flags(), U("01011"));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ControlModifier, at(4));  // toggles off
    QCOMPARE(flags(), U("01010"));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, at(0));
    QTest::mouseClick(viewport, Qt::LeftButton, Qt::ShiftModifier, at(2));
    QCOMPARE(flags(), U("11100"));
    QTest::mouseClick(f.BtnDown, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"D", "A", "B", "C", "E"}));
    QCOMPARE(ViewSelectedRows(f), QList<int>({1, 2, 3}));
  }

  void deleteKeyWithAnyModifier_data() {
    QTest::addColumn<int>("modifiers");
    QTest::newRow("none") << int(Qt::NoModifier);
    QTest::newRow("shift") << int(Qt::ShiftModifier);
    QTest::newRow("ctrl") << int(Qt::ControlModifier);
    QTest::newRow("alt") << int(Qt::AltModifier);
    QTest::newRow("ctrl+shift+alt")
        << int(Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
  }

  void deleteKeyWithAnyModifier() {
    QFETCH(int, modifiers);
    TForm1& f = *form_;
    Fill("ABCDE");
    SelectRows(f, {1, 3});
    f.ListBox1->setFocus();
    QTest::keyClick(f.ListBox1, Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(ListedPaths(f), QStringList({"A", "C", "E"}));
    QVERIFY(ViewSelectedRows(f).isEmpty());
    // Another key removes nothing.
    SelectRows(f, {0});
    QTest::keyClick(f.ListBox1, Qt::Key_Backspace, Qt::KeyboardModifiers(modifiers));
    QCOMPARE(f.Files().Count(), 3);
    QVERIFY(dialogs_->shown.empty());
  }

  void removeSelectedAndRemoveAll() {
    TForm1& f = *form_;
    QTest::mouseClick(f.BtnDelete, Qt::LeftButton);  // empty list: nothing
    QTest::mouseClick(f.BtnDeleteAll, Qt::LeftButton);
    QCOMPARE(f.Files().Count(), 0);
    Fill("ABCDE");
    SelectRows(f, {0, 4});
    QTest::mouseClick(f.BtnDelete, Qt::LeftButton);
    QCOMPARE(ListedPaths(f), QStringList({"B", "C", "D"}));
    QTest::mouseClick(f.BtnDelete, Qt::LeftButton);  // nothing selected: nothing
    QCOMPARE(f.Files().Count(), 3);
    QTest::mouseClick(f.BtnDeleteAll, Qt::LeftButton);
    QCOMPARE(f.Files().Count(), 0);
    QCOMPARE(f.ListModel->rowCount(), 0);
    QVERIFY(dialogs_->shown.empty());
    // The paths went with their entries.
    QVERIFY(f.ListModel->AddUnlessPresent("B"));
  }

  void doubleClickAsksBeforeOpening() {
    TForm1& f = *form_;
    const std::string path = Temp("说明.txt");
    Fill("A");
    f.ListModel->Append(path);
    QTest::qWait(20);
    const QRect row = f.ListBox1->visualRect(f.ListModel->index(1));
    // Only the left button's double-click asks.
    QTest::mouseDClick(f.ListBox1->viewport(), Qt::RightButton, Qt::NoModifier, row.center());
    QTest::mouseDClick(f.ListBox1->viewport(), Qt::MiddleButton, Qt::NoModifier, row.center());
    QVERIFY(dialogs_->shown.empty());
    dialogs_->answers = {false, true};
    QTest::mouseDClick(f.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QVERIFY(dialogs_->opened.empty());
    QTest::mouseDClick(f.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QCOMPARE(dialogs_->opened, std::vector<std::string>{path});
    QCOMPARE(dialogs_->shown.size(), std::size_t(2));
    const auto& question = dialogs_->shown[0];
    QCOMPARE(question.kind, U("yesno"));
    QCOMPARE(question.text, U("要打开文件“") + QFile::decodeName(path.c_str()) + U("”吗？"));
    QCOMPARE(question.caption, U("Orvela"));
  }

  void theOpenerGetsEveryByteOfThePath() {
    // Names that are no valid UTF-8 are listed as they are; the desktop's opener must
    // get the same bytes, not what the display decoded them to.
    const std::string paths[] = {"/texts/a.txt", "/texts/a b#c?d%e.txt", "/文本/说明.txt",
                                 "/texts/\xFF\xB0x.txt", "//texts/a.txt"};
    for (const std::string& path : paths) {
      const QUrl url = orvela::LocalFileUrl(path);
      QVERIFY2(url.isValid() && url.isLocalFile(), path.c_str());
      QCOMPARE(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()),
               QByteArray::fromStdString(path));
      QCOMPARE(QUrl::fromEncoded(url.toEncoded()), url);
    }
    // Where the bytes are text, the address is the usual one.
    QCOMPARE(orvela::LocalFileUrl("/文本/说明.txt"), QUrl::fromLocalFile(U("/文本/说明.txt")));
  }

  void doubleClickOnAnEmptyListShowsTheIndexError() {
    TForm1& f = *form_;
    QTest::mouseDClick(f.ListBox1->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 20));
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));
    const auto& box = dialogs_->shown[0];
    QCOMPARE(box.kind, U("message"));
    QCOMPARE(box.text, U("List index out of bounds (-1)"));  // ends in ")": no full stop
    QCOMPARE(box.caption, U("Orvela"));
    QCOMPARE(box.icon, DialogHost::Icon::Stop);
    QVERIFY(dialogs_->opened.empty());
  }

  void convertNeedsAModeAndAList() {
    TForm1& f = *form_;
    const std::string file = Temp("a.txt");
    WriteFile(file, "\xBA\xBA\xD7\xD6");
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);  // no mode, no list
    f.ListModel->Append(file);
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);  // no mode
    f.RbGB2GBK->setChecked(true);
    f.ListModel->Clear();
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);  // empty list
    QVERIFY(dialogs_->shown.empty());
    QVERIFY(dialogs_->cursorChanges.empty());
    QCOMPARE(ReadFile(file), std::string("\xBA\xBA\xD7\xD6"));
  }

  void convertCancelledTouchesNothing() {
    TForm1& f = *form_;
    const std::string file = Temp("a.txt");
    WriteFile(file, "\xBA\xBA\xD7\xD6");
    f.ListModel->Append(file);
    f.RbGB2GBK->setChecked(true);
    dialogs_->answers = {false};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));
    const auto& confirm = dialogs_->shown[0];
    QCOMPARE(confirm.kind, U("okcancel"));
    QCOMPARE(confirm.caption, U("确定要进行编码转换吗？"));
    QCOMPARE(confirm.text, U("为防止可能的意外，在转换文件编码之前请务必对您的原文件进行备份！\n"
                             "\n"
                             "如果您还没有对原文件进行备份，请点击“取消”按钮，\n"
                             "先对原文件进行备份后，再使用本软件进行处理。"));
    QVERIFY(dialogs_->cursorChanges.empty());
    QCOMPARE(ReadFile(file), std::string("\xBA\xBA\xD7\xD6"));
  }

  void convertRunsTheCheckedModeInListOrder_data() {
    QTest::addColumn<int>("mode");
    for (orvela::ConversionMode mode : orvela::kAllModes)
      QTest::newRow(std::string(orvela::ModeName(mode)).c_str()) << int(mode);
  }

  void convertRunsTheCheckedModeInListOrder() {
    QFETCH(int, mode);
    TForm1& f = *form_;
    const auto chosen = static_cast<orvela::ConversionMode>(mode);
    const std::pair<QRadioButton*, orvela::ConversionMode> radios[] = {
        {f.RbGB2GBK, orvela::ConversionMode::RbGB2GBK},
        {f.RbGBK2GB, orvela::ConversionMode::RbGBK2GB},
        {f.RbGB2Big5, orvela::ConversionMode::RbGB2Big5},
        {f.RbBig52GB, orvela::ConversionMode::RbBig52GB},
        {f.RbBig52GBK, orvela::ConversionMode::RbBig52GBK},
        {f.RbGBK2Big5, orvela::ConversionMode::RbGBK2Big5}};
    for (const auto& [radio, m] : radios)
      if (m == chosen) QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(5, 8));
    QCOMPARE(f.ChosenMode(), std::optional(chosen));
    // GBK 汉字 and Big5 漢字, each in a file of its own, in list order.
    const std::string inputs[] = {"\xBA\xBA\xD7\xD6", "\xBA\x7E\xA6\x72"};
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
      files.push_back(Temp(std::to_string(files.size()).c_str()));
      WriteFile(files.back(), input);
      f.ListModel->Append(files.back());
    }
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    for (std::size_t i = 0; i < files.size(); ++i)
      QCOMPARE(ReadFile(files[i]), orvela::ApplyMode(chosen, inputs[i]));
    QCOMPARE(dialogs_->shown.back().text, U("编码转换完成！"));
  }

  void convertShowsCompletionAndFilesLeftAlone() {
    TForm1& f = *form_;
    const std::string gb = "\xBA\xBA\xD7\xD6";  // 汉字 in GBK
    const std::string first = Temp("1.txt"), second = Temp("2.txt");
    const std::string missing = Temp("gone.txt");
    WriteFile(first, gb);
    WriteFile(second, gb);
    for (const std::string& p : {first, missing, second}) f.ListModel->Append(p);
    f.RbGB2GBK->setChecked(true);
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    const std::string expected = orvela::ApplyMode(orvela::ConversionMode::RbGB2GBK, gb);
    QVERIFY(expected != gb);
    QCOMPARE(ReadFile(first), expected);
    QCOMPARE(ReadFile(second), expected);
    QCOMPARE(dialogs_->shown.size(), std::size_t(2));
    const auto& done = dialogs_->shown[1];
    QCOMPARE(done.kind, U("report"));
    QCOMPARE(done.caption, U("Orvela"));
    QCOMPARE(done.text, U("编码转换完成！\n已转换 2 个文件，1 个文件未改动。"));
    QVERIFY(done.details.startsWith(U("以下文件未改动：\n")));
    QVERIFY(done.details.contains(QFile::decodeName(missing.c_str())));
    QVERIFY(!done.details.contains(QFile::decodeName(first.c_str())));
    // Busy from the run to the closing of the completion box, then back.
    QVERIFY(dialogs_->busyWhileShown);
    QCOMPARE(dialogs_->cursorChanges, std::vector<bool>({true, false}));
    QCOMPARE(f.Files().Count(), 3);  // the run only reads the list
  }

  void convertWriteFailureEndsTheRunThroughTheErrorDisplay() {
    TForm1& f = *form_;
    const std::string gb = "\xBA\xBA\xD7\xD6";
    std::vector<std::string> files;
    for (const char* name : {"1.txt", "2.txt", "3.txt", "4.txt", "5.txt"}) {
      files.push_back(Temp(name));
      WriteFile(files.back(), gb);
      f.ListModel->Append(files.back());
    }
    orvela::FailWritesAfterForTesting(0, files[2]);
    f.RbGB2GBK->setChecked(true);
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    const std::string expected = orvela::ApplyMode(orvela::ConversionMode::RbGB2GBK, gb);
    QCOMPARE(ReadFile(files[0]), expected);
    QCOMPARE(ReadFile(files[1]), expected);
    for (int i = 2; i < 5; ++i) QCOMPARE(ReadFile(files[i]), gb);
    QCOMPARE(dialogs_->shown.size(), std::size_t(2));
    const auto& error = dialogs_->shown[1];
    QCOMPARE(error.icon, DialogHost::Icon::Stop);
    QCOMPARE(error.caption, U("Orvela"));
    QCOMPARE(error.text, U("Cannot create file ") + QFile::decodeName(files[2].c_str()) +
                             U(": No space left on device."));
    // The cursor came back before the error box showed.
    QVERIFY(!dialogs_->busyWhileShown);
    QCOMPARE(dialogs_->cursorChanges, std::vector<bool>({true, false}));
  }

  // Three GBK files listed for a run in RbGB2GBK, and what each becomes.
  std::vector<std::string> ListForRun(std::string& converted) {
    const std::string gb = "\xBA\xBA\xD7\xD6";  // 汉字
    converted = orvela::ApplyMode(orvela::ConversionMode::RbGB2GBK, gb);
    std::vector<std::string> files;
    for (const char* name : {"1.txt", "2.txt", "3.txt"}) {
      files.push_back(Temp(name));
      WriteFile(files.back(), gb);
      form_->ListModel->Append(files.back());
    }
    form_->RbGB2GBK->setChecked(true);
    dialogs_->answers = {true};
    return files;
  }

  // While a file is converted the panels show it and the share of bytes done, and only
  // closing is enabled; afterwards the panels are empty and everything is enabled again.
  void convertShowsProgressWithOnlyClosingEnabled() {
    TForm1& f = *form_;
    std::string converted;
    const std::vector<std::string> files = ListForRun(converted);
    QStringList panels;
    QList<bool> enabled;
    connect(&f, &TForm1::RunFileStarted, &f, [&](int, int) {
      panels << f.StatusPanel1->text() + U(" | ") + f.StatusPanel2->text();
      enabled << f.ListBox1->isEnabled() << f.BtnSc2Tc->isEnabled() << f.BtnAddFile->isEnabled()
              << f.BtnExit->isEnabled() << f.X1->isEnabled();
    });
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(
        panels,
        QStringList({U("正在转换 1/3：") + QFile::decodeName(files[0].c_str()) + U(" | 0%"),
                     U("正在转换 2/3：") + QFile::decodeName(files[1].c_str()) + U(" | 33%"),
                     U("正在转换 3/3：") + QFile::decodeName(files[2].c_str()) + U(" | 66%")}));
    for (int i = 0; i < enabled.size(); i += 5)
      QCOMPARE(enabled.mid(i, 5), QList<bool>({false, false, false, true, true}));
    QCOMPARE(f.StatusPanel1->text(), QString());
    QCOMPARE(f.StatusPanel2->text(), QString());
    QVERIFY(f.ListBox1->isEnabled() && f.BtnSc2Tc->isEnabled() && f.BtnAddFile->isEnabled());
    for (const std::string& file : files) QCOMPARE(ReadFile(file), converted);
    QCOMPARE(dialogs_->shown.back().text, U("编码转换完成！"));
  }

  // Esc while the first file is converted: that file is finished, the rest are not reached and
  // the completion message names them.
  void escapeStopsTheRunAfterTheFileBeingWritten() {
    TForm1& f = *form_;
    std::string converted;
    const std::vector<std::string> files = ListForRun(converted);
    connect(&f, &TForm1::RunFileStarted, &f, [&](int k, int) {
      if (k == 1) QTest::keyClick(&f, Qt::Key_Escape);
    });
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(ReadFile(files[0]), converted);
    QCOMPARE(ReadFile(files[1]), std::string("\xBA\xBA\xD7\xD6"));
    QCOMPARE(ReadFile(files[2]), std::string("\xBA\xBA\xD7\xD6"));
    QCOMPARE(dialogs_->shown.back().text, U("编码转换已停止，已转换 1 个文件。"));
    QCOMPARE(dialogs_->shown.back().details, U("以下文件未转换：\n") +
                                                 QFile::decodeName(files[1].c_str()) + U("\n") +
                                                 QFile::decodeName(files[2].c_str()));
    QCOMPARE(f.StatusPanel1->text(), QString());
    QCOMPARE(f.StatusPanel2->text(), QString());
    QVERIFY(f.isVisible());
  }

  // Closing during a run waits for the file being written, saves the type list and ends,
  // without a completion message.
  void closingDuringARunFinishesTheFileSavesAndEnds_data() {
    everyWayOfClosingSavesTheTypeList_data();
  }
  void closingDuringARunFinishesTheFileSavesAndEnds() {
    QFETCH(int, way);
    TForm1& f = *form_;
    std::string converted;
    const std::vector<std::string> files = ListForRun(converted);
    const std::string typeList = Temp("varu_ext.txt");
    connect(&f, &TForm1::RunFileStarted, &f, [&](int k, int) {
      if (k == 2) CloseBy(f, way);
    });
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(ReadFile(files[0]), converted);
    QCOMPARE(ReadFile(files[1]), converted);
    QCOMPARE(ReadFile(files[2]), std::string("\xBA\xBA\xD7\xD6"));
    QVERIFY(!f.isVisible());
    QVERIFY(std::filesystem::exists(typeList));
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));  // the confirmation only
  }

  void convertReadsTheOptionFromTheCheckBox_data() {
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("rewritten");
    QTest::newRow("indeterminate") << 0 << true;
    QTest::newRow("checked") << 1 << true;
    QTest::newRow("unchecked") << 2 << false;
  }

  void convertReadsTheOptionFromTheCheckBox() {
    QFETCH(int, clicks);
    QFETCH(bool, rewritten);
    TForm1& f = *form_;
    const std::string page = Temp("page.htm");
    WriteFile(page,
              "<html>\r\n<meta http-equiv=Content-Type content=text/html;charset=gb2312>\r\n");
    f.ListModel->Append(page);
    for (int i = 0; i < clicks; ++i) QTest::mouseClick(f.ChkAlterTag, Qt::LeftButton);
    f.RbGB2Big5->setChecked(true);
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(ReadFile(page).find("big5") != std::string::npos, rewritten);
    QCOMPARE(ReadFile(page).find("gb2312") != std::string::npos, !rewritten);
  }

  // Phrase-aware unless "逐字转换（不按词语）" is checked; the box keeps its state
  // from one start to the next.
  void byCharacterOptionIsKeptAndUsedByTheRun() {
    TForm1& f = *form_;
    QCOMPARE(f.ChkByChar->text(), U("逐字转换（不按词语）"));
    QCOMPARE(f.ChkByChar->parentWidget(), f.TabSheet5);
    QVERIFY(f.ChkByChar->geometry().top() > f.lblChkAlterTag->geometry().bottom());
    QVERIFY(!f.ChkByChar->isChecked());
    const std::string file = Temp("hair.txt");
    const std::string simplified = "\xCD\xB7\xB7\xA2";  // 头发
    auto convert = [&](TForm1& form) {
      WriteFile(file, simplified);
      form.ListModel->Append(file);
      form.RbGB2GBK->setChecked(true);
      dialogs_->answers = {true};
      QTest::mouseClick(form.BtnSc2Tc, Qt::LeftButton);
      return ReadFile(file);
    };
    QCOMPARE(convert(f), std::string("\xEE\x5E\xF3\x8C"));  // 頭髮
    f.PageControl2->setCurrentWidget(f.TabSheet5);
    QTest::mouseClick(f.ChkByChar, Qt::LeftButton, {}, QPoint(8, 10));  // on the box
    QVERIFY(f.ChkByChar->isChecked());
    {
      TForm1 again;
      QVERIFY(again.ChkByChar->isChecked());
      QCOMPARE(convert(again), std::string("\xEE\x5E\xB0\x6C"));  // 頭發, character by character
      again.ChkByChar->click();
    }
    TForm1 third;
    QVERIFY(!third.ChkByChar->isChecked());
  }

  // "转换前检查文件编码（推荐）" starts checked and leaves a Big5 file alone in a GBK
  // mode, naming it; unchecked, the file is converted. The box keeps its state.
  void encodingCheckOptionIsKeptAndUsedByTheRun() {
    TForm1& f = *form_;
    QCOMPARE(f.ChkCheckEncoding->text(), U("转换前检查文件编码（推荐）"));
    QCOMPARE(f.ChkCheckEncoding->parentWidget(), f.TabSheet5);
    QVERIFY(!f.ChkCheckEncoding->geometry().intersects(f.ChkByChar->geometry()));
    QVERIFY(f.ChkCheckEncoding->isChecked());
    const std::string file = Temp("big5.txt");
    // 繁體中文的編碼轉換，是一件要小心的事情。 twice, in Big5
    const std::string line =
        "\xC1\x63\xC5\xE9\xA4\xA4\xA4\xE5\xAA\xBA\xBD\x73\xBD\x58\xC2\xE0\xB4\xAB\xA1\x41\xAC\x4F"
        "\xA4\x40\xA5\xF3\xAD\x6E\xA4\x70\xA4\xDF\xAA\xBA\xA8\xC6\xB1\xA1\xA1\x43";
    const std::string big5 = line + line;
    WriteFile(file, big5);
    f.ListModel->Append(file);
    f.RbGB2GBK->setChecked(true);
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QCOMPARE(ReadFile(file), big5);
    QVERIFY(dialogs_->shown.back().details.contains(U("看来是 Big5 文本，不是 GBK 文本")));
    f.PageControl2->setCurrentWidget(f.TabSheet5);
    QTest::mouseClick(f.ChkCheckEncoding, Qt::LeftButton, {}, QPoint(8, 10));  // on the box
    QVERIFY(!f.ChkCheckEncoding->isChecked());
    dialogs_->answers = {true};
    QTest::mouseClick(f.BtnSc2Tc, Qt::LeftButton);
    QVERIFY(ReadFile(file) != big5);
    {
      TForm1 again;
      QVERIFY(!again.ChkCheckEncoding->isChecked());
      again.ChkCheckEncoding->click();
    }
    TForm1 third;
    QVERIFY(third.ChkCheckEncoding->isChecked());
  }

  // The list shows a name in GBK, Big5 or neither as text a person can read; the
  // listed path keeps its bytes.
  void namesAreShownDecoded() {
    TForm1& f = *form_;
    const std::string folder = Temp("x").substr(0, Temp("x").size() - 1);     // ends with '/'
    const std::string gbk = folder + "\xBC\xF2\xCC\xE5\xD6\xD0\xCE\xC4.txt";  // 简体中文
    const std::string odd = folder + "\x81 x.txt";
    f.ListModel->Append(gbk);
    f.ListModel->Append(odd);
    auto shown = [&](int row) {
      return f.ListModel->data(f.ListModel->index(row), Qt::DisplayRole).toString();
    };
    QVERIFY(shown(0).endsWith(U("简体中文.txt")));
    QVERIFY(shown(1).endsWith(U("\\x81 x.txt")));
    QCOMPARE(f.Files().Path(0), gbk);
    QCOMPARE(f.Files().Path(1), odd);
  }

  // Yes on the open-file question with no program for the file: an error box names it.
  void aFileNoProgramOpensIsNamedInAnErrorBox() {
    TForm1& f = *form_;
    const std::string file = Temp("a.txt");
    f.ListModel->Append(file);
    f.ListModel->List().SetCurrent(0);
    dialogs_->openable = false;
    dialogs_->answers = {true};
    f.ListBox1DblClick();
    QCOMPARE(dialogs_->opened, std::vector<std::string>{file});
    QCOMPARE(dialogs_->shown.size(), std::size_t(2));
    QCOMPARE(dialogs_->shown[1].icon, DialogHost::Icon::Stop);
    QCOMPARE(dialogs_->shown[1].text,
             U("无法打开文件“") + QString::fromStdString(file) + U("”：没有能打开它的程序。"));
  }

  // The Open dialog starts in the folder of the last file added through it, also
  // after a new start.
  void theOpenDialogStartsWhereTheLastFileCameFrom() {
    TForm1& f = *form_;
    dialogs_->files = {std::string("/texts/old/a.txt"), std::nullopt};
    QTest::mouseClick(f.BtnAddFile, Qt::LeftButton);
    QTest::mouseClick(f.BtnAddFile, Qt::LeftButton);  // cancelled: the folder stays
    {
      TForm1 again;
      dialogs_->files = {std::string("/texts/new/b.txt")};
      again.BtnAddFileClick();
    }
    TForm1 third;
    third.BtnAddFileClick();
    QCOMPARE(dialogs_->startFolders,
             (std::vector<std::string>{"", "/texts/old/", "/texts/old/", "/texts/new/"}));
  }

  void linksOpenTheBundledPages() {
    TForm1& f = *form_;
    f.PageControl2->setCurrentWidget(f.TabSheet7);
    QTest::mouseClick(f.lblHome, Qt::LeftButton);
    QTest::mouseClick(f.ToolButton1, Qt::LeftButton);
    QCOMPARE(dialogs_->opened.size(), std::size_t(2));
    const std::string home = ReadFile(dialogs_->opened[0]);
    const std::string encodings = ReadFile(dialogs_->opened[1]);
    QVERIFY(dialogs_->opened[0].ends_with("index.html"));
    QVERIFY(home.find("<html") != std::string::npos && home.find("Orvela") != std::string::npos);
    QVERIFY(encodings.find("GB2312") != std::string::npos &&
            encodings.find("Big5") != std::string::npos &&
            encodings.find("GBK") != std::string::npos);
    QVERIFY(dialogs_->shown.empty());
  }

  void everyWayOfClosingSavesTheTypeList_data() {
    QTest::addColumn<int>("way");
    QTest::newRow("tool button") << 0;
    QTest::newRow("menu") << 1;
    QTest::newRow("frame") << 2;
  }

  void everyWayOfClosingSavesTheTypeList() {
    QFETCH(int, way);
    TForm1& f = *form_;
    const std::string typeList = Temp("varu_ext.txt");
    QVERIFY(!std::filesystem::exists(typeList));
    CloseBy(f, way);
    QVERIFY(!f.isVisible());
    QVERIFY(std::filesystem::exists(typeList));
    QVERIFY(ReadFile(typeList).find("*.txt") != std::string::npos);
    QVERIFY(dialogs_->shown.empty());
  }

  void aFailingSaveKeepsTheWindowOpen_data() { everyWayOfClosingSavesTheTypeList_data(); }

  void aFailingSaveKeepsTheWindowOpen() {
    QFETCH(int, way);
    TForm1& f = *form_;
    const std::string blocked = Temp("missing/varu_ext.txt");
    orvela::SetTypeListFileForTest(blocked);
    CloseBy(f, way);
    QVERIFY(f.isVisible());
    QVERIFY(f.windowHandle() && f.windowHandle()->isVisible());
    QCOMPARE(dialogs_->shown.size(), std::size_t(1));
    QCOMPARE(dialogs_->shown[0].icon, DialogHost::Icon::Stop);
    QCOMPARE(dialogs_->shown[0].caption, U("Orvela"));
    QCOMPARE(dialogs_->shown[0].text, U("Cannot create file ") +
                                          QFile::decodeName(blocked.c_str()) +
                                          U(": No such file or directory."));
    // Once the place can be written, the next close succeeds.
    std::filesystem::create_directory(Temp("missing"));
    CloseBy(f, way);
    QVERIFY(!f.isVisible());
    QVERIFY(std::filesystem::exists(blocked));
  }

  void theQtHostsOpenDialogSettings() {
    orvela::SetDialogs(nullptr);  // the real host
    QStringList shownFilters, comboItems;
    QString suffix;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    QString startedIn;
    QTimer::singleShot(0, [&] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      if (!dialog) return;
      startedIn = dialog->directory().absolutePath();
      shownFilters = dialog->nameFilters();
      for (QComboBox* combo : dialog->findChildren<QComboBox*>(QStringLiteral("fileTypeCombo")))
        for (int i = 0; i < combo->count(); ++i) comboItems << combo->itemText(i);
      suffix = dialog->defaultSuffix();
      mode = dialog->fileMode();
      dialog->reject();
    });
    const auto chosen = orvela::Dialogs().ChooseFileToOpen(form_.get(), dir_->path().toStdString());
    orvela::SetDialogs(dialogs_.get());
    QVERIFY(!chosen);
    QCOMPARE(startedIn, QDir(dir_->path()).absolutePath());
    QCOMPARE(mode, QFileDialog::ExistingFile);
    QCOMPARE(suffix, U("txt"));
    QCOMPARE(shownFilters.size(), 3);
    QCOMPARE(comboItems, QStringList({U("文本文件(*.txt)"),
                                      U("网页文件(*.htm;*.xml,*.asp,*.php等)"), U("所有文件")}));
    QVERIFY(shownFilters[1].endsWith(U("(*.htm *.html *.xml *.asp *.php *.jsp *.css *.js *xsl)")));
  }

  // The real completion box with 300 files left alone stays on the screen, the summary
  // at the top, the list in a scrolling area.
  void theCompletionBoxFitsTheScreen() {
    orvela::SetDialogs(nullptr);
    QString details;
    for (int i = 0; i < 300; ++i)
      details += U("\n/home/user/文件夹/第") + QString::number(i) + U("个文件.txt：文件不存在");
    QSize size, screen;
    QString top;
    bool scrolls = false, okShown = false;
    QTimer::singleShot(0, [&] {
      QWidget* box = QApplication::activeModalWidget();
      if (!box) return;
      size = box->frameGeometry().size();
      screen = box->screen()->availableSize();
      for (QLabel* label : box->findChildren<QLabel*>())
        if (!label->text().isEmpty()) top = label->text();
      for (QPlainTextEdit* list : box->findChildren<QPlainTextEdit*>())
        scrolls = list->verticalScrollBar()->maximum() > 0;
      for (QPushButton* button : box->findChildren<QPushButton*>())
        okShown = button->text() == U("确定") && button->isVisible() &&
                  box->rect().contains(button->geometry());
      if (!qEnvironmentVariableIsEmpty("ORVELA_SHOT"))
        box->grab().save(qEnvironmentVariable("ORVELA_SHOT"));
      QTest::keyClick(box, Qt::Key_Return);
    });
    orvela::Dialogs().ShowReport(form_.get(),
                                 U("编码转换完成！\n已转换 0 个文件，300 个文件未改动。"),
                                 U("以下文件未改动：") + details, U("Orvela"));
    orvela::SetDialogs(dialogs_.get());
    QVERIFY(size.isValid());
    QVERIFY(size.height() <= screen.height() && size.width() <= screen.width());
    QCOMPARE(top, U("编码转换完成！\n已转换 0 个文件，300 个文件未改动。"));
    QVERIFY(scrolls);
    QVERIFY(okShown);
  }

  void theQtHostsQuestionBoxes() {
    orvela::SetDialogs(nullptr);
    QString yesText, noText, defaultText;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      yesText = box->button(QMessageBox::Yes)->text();
      noText = box->button(QMessageBox::No)->text();
      defaultText = box->defaultButton()->text();
      QTest::keyClick(box, Qt::Key_Return);  // the default answers
    });
    const bool yes = orvela::Dialogs().AskYesNo(form_.get(), U("q"), U("Orvela"));
    QString okDefault;
    QTimer::singleShot(0, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      if (!box) return;
      okDefault = box->defaultButton()->text();
      QTest::keyClick(box, Qt::Key_Return);
    });
    const bool ok = orvela::Dialogs().AskOkCancel(form_.get(), U("q"), U("c"));
    orvela::SetDialogs(dialogs_.get());
    QVERIFY(yes);
    QCOMPARE(yesText, U("是(&Y)"));
    QCOMPARE(noText, U("否(&N)"));
    QCOMPARE(defaultText, yesText);
    QVERIFY(!ok);  // Cancel is the default
    QCOMPARE(okDefault, U("取消"));
  }

  void aCloseDuringTheRecursiveImportSavesAtOnceAndEndsAfterIt() {
    TForm1& f = *form_;
    const std::string typeList = Temp("varu_ext.txt");
    const std::string root = Temp("tree");
    int files = 0;
    for (const char* folder : {"", "/a", "/a/b", "/c"}) {
      std::filesystem::create_directories(root + folder);
      for (const char* name : {"/1.txt", "/2.txt", "/3.dat"}) {
        WriteFile(root + folder + name, "x");
        files += std::string(name).ends_with(".txt");
      }
    }
    dialogs_->onExecModal = [&](QDialog*) {
      orvela::Form3->SelectFolder(root);
      orvela::Form3->CheckBox1->setChecked(true);
      return 1;
    };
    int turns = 0;
    long listedAtClose = -1;
    bool savedAtClose = false;
    dialogs_->onProcessEvents = [&] {
      if (++turns == 3) QMetaObject::invokeMethod(&f, &TForm1::close, Qt::QueuedConnection);
      if (turns == 4) {
        listedAtClose = f.Files().Count();
        savedAtClose = std::filesystem::exists(typeList);
      }
    };
    QTimer::singleShot(0, f.BtnOpenFolder, [&] { f.BtnOpenFolder->click(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(1); });  // a safety net
    const int code = QApplication::exec();
    QCOMPARE(code, 0);
    QVERIFY(savedAtClose);  // FormClose ran at once, in the middle of the import
    QVERIFY(listedAtClose >= 0 && listedAtClose < files);
    QCOMPARE(f.Files().Count(), long(files));  // and the import went on to its end
    QVERIFY(!f.isVisible());
    QVERIFY(dialogs_->shown.empty());
  }
};

QTEST_MAIN(MainWindowTest)
#include "test_main_window.moc"
