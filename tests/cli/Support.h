// Helpers of the tool's tests: a scratch folder, whole files, the real
// binary run as a user runs it, and text in each encoding the tool reads.
#pragma once

#include <sys/stat.h>
#include <sys/wait.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/Cp932.h"
#include "cli/Utf8.h"

namespace kelvorat::testing {

// A fresh folder, removed with everything in it at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "kelvorat-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ec;
    // Read-only folders made by a test would stop the removal.
    for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_directory(ec) && !it->is_symlink(ec)) ::chmod(it->path().c_str(), 0755);
    }
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path);
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path);
  std::ostringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

// The names in a folder, sorted, hidden ones included.
inline std::vector<std::string> Names(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

struct RunResult {
  int status = -1;  // the exit status, or -1 when the process did not exit
  std::string out;
  std::string err;
};

// Runs the kelvorat binary in `folder` with args and `input` on standard
// input; standard error is not a terminal. KELVORAT_TEST_BINARY, an absolute
// path, names another binary to run (kelvorat.exe), and KELVORAT_TEST_RUNNER
// the program that runs it (tests/wine/wine-run).
inline RunResult RunKelvorat(const std::string& folder, const std::vector<std::string>& args,
                             const std::string& input = {}) {
  TempDir io;
  WriteBytes(io / "in", input);
  std::vector<std::string> argv;
  const char* runner = std::getenv("KELVORAT_TEST_RUNNER");
  const char* binary = std::getenv("KELVORAT_TEST_BINARY");
  if (runner != nullptr && *runner != '\0') argv.emplace_back(runner);
  argv.emplace_back(binary != nullptr && *binary != '\0' ? binary : KELVORAT_BINARY);
  argv.insert(argv.end(), args.begin(), args.end());
  const pid_t pid = ::fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    const int in = ::open((io / "in").c_str(), O_RDONLY);
    const int out = ::open((io / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open((io / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || ::chdir(folder.c_str()) != 0) ::_exit(127);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> cargs;
    for (std::string& a : argv) cargs.push_back(a.data());
    cargs.push_back(nullptr);
    ::execv(cargs[0], cargs.data());
    ::_exit(127);
  }
  int wstatus = 0;
  ::waitpid(pid, &wstatus, 0);
  RunResult r;
  r.status = WIFEXITED(wstatus) ? WEXITSTATUS(wstatus) : -1;
  r.out = ReadBytes(io / "out");
  r.err = ReadBytes(io / "err");
  return r;
}

// UTF-16 of UTF-8 text (the text must be valid).
inline std::u16string Utf16(const std::string& utf8) {
  std::u16string out;
  std::size_t bad = 0;
  if (!cli::DecodeUtf8(utf8, out, bad)) throw std::invalid_argument("not UTF-8");
  return out;
}

inline std::string Utf16Bytes(const std::u16string& text, bool bigEndian) {
  std::string out;
  for (const char16_t u : text) {
    const char hi = static_cast<char>(u >> 8);
    const char lo = static_cast<char>(u & 0xFF);
    out += bigEndian ? hi : lo;
    out += bigEndian ? lo : hi;
  }
  return out;
}

// Code page 932 encoder: the first byte form of each character (by byte
// value), or with `alternate`, the last one, so that both forms of a
// character with two can be written.
class Cp932Encoder {
 public:
  Cp932Encoder() {
    for (unsigned b = 0; b < 256; ++b) {
      const char16_t c = cli::Cp932Single(static_cast<unsigned char>(b));
      if (c != cli::kCp932Lead && c != cli::kCp932None) Add(c, std::string(1, static_cast<char>(b)));
    }
    for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
      for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
        const char16_t c = cli::Cp932Pair(static_cast<unsigned char>(lead), static_cast<unsigned char>(trail));
        if (c != 0) Add(c, std::string{static_cast<char>(lead), static_cast<char>(trail)});
      }
    }
  }
  bool Has(char16_t c) const { return forms_.count(c) != 0; }
  const std::vector<std::string>& Forms(char16_t c) const { return forms_.at(c); }
  std::string Encode(const std::u16string& text, bool alternate = false) const {
    std::string out;
    for (const char16_t c : text) out += alternate ? Forms(c).back() : Forms(c).front();
    return out;
  }

 private:
  void Add(char16_t c, std::string bytes) { forms_[c].push_back(std::move(bytes)); }
  std::map<char16_t, std::vector<std::string>> forms_;
};

// Bytes as printable text, for failure messages.
inline std::string ShowBytes(const std::string& bytes) {
  std::string out = "\"";
  for (const char ch : bytes) {
    const auto c = static_cast<unsigned char>(ch);
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '"') {
      out += "\\\"";
    } else if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
      out += buffer;
    }
  }
  return out + "\"";
}

}  // namespace kelvorat::testing
