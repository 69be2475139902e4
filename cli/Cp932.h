// Code page 932 (Shift_JIS as Windows has it), as data: which byte sequences
// are characters and which character each is. Some characters have two or
// three byte forms (NEC and IBM rows), so text is never re-encoded: the tool
// copies the input's own bytes.
#pragma once

#include <cstddef>
#include <string_view>

#include "library/StringUnit.h"

namespace kelvorat::cli {

// Answers for a byte that stands alone or leads a pair.
inline constexpr char16_t kCp932Lead = 0xFFFF;
inline constexpr char16_t kCp932None = 0xFFFE;

// The character of a single byte, kCp932Lead for a lead byte, or kCp932None.
char16_t Cp932Single(unsigned char byte);
// The character of a lead and trail byte, or 0 when the pair is none.
char16_t Cp932Pair(unsigned char lead, unsigned char trail);

// Whether bytes is code page 932 text; on false errorOffset is the byte
// offset of the first sequence that is no character.
bool ValidCp932(std::string_view bytes, std::size_t& errorOffset);

// Decodes bytes into out, one code unit for each character. Precondition:
// ValidCp932(bytes).
void DecodeCp932(std::string_view bytes, WideText& out);

}  // namespace kelvorat::cli
