// The Viewer's tooltip, snapshot and about box on the offscreen platform, over
// the rig's map: a line from (0.5, 0.5) to (1.5, 1.5) in layer 7, pixels with
// x + y = 300 on the 300 x 300 control.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QTest>

#include "model/layers.h"
#include "viewer/aboutbox.h"
#include "viewer/qttooltip.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

class ViewerEvents : public ::testing::Test {
 protected:
  void SetUp() override { rig.Open({testing::LayerDef{}}, {{0.5, 0.5, 1.5, 1.5}}); }
  Viewer& v() { return *rig.viewer; }
  testing::ViewerRig rig;
};

TEST_F(ViewerEvents, ToolTipShowsTheLabelOfTheElementUnderARestingPointer) {
  layer& roads = *v().layers().Item("7");
  ASSERT_EQ(roads.Entidades.count(), 1);
  roads.Entidades.Item(1)->IDLabel = roads.LabelIndex("Ruta 5");
  v().SetToolTip(7, " ");
  QTest::mouseMove(&v(), QPoint(100, 200));
  auto* tip = v().findChild<QtToolTip*>("picToolTip");
  ASSERT_NE(tip, nullptr);
  EXPECT_FALSE(tip->isVisible()) << "not before the pointer has rested";
  tip->Tick();
  EXPECT_TRUE(tip->isVisible());
  EXPECT_EQ(tip->Caption(), "Etiqueta: Ruta 5");
  EXPECT_EQ(tip->pos(), QPoint(100, 200 + 19)) << "290 twips below the pointer";
}

TEST_F(ViewerEvents, SnapShotCopiesThePictureOnlyWhenIdle) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  clipboard->setText("before");
  v().SetPendingRequests(1);
  v().SnapShot();
  EXPECT_EQ(clipboard->text(), "before");
  v().SetPendingRequests(0);
  v().SnapShot();
  EXPECT_TRUE(clipboard->text().isEmpty()) << "cleared first";
  const QImage copied = clipboard->image().convertToFormat(QImage::Format_RGB32);
  EXPECT_EQ(copied, v().Picture().convertToFormat(QImage::Format_RGB32));
}

TEST_F(ViewerEvents, AboutShowsTheControlsBoxOnlyWhenIdle) {
  std::vector<QString> shown;
  rig.ui.onModal = [&](ModalForm& form) {
    const auto* box = dynamic_cast<AboutBox*>(&form);
    shown.push_back(box ? box->lblTitle->text() : QString());
  };
  v().SetPendingRequests(2);
  v().About();
  EXPECT_TRUE(shown.empty());
  v().SetPendingRequests(0);
  v().About();
  EXPECT_EQ(shown, std::vector<QString>{"Orvenda Viewer"});
}

// A new element's values come from the host through OnNewElement, one per
// field of its layer, or nothing when the host cancels.
TEST_F(ViewerEvents, NewElementValuesComeFromTheHostOrItCancels) {
  layer& roads = *v().layers().Item("7");
  roads.Campos().Add("NOMBRE", 200);
  roads.Campos().Add("CARRILES", 3);
  bool cancel = false;
  QObject::connect(
      &v(), &Viewer::OnNewElement,
      [&](const QStringList& names, const QList<int>& types, QStringList& values, bool& Cancel) {
        EXPECT_EQ(names, QStringList({"NOMBRE", "CARRILES"}));
        EXPECT_EQ(types, QList<int>({200, 3}));
        values = {"Juárez", "2"};
        Cancel = cancel;
      });
  EXPECT_EQ(v().RaiseNewElement(roads), (std::vector<std::string>{"Juárez", "2"}));
  cancel = true;
  EXPECT_EQ(v().RaiseNewElement(roads), std::nullopt);
}

}  // namespace
}  // namespace orvenda
