#include "dialogs/mapsetupstate.h"

#include <charconv>
#include <utility>

#include "model/layers.h"
#include "protocol/fieldvalue.h"

namespace orvenda {
namespace {

// The key filter of real numbers.
constexpr std::int16_t kRealType = 5;

const char* AccessText(CONSTACCESSLEVEL level) {
  switch (level) {
    case ALNoAccess:
      return " No Accesss, ";
    case ALViewer:
      return " Viewer, ";
    case ALEditor:
      return " Editor, ";
    case ALDraw:
      return " Draw, ";
  }
  return "";
}

}  // namespace

std::string PlainNumber(float value) {
  // The shortest digits that read back the same value, written out without an exponent.
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::scientific).ptr;
  const std::string image(text, end);  // [-]d[.ddd]e(+|-)xx
  const std::size_t e = image.find('e');
  const bool negative = image[0] == '-';
  std::string digits;
  for (std::size_t i = negative ? 1 : 0; i < e; ++i) {
    if (image[i] != '.') digits += image[i];
  }
  int point = std::stoi(image.substr(e + 1)) + 1;  // digits before the decimal point
  if (point <= 0) {
    digits.insert(0, static_cast<std::size_t>(1 - point), '0');
    point = 1;
  }
  const auto whole = static_cast<std::size_t>(point);
  if (whole > digits.size()) digits.append(whole - digits.size(), '0');
  std::string plain = (negative ? "-" : "") + digits.substr(0, whole);
  if (whole < digits.size()) plain += "." + digits.substr(whole);
  return plain;
}

std::string LayerLine(const CLayerSetupDef& setup) {
  return setup.Nombre + " ( " + PlainNumber(setup.ZoomMin) + " - " + PlainNumber(setup.ZoomMax) +
         ") " + AccessText(setup.AccessLevel) + (setup.Dropped ? "Dropped" : "");
}

std::optional<int> ZoomKey(const std::string& text, int key) {
  if (key == ',') key = '.';
  if (!FldVerify(text, key, kRealType)) return std::nullopt;
  return key;
}

std::vector<std::string> MapSetupState::Lines() const {
  std::vector<std::string> lines;
  for (const CLayerSetupDef& setup : LayerSetups) lines.push_back(LayerLine(setup));
  return lines;
}

std::string MapSetupState::DropCaption() const {
  const bool dropped = Selected >= 0 && LayerSetups[static_cast<std::size_t>(Selected)].Dropped;
  return dropped ? "Undrop" : "Drop";
}

void MapSetupState::Move(int step) {
  const int to = Selected + step;
  if (Selected < 0 || to < 0 || to >= static_cast<int>(LayerSetups.size())) return;
  std::swap(LayerSetups[static_cast<std::size_t>(Selected)],
            LayerSetups[static_cast<std::size_t>(to)]);
  Selected = to;
  for (std::size_t p = 0; p < LayerSetups.size(); ++p) {
    LayerSetups[p].Order = static_cast<std::int16_t>(p + 1);
  }
}

void MapSetupState::ToggleDrop() {
  if (Selected >= 0) LayerSetups[static_cast<std::size_t>(Selected)].Dropped ^= true;
}

void MapSetupState::SetZoom(float min, float max) {
  if (Selected < 0) return;
  LayerSetups[static_cast<std::size_t>(Selected)].ZoomMin = min;
  LayerSetups[static_cast<std::size_t>(Selected)].ZoomMax = max;
}

void MapSetupState::SetUserVisibility(std::int16_t value) {
  if (Selected >= 0) LayerSetups[static_cast<std::size_t>(Selected)].UserVisibility = value;
}

void MapSetupState::SetInitialView() {
  InitialHeight = CurrentHeight;
  InitialView = CurrentView;
}

std::vector<CLayerSetupDef> LayerSetups(const Layers& layers) {
  std::vector<CLayerSetupDef> setups;
  for (const layer& lay : layers) {
    setups.push_back({lay.Nombre, lay.IDLayer, lay.ZoomMin, lay.ZoomMax,
                      static_cast<std::int16_t>(setups.size() + 1), false, lay.UserVisibility(),
                      lay.AccessLevel});
  }
  return setups;
}

void ApplyLayerSetups(Layers& layers, const std::vector<CLayerSetupDef>& setups) {
  std::int32_t position = 1;
  for (const CLayerSetupDef& setup : setups) {
    const std::string key = std::to_string(setup.IDLayer);
    layer* lay = layers.Item(key);
    if (lay == nullptr) continue;
    if (setup.Dropped) {
      layers.Remove(key);
      continue;
    }
    lay->ZoomMin = setup.ZoomMin;
    lay->ZoomMax = setup.ZoomMax;
    lay->SetUserVisibility(setup.UserVisibility);
    // Each record in turn takes the next place; the ones before it are settled.
    layers.Move(key, position++);
  }
}

}  // namespace orvenda
