#include "cli/Options.h"

#include <algorithm>
#include <cctype>

namespace kelvorat::cli {

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
  if (args.empty()) {
    r.error = "no command given";
    return r;
  }
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    r.options.action = Action::Help;
    return r;
  }
  if (command == "--version") {
    r.options.action = Action::Version;
    return r;
  }
  if (command == "list") {
    r.options.action = Action::List;
    if (args.size() > 1) r.error = "'list' takes no arguments";
    return r;
  }
  if (command == "delete") {
    r.options.action = Action::Delete;
  } else if (command == "extract") {
    r.options.action = Action::Extract;
  } else {
    r.error = "unknown command '" + command + "'";
    return r;
  }
  bool onlyPaths = false;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (onlyPaths || a == "-" || a.empty() || a[0] != '-') {
      r.options.paths.push_back(a);
      continue;
    }
    if (a == "--") {
      onlyPaths = true;
    } else if (a == "--help" || a == "-h") {
      r.options.action = Action::Help;
      return r;
    } else if (a == "--lang" || a == "-l" || a.rfind("--lang=", 0) == 0) {
      std::string value;
      if (a.size() > 7 && a[6] == '=') {
        value = a.substr(7);
      } else if (i + 1 < args.size()) {
        value = args[++i];
      } else {
        r.error = "option '" + a + "' needs a language";
        return r;
      }
      r.options.language = ParseLanguage(value);
      if (!r.options.language) {
        r.error = "unknown language '" + value + "' (c, cpp, vb, pascal, html)";
        return r;
      }
    } else {
      r.error = "unknown option '" + a + "'";
      return r;
    }
  }
  if (!r.options.language) {
    r.error = "--lang is required";
    return r;
  }
  if (r.options.paths.size() > 1) {
    r.error = "one FILE at most";
  }
  return r;
}

const char* UsageText() {
  return "Usage: kelvorat delete  --lang LANG [FILE]\n"
         "       kelvorat extract --lang LANG [FILE]\n"
         "       kelvorat list\n"
         "       kelvorat --help | --version\n";
}

const char* HelpText() {
  return "kelvorat: delete or extract the comments of source code, without touching the code.\n"
         "\n"
         "Usage: kelvorat delete  --lang LANG [FILE]\n"
         "       kelvorat extract --lang LANG [FILE]\n"
         "       kelvorat list\n"
         "\n"
         "Commands:\n"
         "  delete    write FILE without its comments; strings and the line break\n"
         "            after a line comment stay\n"
         "  extract   write only the comments of FILE, each on the line where it\n"
         "            stood; a line without comments comes out empty\n"
         "  list      show the ten actions: id, action, language and menu label\n"
         "\n"
         "Options:\n"
         "  -l, --lang LANG  the language of the text: c, cpp (also c++, cs, csharp,\n"
         "                   java), vb, pascal (also delphi), html\n"
         "  -h, --help       show this help\n"
         "      --version    show the version\n"
         "\n"
         "FILE is read as UTF-8; without FILE, or with -, standard input is read.\n"
         "The result goes to standard output.\n"
         "\n"
         "Examples:\n"
         "  kelvorat delete --lang cpp examples/hello.cpp\n"
         "  kelvorat extract --lang vb < Module1.bas\n"
         "\n"
         "Exit status: 0 done, 1 a file could not be read or decoded, 2 bad usage.\n";
}

}  // namespace kelvorat::cli
