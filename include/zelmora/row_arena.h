// Where the rows of a query's result live. A result of thousands of rows
// would otherwise take one allocation per row, each touching fresh pages one
// at a time; an arena takes memory in chunks, makes each chunk's pages
// present in one call, and gives it back all at once with the recordset
// that holds the rows. Rows built elsewhere (an in-memory recordset, a test)
// keep the ordinary heap: a RowAllocator without an arena is std::allocator.
#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>
#include <vector>

namespace zelmora {

class RowArena {
 public:
  RowArena() = default;
  ~RowArena();
  RowArena(const RowArena&) = delete;
  RowArena& operator=(const RowArena&) = delete;

  // `bytes` of storage aligned for any row value, valid until the arena goes.
  void* Allocate(std::size_t bytes);
  // The bytes of the chunks taken so far.
  std::size_t Reserved() const {
    std::size_t bytes = 0;
    for (const Chunk& chunk : chunks_) bytes += chunk.size;
    return bytes;
  }

 private:
  void NewChunk(std::size_t atLeast);

  struct Chunk {
    void* at;
    std::size_t size;
  };
  std::vector<Chunk> chunks_;
  char* next_ = nullptr;
  char* end_ = nullptr;
  std::size_t chunkSize_ = 0;
};

// Allocates from an arena when it has one (freeing is then the arena's
// business), from the heap otherwise. A copy of a row goes to the heap: only
// the rows a backend reads into a recordset live in its arena.
template <class T>
class RowAllocator {
 public:
  using value_type = T;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;
  using propagate_on_container_copy_assignment = std::false_type;
  using is_always_equal = std::false_type;

  RowAllocator() noexcept = default;
  explicit RowAllocator(RowArena* arena) noexcept : arena_(arena) {}
  template <class U>
  RowAllocator(const RowAllocator<U>& other) noexcept : arena_(other.arena()) {}  // NOLINT: rebinding

  T* allocate(std::size_t n) {
    if (arena_ == nullptr) return std::allocator<T>().allocate(n);
    if (n > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
    return static_cast<T*>(arena_->Allocate(n * sizeof(T)));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    if (arena_ == nullptr) std::allocator<T>().deallocate(p, n);
  }
  RowAllocator select_on_container_copy_construction() const noexcept { return RowAllocator(); }
  RowArena* arena() const noexcept { return arena_; }

  template <class U>
  friend bool operator==(const RowAllocator& a, const RowAllocator<U>& b) noexcept {
    return a.arena_ == b.arena();
  }

 private:
  RowArena* arena_ = nullptr;
};

}  // namespace zelmora
