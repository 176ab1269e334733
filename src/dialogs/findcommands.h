#pragma once
// The viewer's find commands: FindByCondition and FindAddress send the search at
// once when the caller gave every term, and otherwise ask the user for them first
// (dlgFindByCondition, dlgFindAddress). Their replies are presented by
// ElementInfoResults (dlgViewConditionElements, dlgViewCandidates).

#include "protocol/mapviewer.h"
#include "protocol/querymessages.h"

class QWidget;

namespace orvenda {

// `preset`: a layer ID of 0, an empty field or an operation of 0 leave those to
// the user. Values are checked by the field's type before they go out, whoever
// gave them. False when nothing was sent.
bool FindByCondition(MapViewer& viewer, const ConditionQuery& preset, QWidget* parent);
// `preset`: the layer, street and number the dialog starts with; all three given
// and sound, the search goes out without it.
bool FindAddress(MapViewer& viewer, const AddressQuery& preset, QWidget* parent);

}  // namespace orvenda
