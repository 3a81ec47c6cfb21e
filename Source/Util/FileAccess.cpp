#include "Util/FileAccess.h"

#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <new>

namespace Util {
namespace {

// Built during static initialisation, before the engine and everything it creates, so that its
// teardown at exit comes after theirs and the archive sees every file the run opened.
[[maybe_unused]] const bool kDirectoryBuilt = (PackDirectory::Instance(), true);

// Archive layout: a 28-byte header, then one 288-byte entry per path, then the files.
constexpr char kMagic[4] = {'h', 'o', 'r', 'f'};
constexpr uint32_t kHeaderSize = 28;
constexpr uint32_t kEntrySize = 288;
constexpr size_t kEntryPathSize = 260;
constexpr size_t kEntryReservedSize = 20;
constexpr size_t kHeaderReservedSize = 16;

bool Exists(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0;
}

std::string Join(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + '/' + name;
}

// The entry of `folder` named `name` up to ASCII case. When several match, the smallest name is
// taken, so the choice does not hang on the order the folder lists its entries in.
bool FindIgnoringCase(const std::string& folder, const std::string& name, std::string& found) {
  DIR* listing = ::opendir(folder.empty() ? "." : folder.c_str());
  if (!listing) return false;
  bool any = false;
  while (const dirent* entry = ::readdir(listing)) {
    if (::strcasecmp(entry->d_name, name.c_str()) != 0) continue;
    if (!any || found > entry->d_name) found = entry->d_name;
    any = true;
  }
  ::closedir(listing);
  return any;
}

void SetStamp(FileStamp& stamp, const struct stat& info) {
  stamp.device = static_cast<uint64_t>(info.st_dev);
  stamp.inode = static_cast<uint64_t>(info.st_ino);
  stamp.size = static_cast<uint64_t>(info.st_size);
  stamp.modified = int64_t{info.st_mtim.tv_sec} * 1000000000 + info.st_mtim.tv_nsec;
  stamp.changed = int64_t{info.st_ctim.tv_sec} * 1000000000 + info.st_ctim.tv_nsec;
}

// Opens a file of the asset tree for the open(2) flags given: the path as written, else as
// ResolvePath finds it (a file to be created goes where ResolvePath puts it at once, so that a
// Windows path never names a file of its own in the working directory). Anything but a regular
// file is refused before it is read, and the open itself never waits: a named pipe, a device or
// a folder neither blocks nor feeds a loader. -1 when refused or missing; `info` describes the
// file opened.
int OpenRegular(const char* path, int flags, struct stat& info, std::string* found = nullptr) {
  flags |= O_NONBLOCK | O_CLOEXEC;  // no effect on a regular file once it is open
  int fd = -1;
  std::string resolved;
  if (flags & O_CREAT) {
    resolved = ResolvePath(path);
    fd = ::open(resolved.c_str(), flags, 0666);
  } else {
    fd = ::open(path, flags);
    if (fd >= 0) {
      resolved = path;
    } else if (errno == ENOENT || errno == ENOTDIR) {
      resolved = ResolvePath(path);
      if (resolved != path) fd = ::open(resolved.c_str(), flags);
    }
  }
  if (fd < 0) return -1;
  if (found) *found = std::move(resolved);
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// The open(2) flags of a stdio mode: "r", "w" or "a", then any of "+", "b", "t", "x".
bool FlagsOfMode(const char* mode, int& flags) {
  int access = O_RDONLY;
  int extra = 0;
  switch (mode[0]) {
    case 'r':
      break;
    case 'w':
      access = O_WRONLY;
      extra = O_CREAT | O_TRUNC;
      break;
    case 'a':
      access = O_WRONLY;
      extra = O_CREAT | O_APPEND;
      break;
    default:
      return false;
  }
  for (const char* c = mode + 1; *c; ++c) {
    if (*c == '+') access = O_RDWR;
    if (*c == 'x') extra |= O_EXCL;
  }
  flags = access | extra;
  return true;
}

std::FILE* OpenOnDisk(const char* path, const char* mode) {
  int flags = 0;
  struct stat info;
  if (!FlagsOfMode(mode, flags)) return nullptr;
  const int fd = OpenRegular(path, flags, info);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, mode);
  if (!file) ::close(fd);
  return file;
}

// The whole file and a NUL after it: open, status, one read, close. Null (length 0) when it
// cannot be opened or is empty; the bytes actually read otherwise.
std::unique_ptr<char[]> ReadRegular(const char* path, size_t& length, FileStamp* stamp = nullptr) {
  length = 0;
  struct stat info;
  const int fd = OpenRegular(path, O_RDONLY, info, stamp ? &stamp->found : nullptr);
  if (fd < 0) return nullptr;
  if (stamp) SetStamp(*stamp, info);
  const size_t size = static_cast<size_t>(info.st_size);
  std::unique_ptr<char[]> buffer(size > 0 ? new (std::nothrow) char[size + 1] : nullptr);
  while (buffer && length < size) {
    const ssize_t n = ::read(fd, buffer.get() + length, size - length);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    length += static_cast<size_t>(n);
  }
  ::close(fd);
  if (buffer) buffer[length] = '\0';
  return buffer;
}

// The length of a regular file now; 0 when there is none.
uint32_t LengthOnDisk(const char* path) {
  struct stat info;
  const int fd = OpenRegular(path, O_RDONLY, info);
  if (fd < 0) return 0;
  ::close(fd);
  return static_cast<uint32_t>(info.st_size);
}

void PutU32(std::string& out, uint32_t value) {
  for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

}  // namespace

std::string ResolvePath(const char* path) {
  if (!path) return {};
  if (Exists(path)) return path;
  std::string slashed(path);
  std::replace(slashed.begin(), slashed.end(), '\\', '/');
  if (Exists(slashed)) return slashed;

  std::string resolved = (!slashed.empty() && slashed[0] == '/') ? "/" : "";
  size_t begin = resolved.size();
  while (begin < slashed.size()) {
    size_t end = slashed.find('/', begin);
    if (end == std::string::npos) end = slashed.size();
    const std::string part = slashed.substr(begin, end - begin);
    begin = end + 1;
    if (part.empty()) continue;
    const std::string exact = Join(resolved, part);
    std::string match;
    if (part == "." || part == ".." || Exists(exact)) {
      resolved = exact;
    } else if (FindIgnoringCase(resolved, part, match)) {
      resolved = Join(resolved, match);
    } else {
      // Nothing by that name: the rest is a file or folder still to be created.
      return exact + slashed.substr(end);
    }
  }
  return resolved;
}

std::unique_ptr<char[]> LoadTextFile(const char* path, size_t* length) {
  if (length) *length = 0;
  if (!path) return nullptr;
  PackDirectory::Instance().Register(path);
  size_t read = 0;
  std::unique_ptr<char[]> buffer = ReadRegular(path, read);
  if (!buffer) return nullptr;
  // Text-mode reading as on Windows: each CR LF pair becomes a single LF.
  size_t kept = 0;
  for (size_t i = 0; i < read; ++i) {
    if (buffer[i] == '\r' && i + 1 < read && buffer[i + 1] == '\n') continue;
    buffer[kept++] = buffer[i];
  }
  buffer[kept] = '\0';
  if (length) *length = kept;
  return buffer;
}

std::unique_ptr<char[]> LoadBinaryFile(const char* path, size_t& length) {
  length = 0;
  PackDirectory::Instance().Register(path);
  return ReadFileRaw(path, length);
}

std::unique_ptr<char[]> LoadBinaryFile(const char* path, size_t& length, FileStamp& stamp) {
  length = 0;
  stamp = FileStamp();
  if (!path) return nullptr;
  PackDirectory::Instance().Register(path);
  return ReadRegular(path, length, &stamp);
}

bool Unchanged(const FileStamp& stamp) {
  struct stat info;
  if (stamp.found.empty() || ::stat(stamp.found.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  FileStamp now;
  SetStamp(now, info);
  return now.device == stamp.device && now.inode == stamp.inode && now.size == stamp.size &&
         now.modified == stamp.modified && now.changed == stamp.changed;
}

FilePtr OpenAssetFile(const char* path, const char* mode) {
  if (!path || !mode) return nullptr;
  PackDirectory::Instance().Register(path);
  return FilePtr(OpenOnDisk(path, mode));
}

FilePtr OpenFileWithSize(const char* path, size_t& length) {
  if (!path) return nullptr;
  PackDirectory::Instance().Register(path);
  struct stat info;
  const int fd = OpenRegular(path, O_RDONLY, info);
  if (fd < 0) return nullptr;
  FilePtr file(::fdopen(fd, "rb"));
  if (!file) {
    ::close(fd);
    return nullptr;
  }
  length = static_cast<size_t>(info.st_size);
  return file;
}

std::unique_ptr<char[]> ReadFileRaw(const char* path, size_t& length) {
  length = 0;
  if (!path) return nullptr;
  return ReadRegular(path, length);
}

bool WriteAssetPack(const char* archivePath) { return PackDirectory::Instance().Write(archivePath); }

PackDirectory::~PackDirectory() {
  if (m_WriteAtExit) Write(kAssetPackPath);
}

bool PackDirectory::Register(const char* path) {
  if (!path) return false;
  const size_t length = std::strlen(path);
  std::lock_guard<std::mutex> hold(m_Lock);
  if (length > kMaxPackPath) {
    if (std::find(m_LeftOut.begin(), m_LeftOut.end(), path) == m_LeftOut.end()) {
      m_LeftOut.emplace_back(path, length);
      std::printf("File access: a path of %zu characters is left out of the asset pack (an entry holds %zu): %s\n",
                  length, kMaxPackPath, path);
      std::fflush(stdout);
    }
    return false;
  }
  if (m_Known.emplace(path, length).second) m_Entries.emplace_back(path, length);
  return true;
}

std::vector<std::string> PackDirectory::Paths() const {
  std::lock_guard<std::mutex> hold(m_Lock);
  return m_Entries;
}

void PackDirectory::Reset() {
  std::lock_guard<std::mutex> hold(m_Lock);
  m_Entries.clear();
  m_Known.clear();
  m_LeftOut.clear();
}

void PackDirectory::SetWriteAtExit(bool write) {
  std::lock_guard<std::mutex> hold(m_Lock);
  m_WriteAtExit = write;
}

bool PackDirectory::Write(const char* archivePath) {
  std::lock_guard<std::mutex> hold(m_Lock);
  struct Placement {
    uint32_t length;  // measured now; what is written of the file
    uint32_t offset;
    uint32_t size;  // padded
  };
  const uint32_t count = static_cast<uint32_t>(m_Entries.size());
  uint32_t nextOffset = kHeaderSize + kEntrySize * count;
  std::vector<Placement> placements;
  placements.reserve(count);
  for (const std::string& path : m_Entries) {
    const uint32_t length = LengthOnDisk(path.c_str());
    const uint32_t size = length + 2 * kAlignment - length % kAlignment;
    placements.push_back({length, nextOffset, size});
    nextOffset += size;
  }

  // Written to a new file beside the archive and renamed over it once complete, so that a run
  // killed while writing leaves the previous archive whole.
  const std::string target = ResolvePath(archivePath);
  std::string temporary = target + ".XXXXXX";
  const int fd = ::mkstemp(temporary.data());
  FilePtr archive(fd >= 0 ? ::fdopen(fd, "wb") : nullptr);
  if (fd >= 0 && !archive) ::close(fd);
  if (!archive) {
    if (fd >= 0) ::unlink(temporary.c_str());
    std::fputs("failed to open file for write.\n", stdout);
    std::fflush(stdout);
    m_Entries.clear();
    m_Known.clear();
    return false;
  }

  std::string head(kMagic, sizeof kMagic);
  PutU32(head, (count ? placements.back().size : 0) + nextOffset);
  PutU32(head, count);
  head.append(kHeaderReservedSize, '\0');
  for (uint32_t i = 0; i < count; ++i) {
    PutU32(head, placements[i].offset);
    PutU32(head, placements[i].size);
    head.append(m_Entries[i]);
    head.append(kEntryPathSize - m_Entries[i].size() + kEntryReservedSize, '\0');
  }
  std::fwrite(head.data(), 1, head.size(), archive.get());

  static const char zeros[512] = {};
  for (uint32_t i = 0; i < count; ++i) {
    size_t read = 0;
    const std::unique_ptr<char[]> data = ReadFileRaw(m_Entries[i].c_str(), read);
    // A file that grew since it was measured is cut to its measured length, so that it stays
    // inside its entry and every later file stays where the directory says.
    const size_t written = std::min<size_t>(read, placements[i].length);
    if (written) std::fwrite(data.get(), 1, written, archive.get());
    // The padding, and the place of a file that shrank or vanished since, are zeros.
    for (size_t left = placements[i].size - written; left > 0;) {
      const size_t chunk = std::min(left, sizeof zeros);
      std::fwrite(zeros, 1, chunk, archive.get());
      left -= chunk;
    }
  }
  m_Entries.clear();
  m_Known.clear();
  bool written = !std::ferror(archive.get()) && std::fflush(archive.get()) == 0 &&
                 ::fchmod(::fileno(archive.get()), 0644) == 0 && ::fsync(::fileno(archive.get())) == 0;
  written = std::fclose(archive.release()) == 0 && written;
  if (written && ::rename(temporary.c_str(), target.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  std::printf("failed to write %s.\n", archivePath);
  std::fflush(stdout);
  return false;
}

}  // namespace Util
