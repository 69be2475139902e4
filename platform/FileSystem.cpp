#include "platform/FileSystem.h"

#include <atomic>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace kelvorat::platform {
namespace {

#ifdef _WIN32

std::wstring Wide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring w(static_cast<std::size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), w.data(), n);
  return w;
}

// The errno value closest to the last Win32 error.
int LastWin32Error() {
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return ENOENT;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
      return EACCES;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return ENOSPC;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
      return EEXIST;
    default:
      return EIO;
  }
}

FileStatus FromStat(const struct _stat64& st) {
  FileStatus s;
  s.type = (st.st_mode & _S_IFMT) == _S_IFREG   ? FileType::Regular
           : (st.st_mode & _S_IFMT) == _S_IFDIR ? FileType::Directory
                                                : FileType::Other;
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.permissions = static_cast<std::uint32_t>(st.st_mode & 0777);
  return s;
}

class SystemFileSystem final : public FileSystem {
 public:
  int Open(const std::string& path, OpenMode mode, std::uint32_t permissions, int& fd) override {
    int flags = _O_BINARY | _O_NOINHERIT;
    switch (mode) {
      case OpenMode::Read: flags |= _O_RDONLY; break;
      case OpenMode::CreateNew: flags |= _O_WRONLY | _O_CREAT | _O_EXCL; break;
      case OpenMode::Replace: flags |= _O_WRONLY | _O_CREAT | _O_TRUNC; break;
    }
    const int pmode = (permissions & 0200) ? (_S_IREAD | _S_IWRITE) : _S_IREAD;
    fd = _wopen(Wide(path).c_str(), flags, pmode);
    return fd < 0 ? errno : 0;
  }
  int Read(int fd, void* buffer, std::size_t size, std::size_t& got) override {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    const int n = _read(fd, buffer, chunk);
    got = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? errno : 0;
  }
  int Write(int fd, const void* data, std::size_t size, std::size_t& written) override {
    const unsigned chunk = size > 0x40000000u ? 0x40000000u : static_cast<unsigned>(size);
    const int n = _write(fd, data, chunk);
    written = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? errno : 0;
  }
  int Sync(int fd) override { return _commit(fd) != 0 ? errno : 0; }
  int Close(int fd) override { return _close(fd) != 0 ? errno : 0; }
  int Status(int fd, FileStatus& status) override {
    struct _stat64 st;
    if (_fstat64(fd, &st) != 0) return errno;
    status = FromStat(st);
    return 0;
  }
  int PathStatus(const std::string& path, bool followLinks, FileStatus& status) override {
    const std::wstring w = Wide(path);
    if (!followLinks) {
      const DWORD attributes = GetFileAttributesW(w.c_str());
      if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        status = FileStatus{FileType::SymbolicLink, 0, 0};
        return 0;
      }
    }
    struct _stat64 st;
    if (_wstat64(w.c_str(), &st) != 0) return errno;
    status = FromStat(st);
    return 0;
  }
  int Rename(const std::string& from, const std::string& to) override {
    if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return 0;
    }
    return LastWin32Error();
  }
  int ChangePermissions(int fd, std::uint32_t permissions) override {
    // Windows keeps one permission: read-only or not; the new file has it from Open.
    (void)fd;
    (void)permissions;
    return 0;
  }
  int Remove(const std::string& path) override {
    return _wunlink(Wide(path).c_str()) != 0 ? errno : 0;
  }
  int CheckWritable(const std::string& path) override {
    return _waccess(Wide(path).c_str(), 2) != 0 ? errno : 0;
  }
  int Map(int fd, std::size_t size, bool privateCopy, char*& data) override {
    (void)fd;
    (void)size;
    (void)privateCopy;
    data = nullptr;
    return ENOTSUP;
  }
  void Unmap(char* data, std::size_t size) override {
    (void)data;
    (void)size;
  }
};

#else

FileStatus FromStat(const struct stat& st) {
  FileStatus s;
  s.type = S_ISREG(st.st_mode)   ? FileType::Regular
           : S_ISDIR(st.st_mode) ? FileType::Directory
           : S_ISLNK(st.st_mode) ? FileType::SymbolicLink
                                 : FileType::Other;
  s.size = static_cast<std::uint64_t>(st.st_size);
  s.permissions = static_cast<std::uint32_t>(st.st_mode & 07777);
  return s;
}

class SystemFileSystem final : public FileSystem {
 public:
  int Open(const std::string& path, OpenMode mode, std::uint32_t permissions, int& fd) override {
    int flags = O_CLOEXEC;
    switch (mode) {
      case OpenMode::Read: flags |= O_RDONLY; break;
      case OpenMode::CreateNew: flags |= O_WRONLY | O_CREAT | O_EXCL; break;
      case OpenMode::Replace: flags |= O_WRONLY | O_CREAT | O_TRUNC; break;
    }
    do {
      fd = ::open(path.c_str(), flags, static_cast<mode_t>(permissions));
    } while (fd < 0 && errno == EINTR);
    return fd < 0 ? errno : 0;
  }
  int Read(int fd, void* buffer, std::size_t size, std::size_t& got) override {
    ssize_t n;
    do {
      n = ::read(fd, buffer, size);
    } while (n < 0 && errno == EINTR);
    got = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? errno : 0;
  }
  int Write(int fd, const void* data, std::size_t size, std::size_t& written) override {
    ssize_t n;
    do {
      n = ::write(fd, data, size);
    } while (n < 0 && errno == EINTR);
    written = n > 0 ? static_cast<std::size_t>(n) : 0;
    return n < 0 ? errno : 0;
  }
  int Sync(int fd) override {
    int r;
    do {
      r = ::fsync(fd);
    } while (r != 0 && errno == EINTR);
    return r != 0 ? errno : 0;
  }
  int Close(int fd) override { return ::close(fd) != 0 && errno != EINTR ? errno : 0; }
  int Status(int fd, FileStatus& status) override {
    struct stat st;
    if (::fstat(fd, &st) != 0) return errno;
    status = FromStat(st);
    return 0;
  }
  int PathStatus(const std::string& path, bool followLinks, FileStatus& status) override {
    struct stat st;
    if ((followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st)) != 0) return errno;
    status = FromStat(st);
    return 0;
  }
  int Rename(const std::string& from, const std::string& to) override {
    return ::rename(from.c_str(), to.c_str()) != 0 ? errno : 0;
  }
  int ChangePermissions(int fd, std::uint32_t permissions) override {
    return ::fchmod(fd, static_cast<mode_t>(permissions)) != 0 ? errno : 0;
  }
  int Remove(const std::string& path) override {
    return ::unlink(path.c_str()) != 0 ? errno : 0;
  }
  int CheckWritable(const std::string& path) override {
    return ::access(path.c_str(), W_OK) != 0 ? errno : 0;
  }
  int Map(int fd, std::size_t size, bool privateCopy, char*& data) override {
    int flags = MAP_PRIVATE;
#ifdef MAP_POPULATE
    // Pages read now, in one call, rather than one fault at a time; not for
    // a writable copy, where it would copy every page.
    if (!privateCopy) flags |= MAP_POPULATE;
#endif
    void* p = ::mmap(nullptr, size, privateCopy ? PROT_READ | PROT_WRITE : PROT_READ, flags, fd, 0);
    if (p == MAP_FAILED) return errno;
    data = static_cast<char*>(p);
    return 0;
  }
  void Unmap(char* data, std::size_t size) override { ::munmap(data, size); }
};

#endif

SystemFileSystem& System() {
  static SystemFileSystem fs;
  return fs;
}

std::atomic<FileSystem*> installed{nullptr};

}  // namespace

FileSystem& SystemFiles() { return System(); }

FileSystem& Files() {
  FileSystem* fs = installed.load(std::memory_order_acquire);
  return fs != nullptr ? *fs : System();
}

FileSystem* UseFiles(FileSystem* fs) {
  FileSystem* before = installed.exchange(fs, std::memory_order_acq_rel);
  return before != nullptr ? before : &System();
}

std::string ErrorText(int error) {
  switch (error) {
    case ENOENT: return "no such file or folder";
    case EACCES:
    case EPERM: return "permission denied";
    case ENOSPC: return "no space left on the device";
    case EISDIR: return "is a folder";
    case EROFS: return "read-only file system";
#ifdef EDQUOT
    case EDQUOT: return "disk quota exceeded";
#endif
    default: break;
  }
  return std::strerror(error);
}

}  // namespace kelvorat::platform
