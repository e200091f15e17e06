#include <string>
#include <vector>

#include "component/trap.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

bool MergesServiceLines(const CLSIN_INPUTINTRA& input) { return input.AccorpaArt23 && !input.SoloObbligatori; }

// An in-memory recordset with the source's columns (name, type, size,
// attributes, then scale and precision) and a copy of its rows, each column
// set by name from the source column of that name.
RecordsetPtr CopyOf(Recordset& source) {
  auto copy = std::make_shared<Recordset>();
  const size_t count = source.FieldCount();
  for (size_t i = 0; i < count; ++i) {
    const FieldInfo& field = source.Field(i);
    copy->AppendField(field.name, field.type, field.definedSize, field.attributes);
    FieldInfo& appended = copy->MutableField(i);
    appended.numericScale = field.numericScale;
    appended.precision = field.precision;
  }
  copy->CursorType = kCursorDynamic;
  copy->Open();
  // A name finds its first column, in the copy as in the source.
  std::vector<size_t> first(count);
  for (size_t i = 0; i < count; ++i) first[i] = *source.FieldIndex(source.Field(i).name);
  for (const Row* row : source.VisibleRows()) {
    copy->AddNew();
    for (size_t i = 0; i < count; ++i) copy->SetValue(first[i], (*row)[first[i]]);
  }
  copy->MoveFirst();  // fails (3021) when the source had no row
  return copy;
}

}  // namespace

RecordsetPtr CreaRecordsetPerTracciato(IntraContext& context) {
  RecordsetPtr result;
  Trap(context, HandlerKind::StatusAndText, "CreaRecordsetPerTracciato", [&] {
    const std::string sql = context.out().StringaSQLperStampaIntra.Text();
    if (!MergesServiceLines(context.in())) {
      result = context.connection().Execute(sql, kCmdText);
      return;
    }
    RecordsetPtr copy;
    {
      RecordsetPtr source = context.connection().Execute(sql, kCmdText);
      if (!source) throw Error::ObjectNotSet();
      copy = CopyOf(*source);
    }
    const std::optional<size_t> indOper = copy->FieldIndex("IN02_INDOPER");
    while (!copy->EOF()) {
      if (!indOper) throw Error::ItemNotFound();
      if (IsNumber(copy->Value(*indOper), 1)) CompleteMergedServiceLine(context, *copy);
      copy->MoveNext();
    }
    result = copy;
  });
  return result;
}

void CompleteMergedServiceLine(IntraContext& context, Recordset& rs) {
  CLSIN_INPUTINTRA& input = context.in();
  if (!MergesServiceLines(input) || !ComponiCampiObbligatori(context, rs)) return;
  rs.SetValue("IN02_CODICE_IN03", Variant::String(input.RaggIn02CodiceIn03));
  rs.SetValue("IN02_CODICE_IN04", Variant::String(input.RaggIn02CodiceIn04));
  rs.SetValue("IN02_NUMDOCORIG", Variant::String(input.RaggIn02NumDocOrig));
  // "NULL" marks a date that the movements do not share.
  std::optional<int> order = Compare(input.RaggIn02DataDocOrig, Variant::String("NULL"));
  if (order && *order != 0) rs.SetValue("IN02_DATADOCORIG", input.RaggIn02DataDocOrig);
}

}  // namespace zelmora::telematic
