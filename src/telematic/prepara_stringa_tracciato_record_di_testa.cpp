#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "telematic/record_fields.h"
#include "telematic/record_layout.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

std::string TextOrEmpty(const Variant& value) { return SeNullo(value, Variant::String("")).Text(); }

}  // namespace

void PreparaStringaTracciatoRecordDiTesta(IntraContext& context, int32_t& conta) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciatoRecordDiTesta", [&] {
    CLSIN_OUPUTINTRA& output = context.out();
    const Variant& text = output.StringaTracciatoInvioTelematico;
    // The submission text is read where it is held: it is the largest
    // thing the job makes.
    const bool held = text.type() == VarType::String;
    const std::string converted = held ? std::string() : TextOrEmpty(text);
    const std::string& previous = held ? text.AsString() : converted;
    if (previous.empty()) return;
    const CLSIN_INPUTINTRA& input = context.in();
    AddRecord(conta);

    // Each field of the header's table: digits zero-filled on the left,
    // texts blank-filled on the right, the reserved ones their blanks.
    std::string header;
    for (const FieldSpec& field : HeaderRecord().fields) {
      std::string value;
      switch (field.fill) {
        case FieldSource::kUserCode: value = TextOrEmpty(input.CodiceUtenteInvioTelematico); break;
        case FieldSource::kFileName: value = TextOrEmpty(output.NomeFileInvioTelematico); break;
        case FieldSource::kHeaderSection: value = TextOrEmpty(input.CodiceSezioneDoganale); break;
        case FieldSource::kApplicant: {
          const std::string delegate = TextOrEmpty(input.PartitaIvaDeleg);
          value = delegate.empty() ? TextOrEmpty(input.PartitaIva) : delegate;
          break;
        }
        case FieldSource::kUserSite: value = TextOrEmpty(input.ProgressivoSedeUtente); break;
        case FieldSource::kRecordCount: value = std::to_string(conta); break;
        default: break;  // a reserved field: its literal
      }
      switch (field.kind) {
        case FieldKind::kDigits: AppendZ(header, value, field.length); break;
        case FieldKind::kLiteral: header += field.literal; break;
        default: AppendT(header, value, field.length); break;
      }
    }
    std::string whole;
    whole.reserve(header.size() + 2 + previous.size());
    AppendUpper(whole, header);
    whole += "\r\n";
    whole += previous;
    output.StringaTracciatoInvioTelematico = Variant::String(std::move(whole));
  });
}

}  // namespace zelmora::telematic
