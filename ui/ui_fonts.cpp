#include "ui/ui_fonts.h"

#include <QStringList>

namespace orvela {

namespace {

QFont Make(QStringList families, int pixels) {
  families << QStringLiteral("WenQuanYi Micro Hei") << QStringLiteral("Noto Sans CJK SC")
           << QStringLiteral("Droid Sans Fallback") << QStringLiteral("DejaVu Sans");
  QFont font;
  font.setFamilies(families);
  font.setPixelSize(pixels);
  return font;
}

}  // namespace

QFont UiFont() {
  return Make({QStringLiteral("MS Sans Serif")}, 11);
}
QFont SongtiFont() {
  return Make({QStringLiteral("宋体"), QStringLiteral("SimSun")}, 12);
}
QFont DialogFont() {
  return Make({}, 12);
}

}  // namespace orvela
