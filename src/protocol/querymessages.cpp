#include "protocol/querymessages.h"

#include "protocol/catalogue.h"
#include "protocol/protocolerror.h"

namespace orvenda {
namespace {

template <typename IO, typename C>
void ConstraintFields(IO& io, C& c) {
  io(c.field);
  io(c.fieldType);
  io(c.op);
  io(c.value1);
  io(c.value2);
}

template <typename IO, typename Q>
void QueryFields(IO& io, Q& q) {
  io(q.layerId);
  ConstraintFields(io, q.condition);
}

template <typename IO, typename C>
void CandidateFields(IO& io, C& c) {
  io(c.elementId);
  io(c.name);
  io(c.firstNumber);
  io(c.secondNumber);
  io(c.minX);
  io(c.minY);
  io(c.maxX);
  io(c.maxY);
  io(c.x);
  io(c.y);
}

void PutConstraint(DWBUffer& b, const Constraint& c) {
  FieldWriter put{b};
  ConstraintFields(put, c);
}

Constraint GetConstraint(DWBUffer& b) {
  Constraint c;
  FieldReader get{b};
  ConstraintFields(get, c);
  return c;
}

void PutQuery(DWBUffer& b, const ConditionQuery& q) {
  FieldWriter put{b};
  QueryFields(put, q);
}

ConditionQuery GetQuery(DWBUffer& b) {
  ConditionQuery q;
  FieldReader get{b};
  QueryFields(get, q);
  return q;
}

DWBUffer Closed(DWBUffer b) {
  b.cerrarMensaje(0);
  return b;
}

std::vector<std::int32_t> GetLongs(DWBUffer& b, std::int64_t count, const char* what) {
  std::vector<std::int32_t> out(CheckedCount(b, count, 4, what));
  for (std::int32_t& v : out) v = b.GetLong();
  return out;
}

}  // namespace

DWBUffer WriteFindByCondition(const ConditionQuery& q) {
  DWBUffer b = StartMessage(cmd::kFindByCondition);
  PutQuery(b, q);
  return Closed(std::move(b));
}

ConditionQuery ReadFindByCondition(DWBUffer& b) { return GetQuery(b); }

DWBUffer WriteFoundElements(const ConditionQuery& echo,
                            const std::vector<std::pair<std::int32_t, FieldValue>>& found) {
  DWBUffer b = StartMessage(cmd::kFindByConditionReply);
  PutQuery(b, echo);
  b.PutLong(static_cast<std::int32_t>(found.size()));
  for (const auto& [id, value] : found) {
    b.PutLong(id);
    PutFieldValue(b, echo.condition.fieldType, value);
  }
  return Closed(std::move(b));
}

FoundElements ReadFoundElements(DWBUffer& b) {
  FoundElements r;
  r.echo = GetQuery(b);
  r.found.resize(CheckedCount(b, b.GetLong(), 5, "elements found"));
  for (auto& [id, text] : r.found) {
    id = b.GetLong();
    text = GetFieldValue(b, r.echo.condition.fieldType);
  }
  return r;
}

DWBUffer WriteMultipleSelection(const SelectionQuery& q) {
  DWBUffer b = StartMessage(cmd::kMultipleSelection);
  b.PutLong(q.layerId);
  b.PutLong(static_cast<std::int32_t>(q.candidates.size()));
  for (std::int32_t id : q.candidates) b.PutLong(id);
  b.PutInteger(static_cast<std::int16_t>(q.constraints.size()));
  for (const Constraint& c : q.constraints) PutConstraint(b, c);
  return Closed(std::move(b));
}

SelectionQuery ReadMultipleSelection(DWBUffer& b) {
  SelectionQuery q;
  q.layerId = b.GetLong();
  q.candidates = GetLongs(b, b.GetLong(), "candidates");
  q.constraints.resize(CheckedCount(b, b.GetInteger(), 9, "constraints"));
  for (Constraint& c : q.constraints) c = GetConstraint(b);
  return q;
}

DWBUffer WriteSelectionTable(const SelectionTable& t) {
  DWBUffer b = StartMessage(cmd::kMultipleSelectionReply);
  b.PutLong(t.layerId);
  b.PutLong(static_cast<std::int32_t>(t.rows.size()));
  b.PutInteger(t.columns);
  for (const SelectionTable::Row& row : t.rows) {
    b.PutLong(row.elementId);
    for (std::int16_t c = 1; c < t.columns; ++c) {
      const auto k = static_cast<std::size_t>(c - 1);
      PutTextCut(b, k < row.texts.size() ? row.texts[k] : std::string());
    }
  }
  return Closed(std::move(b));
}

SelectionTable ReadSelectionTable(DWBUffer& b) {
  SelectionTable t;
  t.layerId = b.GetLong();
  const std::int32_t n = b.GetLong();
  t.columns = b.GetInteger();
  if (t.columns < 1) throw MalformedField("a table needs its ID column");
  t.rows.resize(CheckedCount(b, n, 4 + 2 * std::int64_t{t.columns - 1}, "rows"));
  for (SelectionTable::Row& row : t.rows) {
    row.elementId = b.GetLong();
    row.texts = GetStrings(b, t.columns - 1);
  }
  return t;
}

DWBUffer WritePickedRowsEdit(const PickedRowsEdit& e) {
  DWBUffer b = StartMessage(cmd::kPickedRowsEdit);
  b.PutLong(e.layerId);
  b.PutLong(static_cast<std::int32_t>(e.elementIds.size()));
  for (std::int32_t id : e.elementIds) b.PutLong(id);
  b.PutLong(static_cast<std::int32_t>(e.cells.size()));
  for (const CellIJ& c : e.cells) b.PutLong(c.i);
  for (const CellIJ& c : e.cells) b.PutLong(c.j);
  b.PutLong(static_cast<std::int32_t>(e.values.size()));
  for (const auto& v : e.values) b.PutString(v.field);
  for (const auto& v : e.values) b.PutInteger(v.fieldType);
  for (const auto& v : e.values) b.PutString(v.value);
  return Closed(std::move(b));
}

PickedRowsEdit ReadPickedRowsEdit(DWBUffer& b) {
  PickedRowsEdit e;
  e.layerId = b.GetLong();
  e.elementIds = GetLongs(b, b.GetLong(), "elements");
  e.cells.resize(CheckedCount(b, b.GetLong(), 8, "cells"));
  for (CellIJ& c : e.cells) c.i = b.GetLong();
  for (CellIJ& c : e.cells) c.j = b.GetLong();
  e.values.resize(CheckedCount(b, b.GetLong(), 6, "fields"));
  for (auto& v : e.values) v.field = b.GetString();
  for (auto& v : e.values) v.fieldType = b.GetInteger();
  for (auto& v : e.values) v.value = b.GetString();
  return e;
}

DWBUffer WriteFindAddress(const AddressQuery& q) {
  DWBUffer b = StartMessage(cmd::kFindAddress);
  b.PutLong(q.layerId);
  b.PutString(q.street);
  b.PutString(q.number);
  return Closed(std::move(b));
}

AddressQuery ReadFindAddress(DWBUffer& b) {
  AddressQuery q;
  q.layerId = b.GetLong();
  q.street = b.GetString();
  q.number = b.GetString();
  return q;
}

DWBUffer WriteAddressCandidates(const AddressCandidates& a) {
  DWBUffer b = StartMessage(cmd::kFindAddressReply);
  b.PutLong(a.echo.layerId);
  PutTextCut(b, a.echo.street);
  PutTextCut(b, a.echo.number);
  b.PutLong(static_cast<std::int32_t>(a.candidates.size()));
  FieldWriter put{b, true};
  for (const auto& c : a.candidates) CandidateFields(put, c);
  return Closed(std::move(b));
}

AddressCandidates ReadAddressCandidates(DWBUffer& b) {
  AddressCandidates a;
  a.echo = ReadFindAddress(b);
  a.candidates.resize(CheckedCount(b, b.GetLong(), 4 + 3 * 2 + 6 * 8, "candidates"));
  FieldReader get{b};
  for (auto& c : a.candidates) CandidateFields(get, c);
  return a;
}

}  // namespace orvenda
