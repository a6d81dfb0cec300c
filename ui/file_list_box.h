// ListBox1: the list view of the file list. It takes files dropped on it (as a copy),
// reports left-button double-clicks anywhere in it and every key, and keeps the view's selection
// and current item in step with the list's flags.
#pragma once

#include <QListView>
#include <string>
#include <vector>

#include "ui/file_list_model.h"

namespace orvela {

class TFileListBox : public QListView {
  Q_OBJECT

 public:
  explicit TFileListBox(FileListModel* model, QWidget* parent = nullptr);

  // Shows the list's selection flags and current item after a command changed them.
  void ShowListSelection();

 signals:
  void FilesDropped(const std::vector<std::string>& names);  // local paths, in order
  void DoubleClicked();
  void KeyDown(int key, Qt::KeyboardModifiers modifiers);

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void TakeViewSelection(const QItemSelection& selected, const QItemSelection& deselected);

  FileListModel* model_;
  bool showing_ = false;
};

}  // namespace orvela
