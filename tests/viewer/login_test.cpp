// The login control on a real socket against a small scripted server on
// loopback. (Every outcome of the exchange is the protocol tests' business; the
// map server proper has tests of its own.)
#include "viewer/login.h"

#include <gtest/gtest.h>

#include "loopback.h"
#include "support/fakes.h"

namespace orvenda {
namespace {

using testing::WaitUntil;

TEST(LoginControl, AnswersWithTheMapsAndHangsUpAndMayBeDeletedByItsListener) {
  testing::ScriptedInteraction ui;
  auto* control = new login(ui);
  for (const std::int32_t user : {11, 12}) {
    testing::LoginServer server;
    server.reply = testing::AcceptedReply(user, {{7, "Ciudad"}, {9, "Región Norte"}});
    int got = 0;
    QObject::connect(
        control, &login::LoginResponse,
        [&, control](int id, int count, const QStringList& names, const QList<int>& codes) {
          got = id;
          EXPECT_EQ(count, 2);
          EXPECT_EQ(names, (QStringList{"Ciudad", "Región Norte"}));
          EXPECT_EQ(codes, (QList<int>{7, 9}));
          // The login form deletes the control on its answer: nothing
          // of it may run later.
          if (id == 12) delete control;
        });
    control->Checklogin("127.0.0.1", server.port(), "ana", "ñu 2");
    ASSERT_TRUE(WaitUntil([&] { return got == user; }));
    ASSERT_EQ(server.logins.size(), 1u);
    EXPECT_EQ(server.logins[0].second, "ñu 2") << "sent as typed, in the wire code page";
    EXPECT_TRUE(WaitUntil([&] { return server.hangUps == 1; })) << "hangs up after the reply";
    testing::RunPendingEvents();
    if (user == 11) QObject::disconnect(control, &login::LoginResponse, nullptr, nullptr);
  }
  EXPECT_TRUE(ui.shown.empty());
}

}  // namespace
}  // namespace orvenda
