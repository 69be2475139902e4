#include "FailingAllocator.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
#define KELVORAT_POISON(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define KELVORAT_UNPOISON(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
#else
#define KELVORAT_POISON(p, n) ((void)(p), (void)(n))
#define KELVORAT_UNPOISON(p, n) ((void)(p), (void)(n))
#endif

namespace kelvorat::test {
namespace {

// Plain values, zero before any constructor runs: operator new is called
// during start-up too. The tests run on one thread.
std::size_t gAllocations = 0;
std::size_t gLive = 0;
long gFailCountdown = 0;  // 0: no failure armed
bool gFailTriggered = false;
int gDesktopDepth = 0;
std::size_t gRepeatThreshold = 0;  // 0: every block from malloc

// A block from malloc carries one header word telling whose it is; the
// address sanitizer is told not to let anyone else touch it.
constexpr std::size_t kHeader = alignof(std::max_align_t);
constexpr unsigned char kOurs = 1;
constexpr unsigned char kDesktops = 2;

#if defined(__linux__)
// A mapped block has no header (its first bytes are also those a few
// mebibytes on): the table says whose it is.
struct MappedBlock {
  void* base;
  std::size_t size;
  bool ours;
};
constexpr std::size_t kMaxMapped = 8;
MappedBlock gMapped[kMaxMapped] = {};
constexpr std::size_t kChunk = std::size_t{4} << 20;

void* MapRepeating(std::size_t bytes, bool ours) {
  std::size_t slot = 0;
  while (slot < kMaxMapped && gMapped[slot].base != nullptr) ++slot;
  if (slot == kMaxMapped) return nullptr;
  const std::size_t size = (bytes + kChunk - 1) / kChunk * kChunk;
  const int fd = memfd_create("kelvorat-test-block", 0);
  if (fd < 0) return nullptr;
  void* base = MAP_FAILED;
  if (ftruncate(fd, static_cast<off_t>(kChunk)) == 0) {
    base = mmap(nullptr, size, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
  }
  bool mapped = base != MAP_FAILED;
  for (std::size_t offset = 0; mapped && offset < size; offset += kChunk) {
    mapped = mmap(static_cast<char*>(base) + offset, kChunk, PROT_READ | PROT_WRITE,
                  MAP_SHARED | MAP_FIXED, fd, 0) != MAP_FAILED;
  }
  close(fd);  // the mappings keep the file
  if (!mapped) {
    if (base != MAP_FAILED) munmap(base, size);
    return nullptr;
  }
  gMapped[slot] = {base, size, ours};
  return base;
}

// Unmaps p if it is a mapped block; tells whether it was and whose.
bool UnmapRepeating(void* p, bool& ours) {
  for (MappedBlock& block : gMapped) {
    if (block.base == p) {
      ours = block.ours;
      munmap(block.base, block.size);
      block = {};
      return true;
    }
  }
  return false;
}
#else
void* MapRepeating(std::size_t, bool) { return nullptr; }
bool UnmapRepeating(void*, bool&) { return false; }
#endif

void* FromMalloc(std::size_t bytes, bool ours) {
  auto* block = static_cast<unsigned char*>(std::malloc(bytes + kHeader));
  if (block == nullptr) return nullptr;
  block[0] = ours ? kOurs : kDesktops;
  KELVORAT_POISON(block, kHeader);
  return block + kHeader;
}

void* Allocate(std::size_t bytes) {
  const bool ours = gDesktopDepth == 0;
  if (ours) {
    ++gAllocations;
    if (gFailCountdown > 0 && --gFailCountdown == 0) {
      gFailTriggered = true;
      throw std::bad_alloc();
    }
  }
  void* p = (gRepeatThreshold != 0 && bytes >= gRepeatThreshold) ? MapRepeating(bytes, ours)
                                                                  : FromMalloc(bytes, ours);
  if (p == nullptr) throw std::bad_alloc();
  if (ours) ++gLive;
  return p;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  bool ours = false;
  if (!UnmapRepeating(p, ours)) {
    auto* block = static_cast<unsigned char*>(p) - kHeader;
    KELVORAT_UNPOISON(block, kHeader);
    ours = block[0] == kOurs;
    std::free(block);
  }
  if (ours) --gLive;
}

}  // namespace

std::size_t AllocationsSoFar() noexcept { return gAllocations; }
std::size_t LiveBlocks() noexcept { return gLive; }

AllocationFailure::AllocationFailure(long nth) noexcept {
  gFailCountdown = nth;
  gFailTriggered = false;
}
AllocationFailure::~AllocationFailure() { gFailCountdown = 0; }
bool AllocationFailure::Triggered() const noexcept { return gFailTriggered; }

void CrossIntoDesktop(bool entering) noexcept { gDesktopDepth += entering ? 1 : -1; }

RepeatingBlocks::RepeatingBlocks(std::size_t threshold) noexcept { gRepeatThreshold = threshold; }
RepeatingBlocks::~RepeatingBlocks() { gRepeatThreshold = 0; }

bool RepeatingBlocks::Supported() noexcept {
#if defined(__linux__)
  return true;
#else
  return false;
#endif
}

}  // namespace kelvorat::test

void* operator new(std::size_t bytes) { return kelvorat::test::Allocate(bytes); }
void* operator new[](std::size_t bytes) { return kelvorat::test::Allocate(bytes); }
void operator delete(void* p) noexcept { kelvorat::test::Release(p); }
void operator delete[](void* p) noexcept { kelvorat::test::Release(p); }
void operator delete(void* p, std::size_t) noexcept { kelvorat::test::Release(p); }
void operator delete[](void* p, std::size_t) noexcept { kelvorat::test::Release(p); }
