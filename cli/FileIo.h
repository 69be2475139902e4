// Whole files in and out, through the file-system seam (platform/FileSystem.h).
#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace kelvorat::cli {

// A file's bytes. The storage is not cleared before reading, which saves a
// pass over large files.
struct Bytes {
  std::unique_ptr<char[]> data;
  std::size_t size = 0;
  std::string_view View() const { return {data.get(), size}; }
};

// Each of these answers an empty text on success, else the reason it failed.

// Reads a regular file whole; status receives what the open file is.
std::string ReadFile(const std::string& path, Bytes& out, platform::FileStatus& status);
// Reads an open stream to its end.
std::string ReadStream(int fd, Bytes& out);
// Writes all of data to fd.
std::string WriteAll(int fd, std::string_view data);

// Gives path the content data in one step: a temporary file in path's folder
// is written, given `permissions` (when set), flushed to the device and
// renamed over path. On failure path is as it was and the temporary file is
// gone.
std::string ReplaceFile(const std::string& path, std::string_view data,
                        std::optional<std::uint32_t> permissions);

// The folder of a path: "." for a bare name.
std::string FolderOf(const std::string& path);

}  // namespace kelvorat::cli
