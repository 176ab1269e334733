#pragma once
// CToolTip: the map tooltip. When the pointer rests over the map for one timer
// interval, the label word of the element under it, in the chosen layer, shows
// in a small box below the pointer; moving on hides it. The rule lives here
// without a platform: the box, its label and its timer are a ToolTipWindow, and
// the timer's ticks are forwarded to timer().

#include <cstdint>
#include <optional>
#include <string>

#include "viewer/tools/toolhost.h"

namespace orvenda {

class Layers;

// The tooltip box, its label and its timer on the platform's side.
class ToolTipWindow {
 public:
  virtual ~ToolTipWindow() = default;
  // Starts the timer ticking every `milliseconds`; 0 stops it.
  virtual void SetInterval(int milliseconds) = 0;
  virtual void Hide() = 0;
  // Puts `text` in the label, which sizes itself to it: its width and height.
  virtual SurfaceXY SetCaption(const std::string& text) = 0;
  virtual void ShowBox(double left, double top, double width, double height) = 0;
};

// The box of a tooltip whose label has the given size, for a pointer at
// `pointer` on a view of viewWidth x viewHeight; surface units.
struct ToolTipBox {
  double left = 0;
  double top = 0;
  double width = 0;
  double height = 0;
  bool operator==(const ToolTipBox&) const = default;
};
ToolTipBox PlaceToolTip(SurfaceXY pointer, SurfaceXY labelSize, double viewWidth,
                        double viewHeight);

class CToolTip {
 public:
  static constexpr int kInterval = 100;  // milliseconds
  // The label's left inside the box (50 twips), in surface units.
  static constexpr double kLabelLeft = 50 / kTwipsPerUnit;

  void initialize(ToolTipWindow& window);
  // The layer (0: no tooltip) and field the tooltip reads.
  void SetLayer(std::int32_t IDLayer, const std::string& field);
  std::int32_t IDLayer() const { return IDLayer_; }
  const std::string& ToolTipField() const { return field_; }
  // Every pointer move over the map, in surface units.
  void mousemove(SurfaceXY at);
  // One tick of the timer: the map's layers and the view the pointer is read with.
  void timer(Layers& layers, const ViewTransform& view);

  // "Etiqueta: " and the label word of the element under `at` in layer IDLayer
  // ("<Undefined>" when it has none); nothing when there is no such layer or
  // element, or the layer cannot be searched yet.
  static std::optional<std::string> LabelText(Layers& layers, std::int32_t IDLayer, GeoLonLat at,
                                              double reach);

 private:
  ToolTipWindow* window_ = nullptr;
  SurfaceXY current_;
  SurfaceXY armed_;
  int interval_ = 0;
  std::int32_t IDLayer_ = 0;
  std::string field_;
};

}  // namespace orvenda
