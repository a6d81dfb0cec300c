// The folder dialog: picks the folder to import, the subfolder option, and holds the
// file-type list with its editing.
#pragma once

#include <QDialog>
#include <QPointer>
#include <string>

#include "folders/file_type_list.h"

class QCheckBox;
class QFileSystemModel;
class QGroupBox;
class QListWidget;
class QPushButton;
class QTreeView;

namespace orvela {

class TForm3 : public QDialog {
  Q_OBJECT

 public:
  // Creation loads the type-list file (see FormCreate).
  explicit TForm3(QWidget* parent = nullptr);

  QTreeView* ShellTreeView1;
  QCheckBox* CheckBox1;
  QGroupBox* GroupBox1;
  QListWidget* ListBox1;
  QPushButton* Button1;  // "添加"
  QPushButton* Button2;  // "删除"
  QPushButton* BitBtn2;  // "取消"
  QPushButton* BitBtn1;  // "确定"

  FileTypeList& Types() { return types_; }
  // The selected folder's path as bytes; "" when nothing is selected.
  std::string GetPath() const;
  // Selects the folder at path in the tree (nothing when the tree has no such node).
  void SelectFolder(const std::string& path);

  void Button1Click();  // opens the type entry dialog
  void Button2Click();  // deletes the selected entry
  // Shows the file-type list anew after it changed.
  void ShowTypes();

  // Esc and the window frame give Cancel (2).
  void reject() override { done(2); }

 private:
  void FormCreate();

  QFileSystemModel* model_;
  FileTypeList types_;
};

// The single instance, created at start-up; null before.
extern QPointer<TForm3> Form3;

}  // namespace orvela
