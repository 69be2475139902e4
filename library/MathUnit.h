// Integer helpers.
#pragma once

#include <cstdint>

namespace kelvorat {

// Min <= Value <= Max, by signed comparison; false for every Value when Max < Min.
constexpr bool IsInRange(std::int32_t Min, std::int32_t Value, std::int32_t Max) noexcept {
  return !(Value < Min || Max < Value);
}

}  // namespace kelvorat
