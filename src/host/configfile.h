#pragma once
// The connection settings of the desktop program and their file, ov.cfg: three
// values (server host, port, image folder), one a line, ended by CR LF.
//
// Reading takes one field after another; a field ends at a comma or at the end of
// a line, blanks around it are dropped, and a field that starts with a double
// quote runs to the closing quote (a doubled quote inside stands for one quote).
// Writing puts a value in quotes only when it would not read back whole
// otherwise (a comma, a quote, blanks at either end), so that plain files stay
// as they always were.

#include <optional>
#include <string>
#include <string_view>

namespace orvenda {

struct ConnectionSettings {
  std::string ServerHost;
  std::string ServerPort;
  std::string ImageFolder;
  bool operator==(const ConnectionSettings&) const = default;
};

// The values used when the file is missing or short: no host, port "1001", and
// the program's folder for images.
ConnectionSettings DefaultSettings(const std::string& programFolder);

// The three values of a file's text; nothing when the text holds fewer than
// three fields.
std::optional<ConnectionSettings> ParseConfig(std::string_view text);

// The text of a file that ParseConfig reads back as `settings`.
std::string FormatConfig(const ConnectionSettings& settings);

// One value as written to the file (quoted only when it needs to be).
std::string FormatConfigValue(const std::string& value);

// The result of the connection options dialog: 0 nothing changed (or cancelled),
// 2 the host or the port changed, 1 the image folder changed (which wins over 2).
// Comparisons are exact.
int ConnectionOptionsResult(const ConnectionSettings& before, const ConnectionSettings& after);

// The port text as a number for a connection; 0 when it is not a whole number in
// 0..65535 (a connection to port 0 fails and says so).
int PortNumber(const std::string& text);

}  // namespace orvenda
