// Entidad: where its vertices, box and screen positions live.
#include "model/entidad.h"

#include "model/layer.h"

namespace orvenda {

namespace {

BoundingBox BoxOf(Point p) {
  BoundingBox box;
  box.MinX = box.MaxX = p.X;
  box.MinY = box.MaxY = p.Y;
  return box;
}

bool SameBox(const BoundingBox& a, const BoundingBox& b) {
  return a.MinX == b.MinX && a.MinY == b.MinY && a.MaxX == b.MaxX && a.MaxY == b.MaxY;
}

bool IsEmpty(const BoundingBox& box) { return SameBox(box, BoundingBox{}); }

}  // namespace

std::vector<Point> Entidad::Points() const {
  const auto v = Vertices();
  return {v.begin(), v.end()};
}

Entidad::~Entidad() {
  if (form_ == Form::Shaped) delete store_.shape;
}

std::span<const Point> Entidad::Vertices() const {
  switch (form_) {
    case Form::NoVertex:
      return {};
    case Form::Vertex:
    case Form::VertexBoxed:
      return {&store_.one.vertex, 1};
    case Form::Shaped:
      break;
  }
  return store_.shape->vertices;
}

BoundingBox Entidad::bb() const {
  switch (form_) {
    case Form::NoVertex:
    case Form::Vertex:
      return {};
    case Form::VertexBoxed:
      return BoxOf(store_.one.vertex);
    case Form::Shaped:
      break;
  }
  return store_.shape->box;
}

void Entidad::SetPoints(std::span<const Point> points) {
  const BoundingBox box = bb();
  const bool empty = IsEmpty(box);
  if (points.size() > 1 || (points.empty() && !empty) ||
      (points.size() == 1 && !empty && !SameBox(box, BoxOf(points[0])))) {
    std::vector<Point> vertices(points.begin(), points.end());
    Reshape(box).vertices.swap(vertices);
    store_.shape->screen = {};
  } else {
    if (form_ == Form::Shaped) delete store_.shape;
    store_.one = {};
    form_ = Form::NoVertex;
    if (!points.empty()) {
      store_.one.vertex = points[0];
      form_ = empty ? Form::Vertex : Form::VertexBoxed;
    }
  }
  // The cached positions belong to the old vertices.
  screenState_ = ScreenCache::Unsized;
}

Entidad::Shape& Entidad::Reshape(const BoundingBox& box) {
  if (form_ != Form::Shaped) {
    const auto v = Vertices();
    auto* shape = new Shape{box, {v.begin(), v.end()}, {}};
    if (screenState_ == ScreenCache::Valid && !v.empty()) shape->screen = {store_.one.screen};
    store_.shape = shape;
    form_ = Form::Shaped;
  }
  store_.shape->box = box;
  return *store_.shape;
}

void Entidad::CalculateBoundingBox() {
  BoundingBox box = bb();
  for (const Point& p : Vertices()) {
    if (box.MinX > p.X) box.MinX = p.X;
    if (box.MinY > p.Y) box.MinY = p.Y;
    if (box.MaxX < p.X) box.MaxX = p.X;
    if (box.MaxY < p.Y) box.MaxY = p.Y;
  }
  if (form_ == Form::Shaped) {
    store_.shape->box = box;
  } else if (form_ != Form::NoVertex && SameBox(box, BoxOf(store_.one.vertex))) {
    form_ = Form::VertexBoxed;
  } else if (!IsEmpty(box)) {
    Reshape(box);
  }
  if (parentLayer != nullptr) {
    parentLayer->bb.Union(box.MinX, box.MinY, box.MaxX, box.MaxY);
  }
}

std::span<const ScreenPoint> Entidad::Screen() const {
  static constexpr ScreenPoint kOutside{};
  switch (screenState_) {
    case ScreenCache::Valid:
      if (form_ == Form::Shaped) return store_.shape->screen;
      return {&store_.one.screen, Vertices().size()};
    case ScreenCache::Outside:
      return {&kOutside, 1};
    case ScreenCache::Unsized:
      break;
  }
  return {};
}

std::span<ScreenPoint> Entidad::SizeScreen() {
  if (form_ == Form::Shaped) {
    if (screenState_ != ScreenCache::Valid)
      store_.shape->screen.assign(store_.shape->vertices.size(), {});
    screenState_ = ScreenCache::Valid;
    return store_.shape->screen;
  }
  if (screenState_ != ScreenCache::Valid) store_.one.screen = {};
  screenState_ = ScreenCache::Valid;
  return {&store_.one.screen, Vertices().size()};
}

void Entidad::MarkScreenOutside() {
  if (form_ == Form::Shaped) std::vector<ScreenPoint>().swap(store_.shape->screen);
  screenState_ = ScreenCache::Outside;
}

}  // namespace orvenda
