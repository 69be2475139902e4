// A replacement of the global operator new and delete for the test
// executables that link kelvorat_test_allocator. It counts the allocations and
// live blocks of the code under test, can be told to fail one of them, keeps
// apart the allocations made inside the simulated desktop (the host's own
// memory, which the plug-in's failures do not reach), and can serve very large
// blocks from a few mebibytes of memory mapped again and again.
#pragma once

#include <cstddef>

namespace kelvorat::test {

// Allocations the code under test has asked operator new for so far (failed
// ones included), and its blocks not yet released. What the simulated desktop
// allocates is not counted.
std::size_t AllocationsSoFar() noexcept;
std::size_t LiveBlocks() noexcept;

// While it lives, the nth allocation of the code under test from its
// construction on (1 = the next) throws std::bad_alloc; every other
// allocation succeeds.
class AllocationFailure {
 public:
  explicit AllocationFailure(long nth) noexcept;
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;

  // The armed allocation took place and failed.
  bool Triggered() const noexcept;
};

// To be installed as the simulated desktop's crossing hook: what happens
// inside the desktop is not the code under test's.
void CrossIntoDesktop(bool entering) noexcept;

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
