#include "ui/saved_options.h"

#include <QSettings>
#include <QStandardPaths>

namespace orvela {

namespace {
std::optional<QString> fileForTest;

struct Key {
  const char* name;
  bool byDefault;
};

Key KeyOf(SavedOption option) {
  switch (option) {
    case SavedOption::kByCharacter:
      return {"conversion/byCharacter", false};
    case SavedOption::kCheckEncoding:
      return {"conversion/checkEncoding", true};
  }
  return {"", false};
}

QSettings Settings() {
  return QSettings(
      fileForTest.value_or(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                           QStringLiteral("/orvela.conf")),
      QSettings::IniFormat);
}
}  // namespace

bool LoadOption(SavedOption option) {
  const Key key = KeyOf(option);
  return Settings().value(key.name, key.byDefault).toBool();
}

void SaveOption(SavedOption option, bool on) {
  Settings().setValue(KeyOf(option).name, on);
}

namespace {
constexpr char kOpenFolder[] = "openDialog/folder";
}

std::string LoadOpenFolder() {
  return Settings().value(kOpenFolder).toByteArray().toStdString();
}

void SaveOpenFolder(const std::string& folder) {
  Settings().setValue(kOpenFolder, QByteArray::fromStdString(folder));
}

void SetSavedOptionsFileForTest(std::optional<QString> path) {
  fileForTest = std::move(path);
}

}  // namespace orvela
