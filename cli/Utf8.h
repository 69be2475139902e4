// UTF-8 at the tool's edge: files and streams are bytes, the engine speaks
// UTF-16 code units.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "library/StringUnit.h"

namespace kelvorat::cli {

// Decodes strict UTF-8 (no overlong forms, no surrogates, nothing above
// U+10FFFF). On failure answers false with the byte offset of the first
// invalid sequence in errorOffset.
bool DecodeUtf8(std::string_view bytes, WideText& out, std::size_t& errorOffset);

// The same check as DecodeUtf8, without decoding; ASCII runs go 32 bytes at
// a time.
bool ValidUtf8(std::string_view bytes, std::size_t& errorOffset);

// Encodes UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string EncodeUtf8(WideView text);

}  // namespace kelvorat::cli
