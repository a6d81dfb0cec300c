#include "ui/installed_tree.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace orvela {

std::optional<QString> InstalledDataFolder() {
  const QString folder =
      QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/orvela"));
  if (!QFileInfo::exists(folder + QStringLiteral("/index.html"))) return std::nullopt;
  return folder;
}

}  // namespace orvela
