#include "cli/Tool.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>

#include "cli/FileIo.h"
#include "cli/Jobs.h"
#include "cli/Options.h"
#include "cli/Transform.h"
#include "cli/Utf8.h"
#include "cli/Walk.h"
#include "engine/Catalogue.h"
#include "platform/FileSystem.h"
#include "resources/Version.h"

namespace kelvorat::cli {
namespace {

using platform::FileStatus;
using platform::FileType;
using platform::Files;

struct Result {
  std::string output;   // for standard output
  std::string message;  // non-empty: the file failed for this reason
  bool changed = false;
  std::size_t bytes = 0;
};

// A symbolic link named on the command line is written through: its target
// gets the new content and the link stays.
std::string WritePath(const std::string& path) {
  FileStatus st;
  if (Files().PathStatus(path, false, st) != 0 || st.type != FileType::SymbolicLink) return path;
  std::error_code ec;
  const std::filesystem::path target = std::filesystem::canonical(std::filesystem::u8path(path), ec);
  if (ec) return path;
  const std::u8string u8 = target.u8string();
  return std::string(u8.begin(), u8.end());
}

// One result written as it is made: the kept stretches are copied through
// a small buffer straight to the stream or file, so the result never sits in
// memory whole.
class StreamSink final : public ByteSink {
 public:
  explicit StreamSink(int fd) : fd_(fd), buffer_(new char[kSize]) {}

  void Put(const char* data, std::size_t size) override {
    if (!failure_.empty()) return;
    if (used_ + size > kSize) {
      Flush();
      if (size >= kSize) {
        Write({data, size});
        return;
      }
    }
    std::memcpy(buffer_.get() + used_, data, size);
    used_ += size;
  }
  // Answers the reason the stream failed, or empty.
  std::string Finish() {
    Flush();
    return failure_;
  }

 private:
  static constexpr std::size_t kSize = 1u << 20;
  void Flush() {
    if (used_ > 0) Write({buffer_.get(), used_});
    used_ = 0;
  }
  void Write(std::string_view data) {
    if (failure_.empty()) failure_ = WriteAll(fd_, data);
  }

  int fd_;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::string failure_;
};

class Runner {
 public:
  Runner(const Options& o, const ToolStreams& s) : o_(o), s_(s) {}

  // With `stream`, the result goes there rather than into r.output.
  void Process(const FileTask& task, Result& r, int stream = -1) const {
    try {
      ProcessOrThrow(task, r, stream);
    } catch (const std::bad_alloc&) {
      r.output.clear();
      r.output.shrink_to_fit();
      r.message = "out of memory";
    } catch (const std::exception& e) {
      r.output.clear();
      r.message = e.what();
    }
  }

 private:
  void ProcessOrThrow(const FileTask& task, Result& r, int stream) const {
    if (!task.error.empty()) {
      r.message = task.error;
      return;
    }
    if (!task.language) {
      r.message = "unknown extension: name the language with --lang";
      return;
    }
    Bytes input;
    FileStatus status;
    r.message = task.path == "-" ? ReadStream(s_.in, input) : ReadFile(task.path, input, status);
    if (!r.message.empty()) return;
    r.bytes = input.Size();
    TextForm form;
    if (!DetectForm(input.View(), o_.encoding, form, r.message)) return;
    const std::string target = !o_.inPlace ? std::string() : task.found ? task.path : WritePath(task.path);
    if (o_.inPlace && !o_.dryRun) {
      r.message = InPlaceObstacle(target, status);
      if (!r.message.empty()) return;
    }
    const ScanKind kind = o_.action == Action::Delete ? ScanKind::Delete : ScanKind::Extract;
    if (stream >= 0) {
      StreamSink sink(stream);
      TransformBytes(input.View(), form, *task.language, kind, sink, input.Scratch());
      const std::string failure = sink.Finish();
      if (!failure.empty()) r.message = "<stdout>: " + failure;
      return;
    }
    if (!o_.output.empty()) {
      r.message = WriteOutput(input, form, *task.language, kind);
      if (!r.message.empty()) r.message = "output " + o_.output + ": " + r.message;
      return;
    }
    std::string out;
    out.reserve(input.Size());
    StringSink sink(out);
    TransformBytes(input.View(), form, *task.language, kind, sink, input.Scratch());
    if (o_.inPlace) {
      r.changed = std::string_view(out) != input.View();
      input = Bytes{};
      if (r.changed && !o_.dryRun) r.message = ReplaceFile(target, out, status.permissions);
    } else {
      r.output = std::move(out);
    }
  }

  // The reason -i cannot rewrite path, or empty. Mode bits count even for a
  // user whom the system would let write anyway. A folder is checked once.
  std::string InPlaceObstacle(const std::string& path, const FileStatus& status) const {
    if ((status.permissions & 0222) == 0 || Files().CheckWritable(path) != 0) return "read-only file";
    const std::string folder = FolderOf(path);
    bool writable;
    {
      std::lock_guard<std::mutex> lock(foldersMutex_);
      const auto it = folders_.find(folder);
      if (it != folders_.end()) {
        writable = it->second;
        return writable ? std::string() : "read-only folder " + folder;
      }
    }
    FileStatus fst;
    writable = !(Files().PathStatus(folder, true, fst) == 0 &&
                 ((fst.permissions & 0222) == 0 || Files().CheckWritable(folder) != 0));
    {
      std::lock_guard<std::mutex> lock(foldersMutex_);
      folders_.emplace(folder, writable);
    }
    return writable ? std::string() : "read-only folder " + folder;
  }

  // -o: written in one step; an existing file keeps its permissions, and a
  // device or pipe is written as it is.
  std::string WriteOutput(const Bytes& input, const TextForm& form, Language language, ScanKind kind) const {
    const std::string& path = o_.output;
    FileStatus st;
    const bool exists = Files().PathStatus(path, true, st) == 0;
    if (exists && st.type == FileType::Directory) return "is a folder";
    if (exists && st.type == FileType::Other) {
      int fd = -1;
      if (const int e = Files().Open(path, platform::OpenMode::Replace, 0666, fd)) {
        return "cannot open: " + platform::ErrorText(e);
      }
      StreamSink sink(fd);
      TransformBytes(input.View(), form, language, kind, sink, input.Scratch());
      std::string failure = sink.Finish();
      Files().Close(fd);
      return failure;
    }
    Replacement replacement;
    std::string failure = replacement.Begin(exists ? WritePath(path) : path,
                                            exists ? std::optional<std::uint32_t>(st.permissions) : std::nullopt);
    if (!failure.empty()) return failure;
    StreamSink sink(replacement.Fd());
    TransformBytes(input.View(), form, language, kind, sink, input.Scratch());
    failure = sink.Finish();
    return failure.empty() ? replacement.Commit() : failure;
  }

  const Options& o_;
  const ToolStreams& s_;
  mutable std::mutex foldersMutex_;
  mutable std::map<std::string, bool> folders_;  // folder: writable
};

// The progress line: files done of total, megabytes, rate. Drawn at most ten
// times a second, erased at the end.
class Progress {
 public:
  Progress(int fd, bool on, std::size_t total) : fd_(fd), on_(on), total_(total) {}

  // Any thread, as each file is done.
  void Finished(std::size_t bytes) {
    files_.fetch_add(1, std::memory_order_relaxed);
    bytes_.fetch_add(bytes, std::memory_order_relaxed);
  }
  // One thread at a time.
  void Draw(bool force) {
    if (!on_) return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - last_ < std::chrono::milliseconds(100)) return;
    last_ = now;
    const double seconds = std::chrono::duration<double>(now - start_).count();
    const double mb = static_cast<double>(bytes_.load(std::memory_order_relaxed)) / 1e6;
    char line[128];
    std::snprintf(line, sizeof line, "\r\033[K%zu of %zu files, %.1f MB, %.1f MB/s",
                  files_.load(std::memory_order_relaxed), total_, mb,
                  seconds > 0 ? mb / seconds : 0.0);
    WriteAll(fd_, line);
    shown_ = true;
  }
  // Erases the line, before a message or at the end.
  void Erase() {
    if (shown_) WriteAll(fd_, "\r\033[K");
    shown_ = false;
  }

 private:
  int fd_;
  bool on_;
  std::size_t total_;
  std::atomic<std::size_t> files_{0};
  std::atomic<std::size_t> bytes_{0};
  bool shown_ = false;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_ = start_;
};

void Say(const ToolStreams& s, const std::string& text) { WriteAll(s.err, text); }

int Transform(const Options& o, const ToolStreams& s) {
  const std::vector<FileTask> tasks = ListTasks(o.paths, o.recursive, o.language);
  std::vector<Result> results(tasks.size());
  const Runner runner(o, s);
  Progress progress(s.err, s.errIsTerminal && tasks.size() > 4, tasks.size());
  int status = 0;
  const unsigned threads = o.jobs != 0 ? o.jobs : (s.cores != 0 ? s.cores : 1);
  // One result for standard output goes there as it is made.
  const int stream = tasks.size() == 1 && o.output.empty() && !o.inPlace ? s.out : -1;
  RunOrdered(
      tasks.size(), threads, 8 * static_cast<std::size_t>(threads),
      [&](std::size_t i) {
        runner.Process(tasks[i], results[i], stream);
        progress.Finished(results[i].bytes);
      },
      [&](std::size_t i) {
        Result& r = results[i];
        const std::string name = tasks[i].path == "-" ? "<stdin>" : tasks[i].path;
        if (!r.message.empty()) {
          progress.Erase();
          Say(s, "kelvorat: " + name + ": " + r.message + "\n");
          status = 1;
        } else if (o.dryRun && r.changed) {
          WriteAll(s.out, tasks[i].path + "\n");
        } else if (!r.output.empty()) {
          const std::string failure = WriteAll(s.out, r.output);
          if (!failure.empty()) {
            progress.Erase();
            Say(s, "kelvorat: <stdout>: " + failure + "\n");
            status = 1;
          }
        }
        progress.Draw(false);
        r = Result{};
      },
      // Results that wait for their turn are messages only, unless they go
      // to standard output.
      o.inPlace || !o.output.empty());
  progress.Erase();
  return status;
}

int ListCommands(const ToolStreams& s) {
  std::string out = "id  action   language     menu label\n";
  for (const CatalogueCommand& c : Catalogue()) {
    char line[64];
    std::snprintf(line, sizeof line, "%2d  %-7s  %-11s  ", c.Id,
                  c.Scan == ScanKind::Delete ? "delete" : "extract",
                  std::string(LanguageTitle(c.Lang)).c_str());
    out += line;
    out += EncodeUtf8(c.MenuLabel);
    out += '\n';
  }
  return WriteAll(s.out, out).empty() ? 0 : 1;
}

int RunOrThrow(const std::vector<std::string>& args, const ToolStreams& s) {
  const ParseResult parsed = ParseArguments(args);
  if (!parsed.error.empty()) {
    Say(s, "kelvorat: " + parsed.error + "\n" + UsageText());
    return 2;
  }
  const Options& o = parsed.options;
  switch (o.action) {
    case Action::Help:
      return WriteAll(s.out, HelpText()).empty() ? 0 : 1;
    case Action::Version:
      return WriteAll(s.out, "kelvorat " KELVORAT_VERSION_TEXT "\n").empty() ? 0 : 1;
    case Action::List:
      return ListCommands(s);
    case Action::Delete:
    case Action::Extract:
      return Transform(o, s);
  }
  return 2;
}

}  // namespace

int RunTool(const std::vector<std::string>& args, const ToolStreams& streams) {
  try {
    return RunOrThrow(args, streams);
  } catch (const std::bad_alloc&) {
    Say(streams, "kelvorat: out of memory\n");
  } catch (const std::exception& e) {
    Say(streams, std::string("kelvorat: ") + e.what() + "\n");
  } catch (...) {
    Say(streams, "kelvorat: unexpected failure\n");
  }
  return 1;
}

}  // namespace kelvorat::cli
