#include "ui/bundled_pages.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>
#include <QStandardPaths>

#include "ui/dialogs.h"
#include "ui/installed_tree.h"
#include "ui/pictures.h"

namespace orvela {

namespace {

// The pages link to each other, so both are written beside each other.
bool WritePages(const QString& folder) {
  if (!QDir().mkpath(folder)) return false;
  for (const char* name : {"index.html", "encodings.html"}) {
    QFile source(QStringLiteral(":/web/") + QLatin1String(name));
    QSaveFile target(folder + QLatin1Char('/') + QLatin1String(name));
    if (!source.open(QIODevice::ReadOnly) || !target.open(QIODevice::WriteOnly)) return false;
    target.write(source.readAll());
    if (!target.commit()) return false;
  }
  return true;
}

}  // namespace

void OpenBundledPage(BundledPage page) {
  InitResources();
  // An installed program has the pages in its tree; from the build folder they are
  // written out of the resources first.
  QString folder = InstalledDataFolder().value_or(
      QStandardPaths::writableLocation(QStandardPaths::CacheLocation) + QStringLiteral("/pages"));
  if (!InstalledDataFolder() && !WritePages(folder)) return;
  const QString file = folder + (page == BundledPage::Home ? QStringLiteral("/index.html")
                                                           : QStringLiteral("/encodings.html"));
  OpenOrSay(nullptr, QFile::encodeName(file).toStdString());
}

}  // namespace orvela
