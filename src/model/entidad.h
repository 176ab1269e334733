#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "model/boundingbox.h"
#include "model/shorttext.h"
#include "model/tipolayer.h"

namespace orvenda {

class layer;

// Surface position of one vertex, as the last draw computed it.
struct ScreenPoint {
  float X = 0;
  float Y = 0;
};

// State of an element's screen-position cache.
enum class ScreenCache : uint8_t {
  Unsized,  // never drawn (or vertices replaced since): draw from the vertices
  Outside,  // last draw found the element outside the view: a single (0, 0)
  Valid,    // one position per vertex
};

// One element of a layer: a point, polyline or polygon (by its layer's
// `Tipo`) given by vertices 1..UboundPoints, with its per-element drawing
// values and geometry. The vertices are only replaced as a whole; a
// polygon's ring closes implicitly from the last vertex to the first.
//
// Most elements of a map are single points, so a point whose box is its
// vertex (or still empty) keeps vertex and screen position in place; any
// other element keeps box, vertices and positions in a separate shape.
class Entidad {
 public:
  Entidad() = default;
  ~Entidad();
  Entidad(const Entidad&) = delete;
  Entidad& operator=(const Entidad&) = delete;

  layer* parentLayer = nullptr;
  int32_t ID = 0;
  int32_t ThemeCode = 0;
  int32_t IDLabel = 0;
  int16_t Direction = 0;

  // Box of the vertices as `CalculateBoundingBox` left it.
  [[nodiscard]] BoundingBox bb() const;
  // Number of vertices.
  [[nodiscard]] int32_t UboundPoints() const { return static_cast<int32_t>(Vertices().size()); }
  // Value of the layer's thematic field for this element, as text.
  [[nodiscard]] std::string_view ThemeValue() const { return themeValue_.View(); }
  void SetThemeValue(std::string_view value) { themeValue_.Assign(value); }

  // Copy of the vertices.
  [[nodiscard]] std::vector<Point> Points() const;
  // Replaces the vertices with a copy of `points` and drops the screen
  // cache (its positions belong to the old vertices); the box stays.
  void SetPoints(std::span<const Point> points);
  // Read-only view of the vertices (index 0 is vertex 1).
  [[nodiscard]] std::span<const Point> Vertices() const;

  // Distance from (X, Y) to the element for point selection: 1E30 when not
  // applicable (polygons, no vertices, no perpendicular foot on any segment).
  [[nodiscard]] double DistPuntoAEntidad(double X, double Y) const;
  // Grows `bb` (never shrinks it) over the vertices, then the parent
  // layer's box by it.
  void CalculateBoundingBox();
  // Point for labels and centring: vertex 1, vertex mean or area centroid.
  void Centroide(double& X, double& Y) const;
  // Distance to the nearer of the two segments at the vertex nearest to
  // (xp, yp), with that segment's ends in (x0, y0)-(x1, y1); 1E30 when none
  // applies (outputs not set then, except x0, y0 once a vertex was found).
  double GetNearestSegment(double xp, double yp, double& x0, double& y0, double& x1,
                           double& y1) const;

  // Distance from P to the line AB; negative when the perpendicular foot
  // falls outside the segment and keepSign is false. 1E30 when A = B.
  [[nodiscard]] static double SegmentDistance(double px, double py, double ax, double ay, double bx,
                                              double by, bool keepSign);
  [[nodiscard]] static double PointDistance(double x1, double y1, double x2, double y2);

  struct VertexHit {
    int32_t index = 0;  // 1-based; 0 when the element has no vertex
    double distance = 1e38;
  };
  // Nearest vertex; a later vertex wins a tie.
  [[nodiscard]] VertexHit NearestVertex(double xp, double yp) const;

  // Abscissa where the horizontal line Y = py crosses the edge, held at
  // 32-bit float precision; nothing unless py lies strictly between the ends.
  [[nodiscard]] static std::optional<double> RayCrossing(double x1, double y1, double x2, double y2,
                                                         double px, double py);
  // Boundary rule: inside when on a vertex or with an odd count of edge
  // crossings at or to the right of the point.
  [[nodiscard]] bool PointInPolygon(double X, double Y) const;

  struct Trapezoid {
    double X = 0;  // centroid, (0, 0) when Area is 0
    double Y = 0;
    double Area = 0;  // signed: negative for edges running towards -X
  };
  // The trapezoid between an edge and the line Y = 0.
  [[nodiscard]] static Trapezoid EdgeTrapezoid(double x1, double y1, double x2, double y2);

  // Screen-position cache used by drawing. Screen()[k - 1] holds vertex k.
  [[nodiscard]] ScreenCache ScreenState() const { return screenState_; }
  [[nodiscard]] std::span<const ScreenPoint> Screen() const;
  // Sizes the cache to one position per vertex and hands it over for filling.
  std::span<ScreenPoint> SizeScreen();
  // Records a draw that found the element outside the view.
  void MarkScreenOutside();

 private:
  [[nodiscard]] TipoLayer Kind() const;
  [[nodiscard]] Point MeanOfVertices() const;
  [[nodiscard]] Point AreaCentroid() const;

  struct Shape {
    BoundingBox box;
    std::vector<Point> vertices;
    std::vector<ScreenPoint> screen;  // sized only while the cache is Valid
  };
  // What lives in place: nothing, or one vertex whose box is empty or the
  // vertex itself.
  enum class Form : uint8_t { NoVertex, Vertex, VertexBoxed, Shaped };
  struct InPlace {
    Point vertex;
    ScreenPoint screen;
  };
  union Store {
    Store() : one() {}
    InPlace one;
    Shape* shape;
  };

  // Moves the element into a shape holding `box` and the current vertices.
  Shape& Reshape(const BoundingBox& box);

  // Declared in this order so that the two bytes share the public fields'
  // padding: a single point takes 56 bytes.
  ScreenCache screenState_ = ScreenCache::Unsized;
  Form form_ = Form::NoVertex;
  ShortText themeValue_;
  Store store_;
};

}  // namespace orvenda
