#include "app/dialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDialog>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QUrl>

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

class QtDialogHost final : public DialogHost {
 public:
  void ShowMessage(QWidget* owner, const QString& text, const QString& caption,
                   Icon icon) override {
    QMessageBox box(ToQt(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
  }

  bool AskYesNo(QWidget* owner, const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    owner);
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  }

  bool AskOkCancel(QWidget* owner, const QString& text, const QString& caption) override {
    QMessageBox box(QMessageBox::Information, caption, text,
                    QMessageBox::Ok | QMessageBox::Cancel, owner);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
    return box.exec() == QMessageBox::Ok;
  }

  std::optional<std::string> ChooseFileToOpen(QWidget* owner) override {
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
      return std::nullopt;
    return QFile::encodeName(dialog.selectedFiles().first()).toStdString();
  }

  int ExecModal(QDialog* dialog) override { return dialog->exec(); }

  void OpenWithDefaultProgram(const std::string& path) override {
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFile::decodeName(path.c_str())));
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

DialogHost& Dialogs() {
  static QtDialogHost qtHost;
  return installed ? *installed : qtHost;
}

void SetDialogs(DialogHost* host) { installed = host; }

}  // namespace orvela
