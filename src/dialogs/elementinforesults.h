#pragma once
// ElementInfoResults: a viewer's presenter of the tables of reply 114 asked for in
// display mode 0, the element information dialog. Each close of the dialog with
// "Actualizar" sends the overwritten values of every listed element (request 4 in
// attribute-editing mode; its reply leads to command 220) and shows the dialog
// again; any other way out ends it. The other display modes show the table window
// of a multiple selection. The find-by-condition results and the address candidates
// belong to the query dialogs: until they exist those replies are dropped here.

#include "protocol/mapviewer.h"
#include "protocol/queryreplies.h"

class QWidget;

namespace orvenda {

class ElementInfoResults final : public QueryResultsView {
 public:
  ElementInfoResults(MapViewer& viewer, QWidget* parent) : viewer_(viewer), parent_(parent) {}

  void FoundByCondition(const FoundElements&) override {}
  void SelectionTable(const orvenda::SelectionTable& table, std::int16_t displayMode) override;
  void AddressCandidates(const orvenda::AddressCandidates&) override {}

 private:
  MapViewer& viewer_;
  QWidget* parent_;
};

}  // namespace orvenda
