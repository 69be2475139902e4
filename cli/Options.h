// The command line of kelvorat.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "engine/Catalogue.h"

namespace kelvorat::cli {

enum class Action { Delete, Extract, List, Help, Version };

struct Options {
  Action action = Action::Help;
  std::optional<Language> language;  // --lang
  std::vector<std::string> paths;    // none, or "-": standard input
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
