// Erasing and attribute editing through the Viewer: the access checks, the
// confirmation, the values checked before anything goes out, the element
// information dialog of reply 114 and the bytes of 210, 4 and 220 that are sent.
// The map is 0..2 x 0..2 degrees on 300 x 300 pixels; line 92811 of layer 7 runs
// from (0.5, 0.5) to (1.5, 1.5), in grid cells (90, 180) and (92, 182).
#include <gtest/gtest.h>

#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "city_viewer.h"
#include "dialogs/dlgshowinfoelements.h"
#include "protocol/querymessages.h"
#include "viewer_rig.h"

namespace orvenda {
namespace {

using testing::Bytes;
using testing::Wire;

class AttributeEdit : public ::testing::Test {
 protected:
  void SetUp() override {
    rig.Open({testing::LayerDef{}}, {{0.5, 0.5, 1.5, 1.5}});
    lay().Campos().Add("NOMBRE", 200);
    lay().Campos().Add("CARRILES", 2);
    rig.sock.ClearSent();
  }
  Viewer& v() { return *rig.viewer; }
  layer& lay() { return *v().layers().Item("7"); }
  void Click(QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseClick(&v(), button, Qt::NoModifier, at);
  }
  // The last message box shown, as "title: text".
  std::string Shown() {
    return rig.ui.shown.empty() ? "" : rig.ui.shown.back().title + ": " + rig.ui.shown.back().text;
  }
  // Request 4 for the line went out; its reply in attribute-editing mode (values
  // "Viejo" and 2) sends command 220 with `name` and `lanes`.
  void ExpectEdit(const char* name, const char* lanes) {
    EXPECT_EQ(rig.sock.sent(), std::vector<Bytes>{Wire(cmd::kElementAttributes, "LL", {7, 92811})});
    rig.sock.ClearSent();
    rig.sock.Deliver(
        Wire(cmd::kElementAttributesReply, "LL I IS II", {7, 92811, 2, 200, "Viejo", 2, 2}));
    EXPECT_EQ(rig.sock.sent(),
              std::vector<Bytes>{Wire(cmd::kChangeAttributes, "L L LLLL L I SS",
                                      {7, 2, 90, 180, 92, 182, 92811, 2, name, lanes})});
  }

  testing::ViewerRig rig;
};

TEST_F(AttributeEdit, EraseAsksFirstThenSendsTheElementWithItsCellsAndDropsIt) {
  for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
    v().EraseEntity(7);
    Click(QPoint(152, 150));
    rig.ui.answers = {answer};
    rig.menus.answers = {"mnuEndSelection"};
    Click(QPoint(10, 10), Qt::RightButton);
    EXPECT_EQ(Shown(), "Erase Element: Do you really want to erase the selected elements?");
    EXPECT_EQ(v().toolState().MouseAction, 0);
  }
  EXPECT_EQ(rig.sock.sent(), std::vector<Bytes>{Wire(cmd::kEraseElement, "L L LLLL L",
                                                     {7, 2, 90, 180, 92, 182, 92811})})
      << "one erase, after Yes";
  EXPECT_EQ(lay().Entidades.ItemByID(92811), nullptr);

  lay().AccessLevel = ALEditor;
  v().EraseEntity(7);
  EXPECT_EQ(Shown(), "Orvenda Viewer: Acceso Denegado") << "erasing needs the drawing level";
  EXPECT_EQ(v().toolState().MouseAction, 0);
}

// Values given with the element are checked and refused before anything goes out;
// the reply in attribute-editing mode sends them all with command 220. (A reader is
// refused: the real server's test below.)
TEST_F(AttributeEdit, EditInfoWithValuesChecksThemThenSendsThemThroughRequest4And220) {
  lay().AccessLevel = ALEditor;
  v().EditInfo(7, 92811, {"Av. Juárez", "40000"});
  EXPECT_EQ(Shown(),
            "Orvenda Viewer: The value \"40000\" does not suit the field CARRILES. Nothing was "
            "changed.");
  EXPECT_TRUE(rig.sock.sent().empty());
  EXPECT_EQ(v().toolState().MouseAction, 0) << "no tool armed either";

  v().EditInfo(7, 92811, {"Av. Juárez", "4.0"});
  ExpectEdit("Av. Juárez", "4");
}

// The editing tool takes the picked line to the element information dialog (request
// 14, display mode 0); a column overwritten there goes out when "Actualizar" closes
// it, an "Actualizar" with nothing overwritten sends nothing, and a close from the
// window frame ends the loop.
TEST_F(AttributeEdit, EditToolOpensTheDialogWhoseOverwritesGoOutAsAttributeEdits) {
  lay().AccessLevel = ALEditor;
  v().EditInfo(7);
  EXPECT_EQ(v().toolState().MouseAction, tool::kEditAttributes);
  Click(QPoint(152, 150));
  ASSERT_EQ(rig.sock.sent(), std::vector<Bytes>{WriteMultipleSelection({7, {92811}, {}}).buffer()});
  rig.sock.ClearSent();
  int shows = 0;
  rig.ui.onModal = [&](ModalForm& form) {
    auto& dialog = dynamic_cast<dlgShowInfoElements&>(form);
    ++shows;
    EXPECT_TRUE(dialog.frmUpdate->isVisibleTo(&dialog) && dialog.cmdUpdate->isEnabled());
    if (shows == 1) {
      dialog.StartColumnEdit(0);
      EXPECT_TRUE(dialog.Idle) << "the ID column is never edited";
      dialog.StartColumnEdit(1);
      dialog.txtValue->setText("Nuevo");
      dialog.cmdOK->click();
      EXPECT_EQ(dialog.grdInfoElements->item(2, 1)->text(), "1") << "the total row keeps its count";
    }
    if (shows < 3) dialog.cmdUpdate->click();
  };
  rig.sock.Deliver(Wire(cmd::kMultipleSelectionReply, "L L I LSS", {7, 1, 3, 92811, "Viejo", "2"}));
  EXPECT_EQ(shows, 3);
  ExpectEdit("Nuevo", "2");
}

// Ana (editor of the places) renames a place and changes its population; the guest's
// viewer, on a connection of its own, has the new values once the server's change
// arrives. The guest, who may only look, is refused before anything is sent.
TEST(AttributeEditWithRealServer, AnEditReachesEveryViewerAndAReaderIsRefused) {
  testing::ServerProcess server;
  ASSERT_TRUE(server.Start(ORVENDA_SERVER_EXE)) << server.Why().toStdString();
  const auto& data = server.Data();
  testing::CityViewer anaView(server, "ana", "secreta"), guestView(server, "invitado", "");
  ASSERT_TRUE(anaView.PlacesShown() && guestView.PlacesShown());
  Viewer *ana = &anaView.viewer, *guest = &guestView.viewer;
  testing::ScriptedInteraction &anaUi = anaView.ui, &guestUi = guestView.ui;
  const QStringList values = {"Saltillo", "100", "2.5", "-7", "969.7"};
  guest->EditInfo(data.places, data.firstPlace, values);
  ASSERT_EQ(guestUi.shown.size(), 1u);
  EXPECT_EQ(guestUi.shown[0].text, "Acceso Denegado");

  ana->EditInfo(data.places, data.firstPlace, values);
  const auto themeAt = [&](Viewer& v) {
    return v.layers().Item(Key(data.places))->Entidades.ItemByID(data.firstPlace)->ThemeValue();
  };
  // GetInfo acts only once the guest's viewer is idle again (a change may ask for more).
  ASSERT_TRUE(testing::WaitUntil(
      [&] { return themeAt(*guest) == "100" && guest->PendingRequests() == 0; }, 10000))
      << "the guest's model never had the new population";
  QSignalSpy arrivals(guest, &Viewer::InfoArrival);
  guest->GetInfo(data.places, data.firstPlace, true);
  ASSERT_TRUE(testing::WaitUntil([&] { return arrivals.count() == 1; }, 10000));
  EXPECT_EQ(arrivals[0][4].toStringList(), values);
  EXPECT_TRUE(anaUi.shown.empty()) << anaUi.shown.front().text;
}

}  // namespace
}  // namespace orvenda
