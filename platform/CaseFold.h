// Case-insensitive equality of UTF-16 code units, for the whole Basic
// Multilingual Plane: two code units are equal ignoring case when their
// case-insensitive forms are equal. Used where the platform offers no
// comparison of its own, and by the comment engine's fast scan, whose
// delimiters must match exactly what the comparison matches.
#pragma once

#include <cstddef>

namespace kelvorat::platform {

// The case-insensitive form of one code unit (itself when it has no case).
char16_t FoldCase(char16_t unit) noexcept;

// Writes into `out` every code unit whose form equals the form of `unit`,
// `unit` itself included, and answers how many there are (at most `capacity`
// are written; no BMP class has more than four members).
std::size_t CaseVariants(char16_t unit, char16_t* out, std::size_t capacity) noexcept;

}  // namespace kelvorat::platform
