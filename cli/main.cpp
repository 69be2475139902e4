// kelvorat: the comment engine on the command line.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <new>
#include <string>
#include <vector>

#include "cli/Options.h"
#include "cli/Utf8.h"
#include "engine/Catalogue.h"
#include "resources/Version.h"

namespace kelvorat::cli {
namespace {

bool ReadAll(std::FILE* f, std::string& out) {
  char buffer[1 << 16];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, got);
  return std::ferror(f) == 0;
}

bool WriteAll(std::FILE* f, const std::string& bytes) {
  return std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && std::fflush(f) == 0;
}

void Complain(const std::string& what, const std::string& why) {
  std::fprintf(stderr, "kelvorat: %s: %s\n", what.c_str(), why.c_str());
}

int ListCommands() {
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
  return WriteAll(stdout, out) ? 0 : 1;
}

int Transform(const Options& o) {
  const std::string path = o.paths.empty() ? "-" : o.paths[0];
  const std::string name = path == "-" ? "<stdin>" : path;
  std::string bytes;
  if (path == "-") {
    if (!ReadAll(stdin, bytes)) {
      Complain(name, std::strerror(errno));
      return 1;
    }
  } else {
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (f == nullptr) {
      Complain(name, std::strerror(errno));
      return 1;
    }
    const bool ok = ReadAll(f, bytes);
    const int readError = errno;
    std::fclose(f);
    if (!ok) {
      Complain(name, readError == EISDIR ? "is a directory" : std::strerror(readError));
      return 1;
    }
  }
  WideText text;
  std::size_t bad = 0;
  if (!DecodeUtf8(bytes, text, bad)) {
    Complain(name, "not valid UTF-8 (byte offset " + std::to_string(bad) + ")");
    return 1;
  }
  const ScanKind scan = o.action == Action::Delete ? ScanKind::Delete : ScanKind::Extract;
  const WideText result = CommandFor(*o.language, scan).Run(text);
  if (!WriteAll(stdout, EncodeUtf8(result))) {
    Complain("<stdout>", std::strerror(errno));
    return 1;
  }
  return 0;
}

int Run(const std::vector<std::string>& args) {
  const ParseResult parsed = ParseArguments(args);
  if (!parsed.error.empty()) {
    std::fprintf(stderr, "kelvorat: %s\n%s", parsed.error.c_str(), UsageText());
    return 2;
  }
  const Options& o = parsed.options;
  switch (o.action) {
    case Action::Help:
      return WriteAll(stdout, HelpText()) ? 0 : 1;
    case Action::Version:
      return WriteAll(stdout, "kelvorat " KELVORAT_VERSION_TEXT "\n") ? 0 : 1;
    case Action::List:
      return ListCommands();
    case Action::Delete:
    case Action::Extract:
      return Transform(o);
  }
  return 2;
}

}  // namespace
}  // namespace kelvorat::cli

int main(int argc, char** argv) {
  try {
    return kelvorat::cli::Run(std::vector<std::string>(argv + 1, argv + argc));
  } catch (const std::bad_alloc&) {
    std::fputs("kelvorat: out of memory\n", stderr);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "kelvorat: %s\n", e.what());
  } catch (...) {
    std::fputs("kelvorat: unexpected failure\n", stderr);
  }
  return 1;
}
