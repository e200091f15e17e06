#include "platform/large_buffer.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zelmora {

namespace {

constexpr size_t kHugePage = size_t{1} << 21;
// Below this size the faults cost little and the advice is not worth a call.
constexpr size_t kWorthAdvising = size_t{8} << 20;

}  // namespace

void ReserveLargeText(std::string& text, size_t bytes) {
  const size_t before = text.capacity();
  text.reserve(text.size() + bytes);
#if defined(MADV_HUGEPAGE)
  if (text.capacity() == before || text.capacity() < kWorthAdvising) return;
  // Only the whole huge pages inside the buffer: the advice must not reach
  // memory the buffer does not own.
  const uintptr_t start = reinterpret_cast<uintptr_t>(text.data());
  const uintptr_t first = (start + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t last = (start + text.capacity()) & ~(kHugePage - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
  (void)before;
#endif
}

}  // namespace zelmora
