#include "FailingAllocator.h"

#include <cstdlib>
#include <new>

namespace kelvorat::test {
namespace {

// Plain values, zero before any constructor runs; one thread.
long gCountdown = 0;  // 0: nothing armed
bool gTriggered = false;
int gDesktopDepth = 0;
long gLive = 0;

// Each block carries one header word telling whose it is.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr unsigned char kOurs = 1;
constexpr unsigned char kDesktops = 2;

void* Allocate(std::size_t bytes) {
  const bool ours = gDesktopDepth == 0;
  if (ours && gCountdown > 0 && --gCountdown == 0) {
    gTriggered = true;
    throw std::bad_alloc();
  }
  auto* block = static_cast<unsigned char*>(std::malloc(bytes + kHeader));
  if (block == nullptr) throw std::bad_alloc();
  block[0] = ours ? kOurs : kDesktops;
  if (ours) ++gLive;
  return block + kHeader;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  if (block[0] == kOurs) --gLive;
  std::free(block);
}

}  // namespace

AllocationFailure::AllocationFailure(long nth) noexcept {
  gCountdown = nth;
  gTriggered = false;
}
AllocationFailure::~AllocationFailure() { gCountdown = 0; }
bool AllocationFailure::Triggered() const noexcept { return gTriggered; }

long LiveBlocksOfCodeUnderTest() noexcept { return gLive; }

void CrossIntoDesktop(bool entering) noexcept { gDesktopDepth += entering ? 1 : -1; }

}  // namespace kelvorat::test

void* operator new(std::size_t bytes) { return kelvorat::test::Allocate(bytes); }
void* operator new[](std::size_t bytes) { return kelvorat::test::Allocate(bytes); }
void operator delete(void* p) noexcept { kelvorat::test::Release(p); }
void operator delete[](void* p) noexcept { kelvorat::test::Release(p); }
void operator delete(void* p, std::size_t) noexcept { kelvorat::test::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { kelvorat::test::Release(p); }
