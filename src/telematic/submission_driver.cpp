#include "telematic/submission_driver.h"

#include "component/value_helpers.h"
#include "platform/text_util.h"
#include "telematic/record_fields.h"

namespace zelmora::telematic {

namespace {

std::string TwoDigits(int value) {
  std::string out;
  AppendZ(out, std::to_string(value), 2);
  return out;
}

}  // namespace

std::string SubmissionFileName(const CLSIN_INPUTINTRA& input) {
  const Date sent = SeNullo(input.DataInvioTelematico, Variant::Integer(0)).ToDate();
  std::string name = SeNullo(input.CodiceUtenteInvioTelematico, Variant::String("")).Text();
  name += TwoDigits(sent.month());
  name += TwoDigits(sent.day());
  name += ".I";
  name += Utf8Right("00" + SeNullo(input.ProgressivoInvioTelematico, Variant::String("")).Text(), 2);
  return name;
}

Variant CompanyPeriodicity(const IntraContext& context, int list) {
  if (!context.ClsDitta || !context.ClsDitta->ClsDatiGest) throw Error::ObjectNotSet();
  const CompanyManagementData& management = *context.ClsDitta->ClsDatiGest;
  return SeNullo(list == 0 ? management.IndIntraVen : management.IndIntraAcq, Variant::Integer(0));
}

SubmissionList StartList(IntraContext& context, bool both, int list) {
  CLSIN_INPUTINTRA& input = context.in();
  if (both) {
    input.TipoStampa = Variant::Integer(static_cast<int16_t>(list));
    input.TipoIntra = CompanyPeriodicity(context, list);
  }
  SubmissionList summary;
  summary.tipoStampa = both ? list : (IsNumber(input.TipoStampa, 1) ? 1 : 0);
  summary.tipoIntra = input.TipoIntra;
  return summary;
}

}  // namespace zelmora::telematic
