#include "dialogs/elementinforesults.h"

#include "dialogs/dlgshowinfoelements.h"
#include "dialogs/selectiontablewindow.h"
#include "protocol/elementinfo.h"

namespace orvenda {

void ElementInfoResults::SelectionTable(const orvenda::SelectionTable& table,
                                        std::int16_t displayMode) {
  if (displayMode != 0) return ShowSelectionTable(viewer_, table, parent_);
  if (!viewer_.layers().Item(Key(table.layerId))) return;
  dlgShowInfoElements dialog(viewer_, table.layerId, table, parent_);
  for (;;) {
    dialog.PrepareShow();
    viewer_.interaction().ShowModal(dialog);
    if (dialog.Mode != "EDIT") return;
    // The map may have gone, or its rights changed, while the dialog was open.
    const layer* lay = viewer_.layers().Item(Key(table.layerId));
    if (!lay) return;
    if (lay->AccessLevel < ALEditor) {
      viewer_.interaction().MessageBox("Acceso Denegado", "Orvenda Viewer", MessageIcon::Critical,
                                       MessageButtons::Ok);
      return;
    }
    const InfoElementsTable::Changes changes = dialog.table().Collect();
    for (const std::int32_t id : changes.ids) {
      SendAttributeEditRequest(viewer_, table.layerId, id, changes.fields, changes.values);
    }
    dialog.table().Committed();
  }
}

}  // namespace orvenda
