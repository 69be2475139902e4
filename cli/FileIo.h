// Whole files in and out, through the file-system seam (platform/FileSystem.h).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace kelvorat::cli {

// A file's bytes: read into storage that is not cleared first, or, for a
// large file, mapped into memory, which saves copying it.
class Bytes {
 public:
  Bytes() = default;
  Bytes(Bytes&& other) noexcept { *this = std::move(other); }
  Bytes& operator=(Bytes&& other) noexcept;
  ~Bytes() { Release(); }

  std::string_view View() const { return {data_, size_}; }
  std::size_t Size() const { return size_; }
  // For a mapped file, a copy of the bytes that may be overwritten, its pages
  // copied only when written; else nullptr.
  char* Scratch() const { return scratch_; }

 private:
  friend struct BytesAccess;
  void Release() noexcept;

  std::unique_ptr<char[]> owned_;
  char* data_ = nullptr;
  char* scratch_ = nullptr;
  std::size_t size_ = 0;
  std::size_t mappedSize_ = 0;  // non-zero: data_ is a mapping of this size
};

// Each of these answers an empty text on success, else the reason it failed.

// Reads a regular file whole; status receives what the open file is.
std::string ReadFile(const std::string& path, Bytes& out, platform::FileStatus& status);
// Reads an open stream to its end.
std::string ReadStream(int fd, Bytes& out);
// Writes all of data to fd.
std::string WriteAll(int fd, std::string_view data);

// A file's new content, written in one step: a temporary file in the
// file's folder takes the content, and Commit gives it `permissions` (when
// set), flushes it to the device and renames it over the file. Until Commit
// succeeds the file is as it was; a replacement dropped or failed leaves no
// temporary file.
class Replacement {
 public:
  Replacement() = default;
  ~Replacement();
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  std::string Begin(const std::string& path, std::optional<std::uint32_t> permissions);
  // The temporary file, for writing the content; valid after Begin succeeds.
  int Fd() const { return fd_; }
  std::string Commit();

 private:
  std::string path_;
  std::string temporary_;
  std::optional<std::uint32_t> permissions_;
  int fd_ = -1;
};

// Gives path the content data in one step: a temporary file in path's folder
// is written, given `permissions` (when set), flushed to the device and
// renamed over path. On failure path is as it was and the temporary file is
// gone.
std::string ReplaceFile(const std::string& path, std::string_view data,
                        std::optional<std::uint32_t> permissions);

// The folder of a path: "." for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace kelvorat::cli
