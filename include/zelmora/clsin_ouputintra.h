// The output object: what an operation leaves behind for the host (SQL
// texts, recordsets, the submission text and its file name). Created by the
// business object at construction and never cleared, so each operation
// overwrites only what it produces. The class name is spelled without the
// second T, as hosts know it; hosts cannot create it themselves.
#pragma once

#include <string_view>
#include <vector>

#include "zelmora/object.h"
#include "zelmora/recordset.h"
#include "zelmora/variant.h"

namespace zelmora {

// Every property as X(name, type) in interface order. Types: RECORDSET
// (get and set by reference) and VARIANT.
#define ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(X) \
  X(RecordsetIntra, RECORDSET)                  \
  X(RecordsetIntraInterrogazione, RECORDSET)    \
  X(RecordsetIntraModMain, RECORDSET)           \
  X(RecordsetIntraAcqCess, RECORDSET)           \
  X(RecordsetIntraRettifiche, RECORDSET)        \
  X(RecordsetIntraAcqCess_Ser, RECORDSET)       \
  X(RecordsetIntraRettifiche_Ser, RECORDSET)    \
  X(StringaSQLperStampaIntra, VARIANT)          \
  X(StringaTracciatoInvioTelematico, VARIANT)   \
  X(NomeFileInvioTelematico, VARIANT)           \
  X(StringaSQLErroriNomenclatura, VARIANT)

namespace output_property_types {
using RECORDSET = RecordsetPtr;
using VARIANT = Variant;
}  // namespace output_property_types

// What the business object's operations leave for the host: SQL texts,
// recordsets, the submission text and its file name.
class CLSIN_OUPUTINTRA : public Object {
 public:
  std::string_view Kind() const override { return "CLSIN_OUPUTINTRA"; }

#define ZELMORA_DECLARE_PROPERTY(name, type) output_property_types::type name{};
  ZELMORA_CLSIN_OUPUTINTRA_PROPERTIES(ZELMORA_DECLARE_PROPERTY)
#undef ZELMORA_DECLARE_PROPERTY

  Variant GetMember(std::string_view name) override;
  void SetMember(std::string_view name, const Variant& value) override;
  static const std::vector<std::string_view>& PropertyNames();
  // True for the properties that hold recordsets.
  static bool IsRecordsetProperty(std::string_view name);
};

}  // namespace zelmora
