#include "platform/row_arena.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#if defined(__SANITIZE_ADDRESS__)
#define ZELMORA_ROW_ARENA_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZELMORA_ROW_ARENA_ASAN 1
#endif
#endif
#ifdef ZELMORA_ROW_ARENA_ASAN
#include <sanitizer/asan_interface.h>
#endif

namespace zelmora {
namespace {

constexpr std::size_t kAlignment = alignof(std::max_align_t);
// The first chunk holds the few rows most queries return; each next one is
// twice the last, up to kLargestChunk, which bounds the memory left unused at
// the end of the last chunk.
constexpr std::size_t kFirstChunk = 8 * 1024;
constexpr std::size_t kLargestChunk = 256 * 1024;
// Chunks this large have their pages made present in one call as they are taken.
constexpr std::size_t kPopulatedChunk = 64 * 1024;
#ifdef ZELMORA_ROW_ARENA_ASAN
// Under the address sanitizer each allocation is followed by poisoned bytes,
// so a read past the end of a row is caught as it is on the heap.
constexpr std::size_t kRedZone = kAlignment;
#else
constexpr std::size_t kRedZone = 0;
#endif

std::size_t RoundUp(std::size_t n, std::size_t to) { return (n + to - 1) / to * to; }

// Faults in the whole pages of [start, start + size) at once: on a virtual
// machine a page fault is an exit to the hypervisor, and thousands of them
// cost more than the rows' own work.
void Populate(void* start, std::size_t size) {
#ifdef MADV_POPULATE_WRITE
  static const std::uintptr_t page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const std::uintptr_t from = RoundUp(reinterpret_cast<std::uintptr_t>(start), page);
  const std::uintptr_t to = (reinterpret_cast<std::uintptr_t>(start) + size) / page * page;
  // A kernel without the call leaves the pages to be faulted in as they are touched.
  if (to > from) (void)madvise(reinterpret_cast<void*>(from), to - from, MADV_POPULATE_WRITE);
#else
  (void)start;
  (void)size;
#endif
}

}  // namespace

RowArena::~RowArena() {
  for (const Chunk& chunk : chunks_) {
#ifdef ZELMORA_ROW_ARENA_ASAN
    ASAN_UNPOISON_MEMORY_REGION(chunk.at, chunk.size);
#endif
    std::free(chunk.at);
  }
}

void RowArena::NewChunk(std::size_t atLeast) {
  chunkSize_ = chunkSize_ == 0 ? kFirstChunk : std::min(chunkSize_ * 2, kLargestChunk);
  const std::size_t size = std::max(chunkSize_, atLeast);
  chunks_.reserve(chunks_.size() + 1);
  void* chunk = std::malloc(size);
  if (chunk == nullptr) throw std::bad_alloc();
  chunks_.push_back({chunk, size});
  if (size >= kPopulatedChunk) Populate(chunk, size);
#ifdef ZELMORA_ROW_ARENA_ASAN
  ASAN_POISON_MEMORY_REGION(chunk, size);
#endif
  next_ = static_cast<char*>(chunk);
  end_ = next_ + size;
}

void* RowArena::Allocate(std::size_t bytes) {
  const std::size_t taken = RoundUp(std::max<std::size_t>(bytes, 1) + kRedZone, kAlignment);
  if (next_ == nullptr || static_cast<std::size_t>(end_ - next_) < taken) NewChunk(taken);
  void* p = next_;
  next_ += taken;
#ifdef ZELMORA_ROW_ARENA_ASAN
  ASAN_UNPOISON_MEMORY_REGION(p, bytes);
#endif
  return p;
}

}  // namespace zelmora
