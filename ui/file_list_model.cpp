#include "ui/file_list_model.h"

#include "base/error.h"
#include "conversion/display_name.h"

namespace orvela {

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

int FileListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(list_.Count());
}

QVariant FileListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= list_.Count()) return {};
  return QString::fromStdString(DisplayName(list_.Path(index.row())));
}

long FileListModel::Append(std::string path) {
  // Checked before the view hears of a new row, which then always arrives.
  if (list_.Full()) throw UnableToInsertLine();
  const int row = rowCount();
  beginInsertRows(QModelIndex(), row, row);
  long index = -1;
  try {
    index = list_.Append(std::move(path));
  } catch (...) {
    // Out of memory: no row came; close the insertion and have the views start afresh.
    endInsertRows();
    beginResetModel();
    endResetModel();
    throw;
  }
  endInsertRows();
  return index;
}

bool FileListModel::AddUnlessPresent(std::string path) {
  if (list_.Contains(path)) return false;
  Append(std::move(path));
  return true;
}

void FileListModel::EntriesChanged() {
  if (list_.Count() > 0) emit dataChanged(index(0), index(rowCount() - 1), {Qt::DisplayRole});
}

void FileListModel::MoveUp() {
  list_.MoveUp();
  EntriesChanged();
}

void FileListModel::MoveDown() {
  list_.MoveDown();
  EntriesChanged();
}

void FileListModel::RemoveSelected() {
  beginResetModel();
  list_.RemoveSelected();
  endResetModel();
}

void FileListModel::Clear() {
  beginResetModel();
  list_.Clear();
  endResetModel();
}

}  // namespace orvela
