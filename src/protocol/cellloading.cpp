#include "protocol/cellloading.h"

#include <charconv>
#include <vector>

#include "protocol/byteimage.h"
#include "protocol/catalogue.h"
#include "protocol/protocolerror.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

// A count read from the wire must fit in what is left of the message before
// anything is sized by it.
std::int32_t CheckedCount(DWBUffer& m, std::int32_t count, std::int32_t bytesEach) {
  if (count < 0 || count > m.Remaining() / bytesEach) {
    throw MalformedField("count " + std::to_string(count) + " does not fit in the message");
  }
  return count;
}

std::vector<Point> ReadPoints(DWBUffer& m, std::int32_t count, bool relative, double originX,
                              double originY) {
  const std::int32_t each = relative ? 8 : 16;
  std::vector<Point> points(static_cast<std::size_t>(CheckedCount(m, count, each)));
  // One check for the whole list: a large polygon has millions of values.
  const std::uint8_t* at = m.GetBytes(points.size() * static_cast<std::size_t>(each)).data();
  for (Point& p : points) {
    if (relative) {
      p.X = originX + static_cast<double>(byteimage::FromBytes<float>(at));
      p.Y = originY + static_cast<double>(byteimage::FromBytes<float>(at + 4));
    } else {
      p.X = byteimage::FromBytes<double>(at);
      p.Y = byteimage::FromBytes<double>(at + 8);
    }
    at += each;
  }
  return points;
}

struct ValuePairs {
  std::vector<std::int32_t> ids;
  std::vector<std::int32_t> positions;
  std::vector<std::string> values;
};

// Calls apply(element, value position from 0) for each pair whose element is
// loaded and whose position is in the value list; other pairs are skipped.
template <typename Apply>
void ForEachLoadedPair(layer& lay, const ValuePairs& v, Apply apply) {
  for (std::size_t n = 0; n < v.ids.size(); ++n) {
    Entidad* ent = lay.Entidades.ItemByID(v.ids[n]);
    const std::int32_t pos = v.positions[n];
    if (!ent || pos < 1 || pos > static_cast<std::int32_t>(v.values.size())) continue;
    apply(*ent, static_cast<std::size_t>(pos - 1));
  }
}

void ApplyThemeValues(layer& lay, const ValuePairs& v) {
  ForEachLoadedPair(lay, v, [&](Entidad& ent, std::size_t k) {
    ent.SetThemeValue(v.values[k]);
    lay.CalculateThemeObject(ent);
  });
  lay.CalculateThemes = true;
}

void ApplyDirections(layer& lay, const ValuePairs& v) {
  ForEachLoadedPair(
      lay, v, [&](Entidad& ent, std::size_t k) { ent.Direction = DirectionValue(v.values[k]); });
}

void ApplyLabels(layer& lay, const ValuePairs& v) {
  // Every value enters the dictionary, used or not.
  std::vector<std::int32_t> index;
  index.reserve(v.values.size());
  for (const std::string& text : v.values) index.push_back(lay.LabelIndex(text));
  ForEachLoadedPair(lay, v, [&](Entidad& ent, std::size_t k) { ent.IDLabel = index[k]; });
}

}  // namespace

std::int16_t DirectionValue(const std::string& text) {
  std::size_t start = text.find_first_not_of(' ');
  if (start == std::string::npos) return 0;
  if (text[start] == '+') ++start;
  int value = 0;
  std::from_chars(text.data() + start, text.data() + text.size(), value);
  return static_cast<std::int16_t>(std::clamp(value, -32768, 32767));
}

void SendCellRequest(MapViewer& viewer, layer& lay, std::int32_t i, std::int32_t j) {
  viewer.PostStatus(lay.IDLayer, status::kCellsRequested);
  const bool sent = viewer.link().SendToServer(cmd::kCell, [&](DWBUffer& b) {
    b.PutLong(lay.IDLayer);
    b.PutLong(i);
    b.PutLong(j);
  });
  // A cell whose request never left is asked again by the next view.
  if (sent) lay.CeldaSolicitada(i, j);
}

void SendCellValuesRequest(MapViewer& viewer, layer& lay, std::int32_t i, std::int32_t j,
                           const std::string& field) {
  if (SameField(field, lay.lblField)) {
    viewer.PostStatus(lay.IDLayer, status::kLabelsRequested);
  } else if (SameField(field, lay.ThematicField)) {
    viewer.PostStatus(lay.IDLayer, status::kThemesRequested);
  }
  const bool sent = viewer.link().SendToServer(cmd::kCellValues, [&](DWBUffer& b) {
    b.PutLong(lay.IDLayer);
    b.PutLong(i);
    b.PutLong(j);
    b.PutString(field);
  });
  if (!sent) return;
  if (SameField(field, lay.lblField)) {
    lay.LabelCellSolicitada(i, j);
  } else if (SameField(field, lay.DirectionField)) {
    lay.DirectionCellSolicitada(i, j);
  }
}

void HandleCellReply(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  const std::int32_t id = reply.GetLong();
  layer* lay = viewer.layers().Item(Key(id));
  if (lay) viewer.PostStatus(id, status::kCellsLoading);
  const std::int32_t i = reply.GetLong();
  const std::int32_t j = reply.GetLong();
  const bool relative = reply.GetByte() != 0;
  const double originX = reply.GetDouble();
  const double originY = reply.GetDouble();
  const std::int32_t count = CheckedCount(reply, reply.GetLong(), 8);
  for (std::int32_t n = 0; n < count; ++n) {
    const std::int32_t elementId = reply.GetLong();
    const auto points = ReadPoints(reply, reply.GetLong(), relative, originX, originY);
    if (lay) lay->Entidades.Add(elementId, points, lay);
  }
  if (viewer.PendingRequests() == 0) viewer.Redraw();
  if (!lay) return;  // a layer this map does not hold
  viewer.map().layerscargados = true;
  lay->Loaded = true;
  viewer.PostStatus(id, status::kCellsLoading + status::kEnded);
  if (!lay->ThematicField.empty()) SendCellValuesRequest(viewer, *lay, i, j, lay->ThematicField);
}

void HandleCellValuesReply(MapViewer& viewer, DWBUffer& reply) {
  LowerPending(viewer);
  const std::int32_t id = reply.GetLong();
  const std::string field = reply.GetString();
  layer* lay = viewer.layers().Item(Key(id));
  int kind = -1;
  if (lay && SameField(field, lay->lblField))
    kind = status::kLabelsLoading;
  else if (lay && SameField(field, lay->ThematicField))
    kind = status::kThemesLoading;
  if (kind >= 0) viewer.PostStatus(id, kind);

  ValuePairs v;
  const std::int32_t count = CheckedCount(reply, reply.GetLong(), 8);
  bool reported = false;
  for (std::int32_t n = 0; n < count; ++n) {
    v.ids.push_back(reply.GetLong());
    v.positions.push_back(reply.GetLong());
    // One message per reply, however many bad pairs it holds.
    if (v.ids.back() == 0 && !reported) {
      reported = true;
      viewer.link().dispatcher().Tell(
          "Error when loading labels.\nLayer: " + std::to_string(id) + ", Field: " + field, "",
          MessageIcon::None);
    }
  }
  if (count != 0) {
    const std::int32_t distinct = CheckedCount(reply, reply.GetLong(), 2);
    for (std::int32_t k = 0; k < distinct; ++k) v.values.push_back(reply.GetString());
    if (lay && SameField(field, lay->ThematicField) && !lay->ThematicField.empty()) {
      ApplyThemeValues(*lay, v);
    } else if (lay && SameField(field, lay->DirectionField) && !lay->DirectionField.empty()) {
      ApplyDirections(*lay, v);
    } else if (lay) {
      ApplyLabels(*lay, v);
    }
  }
  // Also when the reply held no values: the loading line must not stay behind.
  if (kind >= 0) viewer.PostStatus(id, kind + status::kEnded);
  if (viewer.PendingRequests() == 0) viewer.Redraw();
}

void CellValueSender::RequestCellValues(std::int32_t layerId, std::int32_t i, std::int32_t j,
                                        const std::string& field) {
  if (layer* lay = viewer_.layers().Item(Key(layerId))) {
    SendCellValuesRequest(viewer_, *lay, i, j, field);
  }
}

}  // namespace orvenda
