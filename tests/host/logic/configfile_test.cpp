// The ov.cfg text: reading fields the old way, writing values that read back
// whole, and the result of the options dialog.
#include "host/configfile.h"

#include <gtest/gtest.h>

namespace orvenda {
namespace {

TEST(ConfigFile, ReadsFieldsByLinesAndCommas) {
  struct Row {
    const char* name;
    const char* text;
    bool read;
    ConnectionSettings expected;
  };
  const Row rows[] = {
      {"CR LF", "maps.x\r\n1001\r\nC:\\Img\r\n", true, {"maps.x", "1001", "C:\\Img"}},
      {"LF only", "h\n7\n/img\n", true, {"h", "7", "/img"}},
      {"blanks dropped", "  h  \r\n\t7 \r\n /img \r\n", true, {"h", "7", "/img"}},
      {"commas split fields", "h,1001\r\n/img\r\n", true, {"h", "1001", "/img"}},
      {"quoted comma", "h\r\n1\r\n\"C:\\Maps, 2026\"\r\n", true, {"h", "1", "C:\\Maps, 2026"}},
      {"doubled quote", "\"say \"\"hi\"\"\"\r\n1\r\n/i\r\n", true, {"say \"hi\"", "1", "/i"}},
      {"two lines", "h\r\n1001\r\n", false, {}},
  };
  for (const auto& row : rows) {
    const auto got = ParseConfig(row.text);
    ASSERT_EQ(got.has_value(), row.read) << row.name;
    if (got) {
      EXPECT_EQ(*got, row.expected) << row.name;
    }
  }
}

TEST(ConfigFile, WrittenValuesReadBackWhole) {
  const ConnectionSettings rows[] = {
      {"maps.example", "1001", "/srv/images"},
      {"host \"a\"", "1,001", "  leading and trailing  "},
      {"h", "1", "line\r\nbreak"},
  };
  for (const auto& settings : rows) {
    const auto back = ParseConfig(FormatConfig(settings));
    ASSERT_TRUE(back.has_value()) << settings.ImageFolder;
    EXPECT_EQ(*back, settings) << FormatConfig(settings);
  }
}

// 0: nothing changed; 2: the host (in any letter) or the port; 1: the image
// folder, which wins over 2.
TEST(ConfigFile, OptionsResultFollowsWhatChanged) {
  const ConnectionSettings base{"h", "1001", "/img"};
  const std::pair<ConnectionSettings, int> rows[] = {{base, 0},
                                                     {{"other", "1001", "/img"}, 2},
                                                     {{"h", "1002", "/img"}, 2},
                                                     {{"h", "1001", "/img2"}, 1},
                                                     {{"h", "1002", "/img2"}, 1},
                                                     {{"H", "1001", "/img"}, 2}};
  for (const auto& [after, result] : rows) {
    EXPECT_EQ(ConnectionOptionsResult(base, after), result) << FormatConfig(after);
  }
}

TEST(ConfigFile, PortNumberOfText) {
  const std::pair<const char*, int> rows[] = {{"1001", 1001}, {" 8080 ", 8080}, {"65535", 65535},
                                              {"65536", 0},   {"abc", 0},       {"10x", 0},
                                              {"", 0},        {"-1", 0}};
  for (const auto& [text, port] : rows) EXPECT_EQ(PortNumber(text), port) << text;
}

}  // namespace
}  // namespace orvenda
