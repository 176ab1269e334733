#pragma once
// dlgLayerSetup: how one layer is classified and labelled. The dialog edits its
// own copy of the layer's classes (WorkingClasses); the layer changes only when
// the viewer applies an OK. To build classes from the data it hides itself with
// SetupResult 2; the viewer asks the server (request 6) and, when reply 106 has
// come, hands the values over (SetQueriedValues) and shows the same dialog again,
// whose next paint builds the classes. The class logic is in layersetupclasses.h.

#include <QDialog>
#include <QFrame>
#include <QImage>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/layersetupclasses.h"
#include "model/layer.h"
#include "protocol/interaction.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace orvenda {

// A colour shown as a filled box (the shp* swatches).
class ColourSwatch : public QFrame {
 public:
  explicit ColourSwatch(const char* name, QWidget* parent);
  Colour colour() const { return colour_; }
  void SetColour(Colour colour);

 private:
  Colour colour_ = 0;
};

class dlgLayerSetup : public QDialog, public ModalForm {
  Q_OBJECT

 public:
  // Opens on `lay` (whose fields and classes it reads once, now); `viewHeightKm` is
  // the height of the current view. Messages go through `ui`.
  dlgLayerSetup(layer& lay, double viewHeightKm, Interaction& ui, QWidget* parent = nullptr);
  ~dlgLayerSetup() override;

  layer& Layer() const { return lay_; }
  // 0 OK, 1 cancelled or closed, 2 ask the server for the field's values.
  std::int16_t SetupResult = 1;
  const ThematicMap& WorkingClasses() const { return *WorkingClasses_; }
  void SetQueriedValues(std::vector<std::string> values);
  const std::vector<std::string>& QueriedValues() const { return QueriedValues_; }
  bool ValuesArrived = false;
  bool PreviewReady = false;
  // The field and kind (1 all values, 2 lowest and highest) request 6 asks for.
  std::string QueryField() const;
  std::int16_t QueryKind() const;
  // The settings as OK leaves them.
  LayerSetupChoice Choice() const;
  // The colour chooser of the six colour buttons: the chosen colour, or nothing.
  std::function<std::optional<Colour>(Colour)> ColorDlg;
  const QImage& PreviewPicture() const { return previewPicture_; }

  QGroupBox* Frame1;
  QComboBox* cbThemeField;
  QComboBox* cbThemeMethod;
  QComboBox* cbQtyClasses;
  QPushButton* cmdQrySvr;
  QGroupBox* ThemeSetup;
  QListWidget* lstThemeClasses;
  QLineEdit* txtMin;
  QLineEdit* txtMax;
  QPushButton* cmdChangeValues;
  QPushButton* cmdNewClass;
  QPushButton* cmdDeleteClass;
  ColourSwatch* shpBColor;
  QPushButton* cmdBorderColor;
  QComboBox* cbBWidth;
  QComboBox* cbBStyle;
  ColourSwatch* shpFillColor;
  QPushButton* cmdFillColor;
  QComboBox* cbFillMode;
  ColourSwatch* shpColor0;
  QPushButton* cmdColor0;
  ColourSwatch* ShpColor1;
  QPushButton* cmdColor1;
  QGroupBox* frame3;
  QLabel* Preview;
  QGroupBox* Frame2;
  QComboBox* cbLblField;
  ColourSwatch* shpLblColor;
  QPushButton* cmdlblColor;
  QCheckBox* chklblBold;
  QComboBox* cbLblVisible;
  QLineEdit* txtMinHeight;
  QLineEdit* txtMaxHeight;
  QLabel* lblCurrHeight;
  QCheckBox* chkAllowDuplicates;
  QGroupBox* Directions;
  QCheckBox* chkDirections;
  QPushButton* OKButton;
  QPushButton* CancelButton;

 protected:
  void showEvent(QShowEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void reject() override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildWidgets();
  void Open(double viewHeightKm);
  void ThemeFieldChosen(int index);
  void LabelFieldChosen(int index);
  void LabelVisibilityChosen(int index);
  void MethodChosen(int index);
  void ClassSelected(int row);
  void ChangeValues();
  void NewClass();
  void DeleteClass();
  void PickColour(ColourSwatch* swatch, Colour Theme::*member);
  void BuildClassesNow();
  void FillClassList();
  void DrawPreview();
  void UpdateNewClassButton();
  void Leave(std::int16_t result);
  void BuildIfValuesArrived();
  // The class being edited (the list's selection), or null.
  Theme* SelectedClass();
  std::int16_t ThemeFieldType() const;
  bool IsPolygonLayer() const { return lay_.Tipo == polygonlayer; }

  layer& lay_;
  Interaction& ui_;
  std::unique_ptr<ThematicMap> WorkingClasses_;
  std::vector<std::string> QueriedValues_;
  QImage previewPicture_;
};

}  // namespace orvenda
