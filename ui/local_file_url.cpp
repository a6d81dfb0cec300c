#include "ui/local_file_url.h"

#include <QByteArray>
#include <QString>

namespace orvela {

QUrl LocalFileUrl(const std::string& path) {
  const QByteArray bytes(path.data(), static_cast<qsizetype>(path.size()));
  QUrl url;
  url.setScheme(QStringLiteral("file"));
  // An empty host gives "file:///..."; a path that begins with "//" stays a path.
  if (bytes.startsWith('/')) url.setHost(QStringLiteral(""));
  url.setPath(QString::fromLatin1(bytes.toPercentEncoding("/")), QUrl::TolerantMode);
  return url;
}

}  // namespace orvela
