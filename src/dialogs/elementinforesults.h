#pragma once
// ElementInfoResults: a viewer's presenter of the tables of reply 114 asked for in
// display mode 0, the element information dialog. Each close of the dialog with
// "Actualizar" sends the overwritten values of every listed element (request 4 in
// attribute-editing mode; its reply leads to command 220) and shows the dialog
// again; any other way out ends it. The other display modes show the table window
// of a multiple selection. The find-by-condition results and the address
// candidates: findcommands.cpp.

#include "protocol/mapviewer.h"
#include "protocol/queryreplies.h"

class QWidget;

namespace orvenda {

class ToolHost;

class ElementInfoResults final : public QueryResultsView {
 public:
  // `tools` adds the points of "Punto Nuevo" (findcommands.cpp); none, no points.
  ElementInfoResults(MapViewer& viewer, QWidget* parent, ToolHost* tools = nullptr)
      : viewer_(viewer), parent_(parent), tools_(tools) {}

  void FoundByCondition(const FoundElements& found) override;
  void SelectionTable(const orvenda::SelectionTable& table, std::int16_t displayMode) override;
  void AddressCandidates(const orvenda::AddressCandidates& candidates) override;

 private:
  MapViewer& viewer_;
  QWidget* parent_;
  ToolHost* tools_;
};

}  // namespace orvenda
