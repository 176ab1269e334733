// The maps and layers of the demo database, one method per map.
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>

#include "demo/city_generator.h"
#include "import/importer.h"

namespace orvenda::server {

class DemoBuilder {
 public:
  DemoBuilder(Store& store, std::filesystem::path cache, std::ostream& log)
      : store_(store), cache_(std::move(cache)), log_(log) {}

  void WorldMap();                          // code 0, longitude/latitude
  void UnitedStatesMap();                   // code 1, Albers
  void CityMap(const GeneratedCity& city);  // code 114, UTM zone 14

 private:
  // Imports into `map` with the zoom range, then lets `setup` finish the layer setup.
  std::int32_t Add(ImportOptions o, std::int32_t map,
                   const std::function<void(LayerRecord&)>& setup);
  std::int32_t AddGenerated(const std::string& name, const SourceData& data, std::int32_t map,
                            float zoomMax, const std::function<void(LayerRecord&)>& setup);
  void SetUp(std::int32_t map, std::int32_t layer, const std::function<void(LayerRecord&)>& setup);
  void Report(const std::string& name, const ImportReport& r);

  Store& store_;
  std::filesystem::path cache_;
  std::ostream& log_;
  std::int32_t citiesLayer_ = 0;
};

}  // namespace orvenda::server
