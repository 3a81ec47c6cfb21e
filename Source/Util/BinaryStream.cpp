#include "Util/BinaryStream.h"

#include "Util/FileAccess.h"

namespace Util {
namespace {

constexpr const char* kAssertFile = "..\\..\\Source\\Util\\util_binaryio";

}  // namespace

BinaryStream::BinaryStream(uint32_t mode, const std::string& path) : m_ReadWrite(mode) {
  const std::string onDisk = ResolvePath(path.c_str());
  if (m_ReadWrite == READ) {
    m_File.open(onDisk, std::ios::in | std::ios::binary);
  } else {
    m_File.open(onDisk, std::ios::out | std::ios::trunc | std::ios::binary);
  }
  UTIL_ASSERT(m_File.is_open(), path + " failed to open");
}

BinaryStream::~BinaryStream() {
  if (m_File.is_open()) m_File.close();
}

}  // namespace Util
