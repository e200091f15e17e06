#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/connection.h"
#include "platform/error.h"
#include "platform/recordset.h"
#include "support/arrow_cases.h"
#include "support/error_of.h"
#include "support/recordset_text.h"
#include "support/value_text.h"

namespace zelmora {
namespace {

using testing::ErrorNumberOf;

// An in-memory recordset built as the component builds its form recordsets.
RecordsetPtr FormLines() {
  auto rs = std::make_shared<Recordset>();
  rs->AppendField("INDTIPODOC", DataType::Decimal, 0, kFieldIsNullable);
  rs->MutableField(0).precision = 2;
  rs->AppendField("IMPORTO", DataType::Decimal, 0, kFieldIsNullable);
  rs->MutableField(1).precision = 13;
  rs->MutableField(1).numericScale = 2;
  rs->AppendField("PARTIVA", DataType::Char, 12, kFieldIsNullable);
  rs->AppendField("RAGSOANAG", DataType::VarWChar, 40, kFieldIsNullable);
  rs->AppendField("DATA", DataType::Date, 0, kFieldIsNullable);
  rs->AppendField("importo", DataType::VarChar, 10, kFieldIsNullable);  // same name, found second
  rs->CursorType = kCursorDynamic;
  rs->LockType = kLockOptimistic;
  rs->Open();
  return rs;
}

void AddLine(Recordset& rs, int kind, std::string_view name) {
  rs.AddNew();
  rs.SetValue("INDTIPODOC", Variant::Integer(static_cast<int16_t>(kind)));
  rs.SetValue("RAGSOANAG", Variant::String(std::string(name)));
}

std::string Names(const Recordset& rs) { return testing::ColumnText(rs, 3); }

TEST(Recordset, NoCurrentRowAndUnknownFields) {
  auto rs = FormLines();
  // Empty: both BOF and EOF; reading, writing and MoveFirst fail with 3021.
  EXPECT_TRUE(rs->BOF());
  EXPECT_TRUE(rs->EOF());
  EXPECT_EQ(rs->RecordCount(), 0);
  EXPECT_EQ(rs->AbsolutePosition(), kPositionUnknown);
  EXPECT_EQ(ErrorNumberOf([&] { rs->Value("IMPORTO"); }), 3021);
  EXPECT_EQ(ErrorNumberOf([&] { rs->SetValue(size_t{1}, Variant::Integer(1)); }), 3021);
  EXPECT_EQ(ErrorNumberOf([&] { rs->MoveFirst(); }), 3021);
  EXPECT_EQ(ErrorNumberOf([&] { rs->MoveNext(); }), 3021);
  // An unknown field is 3265 whether or not there is a current row.
  EXPECT_EQ(ErrorNumberOf([&] { rs->Value("NOSUCH"); }), 3265);
  EXPECT_EQ(ErrorNumberOf([&] { rs->Value(size_t{6}); }), 3265);

  AddLine(*rs, 1, "a");
  AddLine(*rs, 2, "b");
  EXPECT_EQ(rs->AbsolutePosition(), 2);  // the new row is current
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());
  EXPECT_FALSE(rs->BOF());
  EXPECT_EQ(rs->AbsolutePosition(), kPositionEOF);
  EXPECT_EQ(ErrorNumberOf([&] { rs->Value("RAGSOANAG"); }), 3021);
  EXPECT_EQ(ErrorNumberOf([&] { rs->MoveNext(); }), 3021);
  EXPECT_EQ(testing::ErrorOf([&] { rs->Value(size_t{0}); }),
            "3021: Either BOF or EOF is True, or the current record has been deleted.");

  // A filter that lets nothing through: MoveFirst fails too.
  rs->SetFilter("INDTIPODOC = 9");
  EXPECT_TRUE(rs->BOF() && rs->EOF());
  EXPECT_EQ(ErrorNumberOf([&] { rs->MoveFirst(); }), 3021);

  // Names ignore case and find the first field of that name.
  rs->SetFilter("");
  EXPECT_EQ(rs->FieldIndex("Importo"), std::optional<size_t>(1));
  EXPECT_EQ(rs->FieldIndex("IMPORTOX"), std::nullopt);
  rs->SetValue("importo", Variant::String("7"));
  EXPECT_EQ(rs->Value(size_t{1}), Variant::Dec(Decimal::FromParts(700, 2)));
  EXPECT_EQ(rs->Value(size_t{5}), Variant::Null());

  // A closed recordset refuses navigation; an open one refuses new fields.
  Recordset closed;
  EXPECT_EQ(ErrorNumberOf([&] { closed.EOF(); }), 3704);
  EXPECT_EQ(ErrorNumberOf([&] { rs->AppendField("LATE", DataType::VarChar, 5); }), 3705);
}

TEST(Recordset, SetValueConvertsToTheFieldType) {
  testing::ExpectArrowCases("platform/recordset/set_values.txt", [](const std::string& line) {
    const std::string field = line.substr(0, line.find(" | "));
    auto rs = FormLines();
    rs->AddNew();
    rs->SetValue("IMPORTO", Variant::String("1"));
    const int32_t error = ErrorNumberOf([&] { rs->SetValue(field, testing::ParseValue(line.substr(field.size() + 3))); });
    if (error != 0) return "error " + std::to_string(error) + ", IMPORTO " + testing::ValueText(rs->Value("IMPORTO"));
    const Variant held = rs->Value(field);
    return testing::ValueText(held) + (held.type() == VarType::Date && held.AsDate().HasTime() ? "+time" : "");
  });
  auto rs = FormLines();
  rs->AddNew();
  rs->MutableField(1).numericScale = 20;
  EXPECT_EQ(ErrorNumberOf([&] { rs->SetValue("IMPORTO", Variant::Dec(*Decimal::Parse("1E10"))); }), 6);
}

TEST(Recordset, ClonesShareRowsButNotFiltersOrPositions) {
  auto rs = FormLines();
  AddLine(*rs, 1, "a");
  AddLine(*rs, 2, "b");
  AddLine(*rs, 1, "c");
  rs->SetFilter("INDTIPODOC = 1");
  rs->MoveNext();  // "c"

  auto clone = rs->Clone();
  EXPECT_EQ(clone->Filter(), "");
  EXPECT_EQ(clone->RecordCount(), 3);
  EXPECT_EQ(clone->AbsolutePosition(), 1);
  EXPECT_EQ(clone->Value("RAGSOANAG"), Variant::String("a"));
  EXPECT_EQ(rs->Value("RAGSOANAG"), Variant::String("c"));

  // A change through the clone is seen by the original, and the other way.
  clone->SetValue("PARTIVA", Variant::String("IT1"));
  rs->MoveFirst();
  EXPECT_EQ(rs->Value("PARTIVA"), Variant::String("IT1"));
  rs->SetValue("RAGSOANAG", Variant::String("A"));
  EXPECT_EQ(clone->Value("RAGSOANAG"), Variant::String("A"));

  // Each filters on its own.
  clone->SetFilter("INDTIPODOC = 2");
  EXPECT_EQ(Names(*clone), "b");
  EXPECT_EQ(Names(*rs), "A,c");

  // A row added through a clone reaches the unfiltered original.
  auto plain = rs->Clone();
  AddLine(*clone, 2, "d");
  EXPECT_EQ(Names(*plain), "A,b,c,d");
  EXPECT_EQ(Names(*clone), "b,d");
  EXPECT_EQ(Names(*rs), "A,c");  // its filter was evaluated when set
  rs->SetFilter("INDTIPODOC <= 2");
  EXPECT_EQ(Names(*rs), "A,b,c,d");
}

TEST(Recordset, AddNewAndPositionsUnderAFilter) {
  auto rs = FormLines();
  for (int i = 0; i < 5; ++i) AddLine(*rs, i % 2 == 0 ? 1 : 2, std::string(1, static_cast<char>('a' + i)));
  rs->SetFilter("INDTIPODOC = 2");
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->AbsolutePosition(), 1);
  EXPECT_EQ(rs->Value("RAGSOANAG"), Variant::String("b"));
  rs->MoveNext();
  EXPECT_EQ(rs->AbsolutePosition(), 2);
  EXPECT_EQ(rs->Value("RAGSOANAG"), Variant::String("d"));

  // The new row joins the filtered view as its last row, even before it
  // has a value that would pass the filter.
  rs->AddNew();
  EXPECT_EQ(rs->RecordCount(), 3);
  EXPECT_EQ(rs->AbsolutePosition(), 3);
  EXPECT_EQ(rs->Value("INDTIPODOC"), Variant::Null());
  rs->SetValue("INDTIPODOC", Variant::Integer(1));
  rs->SetValue("RAGSOANAG", Variant::String("f"));
  rs->MoveNext();
  EXPECT_TRUE(rs->EOF());

  // Set again, the filter judges it by its values.
  rs->SetFilter("INDTIPODOC = 2");
  EXPECT_EQ(Names(*rs), "b,d");
  rs->SetFilter("INDTIPODOC = 1");
  EXPECT_EQ(Names(*rs), "a,c,e,f");
  rs->SetFilter("");
  EXPECT_EQ(rs->RecordCount(), 6);
  EXPECT_EQ(rs->AbsolutePosition(), 1);
}

TEST(Recordset, FromRowsIsAnOpenSnapshotOnItsFirstRow) {
  std::vector<FieldInfo> fields = {{"N", DataType::Integer, 4, 0, 10, 0}};
  std::vector<Row> rows = {{Variant::Long(5)}, {Variant::Long(6)}};
  auto rs = Recordset::FromRows(fields, rows);
  EXPECT_TRUE(rs->IsOpen());
  EXPECT_EQ(rs->Value("n"), Variant::Long(5));
  EXPECT_EQ(rs->RecordCount(), 2);
  EXPECT_EQ(rs->Field(0).precision, 10);
  EXPECT_EQ(ErrorNumberOf([&] { Recordset::FromRows(fields, {{Variant::Long(1), Variant::Long(2)}}); }), 5);
  auto empty = Recordset::FromRows(fields, {});
  EXPECT_TRUE(empty->EOF());
}

TEST(Recordset, OpenOverAConnectionTakesItsOwnSnapshot) {
  auto connection = std::make_shared<Connection>();
  connection->Open("Provider=SQLite;Data Source=:memory:");
  connection->Execute("CREATE TABLE T (N INT, S VARCHAR(10))", kCmdText | kExecuteNoRecords);
  connection->Execute("INSERT INTO T (N, S) VALUES (1, 'a')", kCmdText | kExecuteNoRecords);
  connection->Execute("INSERT INTO T (N, S) VALUES (2, 'b')", kCmdText | kExecuteNoRecords);

  Recordset rs;
  rs.Open("SELECT N, S FROM T", connection, kCursorDynamic, kLockOptimistic);
  EXPECT_TRUE(rs.IsOpen());
  EXPECT_EQ(rs.CursorType, kCursorDynamic);
  EXPECT_EQ(rs.FieldCount(), 2u);
  EXPECT_EQ(rs.Field(1).name, "S");
  EXPECT_EQ(rs.RecordCount(), 2);
  EXPECT_EQ(rs.Value("s"), Variant::String("a"));
  rs.SetFilter("N = 2");
  EXPECT_EQ(rs.Value("S"), Variant::String("b"));

  // The rows are this recordset's: the table is not changed through it.
  rs.AddNew();
  auto again = connection->Execute("SELECT N FROM T");
  EXPECT_EQ(again->RecordCount(), 2);
  EXPECT_EQ(ErrorNumberOf([&] { rs.Open("SELECT N FROM T", connection); }), 3705);
  Recordset unset;
  EXPECT_EQ(ErrorNumberOf([&] { unset.Open("SELECT N FROM T", nullptr); }), 91);
}

}  // namespace
}  // namespace zelmora
