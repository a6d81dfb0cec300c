#include "ui/folder_dialog.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileSystemModel>
#include <QGroupBox>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QTreeView>

#include "folders/type_list_file.h"
#include "ui/dialogs.h"
#include "ui/type_entry_dialog.h"
#include "ui/type_list_place.h"

namespace orvela {

QPointer<TForm3> Form3;

TForm3::TForm3(QWidget* parent) : QDialog(parent) {
  setObjectName("Form3");
  // A plain border 5 pixels wide around the 401 x 432 client area.
  setFixedSize(401 + 2 * 5, 432 + 2 * 5);
  auto* client = new QWidget(this);
  client->setObjectName("ClientArea");
  client->setGeometry(5, 5, 401, 432);

  model_ = new QFileSystemModel(this);
  // Folders only; hidden folders stay out of sight as the desktop's own tree does.
  model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
  model_->setRootPath("/");

  ShellTreeView1 = new QTreeView(client);
  ShellTreeView1->setObjectName("ShellTreeView1");
  ShellTreeView1->setGeometry(0, 0, 401, 313);
  ShellTreeView1->setModel(model_);
  for (int column = 1; column < model_->columnCount(); ++column) ShellTreeView1->hideColumn(column);
  ShellTreeView1->setHeaderHidden(true);
  ShellTreeView1->setRootIsDecorated(false);
  ShellTreeView1->setIndentation(19);
  ShellTreeView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ShellTreeView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // Open the way to the user's home folder without selecting anything.
  const QModelIndex home = model_->index(QDir::homePath());
  for (QModelIndex up = home.parent(); up.isValid(); up = up.parent()) ShellTreeView1->expand(up);
  ShellTreeView1->expand(model_->index("/"));
  ShellTreeView1->scrollTo(home);

  CheckBox1 = new QCheckBox(QString::fromUtf8("包括选定目录下的所有子目录"), client);
  CheckBox1->setObjectName("CheckBox1");
  CheckBox1->setGeometry(9, 319, 250, 17);

  GroupBox1 = new QGroupBox(QString::fromUtf8("包括以下类型文本文件"), client);
  GroupBox1->setObjectName("GroupBox1");
  GroupBox1->setGeometry(8, 344, 185, 89);

  ListBox1 = new QListWidget(GroupBox1);
  ListBox1->setObjectName("ListBox1");
  ListBox1->setGeometry(8, 18, 97, 65);
  ListBox1->setSelectionMode(QAbstractItemView::SingleSelection);

  Button1 = new QPushButton(QString::fromUtf8("添加"), GroupBox1);
  Button1->setObjectName("Button1");
  Button1->setGeometry(113, 19, 65, 25);
  Button2 = new QPushButton(QString::fromUtf8("删除"), GroupBox1);
  Button2->setObjectName("Button2");
  Button2->setGeometry(113, 53, 65, 25);

  BitBtn2 = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                            QString::fromUtf8("取消"), client);
  BitBtn2->setObjectName("BitBtn2");
  BitBtn2->setGeometry(323, 350, 75, 25);
  BitBtn1 = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton),
                            QString::fromUtf8("确定"), client);
  BitBtn1->setObjectName("BitBtn1");
  BitBtn1->setGeometry(323, 398, 75, 25);
  BitBtn1->setDefault(true);

  setTabOrder(ShellTreeView1, CheckBox1);
  setTabOrder(CheckBox1, BitBtn1);
  setTabOrder(BitBtn1, BitBtn2);
  setTabOrder(BitBtn2, ListBox1);
  setTabOrder(ListBox1, Button1);
  setTabOrder(Button1, Button2);

  connect(BitBtn1, &QPushButton::clicked, this, [this] { done(1); });
  connect(BitBtn2, &QPushButton::clicked, this, [this] { done(2); });
  connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
  connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });

  FormCreate();
}

void TForm3::FormCreate() {
  setWindowTitle(QString::fromUtf8("选择目录"));
  // A missing or unreadable file leaves the defaults; nothing is reported.
  try {
    if (auto entries = ReadTypeListFile(TypeListFilePath())) types_.Assign(std::move(*entries));
  } catch (...) {
  }
  ShowTypes();
}

std::string TForm3::GetPath() const {
  const QModelIndexList selected = ShellTreeView1->selectionModel()->selectedRows();
  if (selected.isEmpty()) return {};
  return QFile::encodeName(model_->filePath(selected.first())).toStdString();
}

void TForm3::SelectFolder(const std::string& path) {
  const QModelIndex index = model_->index(QFile::decodeName(path.c_str()));
  if (!index.isValid()) return;
  ShellTreeView1->setCurrentIndex(index);
  ShellTreeView1->scrollTo(index);
}

void TForm3::Button1Click() {
  if (Form4) Dialogs().ExecModal(Form4);
}

void TForm3::Button2Click() {
  const QList<QListWidgetItem*> selected = ListBox1->selectedItems();
  if (selected.isEmpty()) return;
  types_.Delete(static_cast<std::size_t>(ListBox1->row(selected.first())));
  ShowTypes();
  // As after a deletion in a plain list box: nothing selected.
  ListBox1->setCurrentRow(-1);
}

void TForm3::ShowTypes() {
  const int row = ListBox1->currentRow();
  ListBox1->clear();
  for (const std::string& entry : types_.Entries())
    ListBox1->addItem(QString::fromLocal8Bit(entry.data(), static_cast<qsizetype>(entry.size())));
  ListBox1->setCurrentRow(row < ListBox1->count() ? row : -1);
}

}  // namespace orvela
