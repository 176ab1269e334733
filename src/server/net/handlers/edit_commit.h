#pragma once
// How a change of elements is stored and announced, for every request that makes one
// (edits 205-220, and any other that writes values): one transaction, then message 250
// to every connection that shows the layer, only once it has committed.

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "net/handlers/handler_context.h"
#include "protocol/editmessages.h"

namespace orvenda::server {

// The kind of a layer of the open map on which the user holds at least `needed`, read
// from the store on every edit; nothing (and a log line) otherwise.
std::optional<LayerKind> AdmitEdit(HandlerContext& ctx, const char* what, std::int32_t layerId,
                                   AccessLevel needed);

// Runs `write` as one transaction, alone among the edits of this process, and pushes
// the changes it returns once the transaction has committed; logs what was stored. A
// StoreError thrown by `write` undoes everything, pushes nothing and reaches the caller.
void CommitEdit(HandlerContext& ctx, const char* what, std::int32_t layerId,
                const std::function<std::vector<LayerChange>()>& write);

// Operations 3 (the element's values as stored) and 5 (its cells, whose labels and
// thematic values viewers ask again) after the values of an element have changed.
std::vector<LayerChange> ValuesChanged(Store& store, std::int32_t layerId, std::int32_t elementId);

}  // namespace orvenda::server
