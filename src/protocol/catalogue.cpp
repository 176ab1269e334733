#include "protocol/catalogue.h"

#include <algorithm>
#include <array>

namespace orvenda {
namespace {

constexpr auto C2S = Direction::ClientToServer;
constexpr auto S2C = Direction::ServerToClient;

constexpr std::array kCommands = {
    CommandInfo{1, C2S, true, "map definition"},
    CommandInfo{2, C2S, true, "grid cell"},
    CommandInfo{4, C2S, true, "element attributes"},
    CommandInfo{5, C2S, true, "cell field values"},
    CommandInfo{6, C2S, true, "field values for layer setup"},
    CommandInfo{10, C2S, true, "open map"},
    CommandInfo{11, C2S, true, "access levels"},
    CommandInfo{12, C2S, false, "login"},
    CommandInfo{13, C2S, true, "find by condition"},
    CommandInfo{14, C2S, true, "multiple selection"},
    CommandInfo{15, C2S, true, "element extent"},
    CommandInfo{101, S2C, true, "map definition reply"},
    CommandInfo{102, S2C, true, "grid cell reply"},
    CommandInfo{103, S2C, true, "layer fields"},
    CommandInfo{104, S2C, true, "element attributes reply"},
    CommandInfo{105, S2C, true, "cell field values reply"},
    CommandInfo{106, S2C, true, "field values reply"},
    CommandInfo{107, S2C, false, "ignored"},
    CommandInfo{108, S2C, false, "ignored"},
    CommandInfo{109, S2C, true, "thematic classes"},
    CommandInfo{110, S2C, true, "open map reply"},
    CommandInfo{111, S2C, true, "access levels reply"},
    CommandInfo{112, S2C, false, "login reply"},
    CommandInfo{113, S2C, true, "find by condition reply"},
    CommandInfo{114, S2C, true, "multiple selection reply"},
    CommandInfo{115, S2C, true, "element extent reply"},
    CommandInfo{120, C2S, false, "change password"},
    CommandInfo{121, S2C, false, "change password reply"},
    CommandInfo{205, C2S, false, "new point"},
    CommandInfo{206, C2S, false, "new line"},
    CommandInfo{207, C2S, false, "new area"},
    CommandInfo{208, C2S, false, "changed geometry"},
    CommandInfo{210, C2S, false, "erase element"},
    CommandInfo{220, C2S, false, "changed attributes"},
    CommandInfo{221, C2S, false, "picked rows edit"},
    CommandInfo{230, C2S, true, "find address"},
    CommandInfo{231, S2C, true, "find address reply"},
    CommandInfo{240, C2S, false, "save map"},
    CommandInfo{241, S2C, false, "save map reply"},
    CommandInfo{250, S2C, false, "layer changed"},
};

static_assert(std::is_sorted(kCommands.begin(), kCommands.end(),
                             [](const CommandInfo& a, const CommandInfo& b) {
                               return a.code < b.code;
                             }));

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

std::optional<CommandInfo> FindCommand(std::int16_t code) {
  const auto it = std::lower_bound(kCommands.begin(), kCommands.end(), code,
                                   [](const CommandInfo& c, std::int16_t v) { return c.code < v; });
  if (it == kCommands.end() || it->code != code) return std::nullopt;
  return *it;
}

bool IsCountedRequest(std::int16_t code) {
  const auto info = FindCommand(code);
  return info && info->direction == Direction::ClientToServer && info->counted;
}

}  // namespace orvenda
