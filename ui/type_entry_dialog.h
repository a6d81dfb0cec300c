// The type entry dialog: takes one new pattern for the file-type list.
#pragma once

#include <QDialog>
#include <QPointer>

class QLineEdit;
class QPushButton;

namespace orvela {

class TForm4 : public QDialog {
  Q_OBJECT

 public:
  explicit TForm4(QWidget* parent = nullptr);

  QLineEdit* Edit1;
  QPushButton* Button1;  // "添加"

  // Adds the typed pattern to the folder dialog's list and closes.
  void Button1Click();

 protected:
  // No default and no cancel button: Enter and Esc do nothing special.
  void keyPressEvent(QKeyEvent* event) override;
  // Every opening starts in the field with its text selected, so typing replaces it.
  void showEvent(QShowEvent* event) override;
};

extern QPointer<TForm4> Form4;

}  // namespace orvela
