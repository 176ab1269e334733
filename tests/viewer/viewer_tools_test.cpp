// Navigation and the mouse tools of the Viewer, driven with QTest mouse and key
// events on the offscreen widget. The map is 0..2 x 0..2 degrees (no projection)
// on a 300 x 300 control: 150 pixels per degree, pixel (150, 150) at (1, 1).
#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include "pixels.h"
#include "render/viewtransform.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::ViewerRig;

// A rig with the map open, its cells answered, and a line element from
// (0.5, 0.5) to (1.5, 1.5) in the middle cell: pixels with x + y = 300.
class ViewerTools : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Open({testing::LayerDef{}}, {{0.5, 0.5, 1.5, 1.5}});
    ASSERT_TRUE(Black(150, 150));
  }
  Viewer& v() { return *rig.viewer; }
  void ExpectView(double minX, double minY, double maxX, double maxY, const char* what) {
    const BoundingBox& view = rig.viewer->view().ViewExtents;
    const double got[] = {view.MinX, view.MinY, view.MaxX, view.MaxY};
    const double want[] = {minX, minY, maxX, maxY};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(got[i], want[i], 1e-9) << what << " " << Describe(view);
  }
  bool Black(int x, int y) { return v().Picture().pixelColor(x, y) == QColor(Qt::black); }
  int BlackAlongRow(int y, int from, int to) {
    return testing::CountColour(v().Picture(), {from, y, to - from, 1}, qRgb(0, 0, 0));
  }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&v(), button, Qt::NoModifier, at);
  }

  ViewerRig rig;
};

TEST_F(ViewerTools, ZoomWindowDragDrawsARubberBandAndShowsTheRectangle) {
  v().ZoomWindow();
  QTest::mousePress(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(75, 75));
  QTest::mouseMove(&v(), QPoint(225, 150));
  EXPECT_GT(BlackAlongRow(75, 80, 200), 20) << "the band's top edge";
  QTest::mouseRelease(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(225, 150));
  // (0.5, 1.5) to (1.5, 1.0): a wide rectangle; the height shows more.
  ExpectView(0.5, 1.25 - 0.5, 1.5, 1.25 + 0.5, "the window, centred");
  EXPECT_EQ(rig.mouseUps.count(), 1);

  // Escape cancels the gesture under way.
  QSignalSpy keys(&v(), &Viewer::KeyPress);
  v().ZoomWindow();
  QTest::mousePress(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(75, 75));
  QTest::mouseMove(&v(), QPoint(225, 150));
  QTest::keyClick(&v(), Qt::Key_Escape);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_EQ(keys.count() == 1 ? keys[0][0].toInt() : 0, 27) << "one KeyPress of Escape";
  EXPECT_LT(BlackAlongRow(75, 80, 200), 3) << "the band is gone";
  QTest::mouseRelease(&v(), Qt::LeftButton, Qt::NoModifier, QPoint(225, 150));
  ExpectView(0.5, 1.25 - 0.5, 1.5, 1.25 + 0.5, "the release after Escape applies nothing");
}

TEST_F(ViewerTools, ZoomInOutAndByAFactorArmedOnlyForUsefulFactorsAboutTheClick) {
  v().ZoomIn();
  ExpectView(0.5, 0.5, 1.5, 1.5, "zoomed in about the middle");
  EXPECT_NEAR(v().CurrentZoom(), 1.0 / 1000, 1e-9) << "one degree high, in thousands";
  v().ZoomOut();
  ExpectView(0, 0, 2, 2, "zoomed out again");
  EXPECT_TRUE(rig.sock.sent().empty()) << "every cell of these views was asked already";
  float one = 1, zero = 0, quarter = 0.25f, two = 2;
  v().ZoomFactor(one);
  v().ZoomFactor(zero);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  v().ZoomFactor(quarter);
  EXPECT_EQ(v().toolState().MouseAction, 2);
  EXPECT_EQ(v().CustomPointer(), 106);
  v().ZoomFactor(two);
  EXPECT_EQ(v().CustomPointer(), 105);
  Click(QPoint(75, 75));  // (0.5, 1.5)
  ExpectView(0, 1, 1, 2, "half the extent about the click");
  EXPECT_EQ(rig.clicks.count(), 1);
}

// A wheel notch zooms as ZoomIn does but keeps the map point under the pointer; the keys
// pan and zoom and still reach the host; nothing moves while requests are pending.
TEST_F(ViewerTools, WheelAndKeysNavigateWhenIdleAndTheKeysStillReachTheHost) {
  const auto wheel = [this](int delta) {
    QWheelEvent e(QPointF(75, 75), v().mapToGlobal(QPointF(75, 75)), QPoint(), QPoint(0, delta),
                  Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&v(), &e);
  };
  QSignalSpy downs(&v(), &Viewer::KeyDown), presses(&v(), &Viewer::KeyPress);
  v().SetPendingRequests(1);
  wheel(120);
  QTest::keyClick(&v(), Qt::Key_Right);
  ExpectView(0, 0, 2, 2, "nothing while requests are pending");
  v().SetPendingRequests(0);
  wheel(60);
  ExpectView(0, 0, 2, 2, "half a notch");
  wheel(60);
  // (0.5, 1.5) stays at (75, 75): a view one degree wide, a quarter of it left of the pointer.
  ExpectView(0.25, 0.75, 1.25, 1.75, "a notch in about the pointer");
  EXPECT_NEAR(v().CurrentZoom(), 1.0 / 1000, 1e-9) << "the scale of ZoomIn";
  wheel(-120);
  QTest::keyClick(&v(), Qt::Key_Right);
  ExpectView(0.5, 0, 2.5, 2, "a quarter view east");
  QTest::keyClick(&v(), Qt::Key_Plus);
  ExpectView(1, 0.5, 2, 1.5, "zoomed in about the middle");
  QTest::keyClick(&v(), Qt::Key_Home);
  ExpectView(0, 0, 2, 2, "the whole map");
  EXPECT_TRUE(rig.sock.sent().empty()) << "every cell of these views was asked already";
  EXPECT_EQ(downs.count(), 4) << "every key reached the host, the pending one too";
  EXPECT_EQ(presses.count() == 1 ? presses[0][0].toInt() : 0, '+') << "the one character typed";
}

// The tool's own rules are tested without a widget (tools_test); here the
// widget's events reach it, its figure and rubber line show, its menu opens.
TEST_F(ViewerTools, MeasuringDrawsItsFigureAndReportsFromTheMenu) {
  v().MeasureDistance();
  Click(QPoint(30, 150));
  Click(QPoint(180, 150));
  QTest::mouseMove(&v(), QPoint(180, 270));
  EXPECT_TRUE(Black(180, 260)) << "rubber line from the last vertex";
  EXPECT_FALSE(Black(105, 210)) << "an open figure: no line back to the first vertex";
  EXPECT_TRUE(Black(100, 150)) << "the measured leg is drawn";
  rig.menus.answers = {"mnuCerrarPline"};
  Click(QPoint(180, 230), Qt::RightButton);
  ASSERT_EQ(rig.ui.shown.size(), 1u);
  EXPECT_EQ(rig.ui.shown[0].text, "Total distance: 1 m.");
  EXPECT_EQ(v().toolState().MouseAction, 0);
  EXPECT_FALSE(Black(100, 150)) << "the figure is gone";
}

// The line (element 92811 of layer 7) picked by a click near it: highlighted in
// red while selected, shown by the menu's zoom, reported on "Resume". The
// information tool asks for what lies under the click.
TEST_F(ViewerTools, PickedElementIsHighlightedZoomedToReportedAndAskedAbout) {
  QSignalSpy selected(&v(), &Viewer::SelectionSet);
  v().SelectObjects(8);
  EXPECT_EQ(v().toolState().MouseAction, 0) << "no such layer";
  v().SelectObjects(7);
  Click(QPoint(152, 150));
  EXPECT_EQ(v().Selection(), std::vector<std::int32_t>{92811});
  EXPECT_EQ(v().Picture().pixelColor(150, 150), QColor(Qt::red));
  rig.menus.answers = {"mnuZoomToSelected", "mnuEndSelection"};
  Click(QPoint(10, 10), Qt::RightButton);
  ExpectView(0.5, 0.5, 1.5, 1.5, "the line's box");
  Click(QPoint(10, 10), Qt::RightButton);
  ASSERT_EQ(selected.count(), 1);
  EXPECT_EQ(selected[0][2].value<QList<int>>(), QList<int>{92811});
  EXPECT_EQ(v().toolState().MouseAction + v().Selection().size(), 0u);
  EXPECT_TRUE(Black(150, 150)) << "no highlight once finished";

  rig.sock.ClearSent();
  v().GetInfo(7);
  Click(QPoint(150, 150));
  EXPECT_EQ(rig.sock.sent(), std::vector<testing::Bytes>{testing::Wire(4, "LL", {7, 92811})});
}

// A window resized while replies are awaited (a document maximised as it opens)
// shows the grown view once they are in.
TEST_F(ViewerTools, AResizeWhileRequestsArePendingIsAppliedOnceTheyAreIn) {
  v().SetPendingRequests(1);
  v().resize(600, 300);
  ExpectView(0, 0, 2, 2, "nothing moves while waiting");
  v().SetPendingRequests(0);
  v().FinishLoadingPass();
  ExpectView(-1, 0, 3, 2, "same centre and scale, twice as wide");
}

TEST_F(ViewerTools, WhileRequestsArePendingNothingNavigatesAndShiftRightForgetsThem) {
  v().Pan();
  EXPECT_EQ(v().MousePointer(), 99);
  v().SetPendingRequests(2);
  QTest::mouseMove(&v(), QPoint(40, 40));
  EXPECT_EQ(v().MousePointer(), 11) << "the hourglass";
  Click(QPoint(40, 40));
  EXPECT_EQ(v().toolState().MouseAction, 3) << "no gesture";
  float three = 3;
  v().ZoomIn();
  v().ZoomExtents();
  v().ZoomFactor(three);
  v().MeasureDistance();
  EXPECT_EQ(v().toolState().MouseAction, 3) << "no command";
  ExpectView(0, 0, 2, 2, "no navigation");
  QTest::mousePress(&v(), Qt::RightButton, Qt::ShiftModifier, QPoint(40, 40));
  EXPECT_EQ(v().PendingRequests(), 0);
  EXPECT_EQ(v().toolState().MouseAction, 0);
  QTest::mouseRelease(&v(), Qt::RightButton, Qt::ShiftModifier, QPoint(40, 40));
  QTest::mouseMove(&v(), QPoint(50, 50));
  EXPECT_EQ(v().MousePointer(), 99) << "the hand again";
}

}  // namespace
}  // namespace orvenda
