// BinaryStream: a file of raw values, opened either for reading or for writing for its whole life.
//
// Values are stored as their in-memory bytes, sizeof(T) each, little-endian on this machine, with
// no tags, lengths or alignment between them; an array of n elements is n × sizeof(element)
// bytes and its count, where needed, is transferred before it as a value of its own. `Transfer`
// reads or writes by the stream's mode, so one routine both saves and loads a structure, and a
// stored file is tied to the layouts of the program that wrote it.
//
// A file that cannot be opened is an assertion, after which transfers move nothing and leave
// values as they were. A transfer against the stream's direction is an assertion and moves
// nothing. Short reads at the end of a file are not detected. Main thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <string>
#include <type_traits>

#include "Util/Assert.h"

namespace Util {

class BinaryStream {
 public:
  enum Mode : uint32_t { READ = 0, WRITE = 1 };

  // Opens `path` (resolved like the asset loaders' paths) for binary input, or for binary
  // output replacing any old file.
  BinaryStream(uint32_t mode, const std::string& path);
  ~BinaryStream();
  BinaryStream(const BinaryStream&) = delete;
  BinaryStream& operator=(const BinaryStream&) = delete;

  uint32_t GetMode() const { return m_ReadWrite; }
  bool IsOpen() const { return m_File.is_open(); }
  // True once a transfer has failed: the file was not open, or a read ran past its end. Readers
  // of variable records ask after each value, so that a truncated file is refused.
  bool Failed() const { return m_File.fail(); }

  template <class T>
  void Read(T& value) {
    ReadArray(&value, 1);
  }
  template <class T>
  void Write(const T& value) {
    WriteArray(&value, 1);
  }
  template <class T>
  void Transfer(T& value) {
    TransferArray(&value, 1);
  }

  template <class T>
  void ReadArray(T* values, size_t count) {
    static_assert(std::is_trivially_copyable<T>::value, "binary streams hold raw memory images");
    if (!UTIL_ASSERT_IN(kDirectionAssertFile, m_ReadWrite == READ,
                        "Trying to read from a binary stream that is open for writing"))
      return;
    m_File.read(reinterpret_cast<char*>(values), static_cast<std::streamsize>(sizeof(T) * count));
  }
  template <class T>
  void WriteArray(const T* values, size_t count) {
    static_assert(std::is_trivially_copyable<T>::value, "binary streams hold raw memory images");
    if (!UTIL_ASSERT_IN(kDirectionAssertFile, m_ReadWrite == WRITE,
                        "Trying to write to a binary stream that is open for reading"))
      return;
    m_File.write(reinterpret_cast<const char*>(values), static_cast<std::streamsize>(sizeof(T) * count));
  }
  template <class T>
  void TransferArray(T* values, size_t count) {
    if (m_ReadWrite == READ) {
      ReadArray(values, count);
    } else {
      WriteArray(values, count);
    }
  }

 private:
  static constexpr const char* kDirectionAssertFile = "Source\\Util\\util_binaryio";

  uint32_t m_ReadWrite;
  std::fstream m_File;
};

}  // namespace Util
