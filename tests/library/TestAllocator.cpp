#include "TestAllocator.h"

#include <cstdlib>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

namespace kelvorat::test {
namespace {

// Plain integers, zero before any constructor runs: operator new is called
// during start-up too. The tests run on one thread.
std::size_t gAllocations = 0;
std::size_t gLive = 0;
long gFailCountdown = 0;  // 0: no failure armed
bool gFailTriggered = false;
std::size_t gRepeatThreshold = 0;  // 0: every block from malloc

struct MappedBlock {
  void* base;
  std::size_t size;
};
constexpr std::size_t kMaxMapped = 8;
MappedBlock gMapped[kMaxMapped] = {};

#if defined(__linux__)
constexpr std::size_t kChunk = std::size_t{4} << 20;

void* MapRepeating(std::size_t bytes) {
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
  gMapped[slot] = {base, size};
  return base;
}

bool UnmapRepeating(void* p) {
  for (MappedBlock& block : gMapped) {
    if (block.base == p) {
      munmap(block.base, block.size);
      block = {};
      return true;
    }
  }
  return false;
}
#else
void* MapRepeating(std::size_t) { return nullptr; }
bool UnmapRepeating(void*) { return false; }
#endif

void* Allocate(std::size_t bytes) {
  ++gAllocations;
  if (gFailCountdown > 0 && --gFailCountdown == 0) {
    gFailTriggered = true;
    throw std::bad_alloc();
  }
  void* p = (gRepeatThreshold != 0 && bytes >= gRepeatThreshold) ? MapRepeating(bytes)
                                                                  : std::malloc(bytes == 0 ? 1 : bytes);
  if (p == nullptr) throw std::bad_alloc();
  ++gLive;
  return p;
}

void Release(void* p) noexcept {
  if (p == nullptr) return;
  --gLive;
  if (!UnmapRepeating(p)) std::free(p);
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
