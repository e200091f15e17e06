#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "platform/connection.h"
#include "platform/recordset.h"
#include "platform/row_arena.h"

namespace zelmora {
namespace {

TEST(RowArena, AllocationsAreAlignedApartAndLastAsLongAsTheArena) {
  RowArena arena;
  // Small, odd, row-sized and larger than any chunk, across many chunks.
  const std::vector<size_t> sizes = {1, 7, 40, 2080, 3 * 1024 * 1024, 16, 2080, 100000};
  struct Block {
    unsigned char* at;
    size_t size;
    unsigned char mark;
  };
  std::vector<Block> blocks;
  for (int round = 0; round < 200; ++round) {
    const size_t size = sizes[static_cast<size_t>(round) % sizes.size()];
    auto* p = static_cast<unsigned char*>(arena.Allocate(size));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % alignof(std::max_align_t), 0u) << size;
    const auto mark = static_cast<unsigned char>(round);
    std::memset(p, mark, size);
    blocks.push_back({p, size, mark});
  }
  // Every block still holds its own bytes: none was handed out twice.
  for (const Block& b : blocks) {
    for (size_t i = 0; i < b.size; i += 511) ASSERT_EQ(b.at[i], b.mark);
    ASSERT_EQ(b.at[b.size - 1], b.mark);
  }
  size_t total = 0;
  for (const Block& b : blocks) total += b.size;
  EXPECT_GE(arena.Reserved(), total);
  EXPECT_LT(arena.Reserved(), total + total / 4 + 2 * 1024 * 1024);
}

TEST(RowArena, ARowCopiedOutIsOnTheHeapAndAMovedRowKeepsItsArena) {
  RowArena arena;
  Row row{RowAllocator<Variant>(&arena)};
  row.push_back(Variant::String(std::string(100, 'a')));
  row.push_back(Variant::Long(7));
  Row copy = row;
  EXPECT_EQ(copy.get_allocator().arena(), nullptr);
  EXPECT_EQ(copy, row);
  Row moved = std::move(row);
  EXPECT_EQ(moved.get_allocator().arena(), &arena);
  // Growing a row in an arena leaves the old block to the arena.
  for (int i = 0; i < 100; ++i) moved.push_back(Variant::Long(i));
  EXPECT_EQ(moved.size(), 102u);
  EXPECT_EQ(moved[0], copy[0]);
  EXPECT_EQ(moved[101], Variant::Long(99));
}

TEST(RowArena, TheRowsOfAResultOutliveTheConnectionAndTheResult) {
  auto connection = std::make_shared<Connection>();
  connection->Open("Provider=SQLite;Data Source=:memory:");
  connection->Execute("CREATE TABLE D (V INT)", kCmdText | kExecuteNoRecords);
  for (int d = 0; d < 10; ++d) {
    connection->Execute("INSERT INTO D (V) VALUES (" + std::to_string(d) + ")", kCmdText | kExecuteNoRecords);
  }
  // 10,000 rows with a text too long to sit inside its value: several chunks.
  const std::string query =
      "SELECT A.V * 1000 + B.V * 100 + C.V * 10 + E.V AS N, "
      "'a name longer than any short text, row ' + CAST(A.V * 1000 + B.V * 100 + C.V * 10 + E.V AS VARCHAR(10)) AS S "
      "FROM D AS A, D AS B, D AS C, D AS E ORDER BY 1";
  RecordsetPtr result = connection->Execute(query, kCmdText);
  Recordset snapshot;
  snapshot.Open(query, connection);
  RecordsetPtr clone = result->Clone();
  result.reset();
  connection.reset();

  for (Recordset* rs : {clone.get(), &snapshot}) {
    ASSERT_EQ(rs->RecordCount(), 10000);
    int expected = 0;
    for (const Row* row : rs->VisibleRows()) {
      ASSERT_EQ((*row)[0], Variant::Long(expected));
      ASSERT_EQ((*row)[1].Text(), "a name longer than any short text, row " + std::to_string(expected));
      ++expected;
    }
  }
}

}  // namespace
}  // namespace zelmora
