#pragma once
// Savedlg ("Save Image"): where the picture of the map goes, as a Windows bitmap or a
// PNG file; shown through the Interaction seam, so tests choose the file without a
// window.

#include <QFileDialog>
#include <QImage>

#include "protocol/interaction.h"

namespace orvenda {

class Savedlg : public QFileDialog, public ModalForm {
  Q_OBJECT

 public:
  explicit Savedlg(QWidget* parent = nullptr);
};

// Asks for a file and writes `picture` there, as PNG when the name ends in ".png"
// (or the PNG filter is chosen for a name without an ending), otherwise as BMP. A
// file that cannot be written is told. False when nothing was written.
bool SavePicture(Interaction& ui, const QImage& picture, QWidget* parent);

}  // namespace orvenda
