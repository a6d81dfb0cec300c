#include "ui/saved_options.h"

#include <QSettings>
#include <QStandardPaths>

namespace orvela {

namespace {
std::optional<QString> fileForTest;

constexpr char kByCharacter[] = "conversion/byCharacter";

QSettings Settings() {
  return QSettings(
      fileForTest.value_or(QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation) +
                           QStringLiteral("/orvela.conf")),
      QSettings::IniFormat);
}
}  // namespace

bool LoadByCharacterOption() {
  return Settings().value(kByCharacter, false).toBool();
}

void SaveByCharacterOption(bool on) {
  Settings().setValue(kByCharacter, on);
}

void SetSavedOptionsFileForTest(std::optional<QString> path) {
  fileForTest = std::move(path);
}

}  // namespace orvela
