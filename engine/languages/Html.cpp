// HTML. No protected rows: a "<!--" inside an attribute value or a script
// opens a comment all the same.
#include "engine/Languages.h"

namespace kelvorat {
namespace {

constexpr BraceRow kHtml[] = {
    Comment(u"<!--", u"-->"),
};

}  // namespace

TBraceTable HtmlBraceTable(ScanKind kind) { return MakeLanguageTable(kHtml, kind); }

}  // namespace kelvorat
