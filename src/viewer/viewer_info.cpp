// The Viewer's side of the element information and query replies: the highlight
// of the element whose information arrived and the InfoArrival hand-off. The
// replies themselves are read and routed by the handlers of elementinfo.h.

#include <QStringList>

#include "render/entitydrawing.h"
#include "render/viewpainter.h"
#include "render/viewtransform.h"
#include "viewer/qpaintersurface.h"
#include "viewer/viewer.h"

namespace orvenda {

void Viewer::Highlight(layer& lay, std::int32_t elementId) {
  ViewPainter painter(*surface_, *view_);
  painter.MapExtents = mapProps_.MapExtents;
  resaltar(lay, elementId, view_->ViewExtents, painter);
  surface_->Refresh();
}

void Viewer::RaiseInfoArrival(const ElementInfo& info) {
  const auto texts = [](const std::vector<std::string>& list) {
    QStringList out;
    for (const std::string& s : list) out << QString::fromStdString(s);
    return out;
  };
  const QList<int> types(info.FieldTypes.begin(), info.FieldTypes.end());
  emit InfoArrival(info.IDLayer, info.IDElement, texts(info.FieldName), types,
                   texts(info.FieldData));
}

}  // namespace orvenda
