// The command line of kelvorat.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/Transform.h"
#include "engine/Catalogue.h"

namespace kelvorat::cli {

enum class Action { Delete, Extract, List, Help, Version };

struct Options {
  Action action = Action::Help;
  std::optional<Language> language;  // --lang; else each file's extension
  std::optional<Encoding> encoding;  // --encoding; else each file's own
  std::vector<std::string> paths;    // none, or "-": standard input
  std::string output;                // -o FILE; empty: standard output
  bool inPlace = false;              // -i
  bool recursive = false;            // -r
  bool dryRun = false;               // --dry-run
  unsigned jobs = 0;                 // --jobs; 0: one for each core
};

struct ParseResult {
  Options options;
  std::string error;  // non-empty: a usage error, shown with the usage
};

ParseResult ParseArguments(const std::vector<std::string>& args);

// A language by its name or one of its other names (c++, cs, csharp, java, delphi).
std::optional<Language> ParseLanguage(const std::string& name);

// The short usage, for usage errors, and the full help.
const char* UsageText();
const char* HelpText();

}  // namespace kelvorat::cli
