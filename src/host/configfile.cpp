#include "host/configfile.h"

#include <charconv>

namespace orvenda {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// Reads fields one after another as described in the header.
class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  std::optional<std::string> Next() {
    if (pos_ >= text_.size()) return std::nullopt;
    SkipBlanks();
    std::string field;
    if (pos_ < text_.size() && text_[pos_] == '"') {
      field = Quoted();
      // Whatever stands between the closing quote and the delimiter is dropped.
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) ++pos_;
    } else {
      while (pos_ < text_.size() && text_[pos_] != ',' && !IsLineEnd(text_[pos_])) {
        field += text_[pos_++];
      }
      while (!field.empty() && IsBlank(field.back())) field.pop_back();
    }
    SkipDelimiter();
    return field;
  }

 private:
  void SkipBlanks() {
    while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  }
  std::string Quoted() {
    std::string field;
    ++pos_;
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c != '"') {
        field += c;
      } else if (pos_ < text_.size() && text_[pos_] == '"') {
        field += '"';
        ++pos_;
      } else {
        break;
      }
    }
    return field;
  }
  void SkipDelimiter() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == ',') {
      ++pos_;
    } else if (text_[pos_] == '\r') {
      ++pos_;
      if (pos_ < text_.size() && text_[pos_] == '\n') ++pos_;
    } else if (text_[pos_] == '\n') {
      ++pos_;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

bool NeedsQuotes(const std::string& value) {
  if (value.empty()) return false;
  if (value.find_first_of(",\"\r\n") != std::string::npos) return true;
  return IsBlank(value.front()) || IsBlank(value.back());
}

}  // namespace

ConnectionSettings DefaultSettings(const std::string& programFolder) {
  return {"", "1001", programFolder};
}

std::optional<ConnectionSettings> ParseConfig(std::string_view text) {
  FieldReader reader(text);
  ConnectionSettings settings;
  for (std::string* value : {&settings.ServerHost, &settings.ServerPort, &settings.ImageFolder}) {
    auto field = reader.Next();
    if (!field) return std::nullopt;
    *value = std::move(*field);
  }
  return settings;
}

std::string FormatConfigValue(const std::string& value) {
  if (!NeedsQuotes(value)) return value;
  std::string quoted = "\"";
  for (const char c : value) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + '"';
}

std::string FormatConfig(const ConnectionSettings& settings) {
  return FormatConfigValue(settings.ServerHost) + "\r\n" + FormatConfigValue(settings.ServerPort) +
         "\r\n" + FormatConfigValue(settings.ImageFolder) + "\r\n";
}

int ConnectionOptionsResult(const ConnectionSettings& before, const ConnectionSettings& after) {
  int result = 0;
  if (after.ServerHost != before.ServerHost) result = 2;
  if (after.ServerPort != before.ServerPort) result = 2;
  if (after.ImageFolder != before.ImageFolder) result = 1;
  return result;
}

int PortNumber(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  int port = 0;
  const auto [ptr, ec] = std::from_chars(text.data() + begin, text.data() + end, port);
  if (ec != std::errc() || ptr != text.data() + end || port < 0 || port > 65535) return 0;
  return port;
}

}  // namespace orvenda
