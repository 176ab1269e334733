#pragma once
// The logic of the layer setup dialog, free of widgets: the working copy of a
// layer's classes, building classes from the values the server sent (one class per
// value, or ranges between the lowest and the highest) with a colour ramp, the texts
// of the class list and of the class-count list, the method rules, and writing the
// accepted setup back into the layer.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/layer.h"
#include "model/thematicmap.h"
#include "render/surface.h"

namespace orvenda {

// ThematicType codes, which are also the entries of the method list.
namespace thememethod {
inline constexpr std::int16_t kNone = 0;
inline constexpr std::int16_t kValueList = 1;  // "Lista de Valores"
inline constexpr std::int16_t kRanges = 2;     // "Rangos"
}  // namespace thememethod

// Appends a copy of every class of `from` to `to`. An empty `from` still gives
// the default class, so that the list always has its "<Default>" entry.
void CopyLayerClasses(const ThematicMap& from, ThematicMap& to);
// Removes every class but the default class.
void RemoveNonDefaultClasses(ThematicMap& classes);

struct ClassRecipe {
  std::int16_t method = thememethod::kNone;
  // Values from the server: every value (value list) or the lowest and the highest.
  std::vector<std::string> values;
  // The text of the class-count list ("3"): how many ranges.
  std::string rangeCount;
  Colour startColour = 0;
  Colour endColour = 0;
  TipoLayer kind = 0;
};

// Leaves only the default class, appends the classes the recipe makes and colours
// classes 2 to n along the ramp from the start to the end colour.
void BuildClasses(ThematicMap& classes, const ClassRecipe& recipe);

// Colour of class i (2..n) of n on the ramp.
Colour RampColour(Colour start, Colour end, std::int32_t i, std::int32_t n);

// A bound of a built range as text: up to 15 significant digits.
std::string BoundText(double value);

// The entries of the class list: "<Default>" for the default class; the value
// (value list) or "min to max" (ranges) for the others; none for them without a method.
std::vector<std::string> ClassListTexts(const ThematicMap& classes, std::int16_t method);

// The class-count list reads "2", "3", ...: entry k reads k + 2.
std::string QtyClassesEntry(int entry);
// The entry to select for a list of `classCount` classes (the default included), or
// nothing when there are two or fewer: no entry reads fewer than two classes.
std::optional<int> QtyClassesSelection(std::int32_t classCount);

// A method chosen for a field of `fieldType`: decimals cannot make a value list and
// texts cannot make ranges; such a choice is refused ("Invalid") and the other
// method taken instead.
struct MethodChoice {
  std::int16_t method = thememethod::kNone;
  bool refused = false;
  bool classCountEnabled = false;
  bool serverEnabled = false;  // cmdQrySvr
};
MethodChoice ChooseMethod(std::int16_t chosen, std::int16_t fieldType);

// The dialog's result as the layer takes it.
struct LayerSetupChoice {
  std::string themeField;  // empty for "<None>"
  std::int16_t themeFieldType = 0;
  std::int16_t method = thememethod::kNone;
  std::string labelField;  // empty for "<None>"
  bool labelBold = false;
  std::int16_t labelVisibility = 0;
  Colour labelColour = 0;
  std::string labelZoomMin, labelZoomMax;  // texts, read by their leading number
  std::optional<bool> allowDuplicates;     // nothing: the check box was grey
  bool directions = false;
};

// What the layer needs after the setup was applied.
struct LayerSetupOutcome {
  bool requestThemes = false;  // a new thematic field with classes: ask for its values
  bool labelsChanged = false;  // the label field changed: its labels were cleared
};

// Writes the choice and the working classes into the layer. Elements are classed
// again when the thematic field, the method, the number of classes or any bound
// changed; colours alone leave the classification as it was.
LayerSetupOutcome ApplyLayerSetup(layer& lay, const LayerSetupChoice& choice,
                                  const ThematicMap& classes);

}  // namespace orvenda
