// A replacement of the global operator new and delete for the library's test
// executables that link TestAllocator.cpp. It counts allocations and live
// blocks, can be told to fail an allocation, and can serve very large blocks
// from a few mebibytes of memory mapped again and again.
#pragma once

#include <cstddef>

namespace kelvorat::test {

// Allocations made through operator new so far, and blocks not yet released.
std::size_t AllocationsSoFar() noexcept;
std::size_t LiveBlocks() noexcept;

// While it lives, the nth allocation from its construction on (1 = the next)
// throws std::bad_alloc; every other allocation succeeds.
class AllocationFailure {
 public:
  explicit AllocationFailure(long nth) noexcept;
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  // The armed allocation took place and failed.
  bool Triggered() const noexcept;
};

// While it lives, every block of at least `threshold` bytes is backed by one
// small shared memory file mapped over and over: writing slot i also writes
// the slots a few mebibytes away, and reading gives back whatever was last
// written there. Enough for a pointer list that holds only null items, at the
// cost of a few mebibytes of memory however large the block.
class RepeatingBlocks {
 public:
  explicit RepeatingBlocks(std::size_t threshold) noexcept;
  ~RepeatingBlocks();
  RepeatingBlocks(const RepeatingBlocks&) = delete;
  RepeatingBlocks& operator=(const RepeatingBlocks&) = delete;

  // Such blocks can be made on this system.
  static bool Supported() noexcept;
};

}  // namespace kelvorat::test
