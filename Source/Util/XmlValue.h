// The typed values of the XML assets, shared by XmlReader and XmlWriter (not for other users):
// the tag that names each type, and the conversion between a value and its text.
#pragma once

#include <string>

namespace Util {
namespace XmlValue {

template <class T>
struct Tag;
template <>
struct Tag<float> {
  static constexpr const char* kName = "float";
};
template <>
struct Tag<double> {
  static constexpr const char* kName = "double";
};
template <>
struct Tag<int> {
  static constexpr const char* kName = "int";
};
template <>
struct Tag<bool> {
  static constexpr const char* kName = "bool";
};
template <>
struct Tag<std::string> {
  static constexpr const char* kName = "string";
};

// Text to value; false (value untouched) when the text holds no such value.
bool Parse(const char* text, float& value);
bool Parse(const char* text, double& value);
bool Parse(const char* text, int& value);
bool Parse(const char* text, bool& value);
bool Parse(const char* text, std::string& value);

// Value to text: the shortest text that reads back to the same number; booleans as "1"/"0".
void Format(float value, std::string& text);
void Format(double value, std::string& text);
void Format(int value, std::string& text);
void Format(bool value, std::string& text);
void Format(const std::string& value, std::string& text);

// `&`, `<`, `>` and `"` as entities, so any text keeps the document well-formed.
std::string Escaped(const std::string& text);

}  // namespace XmlValue
}  // namespace Util
