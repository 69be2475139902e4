#include "engine/Catalogue.h"

#include "engine/Languages.h"

namespace kelvorat {
namespace {

using enum Language;
constexpr ScanKind D = ScanKind::Delete;
constexpr ScanKind E = ScanKind::Extract;

constexpr CatalogueCommand kCatalogue[] = {
    {1, u"C言語のコメントを削除", C, D, "DeleteCComments", DeleteCComments, DeleteCComments},
    {2, u"C++/C#/Javaのコメントを削除", Cpp, D, "DeleteCppComments", DeleteCppComments, DeleteCppComments},
    {3, u"VBのコメントを削除", VB, D, "DeleteVBComments", DeleteVBComments, DeleteVBComments},
    {4, u"Pascalのコメントを削除", Pascal, D, "DeletePascalComments", DeletePascalComments, DeletePascalComments},
    {5, u"HTMLのコメントを削除", Html, D, "DeleteHtmlComments", DeleteHtmlComments, DeleteHtmlComments},
    {6, u"C言語のコメントを抽出", C, E, "ExtractCComments", ExtractCComments, ExtractCComments},
    {7, u"C++/C#/Javaのコメントを抽出", Cpp, E, "ExtractCppComments", ExtractCppComments, ExtractCppComments},
    {8, u"VBのコメントを抽出", VB, E, "ExtractVBComments", ExtractVBComments, ExtractVBComments},
    {9, u"Pascalのコメントを抽出", Pascal, E, "ExtractPascalComments", ExtractPascalComments, ExtractPascalComments},
    {10, u"HTMLのコメントを抽出", Html, E, "ExtractHtmlComments", ExtractHtmlComments, ExtractHtmlComments},
};

}  // namespace

std::span<const CatalogueCommand> Catalogue() { return kCatalogue; }

const CatalogueCommand* FindCommand(int id) {
  for (const CatalogueCommand& c : kCatalogue) {
    if (c.Id == id) return &c;
  }
  return nullptr;
}

const CatalogueCommand& CommandFor(Language lang, ScanKind scan) {
  for (const CatalogueCommand& c : kCatalogue) {
    if (c.Lang == lang && c.Scan == scan) return c;
  }
  return kCatalogue[0];  // unreachable: every pair is in the catalogue
}

TBraceTable LanguageTable(Language lang, ScanKind scan) {
  switch (lang) {
    case C: return CBraceTable(scan);
    case Cpp: return CppBraceTable(scan);
    case VB: return VBBraceTable(scan);
    case Pascal: return PascalBraceTable(scan);
    case Html: return HtmlBraceTable(scan);
  }
  return {};
}

std::string_view LanguageKey(Language lang) {
  switch (lang) {
    case C: return "c";
    case Cpp: return "cpp";
    case VB: return "vb";
    case Pascal: return "pascal";
    case Html: return "html";
  }
  return "";
}

std::string_view LanguageTitle(Language lang) {
  switch (lang) {
    case C: return "C";
    case Cpp: return "C++/C#/Java";
    case VB: return "VB";
    case Pascal: return "Pascal";
    case Html: return "HTML";
  }
  return "";
}

}  // namespace kelvorat
