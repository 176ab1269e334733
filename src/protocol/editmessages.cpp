#include "protocol/editmessages.h"

#include "protocol/catalogue.h"
#include "protocol/protocolerror.h"

namespace orvenda {
namespace {

DWBUffer Closed(DWBUffer b) {
  b.cerrarMensaje(0);
  return b;
}

void PutValues(DWBUffer& b, const std::vector<std::string>& values) {
  if (values.size() > layerchange::kMaxCount) throw MalformedField("too many values");
  b.PutInteger(static_cast<std::int16_t>(values.size()));
  for (const auto& v : values) b.PutString(v);
}

std::vector<std::string> GetValues(DWBUffer& b) { return GetStrings(b, b.GetInteger()); }

}  // namespace

DWBUffer WriteNewElement(const NewElementEdit& e) {
  DWBUffer b = StartMessage(e.code);
  b.PutLong(e.layerId);
  if (e.code == cmd::kNewPoint) {
    const CellIJ cell = e.cells.empty() ? CellIJ{} : e.cells.front();
    const Point p = e.points.empty() ? Point{} : e.points.front();
    b.PutLong(cell.i);
    b.PutLong(cell.j);
    b.PutDouble(p.X);
    b.PutDouble(p.Y);
  } else {
    PutCells(b, e.cells);
    b.PutLong(static_cast<std::int32_t>(e.points.size()));
    PutPoints(b, e.points);
  }
  b.PutSingle(e.cellWidth);
  b.PutSingle(e.cellHeight);
  PutValues(b, e.values);
  return Closed(std::move(b));
}

NewElementEdit ReadNewElement(DWBUffer& b, std::int16_t code) {
  NewElementEdit e;
  e.code = code;
  e.layerId = b.GetLong();
  if (code == cmd::kNewPoint) {
    CellIJ cell;
    cell.i = b.GetLong();
    cell.j = b.GetLong();
    e.cells = {cell};
    e.points = GetPoints(b, 1);
  } else {
    e.cells = GetCells(b);
    e.points = GetPoints(b, b.GetLong());
  }
  e.cellWidth = b.GetSingle();
  e.cellHeight = b.GetSingle();
  e.values = GetValues(b);
  return e;
}

DWBUffer WriteGeometryEdit(const GeometryEdit& e) {
  DWBUffer b = StartMessage(cmd::kChangeGeometry);
  b.PutLong(e.layerId);
  b.PutInteger(e.kind);
  b.PutLong(e.elementId);
  PutCells(b, e.cells);
  b.PutLong(static_cast<std::int32_t>(e.points.size()));
  PutPoints(b, e.points);
  b.PutLong(e.breakAt);
  b.PutSingle(e.cellWidth);
  b.PutSingle(e.cellHeight);
  return Closed(std::move(b));
}

GeometryEdit ReadGeometryEdit(DWBUffer& b) {
  GeometryEdit e;
  e.layerId = b.GetLong();
  e.kind = b.GetInteger();
  e.elementId = b.GetLong();
  e.cells = GetCells(b);
  e.points = GetPoints(b, b.GetLong());
  e.breakAt = b.GetLong();
  e.cellWidth = b.GetSingle();
  e.cellHeight = b.GetSingle();
  return e;
}

DWBUffer WriteErase(const EraseEdit& e) {
  DWBUffer b = StartMessage(cmd::kEraseElement);
  b.PutLong(e.layerId);
  PutCells(b, e.cells);
  b.PutLong(e.elementId);
  return Closed(std::move(b));
}

EraseEdit ReadErase(DWBUffer& b) {
  EraseEdit e;
  e.layerId = b.GetLong();
  e.cells = GetCells(b);
  e.elementId = b.GetLong();
  return e;
}

DWBUffer WriteValuesEdit(const ValuesEdit& e) {
  DWBUffer b = StartMessage(cmd::kChangeAttributes);
  b.PutLong(e.layerId);
  PutCells(b, e.cells);
  b.PutLong(e.elementId);
  PutValues(b, e.values);
  return Closed(std::move(b));
}

ValuesEdit ReadValuesEdit(DWBUffer& b) {
  ValuesEdit e;
  e.layerId = b.GetLong();
  e.cells = GetCells(b);
  e.elementId = b.GetLong();
  e.values = GetValues(b);
  return e;
}

DWBUffer WriteLayerChange(const LayerChange& c) {
  using namespace layerchange;
  DWBUffer b = StartMessage(cmd::kLayerChanged);
  b.PutInteger(c.operation);
  b.PutLong(c.layerId);
  b.PutLong(c.elementId);
  if (c.operation == kNewElement || c.operation == kGeometryChanged) {
    if (c.points.size() > kMaxCount) throw MalformedField("too many vertices for message 250");
    b.PutInteger(static_cast<std::int16_t>(c.points.size()));
    PutPoints(b, c.points);
  }
  if (c.operation == kNewElement || c.operation == kValuesChanged) PutValues(b, c.values);
  if (c.operation == kGridLimits) {
    for (std::int32_t v : c.limits) b.PutLong(v);
  }
  if (c.operation == kCellValuesStale) PutCells(b, c.cells);
  return Closed(std::move(b));
}

LayerChange ReadLayerChange(DWBUffer& b) {
  using namespace layerchange;
  LayerChange c;
  c.operation = b.GetInteger();
  c.layerId = b.GetLong();
  c.elementId = b.GetLong();
  if (c.operation == kNewElement || c.operation == kGeometryChanged) {
    c.points = GetPoints(b, b.GetInteger());
  }
  if (c.operation == kNewElement || c.operation == kValuesChanged) c.values = GetValues(b);
  if (c.operation == kGridLimits) {
    for (std::int32_t& v : c.limits) v = b.GetLong();
  }
  if (c.operation == kCellValuesStale) c.cells = GetCells(b);
  return c;
}

}  // namespace orvenda
