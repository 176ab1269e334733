#pragma once
// The shape the small dialogs share: widgets named as the forms' code and the tests
// know them, OK and Cancel buttons with OK taking Enter, labelled fields above a
// right-aligned button row, and OK/Cancel that set a Cancelled flag and hide.

#include <QString>

class QDialog;
class QFormLayout;
class QLayout;
class QPushButton;
class QWidget;

namespace orvenda {

template <typename Widget>
Widget* Named(Widget* widget, const char* name) {
  widget->setObjectName(QString::fromLatin1(name));
  return widget;
}

QPushButton* Button(const char* name, const QString& text, QWidget* parent);

void NameOkCancel(QPushButton* ok, QPushButton* cancel);

// Gives `dialog` the fields (any layout) with OK and Cancel below them (named as above).
void LayOutFields(QDialog* dialog, QLayout* fields, QPushButton* ok, QPushButton* cancel);

// OK sets `cancelled` false, Cancel sets it true; both hide the dialog.
void HideOnOkCancel(QDialog* dialog, QPushButton* ok, QPushButton* cancel, bool& cancelled);

}  // namespace orvenda
