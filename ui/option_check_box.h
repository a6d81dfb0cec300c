// A three-state check box that starts indeterminate and that clicks move to checked,
// unchecked, checked, ...: the indeterminate state never comes back.
#pragma once

#include <QCheckBox>

namespace orvela {

class TOptionCheckBox : public QCheckBox {
 public:
  explicit TOptionCheckBox(QWidget* parent = nullptr);
  // Every state but unchecked counts as on.
  bool IsOn() const { return checkState() != Qt::Unchecked; }

 protected:
  void nextCheckState() override;
};

}  // namespace orvela
