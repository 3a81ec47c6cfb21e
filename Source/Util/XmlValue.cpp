#include "Util/XmlValue.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace Util {
namespace XmlValue {
namespace {

template <class T>
void FormatNumber(T value, std::string& text) {
  char buffer[64];
  const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof buffer, value);
  text.assign(buffer, result.ptr);
}

}  // namespace

// Numbers are read like a stream reads them: leading space skipped, the longest number taken.
bool Parse(const char* text, float& value) {
  char* end = nullptr;
  const float parsed = std::strtof(text, &end);
  if (end == text) return false;
  value = parsed;
  return true;
}

bool Parse(const char* text, double& value) {
  char* end = nullptr;
  const double parsed = std::strtod(text, &end);
  if (end == text) return false;
  value = parsed;
  return true;
}

bool Parse(const char* text, int& value) {
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(text, &end, 10);
  if (end == text || errno == ERANGE || parsed < INT_MIN || parsed > INT_MAX) return false;
  value = static_cast<int>(parsed);
  return true;
}

bool Parse(const char* text, bool& value) {
  if (std::strcmp(text, "1") == 0 || std::strcmp(text, "true") == 0) {
    value = true;
    return true;
  }
  if (std::strcmp(text, "0") == 0 || std::strcmp(text, "false") == 0) {
    value = false;
    return true;
  }
  return false;
}

bool Parse(const char* text, std::string& value) {
  value = text;
  return true;
}

void Format(float value, std::string& text) { FormatNumber(value, text); }
void Format(double value, std::string& text) { FormatNumber(value, text); }
void Format(int value, std::string& text) { FormatNumber(value, text); }
void Format(bool value, std::string& text) { text = value ? "1" : "0"; }
void Format(const std::string& value, std::string& text) { text = value; }

std::string Escaped(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

}  // namespace XmlValue
}  // namespace Util
