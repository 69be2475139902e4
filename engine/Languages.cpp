#include "engine/Languages.h"

namespace kelvorat {

TBraceTable MakeLanguageTable(std::span<const BraceRow> rows, ScanKind kind) {
  TBraceTable table = MakeBraceTable(rows);
  if (kind == ScanKind::Extract) {
    const BraceRow lineBreak[] = {LineBreakRow()};
    const TBraceTable last = MakeBraceTable(lineBreak);
    table.insert(table.end(), last.begin(), last.end());
  }
  return table;
}

}  // namespace kelvorat
