#include "ui/pictures.h"

#include <QPainter>
#include <QString>
#include <QSvgRenderer>
#include <array>
#include <mutex>

// Resource initialisation must be called from the global namespace.
static void InitOrvelaQrc() {
  Q_INIT_RESOURCE(orvela);
}

namespace orvela {

namespace {

constexpr std::array<const char*, kPictureCount> kPictureFiles = {
    ":/pictures/0-add-folder.svg", ":/pictures/1-add-file.svg",   ":/pictures/2-up.svg",
    ":/pictures/3-down.svg",       ":/pictures/4-remove-all.svg", ":/pictures/5-exit.svg",
    ":/pictures/6-book.svg",       ":/pictures/7-character.svg",  ":/pictures/8-remove.svg"};

QPixmap Render(const QString& file, int size) {
  InitResources();
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QSvgRenderer renderer(file);
  QPainter painter(&pixmap);
  renderer.render(&painter);
  return pixmap;
}

}  // namespace

void InitResources() {
  static std::once_flag once;
  std::call_once(once, InitOrvelaQrc);
}

QPixmap Picture(int index) {
  return Render(QString::fromLatin1(kPictureFiles.at(static_cast<std::size_t>(index))),
                kPictureSize);
}

QPixmap AppPicture() {
  return Render(QStringLiteral(":/orvela.svg"), kPictureSize);
}

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) icon.addPixmap(Render(QStringLiteral(":/orvela.svg"), size));
  return icon;
}

}  // namespace orvela
