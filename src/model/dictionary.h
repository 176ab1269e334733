#pragma once

#include <string>

namespace orvenda {

// One label text of a layer's label dictionary.
struct Dictionary {
  std::string word;
};

}  // namespace orvenda
