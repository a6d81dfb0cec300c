// The Qt model over the file list: a thin adapter that decodes a path only when the
// view asks for it, so the list holds each path once, as bytes.
#pragma once

#include <QAbstractListModel>
#include <string>

#include "filelist/file_list.h"

namespace orvela {

class FileListModel : public QAbstractListModel {
 public:
  explicit FileListModel(QObject* parent = nullptr);

  FileList& List() { return list_; }
  const FileList& List() const { return list_; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // The list's operations, with the model's change notifications.
  long Append(std::string path);  // throws UnableToInsertLine
  bool AddUnlessPresent(std::string path);
  void MoveUp();
  void MoveDown();
  void RemoveSelected();
  void Clear();

 private:
  void EntriesChanged();

  FileList list_;
};

}  // namespace orvela
