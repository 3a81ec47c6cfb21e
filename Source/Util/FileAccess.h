// FileAccess: the one way assets are read from disk, and the asset pack written at exit.
//
// Every loader registers the path it was given, byte for byte, in the process-wide
// `PackDirectory` before opening the file; the directory is created during static
// initialisation and, when it is torn down at normal program exit (after the engine's shutdown),
// writes every registered file into one archive, "../../Assets/Packed.BIN".
//
// Paths are opened by trying them as written, then with `\` read as `/`, then by matching each
// component case-insensitively, so asset paths written for Windows ("..\..\Assets\XML\a.xml")
// find their files. Only regular files are assets: a named pipe, a device or a folder is refused
// like a missing file, without waiting on it. Paths longer than 259 characters do not fit the
// archive's directory: they are opened all the same and left out of the archive, with a line on
// standard output the first time.
//
// Ownership: buffers come back as `std::unique_ptr<char[]>` with a NUL after the contents, and
// streams as `FilePtr`, which closes the file when it goes. Safe to call from the worker thread
// and the main thread at once: registration is locked.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "Util/Singleton.h"

namespace Util {

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

inline constexpr const char kAssetPackPath[] = "../../Assets/Packed.BIN";
// The longest path an archive entry holds; one byte more is its terminator.
inline constexpr size_t kMaxPackPath = 259;

// The whole file with the CR of every CR LF pair dropped, then a NUL; null when the path is null,
// the file cannot be opened, or it is empty. `length`, if given, receives the number
// of bytes before the NUL.
std::unique_ptr<char[]> LoadTextFile(const char* path, size_t* length = nullptr);

// The file's bytes followed by a NUL; `length` receives the number of bytes read. Null and
// length 0 when the path is null, the file cannot be opened, or it is empty.
std::unique_ptr<char[]> LoadBinaryFile(const char* path, size_t& length);

// The open stream, mode passed through unchanged; null when it cannot be opened.
FilePtr OpenAssetFile(const char* path, const char* mode);

// What tells whether a file changed on disk without reading it again: the path it was found at,
// its identity, its size and the times of its last change, as they were when it was read.
struct FileStamp {
  std::string found;
  uint64_t device = 0;
  uint64_t inode = 0;
  uint64_t size = 0;
  int64_t modified = 0;  // nanoseconds
  int64_t changed = 0;   // nanoseconds
};

// LoadBinaryFile, also stamping what it read.
std::unique_ptr<char[]> LoadBinaryFile(const char* path, size_t& length, FileStamp& stamp);

// True while the file read under that stamp is there unchanged (one status query).
bool Unchanged(const FileStamp& stamp);

// The stream opened "rb" at its start, with `length` set to the file's length; null when it
// cannot be opened, and `length` is then left as it was.
FilePtr OpenFileWithSize(const char* path, size_t& length);

// Like LoadBinaryFile without registering the path: for writing the archive.
std::unique_ptr<char[]> ReadFileRaw(const char* path, size_t& length);

// The path on disk that a path written for the asset tree names, without registering it. When
// no file matches, the folders that exist are resolved and the rest is kept as written, which is
// the path to create a new file at.
std::string ResolvePath(const char* path);

// Writes the archive of every registered file at `archivePath` and empties the directory. The
// archive is written to a new file beside it, flushed to disk and renamed over the previous one,
// which stays whole until then. False (after printing "failed to open file for write.") when the
// new file cannot be created, or (after a line naming the archive) when it cannot be written.
bool WriteAssetPack(const char* archivePath = kAssetPackPath);

// The directory of every distinct path opened during the run, in order of first registration.
class PackDirectory : public Singleton<PackDirectory> {
 public:
  // Records the path unless already known; false for a null path, and for one too long for an
  // archive entry, which is left out (with a line on standard output the first time).
  bool Register(const char* path);

  std::vector<std::string> Paths() const;
  bool Write(const char* archivePath);

  // Forgets every path (tests, which check one run's archive at a time).
  void Reset();
  // Whether the exit-time teardown writes the archive. Off until a program asks for it: the game
  // always does (main), while test programs that merely read assets leave the tree alone.
  void SetWriteAtExit(bool write);

 private:
  friend class Singleton<PackDirectory>;
  PackDirectory() : Singleton(false) {}
  ~PackDirectory() override;

  static constexpr uint32_t kAlignment = 4;

  mutable std::mutex m_Lock;
  std::vector<std::string> m_Entries;
  std::unordered_set<std::string> m_Known;  // the same paths, found without a walk
  std::vector<std::string> m_LeftOut;       // the paths too long for an entry, reported once each
  bool m_WriteAtExit = false;
};

}  // namespace Util
