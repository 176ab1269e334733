// The message-box mapping, checked on boxes that are built but never shown.
#include "viewer/qtinteraction.h"

#include <gtest/gtest.h>

#include <QAbstractButton>

namespace orvenda {
namespace {

TEST(QtInteraction, BoxesCarryTheTextTitleIconAndButtons) {
  struct Row {
    const char* name;
    MessageIcon icon;
    MessageButtons buttons;
    QMessageBox::Icon qicon;
    QMessageBox::StandardButtons qbuttons;
  };
  const Row rows[] = {
      {"critical ok", MessageIcon::Critical, MessageButtons::Ok, QMessageBox::Critical,
       QMessageBox::Ok},
      {"question yes-no", MessageIcon::Question, MessageButtons::YesNo, QMessageBox::Question,
       QMessageBox::Yes | QMessageBox::No},
      {"exclamation ok-cancel", MessageIcon::Exclamation, MessageButtons::OkCancel,
       QMessageBox::Warning, QMessageBox::Ok | QMessageBox::Cancel},
      {"information yes-no-cancel", MessageIcon::Information, MessageButtons::YesNoCancel,
       QMessageBox::Information, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel},
      {"no icon", MessageIcon::None, MessageButtons::Ok, QMessageBox::NoIcon, QMessageBox::Ok},
  };
  for (const auto& r : rows) {
    const auto box = BuildMessageBox("Acceso Denegado\n<b>capa</b>", "Orvenda", r.icon, r.buttons);
    EXPECT_EQ(box->icon(), r.qicon) << r.name;
    EXPECT_EQ(box->standardButtons(), r.qbuttons) << r.name;
    EXPECT_EQ(box->windowTitle(), "Orvenda") << r.name;
    EXPECT_EQ(box->text(), "Acceso Denegado\n<b>capa</b>") << r.name;
    EXPECT_EQ(box->textFormat(), Qt::PlainText) << r.name << ": names are not markup";
  }
}

TEST(QtInteraction, AnswersFollowTheButtonOrTheWayTheBoxWasClosed) {
  EXPECT_EQ(AnswerFor(QMessageBox::Ok, MessageButtons::OkCancel), MessageAnswer::Ok);
  EXPECT_EQ(AnswerFor(QMessageBox::Cancel, MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerFor(QMessageBox::Yes, MessageButtons::YesNo), MessageAnswer::Yes);
  EXPECT_EQ(AnswerFor(QMessageBox::No, MessageButtons::YesNoCancel), MessageAnswer::No);
  // Closed without a button.
  EXPECT_EQ(AnswerFor(QMessageBox::NoButton, MessageButtons::OkCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerFor(QMessageBox::NoButton, MessageButtons::YesNoCancel), MessageAnswer::Cancel);
  EXPECT_EQ(AnswerFor(QMessageBox::NoButton, MessageButtons::YesNo), MessageAnswer::No);
  EXPECT_EQ(AnswerFor(QMessageBox::NoButton, MessageButtons::Ok), MessageAnswer::Ok);
}

}  // namespace
}  // namespace orvenda
