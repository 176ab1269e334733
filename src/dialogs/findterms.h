#pragma once
// What the find dialogs decide without widgets: the operators offered for a field,
// the checks of a condition's values and of an address, the caption of a result
// list, and the address candidates as lines and as views.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/boundingbox.h"
#include "protocol/querymessages.h"

namespace orvenda {

class layer;
class Layers;

// The operator texts of the find dialog for a field type, in the order offered
// ("Distinct" is operator 5 here).
const std::vector<std::string>& FindOperatorTexts(std::int16_t fieldType);
// The code of an operator text of the find dialog; 0 for an unknown text.
std::uint8_t FindOperatorCode(const std::string& text);
// The text of an operator code in the find dialog's list for the type, or
// nothing when that list does not offer it.
std::optional<std::string> FindOperatorText(std::uint8_t code, std::int16_t fieldType);

// Layers where a field can be chosen: neither image layers nor layers without
// fields.
bool HasFieldsToChoose(layer& lay);

// The caption of the results of a condition: the field, the operator, the first
// value (a text one in upper case between apostrophes) and, for "Between", the
// second.
std::string ConditionCaption(const Constraint& c);

// Why an address cannot be searched ("Street name must have at least 3
// characters", "You must type a street number"), or nothing. A pasted number
// that is not a whole number counts as none typed.
struct AddressFault {
  std::string message;
  bool inNumber = false;  // where the focus goes
};
std::optional<AddressFault> AddressTermsFault(const std::string& street, const std::string& number);

// One line of the candidates list: "name (first-second)".
std::string CandidateLine(const AddressCandidates::Candidate& c);
// The buttons of the candidates dialog for the selected line (none: nothing
// selected): "Ver Mapa" and "Punto Nuevo" (which also needs a layer to add to).
struct CandidateButtons {
  bool viewMap = false;
  bool newPoint = false;
};
CandidateButtons CandidateButtonsFor(const std::optional<std::string>& selectedLine, bool anyLayer);
// The view of "Ver Mapa": the candidate's box widened by 1.5 times its size on
// each side; a side of no size (a street along a meridian or parallel) gets 0.001
// degrees each way, as a single element is shown.
BoundingBox CandidateView(const AddressCandidates::Candidate& c);

}  // namespace orvenda
