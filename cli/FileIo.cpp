#include "cli/FileIo.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>

namespace kelvorat::cli {

struct BytesAccess {
  static std::unique_ptr<char[]>& Owned(Bytes& b) { return b.owned_; }
  static void SetOwned(Bytes& b, std::size_t size) {
    b.data_ = b.owned_.get();
    b.size_ = size;
  }
  static void SetMapped(Bytes& b, char* data, char* scratch, std::size_t size) {
    b.Release();
    b.data_ = data;
    b.scratch_ = scratch;
    b.size_ = size;
    b.mappedSize_ = size;
  }
};

Bytes& Bytes::operator=(Bytes&& other) noexcept {
  if (this != &other) {
    Release();
    owned_ = std::move(other.owned_);
    data_ = other.data_;
    scratch_ = other.scratch_;
    size_ = other.size_;
    mappedSize_ = other.mappedSize_;
    other.data_ = nullptr;
    other.scratch_ = nullptr;
    other.size_ = 0;
    other.mappedSize_ = 0;
  }
  return *this;
}

void Bytes::Release() noexcept {
  if (mappedSize_ != 0) {
    platform::Files().Unmap(data_, mappedSize_);
    if (scratch_ != nullptr) platform::Files().Unmap(scratch_, mappedSize_);
  }
  owned_.reset();
  data_ = nullptr;
  scratch_ = nullptr;
  size_ = 0;
  mappedSize_ = 0;
}

namespace {

// Files from this size on are mapped rather than read.
constexpr std::uint64_t kMapFrom = 1u << 20;

using platform::Files;
using platform::ErrorText;

std::string Reason(const char* doing, int error) {
  return std::string(doing) + ": " + ErrorText(error);
}

// Reads until the end into out's own storage, which holds `capacity` bytes;
// with `known`, stops once that many bytes are in (the size of a regular file).
int ReadRest(int fd, Bytes& out, std::size_t capacity, std::optional<std::size_t> known = std::nullopt) {
  std::unique_ptr<char[]>& storage = BytesAccess::Owned(out);
  std::size_t size = 0;
  for (;;) {
    if (size == capacity) {
      capacity = capacity < 65536 ? 65536 : capacity * 2;
      std::unique_ptr<char[]> bigger(new char[capacity]);
      if (size > 0) std::memcpy(bigger.get(), storage.get(), size);
      storage = std::move(bigger);
    }
    std::size_t got = 0;
    const int e = Files().Read(fd, storage.get() + size, capacity - size, got);
    size += got;
    if (e != 0 || got == 0 || (known && size == *known)) {
      BytesAccess::SetOwned(out, size);
      return e;
    }
  }
}

// A name for a temporary file, not yet taken by this process.
std::string TemporaryName(const std::string& path, unsigned attempt) {
  static std::atomic<unsigned long long> counter{
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count())};
  const unsigned long long n = counter.fetch_add(1, std::memory_order_relaxed);
  const std::string folder = FolderOf(path);
  const std::size_t slash = path.find_last_of("/\\");
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  char suffix[40];
  std::snprintf(suffix, sizeof suffix, ".kelvorat-%llx-%u", n & 0xFFFFFFFFFFull, attempt);
  return folder + "/." + name + suffix;
}

}  // namespace

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.find_last_of("/\\");
  if (slash == std::string::npos) return ".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

std::string ReadFile(const std::string& path, Bytes& out, platform::FileStatus& status) {
  out = Bytes{};
  int fd = -1;
  if (const int e = Files().Open(path, platform::OpenMode::Read, 0, fd)) return ErrorText(e);
  int e = Files().Status(fd, status);
  if (e == 0 && status.type == platform::FileType::Directory) e = EISDIR;
  bool mapped = false;
  if (e == 0 && status.type == platform::FileType::Regular && status.size >= kMapFrom &&
      status.size <= SIZE_MAX) {
    char* data = nullptr;
    char* scratch = nullptr;
    const auto size = static_cast<std::size_t>(status.size);
    mapped = Files().Map(fd, size, false, data) == 0;
    // The copy is a second view of the same pages, cheap until written.
    if (mapped && Files().Map(fd, size, true, scratch) != 0) scratch = nullptr;
    if (mapped) BytesAccess::SetMapped(out, data, scratch, size);
  }
  if (e == 0 && !mapped) {
    // One byte more than the size, so that the end is seen without growing.
    const std::size_t capacity = static_cast<std::size_t>(status.size) + 1;
    BytesAccess::Owned(out).reset(new char[capacity]);
    e = ReadRest(fd, out, capacity,
                 status.type == platform::FileType::Regular ? std::optional<std::size_t>(status.size) : std::nullopt);
  }
  Files().Close(fd);
  if (e != 0) {
    out = Bytes{};
    return e == EISDIR ? "is a folder (use -r to process the files in it)" : Reason("cannot read", e);
  }
  return {};
}

std::string ReadStream(int fd, Bytes& out) {
  out = Bytes{};
  if (const int e = ReadRest(fd, out, 0)) return Reason("cannot read", e);
  return {};
}

std::string WriteAll(int fd, std::string_view data) {
  while (!data.empty()) {
    std::size_t written = 0;
    const int e = Files().Write(fd, data.data(), data.size(), written);
    if (e != 0) return Reason("cannot write", e);
    if (written == 0) return Reason("cannot write", EIO);
    data.remove_prefix(written);
  }
  return {};
}

Replacement::~Replacement() {
  if (fd_ >= 0) {
    Files().Close(fd_);
    Files().Remove(temporary_);
  }
}

std::string Replacement::Begin(const std::string& path, std::optional<std::uint32_t> permissions) {
  path_ = path;
  permissions_ = permissions;
  for (unsigned attempt = 0;; ++attempt) {
    temporary_ = TemporaryName(path, attempt);
    // Owner-only until the content is complete; a new file's permissions then
    // follow the umask as any file the user creates.
    const int e = Files().Open(temporary_, platform::OpenMode::CreateNew, permissions ? 0600 : 0666, fd_);
    if (e == 0) return {};
    fd_ = -1;
    if (e != EEXIST || attempt == 100) {
      return Reason(("cannot create a temporary file in " + FolderOf(path)).c_str(), e);
    }
  }
}

std::string Replacement::Commit() {
  std::string failure;
  if (permissions_) {
    if (const int e = Files().ChangePermissions(fd_, *permissions_)) failure = Reason("cannot set the permissions", e);
  }
  if (failure.empty()) {
    if (const int e = Files().Sync(fd_)) failure = Reason("cannot flush", e);
  }
  const int closed = Files().Close(fd_);
  fd_ = -1;
  if (failure.empty() && closed != 0) failure = Reason("cannot write", closed);
  if (failure.empty()) {
    if (const int e = Files().Rename(temporary_, path_)) failure = Reason("cannot replace the file", e);
  }
  if (!failure.empty()) Files().Remove(temporary_);
  return failure;
}

std::string ReplaceFile(const std::string& path, std::string_view data,
                        std::optional<std::uint32_t> permissions) {
  Replacement r;
  std::string failure = r.Begin(path, permissions);
  if (failure.empty()) failure = WriteAll(r.Fd(), data);
  if (failure.empty()) failure = r.Commit();
  return failure;
}

}  // namespace kelvorat::cli
