// The Viewer's find commands; the dialogs and the requests are findcommands.h's.
#include "dialogs/findcommands.h"
#include "viewer/viewer.h"

namespace orvenda {

void Viewer::FindByCondition(std::int32_t IDLayer, const QString& FieldName, std::uint8_t Operation,
                             const QString& Value1, const QString& value2, bool ReleaseEvent) {
  if (!Idle()) return;
  info_.listFoundElements = ReleaseEvent;
  ConditionQuery preset{
      IDLayer, {FieldName.toStdString(), 0, Operation, Value1.toStdString(), value2.toStdString()}};
  orvenda::FindByCondition(*this, preset, this);
}

void Viewer::FindAddress(std::int32_t IDLayer, const QString& AddressName,
                         const QString& AddressNumber) {
  if (Idle()) {
    orvenda::FindAddress(*this, {IDLayer, AddressName.toStdString(), AddressNumber.toStdString()},
                         this);
  }
}

}  // namespace orvenda
