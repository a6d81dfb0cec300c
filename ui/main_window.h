// TForm1, the main window: menu, tool bar, the file list box, the five pages, the
// status bar; its handlers are the program's commands.
#pragma once

#include <QMainWindow>
#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "conversion/modes.h"

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStatusBar;
class QTabWidget;
class QToolBar;
class QToolButton;

namespace orvela {

class FileList;
class FileListModel;
class TClickLabel;
class TFileListBox;
class TOptionCheckBox;

class TForm1 : public QMainWindow {
  Q_OBJECT

 public:
  // Builds the window and runs FormCreate; an error there is shown and creation goes on.
  explicit TForm1(QWidget* parent = nullptr);

  FileList& Files();

  // Components, named as the handlers know them.
  QMenuBar* MainMenu1;
  QMenu* F1;
  QAction* X1;
  QStatusBar* StatusBar1;
  QLabel* StatusPanel1;  // during a run: "正在转换 k/n：<file>"
  QLabel* StatusPanel2;  // during a run: the percentage of bytes done
  QFrame* Panel3;
  QToolBar* ToolBar1;
  QToolButton* BtnOpenFolder;
  QToolButton* BtnAddFile;
  QAction* ToolButton3;
  QToolButton* BtnUp;
  QToolButton* BtnDown;
  QAction* ToolButton6;
  QToolButton* BtnDelete;
  QToolButton* BtnDeleteAll;
  QAction* ToolButton10;
  QToolButton* ToolButton1;
  QToolButton* BtnExit;
  FileListModel* ListModel;
  TFileListBox* ListBox1;
  QTabWidget* PageControl2;
  QWidget* TabSheet3;
  QRadioButton* RbBig52GB;
  QRadioButton* RbBig52GBK;
  QRadioButton* RbGB2Big5;
  QRadioButton* RbGB2GBK;
  QPushButton* BtnSc2Tc;
  QRadioButton* RbGBK2GB;
  QRadioButton* RbGBK2Big5;
  QWidget* TabSheet5;
  QLabel* lblChkAlterTag;
  TOptionCheckBox* ChkAlterTag;
  QCheckBox* ChkByChar;         // character for character instead of by phrase
  QCheckBox* ChkCheckEncoding;  // leave alone files not in the mode's source code page
  QWidget* TabSheet4;
  QPlainTextEdit* Memo1;
  QWidget* TabSheet6;
  QPlainTextEdit* Memo2;
  QWidget* TabSheet7;
  QLabel* Image1;
  QLabel* lblVersion;
  QLabel* lblEmail;
  TClickLabel* lblHome;

  // Handlers.
  void FormCreate();
  void BtnExitClick();
  void X1Click();
  void lblHomeClick();
  void ToolButton1Click();
  void BtnOpenFolderClick();
  void BtnAddFileClick();
  void BtnUpClick();
  void BtnDownClick();
  void BtnDeleteClick();
  void BtnDeleteAllClick();
  void ListBox1DblClick();
  void ListBox1KeyDown(int key, Qt::KeyboardModifiers shift);
  void AddDroppedFiles(const std::vector<std::string>& names);
  void BtnSc2TcClick();

  // The mode of the checked radio button, if any.
  std::optional<ConversionMode> ChosenMode() const;

  bool Running() const { return running_; }

 signals:
  // A file of a run has begun: k from 1 of n. Shown before the file is read.
  void RunFileStarted(int k, int n);

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void FormClose(QCloseEvent* event);
  void BuildMenu();
  void BuildToolBar();
  void BuildPages();
  void BuildConversionPage();
  void BuildOptionsPage();
  void BuildTextPages();
  void BuildAboutPage();
  void BuildStatusBar();
  void ConnectHandlers();
  QToolButton* AddToolButton(const QString& caption, const QString& hint, int picture);
  void SetRunning(bool running);

  bool running_ = false;
  bool closeAfterRun_ = false;  // closing was asked for during the run
  std::atomic<bool> stopRun_{false};
};

// The single main window, once created.
extern TForm1* Form1;

}  // namespace orvela
