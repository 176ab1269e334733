// The options that change how a layer is set up in a map (zoom range, labels, thematic
// field and classes, styles), shared by "map add-layer" and "layer set".
#pragma once

#include "admin/arguments.h"

namespace orvenda::server {

// Option names, for the Arguments parser.
const std::set<std::string>& SetupValuedOptions();
const std::set<std::string>& SetupFlagOptions();

// Applies the options given to `setup`; fields are checked against `layer`.
void ApplySetupOptions(const Arguments& a, const LayerInfo& layer, LayerRecord& setup);

}  // namespace orvenda::server
