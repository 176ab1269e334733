#include "dialogs/selectiontablewindow.h"

#include <QLabel>
#include <algorithm>

#include "dialogs/dlgshowinfoelements.h"
#include "protocol/attributeedit.h"
#include "protocol/serverlink.h"

namespace orvenda {
namespace {

constexpr std::size_t kFullListMost = 10000;
constexpr std::size_t kCutList = 9997;

}  // namespace

std::size_t ListedRows(std::size_t n) { return n > kFullListMost ? kCutList : n; }

PickedRowsEdit PickedRowsFor(layer& lay, const InfoElementsTable::Changes& changes) {
  PickedRowsEdit edit{lay.IDLayer, changes.ids, {}, {}};
  for (const std::int32_t id : changes.ids) {
    for (const CellIJ& cell : CellsOf(lay, id)) {
      if (std::find(edit.cells.begin(), edit.cells.end(), cell) == edit.cells.end()) {
        edit.cells.push_back(cell);
      }
    }
  }
  for (std::size_t k = 0; k < changes.fields.size(); ++k) {
    edit.values.push_back({changes.fields[k], changes.types[k], changes.values[k]});
  }
  return edit;
}

void ShowSelectionTable(MapViewer& viewer, const SelectionTable& table, QWidget* parent) {
  if (!viewer.layers().Item(Key(table.layerId))) return;
  SelectionTable listed = table;
  if (ListedRows(table.rows.size()) < table.rows.size()) {
    viewer.interaction().MessageBox(
        "Demasiados elementos más de 10000, solamente 9997 aparecen en esta ventana!!!", "Orvenda",
        MessageIcon::Exclamation, MessageButtons::Ok);
    listed.rows.resize(ListedRows(table.rows.size()));
  }
  dlgShowInfoElements window(viewer, table.layerId, listed, parent, "# Element");
  window.setWindowTitle(QStringLiteral("Selección Múltiple"));
  window.lblSelectedElements->setText(QStringLiteral("Numero de Elementos Seleccionados: ") +
                                      QString::number(table.rows.size()));
  for (;;) {
    window.PrepareShow();
    viewer.interaction().ShowModal(window);
    if (window.Mode != "EDIT") return;
    // The map may have gone, or its rights changed, while the window was open.
    layer* lay = viewer.layers().Item(Key(table.layerId));
    if (!lay) return;
    if (lay->AccessLevel < ALEditor) {
      viewer.interaction().MessageBox("Acceso Denegado", "Orvenda Viewer", MessageIcon::Critical,
                                      MessageButtons::Ok);
      return;
    }
    const InfoElementsTable::Changes changes = window.table().Collect();
    if (!changes.fields.empty()) {
      viewer.link().SendToServer(WritePickedRowsEdit(PickedRowsFor(*lay, changes)));
    }
    window.table().Committed();
  }
}

}  // namespace orvenda
