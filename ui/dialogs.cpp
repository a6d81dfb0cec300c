#include "ui/dialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStringList>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "conversion/display_name.h"
#include "ui/application_title.h"
#include "ui/local_file_url.h"

namespace orvela {

namespace {

QMessageBox::Icon ToQt(DialogHost::Icon icon) {
  switch (icon) {
    case DialogHost::Icon::Information:
      return QMessageBox::Information;
    case DialogHost::Icon::Question:
      return QMessageBox::Question;
    case DialogHost::Icon::Stop:
      return QMessageBox::Critical;
  }
  return QMessageBox::NoIcon;
}

// The Open dialog's file types: descriptions shown as written, patterns kept apart.
struct FileFilter {
  const char* description;
  const char* patterns;  // separated by ";"
};
constexpr FileFilter kOpenFilters[] = {
    {"文本文件(*.txt)", "*.txt"},
    {"网页文件(*.htm;*.xml,*.asp,*.php等)", "*.htm;*.html;*.xml;*.asp;*.php;*.jsp;*.css;*.js;*xsl"},
    {"所有文件", "*.*"}};

// Qt reads the patterns from the last parentheses of a filter and, with
// HideNameFilterDetails, shows only what stands before them: the description.
QStringList OpenNameFilters() {
  QStringList filters;
  for (const FileFilter& filter : kOpenFilters)
    filters << QString::fromUtf8(filter.description) + QStringLiteral(" (") +
                   QString::fromUtf8(filter.patterns).replace(QLatin1Char(';'), QLatin1Char(' ')) +
                   QLatin1Char(')');
  return filters;
}

void SetButtonText(QMessageBox& box, QMessageBox::StandardButton which, const char* text) {
  if (QAbstractButton* button = box.button(which)) button->setText(QString::fromUtf8(text));
}

class QtDialogHost final : public DialogHost {
 public:
  void ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                   Icon icon) override {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, owner);
    SetButtonText(box, QMessageBox::Ok, "确定");
    box.exec();
  }

  void ShowReport(QWidget* owner, const QString& text, const QString& details,
                  const QString& caption) override {
    QDialog box(owner);
    box.setWindowTitle(caption);
    auto* layout = new QVBoxLayout(&box);
    auto* top = new QHBoxLayout;
    auto* icon = new QLabel(&box);
    const int side = box.style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, &box);
    icon->setPixmap(box.style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(side));
    icon->setAlignment(Qt::AlignTop);
    auto* label = new QLabel(text, &box);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(icon);
    top->addWidget(label, 1);
    layout->addLayout(top);
    if (!details.isEmpty()) {
      auto* list = new QPlainTextEdit(details, &box);
      list->setReadOnly(true);
      list->setLineWrapMode(QPlainTextEdit::NoWrap);
      list->setMinimumSize(480, 160);
      layout->addWidget(list, 1);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, &box);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &box, &QDialog::accept);
    layout->addWidget(buttons);
    // However long the list, the box and its OK button stay on the screen.
    const QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen();
    if (screen) box.setMaximumSize(screen->availableSize() * 9 / 10);
    if (!details.isEmpty() && screen)
      box.resize(std::min(box.sizeHint().width(), screen->availableSize().width() * 9 / 10),
                 std::min(box.sizeHint().height() + 200, screen->availableSize().height() * 2 / 3));
    box.exec();
  }

  bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    SetButtonText(box, QMessageBox::Yes, "是(&Y)");
    SetButtonText(box, QMessageBox::No, "否(&N)");
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  }

  bool AskOkCancel(QWidget* owner, const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    owner);
    SetButtonText(box, QMessageBox::Ok, "确定");
    SetButtonText(box, QMessageBox::Cancel, "取消");
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
  }

  std::optional<std::string> ChooseFileToOpen(QWidget* owner,
                                              const std::string& startFolder) override {
    // One existing file in an existing folder; no title of our own.
    QFileDialog dialog(owner);
    if (!startFolder.empty()) dialog.setDirectory(QFile::decodeName(startFolder.c_str()));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails, true);
    dialog.setNameFilters(OpenNameFilters());
    dialog.selectNameFilter(dialog.nameFilters().constFirst());
    dialog.setDefaultSuffix(QStringLiteral("txt"));
    dialog.setSizeGripEnabled(true);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().constFirst()).toStdString();
  }

  int ExecModal(QDialog* dialog) override { return dialog->exec(); }

  bool OpenWithDefaultProgram(const std::string& path) override {
    return QDesktopServices::openUrl(LocalFileUrl(path));
  }

  void SetBusyCursor(bool busy) override {
    if (busy)
      QApplication::setOverrideCursor(Qt::WaitCursor);
    else
      while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
  }

  void ProcessPendingEvents() override { QApplication::processEvents(); }
};

DialogHost* installed = nullptr;

}  // namespace

void OpenOrSay(QWidget* owner, const std::string& path) {
  if (Dialogs().OpenWithDefaultProgram(path)) return;
  Dialogs().ShowMessage(owner,
                        QStringLiteral("无法打开文件“") +
                            QString::fromStdString(DisplayName(path)) +
                            QStringLiteral("”：没有能打开它的程序。"),
                        ApplicationTitle(), DialogHost::Icon::Stop);
}

DialogHost& Dialogs() {
  static QtDialogHost qtHost;
  return installed ? *installed : qtHost;
}

void SetDialogs(DialogHost* host) {
  installed = host;
}

}  // namespace orvela
