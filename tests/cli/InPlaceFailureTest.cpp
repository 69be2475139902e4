// -i and -o interrupted at every step by an injected failure (through the
// file-system seam), and by a really full disk where the machine lets a test
// mount a small tmpfs: the original stays as it was, no temporary file is
// left, the message names the file and the reason, the other files are
// still done.
#include <gtest/gtest.h>

#include <sys/mount.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "cli/Tool.h"
#include "platform/FileSystem.h"
#include "tests/cli/Support.h"

namespace kelvorat::testing {
namespace {

using platform::FileStatus;
using platform::OpenMode;

enum class Call { OpenForReading, CreateTemporary, Write, ChangePermissions, Sync, Close, Rename };

// The system's calls, except that the chosen call fails with `error` on the
// file named `victim` (or its temporary file), the nth time it is made for it;
// a failing write first writes half of what it was given.
class FailingFiles final : public platform::FileSystem {
 public:
  FailingFiles(Call call, int error, std::string victim, int nth = 1)
      : call_(call), error_(error), victim_(std::move(victim)), nth_(nth) {}

  int Open(const std::string& path, OpenMode mode, std::uint32_t permissions, int& fd) override {
    const bool named = path.find(victim_) != std::string::npos;
    if (named && mode == OpenMode::Read && Fails(Call::OpenForReading)) return error_;
    const bool mine = named && mode == OpenMode::CreateNew;
    if (mine && Fails(Call::CreateTemporary)) return error_;
    const int e = Real().Open(path, mode, permissions, fd);
    if (e == 0 && mine) victimFd_ = fd;
    return e;
  }
  int Read(int fd, void* buffer, std::size_t size, std::size_t& got) override {
    return Real().Read(fd, buffer, size, got);
  }
  int Write(int fd, const void* data, std::size_t size, std::size_t& written) override {
    if (fd == victimFd_ && Fails(Call::Write)) {
      Real().Write(fd, data, size / 2, written);
      written = 0;
      return error_;
    }
    return Real().Write(fd, data, size, written);
  }
  int Sync(int fd) override { return fd == victimFd_ && Fails(Call::Sync) ? error_ : Real().Sync(fd); }
  int Close(int fd) override {
    const int e = Real().Close(fd);
    if (fd == victimFd_) {
      victimFd_ = -1;
      if (Fails(Call::Close)) return error_;
    }
    return e;
  }
  int Status(int fd, FileStatus& status) override { return Real().Status(fd, status); }
  int PathStatus(const std::string& path, bool follow, FileStatus& status) override {
    return Real().PathStatus(path, follow, status);
  }
  int Rename(const std::string& from, const std::string& to) override {
    if (to.find(victim_) != std::string::npos && Fails(Call::Rename)) return error_;
    return Real().Rename(from, to);
  }
  int ChangePermissions(int fd, std::uint32_t permissions) override {
    if (fd == victimFd_ && Fails(Call::ChangePermissions)) return error_;
    return Real().ChangePermissions(fd, permissions);
  }
  int Remove(const std::string& path) override { return Real().Remove(path); }
  int CheckWritable(const std::string& path) override { return Real().CheckWritable(path); }
  int Map(int fd, std::size_t size, bool privateCopy, char*& data) override {
    return Real().Map(fd, size, privateCopy, data);
  }
  void Unmap(char* data, std::size_t size) override { Real().Unmap(data, size); }

  int Failed() const { return failed_; }

 private:
  static platform::FileSystem& Real() { return platform::SystemFiles(); }
  bool Fails(Call c) {
    if (c != call_) return false;
    if (++seen_ != nth_) return false;
    ++failed_;
    return true;
  }

  Call call_;
  int error_;
  std::string victim_;
  int nth_;
  int seen_ = 0;
  int failed_ = 0;
  int victimFd_ = -1;
};

// Installs a file system for one scope.
class Installed {
 public:
  explicit Installed(platform::FileSystem* fs) : before_(platform::UseFiles(fs)) {}
  ~Installed() { platform::UseFiles(before_); }

 private:
  platform::FileSystem* before_;
};

struct ToolRun {
  int status;
  std::string out;
  std::string err;
};

// The tool in this process, its standard streams in files of `io`.
ToolRun RunInProcess(const TempDir& io, const std::vector<std::string>& args) {
  cli::ToolStreams streams;
  streams.out = ::open((io / "stdout").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  streams.err = ::open((io / "stderr").c_str(), O_RDWR | O_CREAT | O_TRUNC, 0600);
  streams.cores = 2;
  const int status = cli::RunTool(args, streams);
  ::close(streams.out);
  ::close(streams.err);
  return {status, ReadBytes(io / "stdout"), ReadBytes(io / "stderr")};
}

// Big enough that a write of it is split, so a failure can strike mid-file.
std::string Source(const std::string& tag) {
  std::string s;
  for (int i = 0; i < 20000; ++i) s += tag + " x" + std::to_string(i) + "; /* comment */\n";
  return s;
}

std::string Deleted(const std::string& tag) {
  std::string s;
  for (int i = 0; i < 20000; ++i) s += tag + " x" + std::to_string(i) + "; \n";
  return s;
}

struct Failure {
  const char* name;
  Call call;
  int error;
  const char* reason;  // in the message
};

class InPlaceFailure : public ::testing::TestWithParam<Failure> {};

TEST_P(InPlaceFailure, LeavesTheOriginalAndNoTemporaryFile) {
  const Failure& f = GetParam();
  TempDir dir;
  TempDir io;
  WriteBytes(dir / "a.c", Source("a"));
  WriteBytes(dir / "victim.c", Source("v"));
  WriteBytes(dir / "z.c", Source("z"));
  ASSERT_EQ(::chmod((dir / "victim.c").c_str(), 0640), 0);

  FailingFiles fs(f.call, f.error, "victim.c");
  ToolRun r;
  {
    Installed use(&fs);
    r = RunInProcess(io, {"delete", "-i", "--jobs", "1", dir / "a.c", dir / "victim.c", dir / "z.c"});
  }

  ASSERT_EQ(fs.Failed(), 1) << "the failure was never injected";
  EXPECT_EQ(r.status, 1);
  const std::string message = "kelvorat: " + (dir / "victim.c") + ": " + f.reason;
  EXPECT_EQ(r.err.rfind(message, 0), 0u) << r.err;
  EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
  EXPECT_TRUE(ReadBytes(dir / "victim.c") == Source("v")) << "the original was changed";
  struct stat st {};
  ASSERT_EQ(::stat((dir / "victim.c").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.c", "victim.c", "z.c"}));
  EXPECT_TRUE(ReadBytes(dir / "a.c") == Deleted("a")) << "the file before was not done";
  EXPECT_TRUE(ReadBytes(dir / "z.c") == Deleted("z")) << "the file after was not done";
}

INSTANTIATE_TEST_SUITE_P(
    EveryStep, InPlaceFailure,
    ::testing::Values(
        Failure{"TemporaryFileRefused", Call::CreateTemporary, EACCES, "cannot create a temporary file in "},
        Failure{"WriteFailsMidFile", Call::Write, ENOSPC, "cannot write: no space left on the device"},
        Failure{"PermissionsRefused", Call::ChangePermissions, EPERM, "cannot set the permissions: permission denied"},
        Failure{"FlushFails", Call::Sync, EIO, "cannot flush: Input/output error"},
        Failure{"CloseFails", Call::Close, EIO, "cannot write: Input/output error"},
        Failure{"RenameFails", Call::Rename, EXDEV, "cannot replace the file: Invalid cross-device link"}),
    [](const ::testing::TestParamInfo<Failure>& p) { return p.param.name; });

// The temporary-file message names the folder and the reason.
TEST(InPlaceFailureMessage, TemporaryFileNamesFolderAndReason) {
  TempDir dir;
  TempDir io;
  WriteBytes(dir / "victim.c", "v; /* c */");
  FailingFiles fs(Call::CreateTemporary, EACCES, "victim.c");
  Installed use(&fs);
  const ToolRun r = RunInProcess(io, {"delete", "-i", dir / "victim.c"});
  EXPECT_EQ(r.err, "kelvorat: " + (dir / "victim.c") + ": cannot create a temporary file in " + dir.Path() +
                       ": permission denied\n");
}

// -o that fails leaves an existing output file as it was.
TEST(OutputFailure, LeavesTheOutputFileAsItWas) {
  TempDir dir;
  TempDir io;
  WriteBytes(dir / "a.c", Source("a"));
  WriteBytes(dir / "victim.c", "old");
  FailingFiles fs(Call::Write, ENOSPC, "victim.c");
  ToolRun r;
  {
    Installed use(&fs);
    r = RunInProcess(io, {"delete", dir / "a.c", "-o", dir / "victim.c"});
  }
  ASSERT_EQ(fs.Failed(), 1);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(ReadBytes(dir / "victim.c"), "old");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"a.c", "victim.c"}));
}

// A file that cannot be read: the message says why, the others are done.
TEST(ReadFailure, UnreadableFileIsReportedAndTheOthersDone) {
  TempDir dir;
  TempDir io;
  WriteBytes(dir / "a.c", "a; /* x */");
  WriteBytes(dir / "victim.c", "v; /* x */");
  FailingFiles fs(Call::OpenForReading, EACCES, "victim.c");
  ToolRun r;
  {
    Installed use(&fs);
    r = RunInProcess(io, {"delete", dir / "victim.c", dir / "a.c"});
  }
  ASSERT_EQ(fs.Failed(), 1);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "kelvorat: " + (dir / "victim.c") + ": permission denied\n");
  EXPECT_EQ(r.out, "a; ");
}

// A really full disk: a 64 KiB tmpfs, where mounting is allowed.
TEST(FullDisk, InPlaceOnASmallTmpfs) {
  TempDir dir;
  TempDir io;
  if (::mount("tmpfs", dir.Path().c_str(), "tmpfs", 0, "size=64k") != 0) {
    GTEST_SKIP() << "cannot mount a tmpfs here (" << std::strerror(errno) << "); the injected write failure "
                 << "above stands for a full disk";
  }
  struct Unmount {
    std::string path;
    ~Unmount() { ::umount(path.c_str()); }
  } unmount{dir.Path()};
  // 40 KiB with few comments: the original and its result do not both fit.
  std::string text;
  while (text.size() < 40 * 1024) text += "int value_" + std::to_string(text.size()) + " = 1; // c\n";
  WriteBytes(dir / "big.cpp", text);
  WriteBytes(dir / "small.cpp", "s; // c\n");

  const ToolRun r = RunInProcess(io, {"delete", "-i", dir / "big.cpp", dir / "small.cpp"});

  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("kelvorat: " + (dir / "big.cpp") + ": cannot write: no space left on the device"),
            std::string::npos)
      << r.err;
  EXPECT_TRUE(ReadBytes(dir / "big.cpp") == text) << "the original was changed";
  EXPECT_EQ(ReadBytes(dir / "small.cpp"), "s; \n");
  EXPECT_EQ(Names(dir.Path()), (std::vector<std::string>{"big.cpp", "small.cpp"}));
}

}  // namespace
}  // namespace kelvorat::testing
