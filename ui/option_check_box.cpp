#include "ui/option_check_box.h"

namespace orvela {

TOptionCheckBox::TOptionCheckBox(QWidget* parent) : QCheckBox(parent) {
  setTristate(true);
  setCheckState(Qt::PartiallyChecked);
}

void TOptionCheckBox::nextCheckState() {
  setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

}  // namespace orvela
