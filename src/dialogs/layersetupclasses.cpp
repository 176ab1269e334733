#include "dialogs/layersetupclasses.h"

#include <cmath>
#include <cstdio>
#include <utility>

#include "model/campo.h"
#include "render/surface.h"

namespace orvenda {
namespace {

bool IsDefaultClass(const Theme& t) { return t.min == kAnyValueClass; }

Theme& Append(ThematicMap& classes, const Theme& look, const std::string& min,
              const std::string& max) {
  return classes.Add(static_cast<std::int16_t>(look.DrawStyle),
                     static_cast<std::int16_t>(look.DrawWidth), look.DrawColor, look.FillColor,
                     static_cast<std::int16_t>(look.FillStyle), min, max);
}

bool IsDecimalType(std::int16_t type) {
  return type == 4 || type == 5 || type == 14 || type == 131;
}

// Built classes start black, solid, one pixel wide; the ramp colours them after.
Theme PlainLook() {
  Theme t;
  t.DrawStyle = 0;
  t.DrawWidth = 1;
  t.DrawColor = 0;
  t.FillColor = 0;
  t.FillStyle = 0;
  return t;
}

}  // namespace

void CopyLayerClasses(const ThematicMap& from, ThematicMap& to) {
  for (const Theme& t : from) Append(to, t, t.min, t.max);
  if (to.count() == 0) Append(to, Theme{}, kAnyValueClass, kAnyValueClass);
}

void RemoveNonDefaultClasses(ThematicMap& classes) {
  for (std::int32_t i = classes.count(); i >= 1; --i) {
    if (!IsDefaultClass(classes.Item(i))) classes.Remove(i);
  }
}

std::string BoundText(double value) {
  char text[32];
  std::snprintf(text, sizeof text, "%.15g", value);
  return text;
}

Colour RampColour(Colour start, Colour end, std::int32_t i, std::int32_t n) {
  const auto step = [&](int from, int to) {
    const double d = n < 3 ? 0.0 : static_cast<double>(to - from) / (n - 2);
    return from + RoundHalfEven((i - 2) * d);
  };
  return RgbColour(step(ColourRed(start), ColourRed(end)),
                   step(ColourGreen(start), ColourGreen(end)),
                   step(ColourBlue(start), ColourBlue(end)));
}

void BuildClasses(ThematicMap& classes, const ClassRecipe& recipe) {
  RemoveNonDefaultClasses(classes);
  if (classes.count() == 0) Append(classes, Theme{}, kAnyValueClass, kAnyValueClass);
  const Theme plain = PlainLook();
  if (recipe.method == thememethod::kValueList) {
    for (const std::string& v : recipe.values) Append(classes, plain, v, v);
  } else if (recipe.method == thememethod::kRanges && !recipe.values.empty()) {
    const double lo = LeadingNumber(recipe.values.front());
    const double hi = LeadingNumber(recipe.values.back());
    const std::int32_t k = RoundHalfEven(LeadingNumber(recipe.rangeCount));
    const double step = k > 0 ? (hi - lo) / k : 0;
    for (std::int32_t i = 1; i <= k; ++i) {
      Append(classes, plain, BoundText(lo + (i - 1) * step), BoundText(lo + i * step));
    }
  }
  const std::int32_t n = classes.count();
  const Theme first = classes.Item(1);
  for (std::int32_t i = 2; i <= n; ++i) {
    Theme& t = classes.Item(i);
    t.DrawColor = first.DrawColor;
    t.DrawStyle = first.DrawStyle;
    t.DrawWidth = first.DrawWidth;
    t.FillColor = first.FillColor;
    t.FillStyle = first.FillStyle;
    const Colour c = RampColour(recipe.startColour, recipe.endColour, i, n);
    if (recipe.kind >= pointlayer && recipe.kind <= 3) t.DrawColor = c;
    if (recipe.kind == polygonlayer) t.FillColor = c;
  }
}

std::vector<std::string> ClassListTexts(const ThematicMap& classes, std::int16_t method) {
  std::vector<std::string> texts;
  for (const Theme& t : classes) {
    if (IsDefaultClass(t)) {
      texts.emplace_back("<Default>");
    } else if (method == thememethod::kValueList) {
      texts.push_back(t.min);
    } else if (method == thememethod::kRanges) {
      texts.push_back(t.min + " to " + t.max);
    }
  }
  return texts;
}

std::string QtyClassesEntry(int entry) { return std::to_string(entry + 2); }

std::optional<int> QtyClassesSelection(std::int32_t classCount) {
  if (classCount <= 2) return std::nullopt;
  return classCount - 3;
}

MethodChoice ChooseMethod(std::int16_t chosen, std::int16_t fieldType) {
  MethodChoice c;
  c.method = chosen;
  if (chosen == thememethod::kValueList && IsDecimalType(fieldType)) {
    c.method = thememethod::kRanges;
    c.refused = true;
  } else if (chosen == thememethod::kRanges && IsTextFieldType(fieldType)) {
    c.method = thememethod::kValueList;
    c.refused = true;
  } else if (chosen != thememethod::kValueList && chosen != thememethod::kRanges) {
    c.method = thememethod::kNone;
  }
  c.classCountEnabled = c.method == thememethod::kRanges;
  c.serverEnabled = c.method != thememethod::kNone;
  return c;
}

LayerSetupOutcome ApplyLayerSetup(layer& lay, const LayerSetupChoice& choice,
                                  const ThematicMap& classes) {
  LayerSetupOutcome outcome;
  const std::string oldField = std::exchange(lay.ThematicField, "");
  const std::string oldLabel = std::exchange(lay.lblField, "");
  const std::int16_t oldMethod = lay.ThematicType;
  std::vector<std::pair<std::string, std::string>> oldBounds;
  for (const Theme& t : lay.ThematicMap()) oldBounds.emplace_back(t.min, t.max);
  lay.ThematicMap().Clear();

  lay.ThematicField = choice.themeField;
  lay.ThematicFieldType = choice.themeField.empty() ? 0 : choice.themeFieldType;
  lay.ThematicType = choice.themeField.empty() ? thememethod::kNone : choice.method;
  std::vector<std::pair<std::string, std::string>> newBounds;
  for (const Theme& t : classes) {
    Append(lay.ThematicMap(), t, t.min, t.max);
    newBounds.emplace_back(t.min, t.max);
  }
  if (lay.ThematicField != oldField) {
    lay.ResetThemes();
    outcome.requestThemes = lay.ThematicMap().count() >= 2;
  } else if (newBounds != oldBounds || lay.ThematicType != oldMethod) {
    // The same field: classed again when any class would take other elements.
    lay.CalculateThemes = true;
  }

  if (!choice.labelField.empty()) {
    lay.lblField = choice.labelField;
    lay.lblBold = choice.labelBold;
    lay.SetUserLabelVisibility(choice.labelVisibility);
    lay.lblColor = choice.labelColour;
    lay.lblZoomMin = static_cast<float>(LeadingNumber(choice.labelZoomMin));
    lay.lblZoomMax = static_cast<float>(LeadingNumber(choice.labelZoomMax));
    if (choice.allowDuplicates) lay.lblAllowDuplicates = *choice.allowDuplicates;
  }
  if (lay.lblField != oldLabel) {
    lay.ClearLabels();
    outcome.labelsChanged = true;
  }
  lay.SetUserDirectionVisibility(choice.directions ? 2 : 0);
  return outcome;
}

}  // namespace orvenda
