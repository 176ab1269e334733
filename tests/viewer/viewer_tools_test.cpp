// Navigation and the mouse tools of the Viewer, driven with QTest mouse and key
// events on the offscreen widget. The map is 0..2 x 0..2 degrees (no projection)
// on a 300 x 300 control: 150 pixels per degree, pixel (150, 150) at (1, 1).
#include <gtest/gtest.h>

#include <QTest>

#include "render/viewtransform.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::ViewerRig;

constexpr double kTolerance = 1e-9;

// A rig with the map open, its cells answered, and a line element from
// (0.5, 0.5) to (1.5, 1.5) in the middle cell: pixels with x + y = 300.
class ViewerTools : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Show();
    rig.ReplyOpenMap();
    rig.ReplyMapDefinition({testing::LayerDef{}});
    rig.ReplyAccessLevels({testing::LayerDef{}});
    const auto cells = rig.CellRequests();
    rig.sock.ClearSent();
    for (const auto& c : cells) {
      if (c[1] == 91 && c[2] == 181) {
        rig.ReplyCell(7, 91, 181, {{0.5, 0.5, 1.5, 1.5}});
      } else {
        rig.ReplyCell(c[0], c[1], c[2]);
      }
    }
    ASSERT_EQ(rig.viewer->PendingRequests(), 0);
    ASSERT_EQ(rig.viewer->Picture().pixelColor(150, 150), QColor(Qt::black));
  }
  Viewer& v() { return *rig.viewer; }
  const BoundingBox& view() { return rig.viewer->view().ViewExtents; }
  void ExpectView(double minX, double minY, double maxX, double maxY, const char* what) {
    EXPECT_NEAR(view().MinX, minX, kTolerance) << what << " " << Describe(view());
    EXPECT_NEAR(view().MinY, minY, kTolerance) << what << " " << Describe(view());
    EXPECT_NEAR(view().MaxX, maxX, kTolerance) << what << " " << Describe(view());
    EXPECT_NEAR(view().MaxY, maxY, kTolerance) << what << " " << Describe(view());
  }
  static bool Black(const QImage& picture, int x, int y) {
    return picture.pixelColor(x, y) == QColor(Qt::black);
  }

  ViewerRig rig;
};

TEST_F(ViewerTools, ZoomInThenOutReturnsToTheSameView) {
  ExpectView(0, 0, 2, 2, "opened");
  v().ZoomIn();
  ExpectView(0.5, 0.5, 1.5, 1.5, "zoomed in about the middle");
  EXPECT_NEAR(v().CurrentZoom(), 1.0 / 1000, 1e-9) << "one degree high, in thousands";
  v().ZoomOut();
  ExpectView(0, 0, 2, 2, "zoomed out again");
  EXPECT_TRUE(rig.sock.sent().empty()) << "every cell of these views was asked already";
}

TEST_F(ViewerTools, PanDragShowsTheShiftedPictureAndMovesTheView) {
  v().Pan();
  EXPECT_EQ(v().toolState().MouseAction, 3);
  EXPECT_EQ(v().CustomPointer(), 102);
  QTest::mousePress(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  QTest::mouseMove(&v(), QPoint(160, 130));
  const QImage dragged = v().Picture();
  EXPECT_TRUE(Black(dragged, 195, 195)) << "the line moved by (60, 30)";
  EXPECT_FALSE(Black(dragged, 150, 150));
  EXPECT_EQ(rig.viewer->view().ViewExtents.MinX, 0.0) << "nothing applied while dragging";

  QTest::mouseRelease(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(160, 130));
  // The map follows the pointer: 60 pixels right and 30 down.
  ExpectView(-0.4, 0.2, 1.6, 2.2, "after the pan");
  EXPECT_EQ(rig.mouseUps->count(), 0) << "a pan raises no MouseUp";
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_TRUE(Black(v().Picture(), 195, 195)) << "the map stays where it was dropped";
}

TEST_F(ViewerTools, PanReleasedWhereItStartedOnlyRepaints) {
  v().Pan();
  const int redraws = rig.redrawn->count();
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  ExpectView(0, 0, 2, 2, "unchanged");
  EXPECT_EQ(rig.mouseUps->count(), 0);
  EXPECT_EQ(rig.redrawn->count(), redraws + 1) << "one repaint";
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_TRUE(Black(v().Picture(), 150, 150));
}

TEST_F(ViewerTools, ZoomWindowDragDrawsARubberBandAndShowsTheRectangle) {
  v().ZoomWindow();
  EXPECT_EQ(v().CustomPointer(), 101);
  QTest::mousePress(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(75, 75));
  QTest::mouseMove(&v(), QPoint(225, 150));
  const QImage banded = v().Picture();
  int dark = 0;
  for (int x = 80; x < 200; ++x) dark += Black(banded, x, 75) ? 1 : 0;
  EXPECT_GT(dark, 20) << "the band's top edge";
  QTest::mouseRelease(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(225, 150));
  // (0.5, 1.5) to (1.5, 1.0): a wide rectangle; the height shows more.
  ExpectView(0.5, 1.25 - 0.5, 1.5, 1.25 + 0.5, "the window, centred");
  EXPECT_EQ(rig.mouseUps->count(), 1);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_EQ(v().toolState().BaseTool, 1);
  int stillDark = 0;
  const QImage after = v().Picture();
  for (int x = 80; x < 200; ++x) stillDark += Black(after, x, 75) ? 1 : 0;
  EXPECT_LT(stillDark, 3) << "no band after the release";
}

TEST_F(ViewerTools, ZoomWindowReleasedAtThePressPointOnlyRepaints) {
  v().ZoomWindow();
  const int redraws = rig.redrawn->count();
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(100, 100));
  ExpectView(0, 0, 2, 2, "unchanged");
  EXPECT_EQ(rig.mouseUps->count(), 0) << "no MouseUp without a rectangle";
  EXPECT_EQ(rig.redrawn->count(), redraws + 1);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_TRUE(rig.sock.sent().empty());
}

TEST_F(ViewerTools, ZoomFactorArmsOnlyForUsefulFactorsAndZoomsAboutTheClick) {
  float one = 1, zero = 0, three = 3, quarter = 0.25f, two = 2;
  v().ZoomFactor(one);
  v().ZoomFactor(zero);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  v().ZoomFactor(three);
  EXPECT_EQ(v().toolState().MouseAction, 2);
  EXPECT_EQ(v().CustomPointer(), 105);
  v().ZoomFactor(quarter);
  EXPECT_EQ(v().CustomPointer(), 106);
  v().ZoomFactor(two);
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(75, 75));  // (0.5, 1.5)
  ExpectView(0, 1, 1, 2, "half the extent about the click");
  EXPECT_EQ(rig.clicks->count(), 1);
}

TEST_F(ViewerTools, EscapeCancelsTheGestureUnderWay) {
  QSignalSpy keys(&v(), &Viewer::KeyPress);
  v().ZoomWindow();
  QTest::mousePress(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(50, 50));
  QTest::mouseMove(&v(), QPoint(120, 120));
  QTest::keyClick(&v(), Qt::Key_Escape);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_FALSE(v().toolState().Dragging);
  EXPECT_EQ(v().MousePointer(), 0);
  ASSERT_EQ(keys.count(), 1);
  EXPECT_EQ(keys[0][0].toInt(), 27);
  EXPECT_FALSE(Black(v().Picture(), 85, 50)) << "the band is gone";
  QTest::mouseRelease(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(120, 120));
  ExpectView(0, 0, 2, 2, "the release after Escape applies nothing");
}

TEST_F(ViewerTools, MeasuringAddsClickedVerticesAndResumeReportsTheLength) {
  v().MeasureDistance();
  EXPECT_EQ(v().CustomPointer(), 109);
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 150));
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(180, 150));
  QTest::mouseMove(&v(), QPoint(180, 270));
  EXPECT_TRUE(Black(v().Picture(), 180, 260)) << "rubber line from the last vertex";
  EXPECT_TRUE(Black(v().Picture(), 100, 150)) << "the measured leg is drawn";
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(180, 200));
  ASSERT_EQ(v().toolState().Vertices.size(), 3u);

  rig.menus.answers = {"mnuCerrarPline"};
  QTest::mouseClick(&v(), Qt::RightButton, Qt::NoModifier, QPoint(180, 200));
  EXPECT_EQ(rig.menus.shown, std::vector<std::string>{"mnuEnd"});
  // One degree and a third: truncated to hundredths.
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "Total distance: 1.33 m.");
  EXPECT_EQ(rig.ui.shown[0].icon, MessageIcon::None);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_FALSE(v().toolState().KeepTool);
  EXPECT_TRUE(v().toolState().Vertices.empty());
  EXPECT_FALSE(Black(v().Picture(), 100, 150)) << "the figure is gone";
}

TEST_F(ViewerTools, MeasuringOneVertexReportsZeroAndDeleteLastPointDropsOne) {
  v().MeasureDistance();
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(30, 150));
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(180, 150));
  rig.menus.answers = {"mnuEraseLastPoint", "mnuCerrarPline"};
  QTest::mouseClick(&v(), Qt::RightButton, Qt::NoModifier, QPoint(200, 200));
  EXPECT_EQ(v().toolState().Vertices.size(), 1u);
  EXPECT_EQ(v().toolState().MouseAction, 8);
  QTest::mouseClick(&v(), Qt::RightButton, Qt::NoModifier, QPoint(220, 200));
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "Total distance: 0 m.");
}

TEST_F(ViewerTools, TheHourglassShowsWhileRequestsArePendingAndGoesAfter) {
  v().Pan();
  EXPECT_EQ(v().MousePointer(), 99);
  v().SetPendingRequests(1);
  QTest::mouseMove(&v(), QPoint(40, 40));
  EXPECT_EQ(v().MousePointer(), 11);
  QTest::mouseClick(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(40, 40));
  EXPECT_EQ(v().toolState().MouseAction, 3) << "no gesture while pending";
  v().SetPendingRequests(0);
  QTest::mouseMove(&v(), QPoint(50, 50));
  EXPECT_EQ(v().MousePointer(), 99);
  EXPECT_EQ(v().CustomPointer(), 102);
}

TEST_F(ViewerTools, ShiftWithTheRightButtonForgetsPendingRequests) {
  v().Pan();
  v().SetPendingRequests(4);
  QTest::mousePress(&v(), Qt::RightButton, Qt::ShiftModifier, QPoint(40, 40));
  EXPECT_EQ(v().PendingRequests(), 0);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  QTest::mouseRelease(&v(), Qt::RightButton, Qt::ShiftModifier, QPoint(40, 40));
}

TEST_F(ViewerTools, ResizingKeepsScaleAndCentreAndAsksForTheUncoveredCells) {
  const float scale = v().view().FactorEscala;
  v().resize(600, 300);
  EXPECT_FLOAT_EQ(v().view().FactorEscala, scale);
  ExpectView(-1, 0, 3, 2, "twice as wide");
}

}  // namespace
}  // namespace orvenda
