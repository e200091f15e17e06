#include "declaration/declaration_statement.h"

#include <array>
#include <string_view>

#include "component/value_helpers.h"
#include "declaration/declaration_procedures.h"
#include "platform/date.h"
#include "platform/dispatch_object.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora::declaration {

namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr char kCr = '\r';

// The statement is written piece by piece; most pieces end with CR LF, the
// reference-year pieces and the outer column list with a single CR (the
// publication removes the reference-year pieces together with that CR).
class SqlText {
 public:
  void Line(std::string_view piece) {
    text_ += piece;
    text_ += kCrLf;
  }
  void CrLine(std::string_view piece) {
    text_ += piece;
    text_ += kCr;
  }
  void Raw(std::string_view piece) { text_ += piece; }
  std::string& str() { return text_; }

 private:
  std::string text_;
};

// A key column with the value ISNULL gives it when it is Null.
struct Key {
  std::string_view name;
  std::string_view fallback;  // "0" or "''"
};

// The statistical data of a monthly declaration, in column order.
constexpr std::array<Key, 16> kStatistical = {{
    {"IN02_INDCONS", "0"},
    {"IN02_INDTRASP", "0"},
    {"IN02_PAESEPRO_CG07", "0"},
    {"IN02_PAESEORI_CG07", "0"},
    {"IN02_PAESEDES_CG07", "0"},
    {"CG07_CODICEPRO", "0"},
    {"CG07_DESCRPRO", "''"},
    {"CG07_CODISOPRO", "''"},
    {"CG07_CODICEORI", "0"},
    {"CG07_DESCRORI", "''"},
    {"CG07_CODISOORI", "''"},
    {"CG07_CODICEDES", "0"},
    {"CG07_DESCRDES", "''"},
    {"CG07_CODISODES", "''"},
    {"IN02_PROVDEST", "''"},
    {"IN02_PROVORIG", "''"},
}};

// The keys that bind the rows of a correlated sub-query to the current row
// of the outer query, beyond its opening condition on the company.
struct Binding {
  std::string_view alias;  // RIGHE_RETT or ALIAS
  std::string& out;

  void Equal(std::string_view column) const {
    out += "AND ";
    out += alias;
    out += '.';
    out += column;
    out += " = VIN01_INTRA.";
    out += column;
    out += kCrLf;
  }
  void EqualOrBothNull(const Key& key) const {
    out += "AND ISNULL(";
    out += alias;
    out += '.';
    out += key.name;
    out += ',';
    out += key.fallback;
    out += ") = ISNULL(VIN01_INTRA.";
    out += key.name;
    out += ',';
    out += key.fallback;
    out += ')';
    out += kCrLf;
  }
};

// Start and end of the period, as SQL date literals.
struct Period {
  std::string start;
  std::string end;
};

struct Periods {
  bool any = false;        // kinds 1 to 3 have a period condition
  Period partner;          // branch A and the amount sub-queries
  Period statistical;      // branch B
  std::string correctionEnd;
};

Date MonthStart(int year, int month) {
  // Calendar arithmetic on the first day of the month: a month outside
  // 1..12 carries into the neighbouring years.
  long total = static_cast<long>(year) * 12 + (month - 1);
  long y = total >= 0 ? total / 12 : -((-total + 11) / 12);
  int m = static_cast<int>(total - y * 12) + 1;
  std::optional<Date> date = Date::FromYMD(static_cast<int>(y), m, 1);
  if (!date) throw Error::InvalidProcedureCall();
  return *date;
}

Date MonthEnd(int year, int month) { return Date::FromSerial(MonthStart(year, month + 1).days() - 1); }

std::string SqlDate(const Date& date) {
  return FormattaData(Variant::FromDate(date), TipoOperazioneEnum::stringa).Text();
}

Periods ComputePeriods(const DeclarationSettings& s) {
  Periods p;
  const int a = s.year;
  const int m = s.period;
  switch (s.periodKind) {
    case 1: {
      const bool quarterStart = m == 1 || m == 4 || m == 7 || m == 10;
      const Date first = MonthStart(a, m);
      const Date last = MonthEnd(a, m);
      p.partner = {SqlDate(s.changedPeriodicity && !quarterStart ? MonthStart(a, m - 1) : first), SqlDate(last)};
      p.statistical = {SqlDate(first), SqlDate(last)};
      p.correctionEnd = SqlDate(last);
      p.any = true;
      break;
    }
    case 2: {
      p.partner = {SqlDate(MonthStart(a, m - 2)), SqlDate(MonthEnd(a, m))};
      p.statistical = p.partner;
      p.correctionEnd = p.partner.end;
      p.any = true;
      break;
    }
    case 3: {
      p.partner = {SqlDate(MonthStart(a, 1)), SqlDate(MonthEnd(a, 12))};
      p.statistical = p.partner;
      p.correctionEnd = p.partner.end;
      p.any = true;
      break;
    }
    default:
      break;
  }
  return p;
}

bool Monthly(const DeclarationSettings& s) { return s.periodKind == 1; }

// The keys both kinds of correlated sub-query bind last: the French regime
// (and, with error handling, the line's own identity) and, in monthly
// declarations, the statistical columns.
void BindLocalisationAndStatisticalKeys(const Binding& bind, const DeclarationSettings& s) {
  if (s.french) {
    bind.EqualOrBothNull({"IN02_REGIME", "''"});
    if (s.errorKeys) {
      bind.EqualOrBothNull({"IN01_NUMREG_CG41", "''"});
      bind.EqualOrBothNull({"CG41_CODICE_CG33", "''"});
      bind.EqualOrBothNull({"IN02_NUMRIGA", "0"});
    }
  }
  if (Monthly(s)) {
    for (const Key& key : kStatistical) bind.EqualOrBothNull(key);
  }
}

// RETTIFICA: for a service correction line, the amount first declared for
// the corrected line less the matching correction rows up to the period
// end (reason codes 52 and 63 add, all others subtract); 0 elsewhere.
std::string CorrectionExpression(const DeclarationSettings& s, const std::string& periodEnd) {
  std::string t;
  const Binding bind{"RIGHE_RETT", t};
  t += "CASE WHEN IN01_INDTIPODOC IN (2,4) AND IN02_INDOPER = 1\r\n";
  t += "THEN \r\n";
  t += "ISNULL(( SELECT MAX(RIGHE_RETT.IN02_IMPORTOORIG) - SUM(CASE WHEN CG33_CODICE IN(52,63)\r\n";
  t += "THEN ISNULL(RIGHE_RETT.IN02_IMPORTO,0)\r\n";
  t += "ELSE -ISNULL(RIGHE_RETT.IN02_IMPORTO,0) END)\r\n";
  t += "FROM VIN01_INTRA RIGHE_RETT WITH (NOLOCK)\r\n";
  t += "WHERE RIGHE_RETT.IN01_DITTA_CG18 = VIN01_INTRA.IN01_DITTA_CG18\r\n";
  for (std::string_view column : {"IN01_INDTIPODOC", "CG41_TIPOCF_CG44", "CG41_CLIFOR_CG44", "CG16_CODICE",
                                  "CG07_CODICECF", "IN02_INDOPER", "CG41_SEZIONALE", "IN01_CODICE_CG08"}) {
    bind.Equal(column);
  }
  bind.EqualOrBothNull({"IN02_NOMENCLATURA", "''"});
  bind.EqualOrBothNull({"CG07_CODISOPAG", "''"});
  // Over linked companies the customs section is a key of the corrected line too.
  if (s.linkedCompanies) bind.EqualOrBothNull({"IN02_SEZDOG", "0"});
  for (const Key& key : std::initializer_list<Key>{{"IN02_PROTDICH", "0"},
                                                   {"IN02_PROGRSEZ3", "0"},
                                                   {"CG16_PARTIVA", "''"},
                                                   {"CG16_RAGSOANAG", "''"},
                                                   {"CG07_DESCRCF", "''"},
                                                   {"CG07_INDTIPOSTATO", "0"},
                                                   {"IN02_INDNATURA", "0"},
                                                   {"IN02_INDTIPODATI", "0"},
                                                   {"IN02_ANNORIF", "0"},
                                                   {"IN02_MESERIF", "0"}}) {
    bind.EqualOrBothNull(key);
  }
  if (!s.mergeServices) {
    for (const Key& key : std::initializer_list<Key>{{"IN02_CODICE_IN03", "''"},
                                                     {"IN02_CODICE_IN04", "''"},
                                                     {"IN02_SEZORIG", "''"},
                                                     {"IN02_NUMDOCORIG", "0"},
                                                     {"IN02_DATADOCORIG", "''"}}) {
      bind.EqualOrBothNull(key);
    }
  }
  BindLocalisationAndStatisticalKeys(bind, s);
  t += "AND ISNULL(RIGHE_RETT.IN01_DTCOMPINTRA , ISNULL(RIGHE_RETT.CG41_DATAREGIVA, RIGHE_RETT.CG41_DATAREG)) <= ";
  t += periodEnd;
  t += kCrLf;
  t += "),0)\r\n";
  t += "ELSE 0\r\n";
  t += "END AS RETTIFICA\r\n";
  return t;
}

// RETTIFICAVAL: the same in currency.
std::string CurrencyCorrectionExpression(std::string text) {
  ReplaceAll(text, "IN02_IMPORTOORIG", "IN02_IMPORTOVALORIG");
  ReplaceAll(text, "RIGHE_RETT.IN02_IMPORTO", "RIGHE_RETT.IN02_IMPORTOVAL");
  ReplaceAll(text, "IN02_IMPORTOVALVALORIG", "IN02_IMPORTOVALORIG");
  ReplaceAll(text, "AS RETTIFICA", "AS RETTIFICAVAL");
  return text;
}

// With AccorpaArt23 the amounts of a partner line are summed by correlated
// sub-queries over every movement of the line's keys, whatever its service
// fields; `currency` gives the amount in currency.
void AmountSubQuery(SqlText& sql, const DeclarationSettings& s, const Periods& periods, bool currency) {
  if (currency) {
    sql.Line("(SELECT SUM(ISNULL(RAGG.IMPORTOVAL,0)) ");
    sql.Line("FROM ");
    sql.Line("(SELECT ALIAS.IN02_IMPORTOVAL  *(1-2*IN02_FLGSEGNO) AS IMPORTOVAL ");
  } else {
    sql.Line("(SELECT SUM(ISNULL(RAGG.IMPORTO,0)) ");
    sql.Line("FROM ");
    sql.Line("(SELECT ALIAS.IN02_IMPORTO  *(1-2*IN02_FLGSEGNO) AS IMPORTO ");
  }
  sql.Line("FROM VIN01_INTRA ALIAS WITH (NOLOCK)");
  sql.Line("WHERE ALIAS.IN01_DITTA_CG18 = VIN01_INTRA.IN01_DITTA_CG18");
  const Binding bind{"ALIAS", sql.str()};
  for (std::string_view column : {"IN01_INDTIPODOC", "CG41_TIPOCF_CG44", "CG41_CLIFOR_CG44", "CG16_CODICE",
                                  "CG07_CODICECF", "CG07_CODISOCF", "IN02_INDOPER"}) {
    bind.Equal(column);
  }
  if (s.linkedCompanies) {
    // Over linked companies a line without a section matches its like.
    bind.EqualOrBothNull({"CG41_SEZIONALE", currency ? "0" : "''"});
  } else {
    bind.Equal("CG41_SEZIONALE");
  }
  bind.Equal("IN02_INDTIPODATI");
  bind.Equal("IN01_CODICE_CG08");
  for (const Key& key : std::initializer_list<Key>{{"IN02_NOMENCLATURA", "''"},
                                                   {"CG07_CODISOPAG", "''"},
                                                   {"IN02_SEZDOG", "0"},
                                                   {"IN02_PROTDICH", "0"},
                                                   {"IN02_PROGRSEZ3", "0"},
                                                   {"CG16_PARTIVA", "''"},
                                                   {"CG16_RAGSOANAG", "''"},
                                                   {"CG07_DESCRCF", "''"},
                                                   {"CG07_INDTIPOSTATO", "0"},
                                                   {"IN02_INDNATURA", "0"},
                                                   {"IN02_INDTIPODATI", "0"},
                                                   {"IN02_MESERIF", "0"},
                                                   {"IN02_ANNORIF", "0"}}) {
    bind.EqualOrBothNull(key);
  }
  BindLocalisationAndStatisticalKeys(bind, s);
  if (periods.any) {
    sql.Line(" AND ISNULL(ALIAS.IN01_DTCOMPINTRA , ISNULL(ALIAS.CG41_DATAREGIVA, ALIAS.CG41_DATAREG)) BETWEEN " +
             periods.partner.start + " AND " + periods.partner.end);
  }
  if (currency) {
    sql.Line(" ) RAGG");
    sql.Line(")     AS IMPORTOVAL, ");
  } else {
    sql.Line("         ) RAGG");
    sql.Line("         )  AS IMPORTO, ");
  }
}

// Select-list items shared by both inner branches: the French keys, the
// statistical data, the service fields, the payment country and the
// declaration references, and the reference year (ended by a single CR).
void SharedSelectItems(SqlText& sql, const DeclarationSettings& s, bool partner) {
  if (s.french) {
    sql.Line(" ,IN02_REGIME ");
    if (s.errorKeys) sql.Line(" , IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA ");
  }
  if (Monthly(s)) {
    sql.Line(", IN02_INDCONS, IN02_INDTRASP , ");
    sql.Line(" IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, ");
    sql.Line(" CG07_CODICEPRO, CG07_DESCRPRO, CG07_CODISOPRO, ");
    sql.Line(" CG07_CODICEORI, CG07_DESCRORI, CG07_CODISOORI, ");
    sql.Line(" CG07_CODICEDES, CG07_DESCRDES, ");
    sql.Line(" CG07_CODISODES, IN02_PROVDEST, IN02_PROVORIG, ");
    sql.Line(partner ? "SUM(ISNULL(IN02_VALSTAT,0)*(1-2*IN02_FLGSEGNO)) AS VALSTAT, "
                       "SUM(IN02_MASSA*(1-2*IN02_FLGSEGNO)) AS IMPMASSA, "
                     : "SUM(ISNULL(IN02_VALSTAT,0) *(1-2*IN02_FLGSEGNO)) AS VALSTAT, "
                       "SUM(IN02_MASSA*(1-2*IN02_FLGSEGNO)) AS IMPMASSA, ");
    sql.Line("SUM(IN02_UNSUPPL*(1-2*IN02_FLGSEGNO)) AS IMPUNSUPPL");
  }
  if (s.mergeServices) {
    sql.Line(", '' AS IN02_CODICE_IN03, '' AS IN02_CODICE_IN04, '' AS IN02_SEZORIG, "
             "CAST('' AS VARCHAR(15)) AS IN02_NUMDOCORIG, CAST(NULL AS DATETIME) AS IN02_DATADOCORIG ");
  } else {
    sql.Line(",IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_SEZORIG, IN02_NUMDOCORIG, IN02_DATADOCORIG");
  }
  sql.Line(",  CG07_CODISOPAG, IN02_INDOPER, IN02_SEZDOG, IN02_PROTDICH, ");
  sql.Line("  IN02_PROGRSEZ3, CG41_SEZIONALE ");
  if (s.natureColumnB) {
    sql.Line(", MIN(ISNULL(ZL01_NATURAB, '')) AS NATURAB_MIN, MAX(ISNULL(ZL01_NATURAB, '')) AS NATURAB_MAX ");
  }
  sql.CrLine("   , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) AS NOMENCLATURA_ANNORIF ");
}

// GROUP BY items shared by both inner branches after their own keys.
void SharedGroupItems(SqlText& sql, const DeclarationSettings& s) {
  if (s.french) {
    sql.Line(" , IN02_REGIME ");
    if (s.errorKeys) sql.Line(" ,IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA  ");
  }
  if (Monthly(s)) {
    sql.Line(", IN02_INDCONS, IN02_INDTRASP, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07");
    sql.Line(", CG07_CODICEPRO, CG07_DESCRPRO, CG07_CODISOPRO, CG07_CODICEORI, CG07_DESCRORI, CG07_CODISOORI");
    sql.Line(", CG07_CODICEDES, CG07_DESCRDES, CG07_CODISODES, IN02_PROVDEST, IN02_PROVORIG");
  }
  if (s.mergeServices) {
    // Constant groups that still name a column, as grouping needs.
    sql.Line(", CASE WHEN 1=0 THEN IN02_CODICE_IN03 ELSE '' END");
    sql.Line(", CASE WHEN 1=0 THEN IN02_CODICE_IN04 ELSE '' END");
    sql.Line(", CASE WHEN 1=0 THEN IN02_SEZORIG ELSE '' END");
    sql.Line(", CASE WHEN 1=0 THEN IN02_NUMDOCORIG ELSE '' END");
    sql.Line(", CASE WHEN 1=0 THEN IN02_DATADOCORIG ELSE NULL END");
  } else {
    sql.Line("  , IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_SEZORIG, IN02_NUMDOCORIG, IN02_DATADOCORIG");
  }
}

// FROM and WHERE of an inner branch; the partner branch also returns its
// period condition (the text that becomes StrWherePeriodo).
std::string BranchFilter(SqlText& sql, const DeclarationSettings& s, const Period* period, bool partner) {
  // Column B is kept per movement line, by zelmora's own table.
  const std::string from = s.natureColumnB ? " FROM VIN01_INTRA LEFT JOIN ZL01_NATURAB WITH (NOLOCK)"
                                             " ON ZL01_DITTA_CG18 = IN01_DITTA_CG18"
                                             " AND ZL01_NUMREG_CG41 = IN01_NUMREG_CG41"
                                             " AND ZL01_NUMRIGA = ISNULL(IN02_NUMRIGA, 0)"
                                           : " FROM VIN01_INTRA";
  if (s.linkedCompanies) {
    sql.Line(from + " WHERE IN01_DITTA_CG18 IN(" + s.linkedCompanies() + ")");
  } else {
    sql.Line(from + " WHERE IN01_DITTA_CG18 = " + s.company);
  }
  std::string condition;
  if (period != nullptr) {
    condition = " AND CG41_DATAREG BETWEEN " + period->start + "\r\n AND " + period->end + "\r\n";
    sql.Raw(condition);
  }
  sql.Line(s.purchases ? " AND IN01_INDTIPODOC IN (3,4) " : " AND IN01_INDTIPODOC IN (1,2) ");
  sql.Line(" AND IN02_INDNATURA <> 10 ");
  sql.Line(partner ? " AND IN02_INDTIPODATI <> 2 " : " AND IN02_INDTIPODATI = 2 ");
  if (s.operationFilter) sql.Line(" AND IN02_INDOPER = " + *s.operationFilter + " ");
  return condition;
}

// Over linked companies the inner branches select the declaring company's
// code in place of the company column.
std::string DeclaringCompanyColumn(const DeclarationSettings& s) {
  return "SELECT " + s.company + " AS IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ";
}

// Branch A: lines with a partner.
std::string PartnerBranch(SqlText& sql, const DeclarationSettings& s, const Periods& periods,
                          const std::string& correction, const std::string& currencyCorrection) {
  if (s.linkedCompanies) {
    sql.Line(DeclaringCompanyColumn(s));
  } else {
    sql.Line("SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ");
  }
  sql.Line("CG41_TIPOCF_CG44, CG41_CLIFOR_CG44, CG16_CODICE, CG16_PARTIVA, CG16_RAGSOANAG, ");
  sql.Line(" IN01_CODICE_CG08,");
  if (s.mergeServices) {
    AmountSubQuery(sql, s, periods, false);
    AmountSubQuery(sql, s, periods, true);
  } else {
    sql.Line(" SUM(IN02_IMPORTO*(1-2*IN02_FLGSEGNO)) AS IMPORTO, SUM(IN02_IMPORTOVAL*(1-2*IN02_FLGSEGNO)) AS IMPORTOVAL, ");
  }
  sql.Line("ISNULL(CG07_INDTIPOSTATO, -1) AS CG07_INDTIPOSTATO, CG07_CODICECF, CG07_CODISOCF, CG07_DESCRCF, "
           "IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI");
  SharedSelectItems(sql, s, true);
  sql.Line(",");
  sql.Raw(correction);
  sql.Line(",");
  sql.Raw(currencyCorrection);
  const std::string condition = BranchFilter(sql, s, periods.any ? &periods.partner : nullptr, true);
  sql.Line("GROUP BY IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ");
  sql.Line("CG41_TIPOCF_CG44, CG41_CLIFOR_CG44, CG16_CODICE, CG16_PARTIVA, CG16_RAGSOANAG, ");
  sql.Line("CG07_DESCRCF, CG07_CODICECF, CG07_CODISOCF, CG07_INDTIPOSTATO, IN02_INDNATURA ,");
  sql.Line("IN02_NOMENCLATURA, IN02_INDTIPODATI ");
  SharedGroupItems(sql, s);
  sql.Line(", CG07_CODISOPAG, IN02_INDOPER, IN02_SEZDOG, IN02_PROTDICH,");
  sql.Line(" IN02_PROGRSEZ3, CG41_SEZIONALE");
  sql.CrLine("   , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ");
  sql.Line(", IN01_CODICE_CG08");
  return condition;
}

// Branch B: statistical-only lines, without a partner.
void StatisticalBranch(SqlText& sql, const DeclarationSettings& s, const Periods& periods) {
  if (s.linkedCompanies) {
    sql.Line(DeclaringCompanyColumn(s));
  } else {
    sql.Line("SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF,  ");
  }
  sql.Line("NULL AS CG41_TIPOCF_CG44, NULL AS CG41_CLIFOR_CG44, NULL AS CG16_CODICE, NULL AS CG16_PARTIVA, "
           "NULL AS CG16_RAGSOANAG, ");
  sql.Line(" IN01_CODICE_CG08,");
  sql.Line("SUM(IN02_IMPORTO*(1-2*IN02_FLGSEGNO)) AS IMPORTO, SUM(IN02_IMPORTOVAL*(1-2*IN02_FLGSEGNO)) AS IMPORTOVAL, ");
  sql.Line("-1 AS CG07_INDTIPOSTATO, NULL AS CG07_CODICECF, NULL AS CG07_CODISOCF, NULL AS CG07_DESCRCF, "
           "IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI");
  SharedSelectItems(sql, s, false);
  sql.Line(" , 0 AS RETTIFICA, 0 AS RETTIFICAVAL");
  BranchFilter(sql, s, periods.any ? &periods.statistical : nullptr, false);
  sql.Line("GROUP BY IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ");
  sql.Line("IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI ");
  sql.Line(", IN01_CODICE_CG08");
  SharedGroupItems(sql, s);
  sql.Line(", CG07_CODISOPAG, IN02_INDOPER, IN02_SEZDOG, IN02_PROTDICH, ");
  sql.Line(" IN02_PROGRSEZ3, CG41_SEZIONALE ");
  // The CR that ends this piece is the one before the derived table's alias.
  sql.Raw("   , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ");
}

}  // namespace

bool EqualsNumber(const Variant& value, int number) {
  if (value.IsNull()) return false;
  return value.ToDouble() == static_cast<double>(number);
}

DeclarationSettings ReadDeclarationSettings(IntraContext& context) {
  CLSIN_INPUTINTRA& in = context.in();
  DeclarationSettings s;
  const Variant localisation =
      ReadMemberPath(Variant::Obj(context.ActiveInterface), "ClsGlobal.Gcls_DittaCorrente.IndLocalizzazione");
  s.french = EqualsNumber(SeNullo(localisation, Variant::Integer(0)), 2);
  s.errorKeys = s.french && in.GestioneErrori;
  s.company = in.Ditta.Text();
  if (EqualsNumber(in.TipoIntra, 1)) {
    s.periodKind = 1;
  } else if (EqualsNumber(in.TipoIntra, 2)) {
    s.periodKind = 2;
  } else if (EqualsNumber(in.TipoIntra, 3)) {
    s.periodKind = 3;
  }
  if (s.periodKind != 0) {
    s.year = in.Anno.ToInteger();
    s.period = s.periodKind == 3 ? 0 : in.PeriodoStampa.ToInteger();
  }
  s.changedPeriodicity = in.CambioPeriodicita;
  s.purchases = EqualsNumber(in.TipoStampa, 1);
  s.mergeServices = in.AccorpaArt23;
  s.natureColumnB = context.DeclarationWithNatureColumnB;
  if (in.AnnoRiferimentoIntra == AnnoRiferimentoIntraEnum::AnnoRiferimentoAnte2010) {
    s.operationFilter = "0";
  } else if (in.AnnoRiferimentoIntra == AnnoRiferimentoIntraEnum::AnnoRiferimentoPost2010 &&
             !EqualsNumber(SeNullo(in.OperazioneRif, Variant::Integer(9)), 9)) {
    s.operationFilter = SeNullo(in.OperazioneRif, Variant::Integer(0)).Text();
  }
  return s;
}

DeclarationStatement ComposeDeclarationStatement(const DeclarationSettings& s) {
  const Periods periods = ComputePeriods(s);
  const std::string correction = CorrectionExpression(s, periods.correctionEnd);
  const std::string currencyCorrection = CurrencyCorrectionExpression(correction);

  SqlText sql;
  sql.Line("SELECT IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ");
  sql.Line("CG41_TIPOCF_CG44, CG41_CLIFOR_CG44, CG16_CODICE, CG16_PARTIVA, CG16_RAGSOANAG,");
  sql.Line("SUM(ISNULL(IMPORTO,0)) AS IMPORTO,");
  sql.Line("SUM(ISNULL(IMPORTOVAL,0)) AS IMPORTOVAL,");
  sql.Line("ISNULL(CG07_INDTIPOSTATO, -1) AS CG07_INDTIPOSTATO, CG07_CODICECF, CG07_CODISOCF, CG07_DESCRCF,");
  sql.Line("IN02_INDNATURA, IN02_NOMENCLATURA, IN02_INDTIPODATI,");
  if (s.french) {
    sql.Line(" IN02_REGIME, ");
    if (s.errorKeys) sql.Line(" IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA,  ");
  }
  if (Monthly(s)) {
    // Statistical data belong to lines that carry them; fiscal-only lines show none.
    for (const Key& key : kStatistical) {
      sql.Line(" CASE WHEN IN02_INDTIPODATI <> 1 THEN " + std::string(key.name) + " ELSE " +
               std::string(key.fallback) + " END AS " + std::string(key.name) + ", ");
    }
    sql.Line("CASE WHEN IN01_INDTIPODOC IN(2,4) THEN ABS(SUM(ISNULL(VALSTAT,0))) ELSE SUM(ISNULL(VALSTAT,0)) END  AS VALSTAT,");
    sql.Line("SUM(ISNULL(IMPMASSA,0)) AS IMPMASSA,");
    sql.Line("SUM(ISNULL(IMPUNSUPPL,0)) AS IMPUNSUPPL,");
  }
  if (s.mergeServices) {
    sql.Line("'' AS IN02_CODICE_IN03, '' AS IN02_CODICE_IN04, '' AS IN02_SEZORIG, "
             "CAST('' AS VARCHAR(15)) AS IN02_NUMDOCORIG, CAST(NULL AS DATETIME) AS IN02_DATADOCORIG, ");
  } else {
    sql.Line("IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_SEZORIG, IN02_NUMDOCORIG, IN02_DATADOCORIG,");
  }
  sql.CrLine("CG07_CODISOPAG ");
  sql.CrLine("      , IN02_INDOPER ");
  sql.CrLine("      , IN02_SEZDOG ");
  sql.CrLine("      , IN02_PROTDICH ");
  sql.CrLine("      , IN02_PROGRSEZ3 ");
  if (s.natureColumnB) {
    sql.CrLine("      , CASE WHEN MIN(NATURAB_MIN) = MAX(NATURAB_MAX) THEN MIN(NATURAB_MIN) ELSE '?' END AS ZL01_NATURAB ");
  }
  sql.CrLine("      , NOMENCLATURA_ANNORIF ");
  sql.CrLine("      , MAX(RETTIFICA) AS RETTIFICA ");
  sql.CrLine("      , MAX(RETTIFICAVAL) AS RETTIFICAVAL ");
  sql.CrLine("    FROM (");

  std::string wherePeriodo = PartnerBranch(sql, s, periods, correction, currencyCorrection);
  sql.Line(" UNION ALL ");
  StatisticalBranch(sql, s, periods);
  sql.Raw("\r");
  sql.Line("         ) X ");

  // A quarterly declaration is made only in the last month of a quarter.
  if (s.periodKind == 2) {
    const int m = s.period;
    if (m == 1 || m == 2 || m == 4 || m == 5 || m == 7 || m == 8 || m == 10 || m == 11) sql.Line(" WHERE 0 = 1 ");
  }

  sql.Line(" GROUP BY IN01_DITTA_CG18, IN01_INDTIPODOC, IN02_MESERIF, IN02_ANNORIF, ");
  sql.Line("CG41_TIPOCF_CG44, CG41_CLIFOR_CG44, CG16_CODICE, CG16_PARTIVA, CG16_RAGSOANAG,");
  sql.Line("CG07_DESCRCF, CG07_CODICECF, CG07_CODISOCF, CG07_INDTIPOSTATO, IN02_INDNATURA,");
  sql.Line("IN02_NOMENCLATURA, IN02_INDTIPODATI,");
  sql.Line(" IN01_CODICE_CG08,");
  if (s.french) {
    sql.Line(" IN02_REGIME, ");
    if (s.errorKeys) sql.Line(" IN01_NUMREG_CG41, CG41_CODICE_CG33, IN02_NUMRIGA, ");
  }
  if (Monthly(s)) {
    for (const Key& key : kStatistical) {
      sql.Line(" CASE WHEN IN02_INDTIPODATI <> 1 THEN " + std::string(key.name) + " ELSE " +
               std::string(key.fallback) + " END, ");
    }
  }
  if (s.mergeServices) {
    sql.Line("CASE WHEN 1=0 THEN IN02_CODICE_IN03 ELSE '' END, CASE WHEN 1=0 THEN IN02_CODICE_IN04 ELSE '' END, ");
    sql.Line("CASE WHEN 1=0 THEN IN02_SEZORIG ELSE '' END, CASE WHEN 1=0 THEN IN02_NUMDOCORIG ELSE '' END, ");
    sql.Line("CASE WHEN 1=0 THEN IN02_DATADOCORIG ELSE NULL END, ");
  } else {
    sql.Line("IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_SEZORIG, IN02_NUMDOCORIG, IN02_DATADOCORIG,");
  }
  sql.Line("CG07_CODISOPAG, IN02_INDOPER, IN02_SEZDOG, IN02_PROTDICH,");
  sql.Raw("IN02_PROGRSEZ3  \r");
  sql.CrLine("   , NOMENCLATURA_ANNORIF ");
  sql.Line(" ORDER BY IN02_INDOPER, IN01_INDTIPODOC,");
  sql.Line(" CG07_INDTIPOSTATO,");
  sql.Line(" CG07_CODISOCF,");
  sql.Line(" CG16_PARTIVA,");
  sql.Raw(" IN02_NOMENCLATURA");

  // Every period condition filters on the Intrastat competence date, else
  // the VAT registration date, else the registration date.
  constexpr std::string_view kRegistrationDate = "CG41_DATAREG ";
  constexpr std::string_view kCompetenceDate = "ISNULL(IN01_DTCOMPINTRA , ISNULL(CG41_DATAREGIVA, CG41_DATAREG)) ";
  DeclarationStatement result;
  result.complete = std::move(sql.str());
  ReplaceAll(result.complete, kRegistrationDate, kCompetenceDate);
  ReplaceAll(wherePeriodo, kRegistrationDate, kCompetenceDate);
  result.wherePeriodo = std::move(wherePeriodo);

  // The published statement drops the reference-year column everywhere.
  result.published = result.complete;
  ReplaceAll(result.published, " , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) AS NOMENCLATURA_ANNORIF \r", "");
  ReplaceAll(result.published, " , ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) \r", "");
  ReplaceAll(result.published, " , NOMENCLATURA_ANNORIF \r", "");
  return result;
}

}  // namespace zelmora::declaration

namespace zelmora::declaration {

void ComposeIntoContext(IntraContext& context, bool linked) {
  CLSIN_INPUTINTRA& in = context.in();
  in.StrWherePeriodo.clear();
  context.StringaSQLModuloCompleta.clear();
  DeclarationSettings settings = ReadDeclarationSettings(context);
  if (linked) settings.linkedCompanies = [&context] { return GetDitteCollegate(context).Text(); };
  DeclarationStatement statement = ComposeDeclarationStatement(settings);
  in.StrWherePeriodo = std::move(statement.wherePeriodo);
  context.StringaSQLModuloCompleta = std::move(statement.complete);
  context.out().StringaSQLperStampaIntra = Variant::String(std::move(statement.published));
}

void BuildDeclarationStatement(IntraContext& context) {
  if (EqualsNumber(SeNullo(context.in().CheckPiuAttivita, Variant::Integer(0)), 0)) {
    DefinisciStringaPerIntraSuModulo(context);
  } else {
    DefinisciStringaPerIntraSuModuloPiuAttivita(context);
  }
}

}  // namespace zelmora::declaration
