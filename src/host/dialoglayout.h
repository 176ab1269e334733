#pragma once
// The shape the program's small dialogs share: OK and Cancel buttons named as the
// forms' code and the tests know them, OK taking Enter, and labelled fields above
// a right-aligned button row.

class QDialog;
class QFormLayout;
class QPushButton;

namespace orvenda {

void NameOkCancel(QPushButton* ok, QPushButton* cancel);

// Gives `dialog` the fields with OK and Cancel below them (named as above).
void LayOutFields(QDialog* dialog, QFormLayout* fields, QPushButton* ok, QPushButton* cancel);

}  // namespace orvenda
