#pragma once
// The table window of a multiple selection (reply 114 in a display mode other than
// 0): the rows under the heading "# Element", the total row, the number selected,
// and the columns the user overwrote sent back for every listed element (request
// 221). The grid is the element information dialog's.

#include <cstddef>
#include <cstdint>

#include "dialogs/infoelementstable.h"
#include "protocol/mapviewer.h"
#include "protocol/querymessages.h"

class QWidget;

namespace orvenda {

// How many of n rows the window lists: all up to 10000, 9997 above that.
std::size_t ListedRows(std::size_t n);

// Request 221 for the changes of the window's table: the listed elements, the cells
// the layer holds them in, and each overwritten field with its value.
PickedRowsEdit PickedRowsFor(layer& lay, const InfoElementsTable::Changes& changes);

// Shows the window modally until it is closed; each "Actualizar" sends the
// overwritten columns (with the editor level on the layer) and shows it again.
void ShowSelectionTable(MapViewer& viewer, const SelectionTable& table, QWidget* parent);

}  // namespace orvenda
