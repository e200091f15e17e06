#include <string>

#include "component/trap.h"
#include "component/value_helpers.h"
#include "telematic/record_fields.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::telematic {

namespace {

// The header record, 75 characters: each field with its width and rule
// (Z: zero-filled on the left, T: blank-filled on the right, blanks).
enum class Fill { kZ, kT, kBlanks };
struct HeaderField {
  const char* content;
  size_t width;
  Fill fill;
};
constexpr HeaderField kHeaderLayout[] = {
    {"user code", 4, Fill::kT},          {"", 12, Fill::kBlanks},
    {"file name", 12, Fill::kT},         {"", 12, Fill::kBlanks},
    {"customs section", 6, Fill::kZ},    {"", 4, Fill::kBlanks},
    {"presenter", 16, Fill::kT},         {"office progressive", 3, Fill::kZ},
    {"", 1, Fill::kBlanks},              {"record count", 5, Fill::kZ},
};

std::string TextOrEmpty(const Variant& value) { return SeNullo(value, Variant::String("")).Text(); }

}  // namespace

void PreparaStringaTracciatoRecordDiTesta(IntraContext& context, int32_t& conta) {
  Trap(context, HandlerKind::StatusAndText, "PreparaStringaTracciatoRecordDiTesta", [&] {
    CLSIN_OUPUTINTRA& output = context.out();
    const Variant& text = output.StringaTracciatoInvioTelematico;
    if (TextOrEmpty(text).empty()) return;
    const CLSIN_INPUTINTRA& input = context.in();
    AddRecord(conta);

    const std::string delegate = TextOrEmpty(input.PartitaIvaDeleg);
    const std::string values[] = {
        TextOrEmpty(input.CodiceUtenteInvioTelematico),
        "",
        TextOrEmpty(output.NomeFileInvioTelematico),
        "",
        TextOrEmpty(input.CodiceSezioneDoganale),
        "",
        delegate.empty() ? TextOrEmpty(input.PartitaIva) : delegate,
        TextOrEmpty(input.ProgressivoSedeUtente),
        "",
        std::to_string(conta),
    };
    std::string header;
    for (size_t i = 0; i < std::size(kHeaderLayout); ++i) {
      const HeaderField& field = kHeaderLayout[i];
      switch (field.fill) {
        case Fill::kZ: AppendZ(header, values[i], field.width); break;
        case Fill::kT: AppendT(header, values[i], field.width); break;
        case Fill::kBlanks: header.append(field.width, ' '); break;
      }
    }
    const std::string previous = text.Text();
    std::string whole;
    whole.reserve(header.size() + 2 + previous.size());
    AppendUpper(whole, header);
    whole += "\r\n";
    whole += previous;
    output.StringaTracciatoInvioTelematico = Variant::String(std::move(whole));
  });
}

}  // namespace zelmora::telematic
