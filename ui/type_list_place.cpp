#include "ui/type_list_place.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include "folders/type_list_file.h"
#include "ui/installed_tree.h"

namespace orvela {

namespace {

std::optional<std::string> pathForTest;

QString ConfigFolder() {
  return QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
}

}  // namespace

std::string TypeListFilePath() {
  if (pathForTest) return *pathForTest;
  // The folder of an installed executable is the system's, not the user's.
  if (InstalledDataFolder())
    return QFile::encodeName(ConfigFolder() + QStringLiteral("/varu_ext.txt")).toStdString();
  return ChooseTypeListPath(QFile::encodeName(QCoreApplication::applicationDirPath()).toStdString(),
                            QFile::encodeName(ConfigFolder()).toStdString());
}

void PrepareTypeListFolder() {
  if (pathForTest) return;
  const std::string path = TypeListFilePath();
  const QString folder = QFile::decodeName(path.substr(0, path.rfind('/')).c_str());
  if (folder == ConfigFolder()) QDir().mkpath(folder);
}

void SetTypeListFileForTest(std::optional<std::string> path) {
  pathForTest = std::move(path);
}

}  // namespace orvela
