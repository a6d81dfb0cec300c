#include "ui/type_entry_dialog.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <limits>

#include "ui/folder_dialog.h"

namespace orvela {

QPointer<TForm4> Form4;

TForm4::TForm4(QWidget* parent) : QDialog(parent) {
  setObjectName("Form4");
  setWindowTitle(QString::fromUtf8("添加文本文件类型："));
  setFixedSize(190, 40);

  Edit1 = new QLineEdit(QStringLiteral("*."), this);
  Edit1->setObjectName("Edit1");
  Edit1->setGeometry(42, 13, 81, 21);
  Edit1->setMaxLength(std::numeric_limits<int>::max());

  Button1 = new QPushButton(QString::fromUtf8("添加"), this);
  Button1->setObjectName("Button1");
  Button1->setGeometry(132, 13, 49, 21);
  Button1->setAutoDefault(false);
  Button1->setDefault(false);

  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
}

void TForm4::Button1Click() {
  if (Form3) {
    // The typed text as bytes; the list lower-cases it and skips what it holds.
    const QByteArray typed = Edit1->text().toLocal8Bit();
    if (Form3->Types().Add(std::string(typed.constData(), static_cast<std::size_t>(typed.size()))))
      Form3->ShowTypes();
  }
  done(1);
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Edit1->setFocus(Qt::OtherFocusReason);
  Edit1->selectAll();
}

void TForm4::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
    case Qt::Key_Escape:
    case Qt::Key_Return:
    case Qt::Key_Enter:
      event->accept();
      return;
    default:
      QDialog::keyPressEvent(event);
  }
}

}  // namespace orvela
