#include "ui/file_list_box.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QStyledItemDelegate>
#include <QUrl>
#include <algorithm>

namespace orvela {

namespace {

constexpr int kRowHeight = 13;
constexpr int kScrollExtent = 1024;  // long paths scroll sideways up to this width

// Every row has the same size, so the view never measures the paths.
class FixedRowDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return QSize(kScrollExtent, std::max(kRowHeight, option.fontMetrics.height()));
  }
};

bool HasLocalFiles(const QMimeData* mime) {
  if (!mime || !mime->hasUrls()) return false;
  const QList<QUrl> urls = mime->urls();
  return std::any_of(urls.begin(), urls.end(), [](const QUrl& u) { return u.isLocalFile(); });
}

// Dropped files are only listed, so the drop is always a copy: answering "move" would
// let the source (a file manager) delete the originals. A source that offers nothing
// but a move is refused.
bool TakeAsCopy(QDropEvent* event) {
  if (!HasLocalFiles(event->mimeData()) || !(event->possibleActions() & Qt::CopyAction)) {
    event->ignore();
    return false;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  return true;
}

}  // namespace

TFileListBox::TFileListBox(FileListModel* model, QWidget* parent)
    : QListView(parent), model_(model) {
  setModel(model);
  setItemDelegate(new FixedRowDelegate(this));
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setUniformItemSizes(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
  setDragEnabled(false);
  setDropIndicatorShown(false);
  connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
          &TFileListBox::TakeViewSelection);
  connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
          [this](const QModelIndex& current) {
            if (!showing_ && current.isValid()) model_->List().SetCurrent(current.row());
          });
}

void TFileListBox::TakeViewSelection(const QItemSelection& selected,
                                     const QItemSelection& deselected) {
  if (showing_) return;
  FileList& list = model_->List();
  auto apply = [&list](const QItemSelection& ranges, bool flag) {
    for (const QItemSelectionRange& range : ranges)
      for (int row = range.top(); row <= range.bottom() && row < list.Count(); ++row)
        list.SetSelected(row, flag);
  };
  apply(deselected, false);
  apply(selected, true);
}

void TFileListBox::ShowListSelection() {
  const FileList& list = model_->List();
  QItemSelection selection;
  for (long row = 0; row < list.Count();) {
    if (!list.Selected(row)) {
      ++row;
      continue;
    }
    long last = row;
    while (last + 1 < list.Count() && list.Selected(last + 1)) ++last;
    selection.select(model_->index(static_cast<int>(row)), model_->index(static_cast<int>(last)));
    row = last + 1;
  }
  showing_ = true;
  selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (list.Current() >= 0)
    selectionModel()->setCurrentIndex(model_->index(static_cast<int>(list.Current())),
                                      QItemSelectionModel::NoUpdate);
  showing_ = false;
}

void TFileListBox::dragEnterEvent(QDragEnterEvent* event) {
  TakeAsCopy(event);
}

void TFileListBox::dragMoveEvent(QDragMoveEvent* event) {
  TakeAsCopy(event);
}

void TFileListBox::dropEvent(QDropEvent* event) {
  if (!TakeAsCopy(event)) return;
  std::vector<std::string> names;
  for (const QUrl& url : event->mimeData()->urls())
    if (url.isLocalFile()) names.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
  emit FilesDropped(names);
}

void TFileListBox::mouseDoubleClickEvent(QMouseEvent* event) {
  QListView::mouseDoubleClickEvent(event);
  // Only the left button double-clicks; the other buttons ask nothing.
  if (event->button() == Qt::LeftButton) emit DoubleClicked();
}

void TFileListBox::keyPressEvent(QKeyEvent* event) {
  emit KeyDown(event->key(), event->modifiers());
  QListView::keyPressEvent(event);
}

}  // namespace orvela
