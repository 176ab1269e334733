#include "viewer/saveimage.h"

#include <QFileInfo>

namespace orvenda {
namespace {
const QString kBitmapFilter = QStringLiteral("Bitmap File (*.bmp)");
const QString kPngFilter = QStringLiteral("PNG File (*.png)");
}  // namespace

Savedlg::Savedlg(QWidget* parent) : QFileDialog(parent) {
  setObjectName(QStringLiteral("Savedlg"));
  setWindowTitle(QStringLiteral("Save Image"));
  setAcceptMode(QFileDialog::AcceptSave);
  setNameFilters({kBitmapFilter, kPngFilter});
  // Qt's own dialog: the same everywhere, and it runs on the offscreen platform.
  setOption(QFileDialog::DontUseNativeDialog);
}

bool SavePicture(Interaction& ui, const QImage& picture, QWidget* parent) {
  Savedlg dialog(parent);
  ui.ShowModal(dialog);
  if (dialog.result() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
  QString path = dialog.selectedFiles().constFirst();
  QString suffix = QFileInfo(path).suffix().toLower();
  if (suffix != "png" && suffix != "bmp") {
    suffix = dialog.selectedNameFilter() == kPngFilter ? "png" : "bmp";
    path += "." + suffix;
  }
  if (picture.save(path, suffix == "png" ? "PNG" : "BMP")) return true;
  ui.MessageBox("No se pudo guardar la imagen en " + path.toStdString(), "Save Image",
                MessageIcon::Exclamation, MessageButtons::Ok);
  return false;
}

}  // namespace orvenda
