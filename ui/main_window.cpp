#include "ui/main_window.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
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
  Guarded([&] { FormClose(event); });
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
  BusyCursor busy;
  std::vector<std::string> paths;
  paths.reserve(static_cast<std::size_t>(Files().Count()));
  for (long i = 0; i < Files().Count(); ++i) paths.push_back(Files().Path(i));
  const RunReport report = RunConversion(
      paths, *mode,
      {.alterCharsetTag = ChkAlterTag->IsOn(),
       .mapping = ChkByChar->isChecked() ? CharMapping::kByCharacter : CharMapping::kPhrases,
       .checkEncoding = ChkCheckEncoding->isChecked()});
  Dialogs().ShowReport(this, QString::fromStdString(CompletionSummary(report)),
                       QString::fromStdString(CompletionDetails(report, true)), ApplicationTitle());
}

}  // namespace orvela
