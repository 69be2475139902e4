// The file-system calls of the kelvorat tool, in one place.
//
// Every open, read, write, flush, rename, permission change and removal the
// tool makes goes through Files(). A test installs its own FileSystem with
// UseFiles() to watch the calls or make any of them fail (a write that fails
// halfway through a file, a rename that fails); the system's calls are in
// FileSystem.cpp (POSIX, or the C runtime and Win32 on Windows).
//
// Each call answers 0 on success or an errno value (ENOENT, EACCES, ENOSPC,
// ...) on failure. Paths are UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace kelvorat::platform {

enum class FileType : std::uint8_t { Regular, Directory, SymbolicLink, Other };

struct FileStatus {
  FileType type = FileType::Other;
  std::uint64_t size = 0;
  std::uint32_t permissions = 0;  // the nine rwx bits and setuid, setgid, sticky
};

enum class OpenMode : std::uint8_t {
  Read,       // an existing file, for reading
  CreateNew,  // a new file for writing; fails with EEXIST when the name is taken
  Replace,    // a file for writing, created or emptied
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // permissions apply to a file that CreateNew or Replace creates (before the
  // process's umask).
  virtual int Open(const std::string& path, OpenMode mode, std::uint32_t permissions, int& fd) = 0;
  // got is 0 at the end of the file.
  virtual int Read(int fd, void* buffer, std::size_t size, std::size_t& got) = 0;
  // May write fewer bytes than asked; written tells how many.
  virtual int Write(int fd, const void* data, std::size_t size, std::size_t& written) = 0;
  // Flushes the file's data to the device.
  virtual int Sync(int fd) = 0;
  virtual int Close(int fd) = 0;
  virtual int Status(int fd, FileStatus& status) = 0;
  // With followLinks false a symbolic link reports itself.
  virtual int PathStatus(const std::string& path, bool followLinks, FileStatus& status) = 0;
  // Replaces `to` when it exists, in one step.
  virtual int Rename(const std::string& from, const std::string& to) = 0;
  virtual int ChangePermissions(int fd, std::uint32_t permissions) = 0;
  virtual int Remove(const std::string& path) = 0;
  // 0 when this process may write to the file or folder at path.
  virtual int CheckWritable(const std::string& path) = 0;
  // Maps the first size bytes of an open file into memory, or answers
  // ENOTSUP (then the file is read instead). Read-only, or with privateCopy
  // a copy the process may write: a page is copied when first written, and
  // the file never changes. Precondition: size > 0.
  virtual int Map(int fd, std::size_t size, bool privateCopy, char*& data) = 0;
  virtual void Unmap(char* data, std::size_t size) = 0;
};

// The calls in use: the system's unless a test installed its own.
FileSystem& Files();
// The system's calls.
FileSystem& SystemFiles();
// Installs fs (nullptr: the system's again) and answers the one it replaces.
// Not to be called while another thread uses Files().
FileSystem* UseFiles(FileSystem* fs);

// A readable text for an errno value.
std::string ErrorText(int error);

}  // namespace kelvorat::platform
