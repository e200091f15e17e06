#include "component/trap.h"
#include "component/value_helpers.h"
#include "forms/form_procedures.h"
#include "platform/text_util.h"
#include "telematic/telematic_procedures.h"

namespace zelmora::forms {

namespace {

// The first `count` characters of a text (not bytes: names carry accents).
Variant FirstCharacters(const Variant& value, size_t count) {
  if (value.IsEmptyOrNull()) return value;
  const std::string text = value.ToString();
  size_t at = 0;
  for (size_t taken = 0; at < text.size() && taken < count; ++taken) {
    ++at;
    while (at < text.size() && (static_cast<unsigned char>(text[at]) & 0xC0) == 0x80) ++at;
  }
  return Variant::String(text.substr(0, at));
}

bool Is(const Variant& value, double number) { return !value.IsEmptyOrNull() && value.ToDouble() == number; }

}  // namespace

void MemorizzaRecordModIntra(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "MemorizzaRecordModIntra", [&] {
    if (!context.RstSorgenteModulo || !context.RstRigheModulo) throw Error::ObjectNotSet();
    Recordset& source = *context.RstSorgenteModulo;
    Recordset& line = *context.RstRigheModulo;
    CLSIN_INPUTINTRA& input = context.in();
    auto copy = [&](const char* target, const char* column) { line.SetValue(target, source.Value(column)); };
    auto whole = [&](const char* column) { return telematic::ArrotondaImporto(context, source.Value(column)); };

    copy("DITTA", "IN01_DITTA_CG18");
    copy("INDTIPODOC", "IN01_INDTIPODOC");
    copy("MESERIF", "IN02_MESERIF");
    copy("ANNORIF", "IN02_ANNORIF");
    copy("TIPOCF", "CG41_TIPOCF_CG44");
    copy("CLIFOR", "CG41_CLIFOR_CG44");
    copy("CODANAG", "CG16_CODICE");
    line.SetValue("RAGSOANAG", FirstCharacters(source.Value("CG16_RAGSOANAG"), 40));
    copy("DESCRCF", "CG07_DESCRCF");
    copy("CODICECF", "CG07_CODICECF");
    copy("INDTIPOSTATO", "CG07_INDTIPOSTATO");
    copy("INDNATURA", "IN02_INDNATURA");
    line.SetValue("IMPORTOVAL", whole("IMPORTOVAL"));
    // An annual declaration carries no goods codes.
    if (!Is(input.TipoIntra, 3)) copy("NOMENCLATURA", "IN02_NOMENCLATURA");

    // Fiscal data (0 both, 1 fiscal only) name the party and the amount; a
    // statistical-only line declares no amount.
    const Variant dataKind = source.Value("IN02_INDTIPODATI");
    if (Is(dataKind, 0) || Is(dataKind, 1)) {
      copy("CODISOCF", "CG07_CODISOCF");
      copy("PARTIVA", "CG16_PARTIVA");
      line.SetValue("IMPORTO", whole("IMPORTO"));
    } else if (Is(dataKind, 2)) {
      line.SetValue("IMPORTO", Variant::Integer(0));
    }

    // Only a monthly declaration carries the statistical data, and a
    // fiscal-only line has none.
    if (Is(input.TipoIntra, 1) && !Is(dataKind, 1)) {
      const Variant zero = Variant::Integer(0);
      const Variant mass = source.Value("IMPMASSA");
      if (SeNullo(mass, zero).ToDouble() != 0) {
        Variant kg = whole("IMPMASSA");
        // A mass below one unit is still declared as one.
        if (Is(kg, 0)) kg = Variant::Integer(mass.ToDouble() > 0 ? 1 : -1);
        line.SetValue("MASSA", kg);
      }
      if (SeNullo(source.Value("IMPUNSUPPL"), zero).ToDouble() != 0) line.SetValue("UNSUPPL", whole("IMPUNSUPPL"));
      line.SetValue("VALSTAT", whole("VALSTAT"));
      copy("INDCONS", "IN02_INDCONS");
      copy("INDTRASP", "IN02_INDTRASP");
      copy("PROVDEST", "IN02_PROVDEST");
      copy("PROVORIG", "IN02_PROVORIG");
      copy("PAESEPRO", "IN02_PAESEPRO_CG07");
      copy("PAESEORI", "IN02_PAESEORI_CG07");
      copy("PAESEDES", "IN02_PAESEDES_CG07");
      for (const char* suffix : {"PRO", "ORI", "DES"}) {
        for (const char* prefix : {"CODICE", "DESCR", "CODISO"}) {
          const std::string target = std::string(prefix) + suffix;
          copy(target.c_str(), ("CG07_" + target).c_str());
        }
      }
    }

    // Merged service lines show the invoice data their movements share.
    if (Is(source.Value("IN02_INDOPER"), 1) && !input.SoloObbligatori && input.AccorpaArt23 &&
        telematic::ComponiCampiObbligatori(context, source)) {
      line.SetValue("IN02_CODICE_IN03", Variant::String(input.RaggIn02CodiceIn03));
      line.SetValue("IN02_CODICE_IN04", Variant::String(input.RaggIn02CodiceIn04));
      line.SetValue("IN02_NUMDOCORIG", Variant::String(input.RaggIn02NumDocOrig));
      const Variant& date = input.RaggIn02DataDocOrig;
      if (!(date.type() == VarType::String && date.AsString() == "NULL")) line.SetValue("IN02_DATADOCORIG", date);
    }
  });
}

}  // namespace zelmora::forms
