#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMetaObject>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>

#include "conversion/display_name.h"
#include "conversion/run.h"
#include "filelist/non_text_file.h"
#include "ui/application_title.h"
#include "ui/bundled_pages.h"
#include "ui/click_label.h"
#include "ui/dialogs.h"
#include "ui/error_display.h"
#include "ui/file_list_box.h"
#include "ui/file_list_model.h"
#include "ui/folder_import.h"
#include "ui/option_check_box.h"
#include "ui/saved_options.h"

namespace orvela {

TForm1* Form1 = nullptr;

namespace {

const char kOptionText[] =
    "Big5 编码的网页文件更改为GB2312编码；或GB2312 编码的网页文件改为 "
    "Big5编码时，同步修改网页文件的charset 中字符编码标签";

const char kConfirmText[] =
    "为防止可能的意外，在转换文件编码之前请务必对您的原文件进行备份！\n"
    "\n"
    "如果您还没有对原文件进行备份，请点击“取消”按钮，\n"
    "先对原文件进行备份后，再使用本软件进行处理。";

// The busy cursor for the time of a run; back to the default also when the run
// ends with an error, before the error display shows it.
class BusyCursor {
 public:
  BusyCursor() { Dialogs().SetBusyCursor(true); }
  ~BusyCursor() { Dialogs().SetBusyCursor(false); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
};

}  // namespace

FileList& TForm1::Files() {
  return ListModel->List();
}

void TForm1::ConnectHandlers() {
  // Every handler runs under the error display.
  auto on = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
    connect(sender, signal, this, [this, handler] { Guarded([&] { (this->*handler)(); }); });
  };
  on(X1, &QAction::triggered, &TForm1::X1Click);
  on(BtnOpenFolder, &QToolButton::clicked, &TForm1::BtnOpenFolderClick);
  on(BtnAddFile, &QToolButton::clicked, &TForm1::BtnAddFileClick);
  on(BtnUp, &QToolButton::clicked, &TForm1::BtnUpClick);
  on(BtnDown, &QToolButton::clicked, &TForm1::BtnDownClick);
  on(BtnDelete, &QToolButton::clicked, &TForm1::BtnDeleteClick);
  on(BtnDeleteAll, &QToolButton::clicked, &TForm1::BtnDeleteAllClick);
  on(ToolButton1, &QToolButton::clicked, &TForm1::ToolButton1Click);
  on(BtnExit, &QToolButton::clicked, &TForm1::BtnExitClick);
  on(BtnSc2Tc, &QPushButton::clicked, &TForm1::BtnSc2TcClick);
  on(lblHome, &TClickLabel::Clicked, &TForm1::lblHomeClick);
  on(ListBox1, &TFileListBox::DoubleClicked, &TForm1::ListBox1DblClick);
  connect(ListBox1, &TFileListBox::KeyDown, this, [this](int key, Qt::KeyboardModifiers shift) {
    Guarded([&] { ListBox1KeyDown(key, shift); });
  });
  connect(
      ListBox1, &TFileListBox::FilesDropped, this,
      [this](const std::vector<std::string>& names) { Guarded([&] { AddDroppedFiles(names); }); });
}

void TForm1::FormCreate() {
  setWindowTitle(ApplicationTitle());
  lblVersion->setText(ApplicationTitle() + QStringLiteral(" 1.62 版"));
  lblChkAlterTag->setText(QString::fromUtf8(kOptionText));
  for (auto [box, option] : {std::pair{ChkByChar, SavedOption::kByCharacter},
                             std::pair{ChkCheckEncoding, SavedOption::kCheckEncoding}}) {
    box->setChecked(LoadOption(option));
    connect(box, &QCheckBox::toggled, this, [option](bool on) { SaveOption(option, on); });
  }
  // Only the list box takes dropped files.
  ListBox1->setAcceptDrops(true);
  ListBox1->viewport()->setAcceptDrops(true);
}

void TForm1::closeEvent(QCloseEvent* event) {
  // The close goes ahead only when FormClose gets to its end.
  event->ignore();
  if (running_) {
    // The file being written is finished first; the run's handler then closes the window.
    closeAfterRun_ = true;
    stopRun_ = true;
    return;
  }
  Guarded([&] { FormClose(event); });
}

void TForm1::keyPressEvent(QKeyEvent* event) {
  if (running_ && event->key() == Qt::Key_Escape) {
    stopRun_ = true;
    return;
  }
  QMainWindow::keyPressEvent(event);
}

void TForm1::SetRunning(bool running) {
  running_ = running;
  // Every command but closing waits for the run to end.
  for (QWidget* w :
       std::initializer_list<QWidget*>{ListBox1, PageControl2, BtnOpenFolder, BtnAddFile, BtnUp,
                                       BtnDown, BtnDelete, BtnDeleteAll, ToolButton1})
    w->setEnabled(!running);
  if (!running) {
    StatusPanel1->clear();
    StatusPanel2->clear();
  }
}

void TForm1::FormClose(QCloseEvent* event) {
  SaveFileTypeList();
  event->accept();
}

void TForm1::BtnExitClick() {
  close();
}
void TForm1::X1Click() {
  close();
}
void TForm1::lblHomeClick() {
  OpenBundledPage(BundledPage::Home);
}
void TForm1::ToolButton1Click() {
  OpenBundledPage(BundledPage::Encodings);
}

void TForm1::BtnOpenFolderClick() {
  ImportFolder([this](const std::string& path) { ListModel->AddUnlessPresent(path); });
}

void TForm1::BtnAddFileClick() {
  std::optional<std::string> path = Dialogs().ChooseFileToOpen(this, LoadOpenFolder());
  if (!path) return;
  // The next opening starts where this file was found.
  SaveOpenFolder(path->substr(0, path->rfind('/') + 1));
  ListModel->AddUnlessPresent(std::move(*path));
}

void TForm1::BtnUpClick() {
  ListModel->MoveUp();
  ListBox1->ShowListSelection();
}

void TForm1::BtnDownClick() {
  ListModel->MoveDown();
  ListBox1->ShowListSelection();
}

void TForm1::BtnDeleteClick() {
  ListModel->RemoveSelected();
  ListBox1->ShowListSelection();
}

void TForm1::BtnDeleteAllClick() {
  ListModel->Clear();
}

void TForm1::ListBox1KeyDown(int key, Qt::KeyboardModifiers) {
  if (key == Qt::Key_Delete) BtnDeleteClick();
}

void TForm1::ListBox1DblClick() {
  const std::string path = Files().Path(Files().Current());
  const QString question = QStringLiteral("要打开文件“") +
                           QString::fromStdString(DisplayName(path)) + QStringLiteral("”吗？");
  if (Dialogs().AskYesNo(this, question, ApplicationTitle())) OpenOrSay(this, path);
}

void TForm1::AddDroppedFiles(const std::vector<std::string>& names) {
  // In the drop's order, without the add-unless-present test.
  for (const std::string& name : names)
    if (!IsNonTextFile(name)) ListModel->Append(name);
}

std::optional<ConversionMode> TForm1::ChosenMode() const {
  const std::pair<QRadioButton*, ConversionMode> buttons[] = {
      {RbGB2GBK, ConversionMode::RbGB2GBK},     {RbGBK2GB, ConversionMode::RbGBK2GB},
      {RbGB2Big5, ConversionMode::RbGB2Big5},   {RbBig52GB, ConversionMode::RbBig52GB},
      {RbBig52GBK, ConversionMode::RbBig52GBK}, {RbGBK2Big5, ConversionMode::RbGBK2Big5}};
  for (const auto& [button, mode] : buttons)
    if (button->isChecked()) return mode;
  return std::nullopt;
}

void TForm1::BtnSc2TcClick() {
  const std::optional<ConversionMode> mode = ChosenMode();
  if (!mode || Files().Count() == 0) return;
  if (!Dialogs().AskOkCancel(this, QString::fromUtf8(kConfirmText),
                             QStringLiteral("确定要进行编码转换吗？")))
    return;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(Files().Count()));
  for (long i = 0; i < Files().Count(); ++i) paths.push_back(Files().Path(i));

  // The latest progress, shown when the event loop gets to it; one update waits at a time.
  struct Shared {
    std::mutex mutex;
    RunProgress latest;
    bool queued = false;
    bool over = false;  // an update that comes after the run shows nothing
  };
  auto shared = std::make_shared<Shared>();
  auto show = [this, shared] {
    RunProgress p;
    {
      std::lock_guard lock(shared->mutex);
      p = shared->latest;
      shared->queued = false;
    }
    if (shared->over) return;
    StatusPanel1->setText(QStringLiteral("正在转换 %1/%2：%3")
                              .arg(p.file + 1)
                              .arg(p.files)
                              .arg(QString::fromStdString(DisplayName(p.path))));
    const std::uint64_t percent = p.bytesTotal ? p.bytesDone * 100 / p.bytesTotal : 100;
    StatusPanel2->setText(QStringLiteral("%1%").arg(std::min<std::uint64_t>(percent, 100)));
  };
  RunOptions options{
      .alterCharsetTag = ChkAlterTag->IsOn(),
      .mapping = ChkByChar->isChecked() ? CharMapping::kByCharacter : CharMapping::kPhrases,
      .checkEncoding = ChkCheckEncoding->isChecked(),
      .progress =
          [this, shared, show](const RunProgress& p) {
            bool post;
            {
              std::lock_guard lock(shared->mutex);
              shared->latest = p;
              post = !shared->queued;
              shared->queued = true;
            }
            if (p.fileStarts) {
              // The window shows each file before it is read, so that a stop asked for on
              // seeing it ends the run once that file is done.
              QMetaObject::invokeMethod(
                  this,
                  [this, show, k = static_cast<int>(p.file) + 1, n = static_cast<int>(p.files)] {
                    show();
                    emit RunFileStarted(k, n);
                  },
                  Qt::BlockingQueuedConnection);
            } else if (post) {
              QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
            }
          },
      .stop = &stopRun_};

  BusyCursor busy;
  stopRun_ = false;
  closeAfterRun_ = false;
  SetRunning(true);
  RunReport report;
  std::exception_ptr failure;
  QEventLoop loop;
  // The run goes on off the event thread; the window keeps drawing and answering meanwhile.
  std::thread worker([&] {
    try {
      report = RunConversion(paths, *mode, options);
    } catch (...) {
      failure = std::current_exception();
    }
    QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
  });
  loop.exec();
  worker.join();
  shared->over = true;
  SetRunning(false);
  if (closeAfterRun_) {
    close();
    if (failure) std::rethrow_exception(failure);
    return;
  }
  if (failure) std::rethrow_exception(failure);
  Dialogs().ShowReport(this, QString::fromStdString(CompletionSummary(report)),
                       QString::fromStdString(CompletionDetails(report, true)), ApplicationTitle());
}

}  // namespace orvela
