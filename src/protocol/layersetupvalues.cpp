#include "protocol/layersetupvalues.h"

#include "protocol/catalogue.h"
#include "protocol/serverlink.h"

namespace orvenda {

bool SendFieldValuesRequest(MapViewer& viewer, std::int32_t layerId, const std::string& field,
                            std::int16_t kind) {
  return viewer.link().SendToServer(cmd::kFieldValues, [&](DWBUffer& b) {
    b.PutLong(layerId);
    b.PutString(field);
    b.PutInteger(kind);
  });
}

FieldValuesReply ReadFieldValuesReply(DWBUffer& reply) {
  FieldValuesReply r;
  r.layerId = reply.GetLong();
  r.field = reply.GetString();
  r.kind = reply.GetInteger();
  if (r.kind == kAllValues) {
    // Each value is read before the next: a count the message cannot hold runs out
    // of bytes instead of reserving what it declares.
    const std::int16_t n = reply.GetInteger();
    for (std::int16_t i = 0; i < n; ++i) r.values.push_back(reply.GetString());
  } else if (r.kind == kLowestHighest) {
    r.values.push_back(reply.GetString());
    r.values.push_back(reply.GetString());
  }
  return r;
}

void RegisterFieldValuesReply(MapViewer& viewer,
                              std::function<void(const FieldValuesReply&)> arrived) {
  MapViewer* v = &viewer;
  viewer.link().dispatcher().Register(
      cmd::kFieldValuesReply, [v, arrived = std::move(arrived)](DWBUffer& m) {
        LowerPending(*v);
        FieldValuesReply r = ReadFieldValuesReply(m);
        if (!v->layers().Item(Key(r.layerId))) return;
        v->link().AfterReceive([arrived, r = std::move(r)] { arrived(r); });
      });
}

}  // namespace orvenda
