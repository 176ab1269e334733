// Login (12 -> 112) and change of password (120 -> 121). Both check a password, which
// runs on the password executor so that a login never holds up the other connections
// of a network thread; the store is used only before and after, on the session's own
// thread.
#include <asio/co_spawn.hpp>
#include <asio/use_awaitable.hpp>
#include <atomic>
#include <memory>
#include <string>

#include "net/handlers/families.h"
#include "net/handlers/reply.h"
#include "protocol/catalogue.h"
#include "store/password.h"

namespace orvenda::server {
namespace {

constexpr std::int32_t kLoginRefused = -1;  // the login form's "Invalid Username..."
constexpr std::int16_t kPasswordChanged = 0;
constexpr std::int16_t kPasswordRefused = 1;

// The work itself, as plain coroutines whose arguments live in their own frames (a
// capturing lambda coroutine would leave them in a temporary). A check whose
// connection has closed while it waited is dropped (nothing) before it is hashed.
asio::awaitable<std::optional<bool>> Verify(LoginThrottle& throttle,
                                            std::shared_ptr<const std::atomic<bool>> gone,
                                            std::string hash, std::string password) {
  if (gone->load()) co_return std::nullopt;
  throttle.CountHash();
  co_return VerifyPassword(hash, password);
}

asio::awaitable<std::string> Hash(LoginThrottle& throttle, std::string password) {
  throttle.CountHash();
  co_return HashPassword(password);
}

asio::awaitable<std::optional<bool>> VerifyAway(HandlerContext& ctx, std::string hash,
                                                std::string password) {
  if (ctx.conn.watchPeer) ctx.conn.watchPeer();
  co_return co_await asio::co_spawn(
      ctx.services.passwordExecutor,
      Verify(ctx.services.throttle, ctx.conn.gone, std::move(hash), std::move(password)),
      asio::use_awaitable);
}

asio::awaitable<std::string> HashAway(HandlerContext& ctx, std::string password) {
  co_return co_await asio::co_spawn(ctx.services.passwordExecutor,
                                    Hash(ctx.services.throttle, std::move(password)),
                                    asio::use_awaitable);
}

// Takes a place for a password check of `account`; false (logged) when the throttle
// refuses it.
bool Admitted(HandlerContext& ctx, const char* what, const std::string& account,
              LoginThrottle::Place& place) {
  const auto verdict = ctx.services.throttle.Admit(ctx.conn.address, account, place);
  if (verdict == LoginThrottle::Verdict::Admitted) return true;
  ctx.Refused(what, std::string(LoginThrottle::Why(verdict)) + " (account '" + account + "')");
  return false;
}

DWBUffer LoginReply(HandlerContext& ctx, std::int32_t handle, const std::vector<MapSummary>& maps) {
  DWBUffer b = StartReply(cmd::kLoginReply);
  b.PutLong(handle);
  const ClientVersion& v = ctx.services.config.requiredVersion;
  b.PutInteger(v.major);
  b.PutInteger(v.minor);
  b.PutInteger(v.revision);
  const std::size_t n = std::min<std::size_t>(maps.size(), 32767);
  b.PutInteger(static_cast<std::int16_t>(n));
  for (std::size_t i = 0; i < n; ++i) {
    b.PutLong(maps[i].code);
    PutTextCut(b, maps[i].name);
  }
  return FinishReply(std::move(b));
}

// A guest account without a password takes any password; every other account must
// match its Argon2id hash. An unknown name is checked against a dummy hash, so that
// the time taken does not tell which names exist.
// Nothing when the check was dropped (the connection closed while it waited).
asio::awaitable<std::optional<bool>> PasswordMatches(HandlerContext& ctx,
                                                     const std::optional<UserRecord>& user,
                                                     const std::string& password) {
  if (user && user->guest && user->passwordHash.empty()) co_return true;
  const std::string& hash = user ? user->passwordHash : ctx.services.dummyHash;
  const auto ok = co_await VerifyAway(ctx, hash, password);
  if (!ok) co_return std::nullopt;
  co_return *ok&& user.has_value();
}

}  // namespace

DWBUffer EmptyLoginReply(LenientReader&) {
  DWBUffer b = StartReply(cmd::kLoginReply);
  b.PutLong(kLoginRefused);
  return FinishReply(std::move(b));
}

DWBUffer EmptyChangePasswordReply(LenientReader&) {
  DWBUffer b = StartReply(cmd::kChangePasswordReply);
  b.PutInteger(kPasswordRefused);
  return FinishReply(std::move(b));
}

asio::awaitable<std::optional<DWBUffer>> HandleLogin(DWBUffer& request, HandlerContext& ctx) {
  constexpr const char* kWhat = "login (12)";
  ctx.conn.closeAfterReply = true;  // the login connection carries one reply only
  std::string name, password;
  if (!ReadRequest(ctx, kWhat, [&] {
        name = request.GetString();
        password = request.GetString();
      })) {
    co_return std::nullopt;
  }
  // Held to the end, so that a failure is counted before its place is given back.
  LoginThrottle::Place place;
  if (!Admitted(ctx, kWhat, name, place)) {
    ctx.conn.closeAtOnce = true;  // refused without a check: no reason to linger
    co_return std::nullopt;
  }
  const std::optional<UserRecord> user = ctx.store.FindUser(name);
  const auto matches = co_await PasswordMatches(ctx, user, password);
  if (!matches) co_return std::nullopt;  // the client has gone; so has the connection
  if (!*matches) {
    ctx.services.throttle.Failed(ctx.conn.address, name);
    ctx.conn.closeAtOnce = true;
    ctx.Refused(kWhat, "wrong user name or password for user '" + name + "'");
    co_return std::nullopt;
  }
  const std::int32_t handle = ctx.services.handles.Issue(user->id);
  const auto maps = ctx.store.MapsForUser(user->id);
  ctx.Log("login of user '" + name + "' (account " + std::to_string(user->id) + ", " +
          std::to_string(maps.size()) + " maps)");
  co_return LoginReply(ctx, handle, maps);
}

asio::awaitable<std::optional<DWBUffer>> HandleChangePassword(DWBUffer& request,
                                                              HandlerContext& ctx) {
  constexpr const char* kWhat = "change password (120)";
  std::int32_t handle = 0;
  std::string oldPassword, newPassword;
  if (!ReadRequest(ctx, kWhat, [&] {
        handle = request.GetLong();
        oldPassword = request.GetString();
        newPassword = request.GetString();
      })) {
    co_return std::nullopt;
  }
  const auto account = ctx.AccountOf(handle, kWhat);
  if (!account) co_return std::nullopt;
  const auto user = ctx.store.FindUserById(*account);
  if (!user || user->guest) {
    ctx.Refused(kWhat, user ? "a guest cannot change its password" : "account removed");
    co_return std::nullopt;
  }
  if (newPassword.empty()) {
    ctx.Refused(kWhat, "empty new password");
    co_return std::nullopt;
  }
  LoginThrottle::Place place;
  if (!Admitted(ctx, kWhat, user->name, place)) co_return std::nullopt;
  const auto matches = co_await VerifyAway(ctx, user->passwordHash, oldPassword);
  if (!matches) co_return std::nullopt;
  if (!*matches) {
    ctx.services.throttle.Failed(ctx.conn.address, user->name);
    ctx.Refused(kWhat, "wrong old password for account " + std::to_string(user->id));
    co_return std::nullopt;
  }
  const std::string hash = co_await HashAway(ctx, std::move(newPassword));
  ctx.store.SetPasswordHash(user->id, hash);
  ctx.Log("password changed for account " + std::to_string(user->id));
  DWBUffer b = StartReply(cmd::kChangePasswordReply);
  b.PutInteger(kPasswordChanged);
  co_return FinishReply(std::move(b));
}

}  // namespace orvenda::server
