// A replacement of the global operator new and delete for the fault-injection
// test: it fails the Nth allocation made by the code under test, and keeps
// apart the allocations of the simulated desktop (the host's own memory,
// which the plug-in's failures do not reach).
#pragma once

#include <cstddef>

namespace kelvorat::test {

// While it lives, the nth allocation of the code under test from now on
// (1 = the next) throws std::bad_alloc.
class AllocationFailure {
 public:
  explicit AllocationFailure(long nth) noexcept;
  ~AllocationFailure();
  AllocationFailure(const AllocationFailure&) = delete;
  AllocationFailure& operator=(const AllocationFailure&) = delete;
  bool Triggered() const noexcept;
};

// Blocks allocated and not yet released by the code under test.
long LiveBlocksOfCodeUnderTest() noexcept;

// To be installed as the simulated desktop's crossing hook: what happens
// inside the desktop is not the code under test's.
void CrossIntoDesktop(bool entering) noexcept;

}  // namespace kelvorat::test
