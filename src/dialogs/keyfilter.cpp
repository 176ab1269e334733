#include "dialogs/keyfilter.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <utility>

#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

class KeyFilter final : public QObject {
 public:
  KeyFilter(QLineEdit* box, std::function<std::int16_t()> type)
      : QObject(box), box_(box), type_(std::move(type)) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != box_ || event->type() != QEvent::KeyPress) return false;
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    // Keys that type nothing (arrows, Home...) move within the box and pass.
    if (typed.isEmpty()) return false;
    const char32_t key = typed.toUcs4().value(0);
    return !FldVerify(box_->text().toStdString(), static_cast<int>(key), type_());
  }

 private:
  QLineEdit* box_;
  std::function<std::int16_t()> type_;
};

}  // namespace

void FilterKeys(QLineEdit* box, std::int16_t fieldType) {
  FilterKeys(box, [fieldType] { return fieldType; });
}

void FilterKeys(QLineEdit* box, std::function<std::int16_t()> fieldType) {
  box->installEventFilter(new KeyFilter(box, std::move(fieldType)));
}

}  // namespace orvenda
