// The command catalogue: ids 1 to 10, in menu order, each with its menu label,
// language and scan. Ids 1 to 10 select a command; any other id selects none.
#pragma once

#include <span>
#include <string_view>

#include "engine/BraceTable.h"
#include "engine/CommentScan.h"

namespace kelvorat {

enum class Language : std::uint8_t { C, Cpp, VB, Pascal, Html };

struct CatalogueCommand {
  int Id;
  WideView MenuLabel;           // Japanese; the host's menu shows it in code page 932
  Language Lang;
  ScanKind Scan;
  std::string_view Name;        // DeleteCComments, ...
  WideText (*Run)(WideView Text);
  void (*RunInto)(WideView Text, WideText& Result);  // reuses Result's storage
};

std::span<const CatalogueCommand> Catalogue();

// The command of an id, or nullptr for an id outside 1 to 10.
const CatalogueCommand* FindCommand(int id);

// The command of a language and a scan.
const CatalogueCommand& CommandFor(Language lang, ScanKind scan);

// The table a language uses for a scan.
TBraceTable LanguageTable(Language lang, ScanKind scan);

// "c", "cpp", "vb", "pascal", "html".
std::string_view LanguageKey(Language lang);
// "C", "C++/C#/Java", "VB", "Pascal", "HTML".
std::string_view LanguageTitle(Language lang);

}  // namespace kelvorat
