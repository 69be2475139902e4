#include "cli/Options.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace kelvorat::cli {
namespace {

// An option's value: after '=' in the same argument, else the next argument.
bool TakeValue(const std::vector<std::string>& args, std::size_t& i, std::size_t nameLength,
               std::string& value) {
  const std::string& a = args[i];
  if (a.size() > nameLength && a[nameLength] == '=') {
    value = a.substr(nameLength + 1);
    return true;
  }
  if (a.size() == nameLength && i + 1 < args.size()) {
    value = args[++i];
    return true;
  }
  return false;
}

// Whether a is the option spelled shortName or longName, alone or with "=value".
std::size_t OptionName(const std::string& a, const char* shortName, const char* longName) {
  for (const char* name : {shortName, longName}) {
    if (name == nullptr) continue;
    const std::string n(name);
    if (a.compare(0, n.size(), n) == 0 && (a.size() == n.size() || a[n.size()] == '=')) return n.size();
  }
  return 0;
}

}  // namespace

std::optional<Language> ParseLanguage(const std::string& name) {
  std::string key(name);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  struct Alias {
    const char* name;
    Language language;
  };
  static constexpr Alias kAliases[] = {
      {"c", Language::C},        {"cpp", Language::Cpp},    {"c++", Language::Cpp},
      {"cs", Language::Cpp},     {"csharp", Language::Cpp}, {"c#", Language::Cpp},
      {"java", Language::Cpp},   {"vb", Language::VB},      {"pascal", Language::Pascal},
      {"delphi", Language::Pascal}, {"html", Language::Html},
  };
  for (const Alias& a : kAliases) {
    if (key == a.name) return a.language;
  }
  return std::nullopt;
}

ParseResult ParseArguments(const std::vector<std::string>& args) {
  ParseResult r;
  Options& o = r.options;
  if (args.empty()) {
    r.error = "no command given";
    return r;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    o.action = Action::Help;
    return r;
  }
  if (command == "--version") {
    o.action = Action::Version;
    return r;
  }
  if (command == "list") {
    o.action = Action::List;
    if (args.size() > 1) r.error = "'list' takes no arguments";
    return r;
  }
  if (command == "delete") {
    o.action = Action::Delete;
  } else if (command == "extract") {
    o.action = Action::Extract;
  } else {
    r.error = "unknown command '" + command + "'";
    return r;
  }
  bool onlyPaths = false;
  bool outputGiven = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string a = args[i];
    if (onlyPaths || a == "-" || a.empty() || a[0] != '-') {
      o.paths.push_back(a);
      continue;
    }
    std::string value;
    std::size_t n = 0;
    if (a == "--") {
      onlyPaths = true;
    } else if (a == "--help" || a == "-h") {
      o.action = Action::Help;
      return r;
    } else if ((n = OptionName(a, "-l", "--lang")) != 0) {
      if (!TakeValue(args, i, n, value)) {
        r.error = "option '" + a + "' needs a language";
        return r;
      }
      o.language = ParseLanguage(value);
      if (!o.language) {
        r.error = "unknown language '" + value + "' (c, cpp, vb, pascal, html)";
        return r;
      }
    } else if ((n = OptionName(a, "-e", "--encoding")) != 0) {
      if (!TakeValue(args, i, n, value)) {
        r.error = "option '" + a + "' needs an encoding";
        return r;
      }
      o.encoding = ParseEncoding(value);
      if (!o.encoding) {
        r.error = "unknown encoding '" + value + "' (utf-8, utf-16le, utf-16be, cp932)";
        return r;
      }
    } else if ((n = OptionName(a, "-o", "--output")) != 0) {
      if (!TakeValue(args, i, n, value) || value.empty()) {
        r.error = "option '" + a + "' needs a file name";
        return r;
      }
      o.output = value;
      outputGiven = true;
    } else if ((n = OptionName(a, "-j", "--jobs")) != 0) {
      unsigned jobs = 0;
      const bool taken = TakeValue(args, i, n, value);
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), jobs);
      if (!taken || ec != std::errc() || end != value.data() + value.size() || jobs == 0 || jobs > 1024) {
        r.error = "option '" + a + "' needs a number of threads from 1 to 1024";
        return r;
      }
      o.jobs = jobs;
    } else if (a == "--in-place") {
      o.inPlace = true;
    } else if (a == "--recursive") {
      o.recursive = true;
    } else if (a == "--dry-run") {
      o.dryRun = true;
    } else if (a.size() >= 2 && a[1] != '-' && a.find_first_not_of("ir", 1) == std::string::npos) {
      // Flags written together: -i, -r, -ir.
      for (std::size_t k = 1; k < a.size(); ++k) (a[k] == 'i' ? o.inPlace : o.recursive) = true;
    } else {
      r.error = "unknown option '" + a + "'";
      return r;
    }
  }
  const bool readsStdin =
      o.paths.empty() || std::find(o.paths.begin(), o.paths.end(), "-") != o.paths.end();
  if (o.inPlace && outputGiven) {
    r.error = "-i and -o cannot go together";
  } else if (o.inPlace && readsStdin) {
    r.error = "-i needs files: standard input cannot be rewritten in place";
  } else if (o.dryRun && !o.inPlace) {
    r.error = "--dry-run goes with -i";
  } else if (outputGiven && (o.paths.size() > 1 || o.recursive)) {
    r.error = "-o takes one input";
  } else if (readsStdin && !o.language) {
    r.error = "--lang is needed to read standard input";
  }
  return r;
}

const char* UsageText() {
  return "Usage: kelvorat delete  [--lang LANG] [options] [PATH...]\n"
         "       kelvorat extract [--lang LANG] [options] [PATH...]\n"
         "       kelvorat list\n"
         "       kelvorat --help | --version\n";
}

const char* HelpText() {
  return "kelvorat: delete or extract the comments of source code, without touching the code.\n"
         "\n"
         "Usage: kelvorat delete  [--lang LANG] [options] [PATH...]\n"
         "       kelvorat extract [--lang LANG] [options] [PATH...]\n"
         "       kelvorat list\n"
         "\n"
         "Commands:\n"
         "  delete    write each file without its comments; strings and the line\n"
         "            break after a line comment stay\n"
         "  extract   write only the comments, each on the line where it stood; a\n"
         "            line without comments comes out empty\n"
         "  list      show the ten actions: id, action, language and menu label\n"
         "              kelvorat list\n"
         "\n"
         "Options:\n"
         "  -l, --lang LANG      the language of every file: c, cpp (also c++, cs, csharp,\n"
         "                       java), vb, pascal (also delphi), html. Without it each\n"
         "                       file's extension tells: .c .h c; .cpp .cc .cxx .hpp .hh\n"
         "                       .hxx .cs .java cpp; .bas .cls .frm .vb .vbs vb; .pas .pp\n"
         "                       .dpr .lpr pascal; .html .htm .xhtml html\n"
         "                         kelvorat delete --lang vb Module1.txt\n"
         "  -o, --output FILE    write the result of the one input to FILE (replaced in\n"
         "                       one step) instead of standard output\n"
         "                         kelvorat delete main.c -o main.nocomments.c\n"
         "  -i, --in-place       rewrite each file with its result, in one step: nothing\n"
         "                       half-written, permissions kept, an unchanged file left\n"
         "                       as it is\n"
         "                         kelvorat delete -i src/main.cpp src/util.cpp\n"
         "  -r, --recursive      walk each folder and process every file in it with a\n"
         "                       known extension; symbolic links are not followed and\n"
         "                       hidden folders are skipped unless named\n"
         "                         kelvorat delete -i -r src\n"
         "      --dry-run        with -i: list the files that would change, write nothing\n"
         "                         kelvorat delete -i -r --dry-run src\n"
         "  -e, --encoding ENC   read every file as ENC: utf-8, utf-16le, utf-16be or\n"
         "                       cp932. Without it a BOM decides (UTF-8, UTF-16LE,\n"
         "                       UTF-16BE), else valid UTF-8, else valid code page 932\n"
         "                         kelvorat extract --encoding utf-16le Form1.frm\n"
         "  -j, --jobs N         use N threads (default: one for each core)\n"
         "                         kelvorat delete -i -r --jobs 1 src\n"
         "  -h, --help           show this help\n"
         "                         kelvorat --help\n"
         "      --version        show the version\n"
         "                         kelvorat --version\n"
         "\n"
         "Without PATH, or with -, standard input is read (then --lang is needed).\n"
         "Results go to standard output, in the order of the arguments, unless -o or\n"
         "-i is given. Every byte outside the comments comes out as it went in: the\n"
         "BOM, the line breaks and the encoding are kept.\n"
         "\n"
         "Examples:\n"
         "  kelvorat delete examples/hello.cpp\n"
         "  kelvorat extract --lang vb < Module1.bas\n"
         "\n"
         "Exit status: 0 done; 1 a file could not be read, decoded or written (the\n"
         "others are still processed); 2 bad usage.\n";
}

}  // namespace kelvorat::cli
