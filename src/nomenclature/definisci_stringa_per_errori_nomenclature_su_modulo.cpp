#include <string>
#include <string_view>

#include "component/trap.h"
#include "declaration/declaration_procedures.h"
#include "nomenclature/nomenclature_procedures.h"
#include "platform/text_util.h"

namespace zelmora::nomenclature {

namespace {

constexpr std::string_view kCr = "\r";
constexpr std::string_view kCrLf = "\r\n";

// The code-table join: the line's code of its own kind in its reference
// year or, when that year holds no codes of the kind at all, in the latest
// earlier year that does. The changed-codes table is joined by old code.
constexpr std::string_view kCodeJoin[] = {
    "LEFT JOIN CG72_NOMENCLATURE WITH(NOLOCK) ",
    "       ON CG72_INDTIPO = Y.IN02_INDOPER ",
    "      AND CG72_CODICE = Y.IN02_NOMENCLATURA ",
    "      AND ( ",
    "            (     CG72_ANNO = ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ",
    "              AND EXISTS ( SELECT TOP(1) 1 ",
    "                          FROM CG72_NOMENCLATURE WITH (NOLOCK) ",
    "                          WHERE CG72_ANNO = ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ",
    "                            AND CG72_INDTIPO = IN02_INDOPER ",
    "                        ) ",
    "            ) ",
    "           OR  ",
    "             ( NOT EXISTS ( SELECT TOP(1) 1 ",
    "                            FROM CG72_NOMENCLATURE WITH (NOLOCK) ",
    "                            WHERE CG72_ANNO = ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ",
    "                              AND CG72_INDTIPO = IN02_INDOPER  ",
    "                          ) ",
    "               AND CG72_ANNO = ( SELECT MAX(CG72_ANNO) ",
    "                                 FROM CG72_NOMENCLATURE WITH (NOLOCK) ",
    "                                 WHERE CG72_ANNO < ISNULL(IN02_ANNORIF, YEAR(IN01_DTCOMPINTRA)) ",
    "                                   AND CG72_INDTIPO = IN02_INDOPER ",
    "                               ) ",
    "             ) ",
    "          ) ",
    "LEFT JOIN CG7S_NOMENCLATUREVARIATE WITH(NOLOCK) ",
    "       ON CG7S_CODICEVECCHIO = IN02_NOMENCLATURA ",
    "WHERE CG72_CODICE IS NULL ",
    "  AND LEN(ISNULL(Y.IN02_NOMENCLATURA,'')) <> 0 ",
};

}  // namespace

std::string ErrorCheckStatement(std::string declaration, int maxProgr) {
  std::string s = std::move(declaration);
  if (size_t orderBy = s.find("ORDER BY"); orderBy != std::string::npos) s.resize(orderBy);
  s.erase(0, s.size() < 6 ? s.size() : 6);

  // Each line numbered on from maxProgr, in the order of the declaration.
  std::string head = "SELECT ROW_NUMBER() OVER (ORDER BY IN02_INDOPER, ";
  for (std::string_view key : {"IN01_INDTIPODOC, ", "CG07_INDTIPOSTATO, ", "CG07_CODISOCF, ", "CG16_PARTIVA, "}) {
    head += kCrLf;
    head += "                                   ";
    head += key;
  }
  head += kCrLf;
  head += "                                   IN02_NOMENCLATURA) + ";
  head += std::to_string(maxProgr);
  head += " as FAKEID, ";
  head += kCrLf;
  s.insert(0, head);

  // The declaration lines split again by accounting reason, registration
  // and dates, so that each error names the registration carrying the code.
  ReplaceAll(s, "SELECT ROW_NUMBER", "SELECT CG41_CODICE_CG33, IN01_NUMREG_CG41, ROW_NUMBER");
  ReplaceAll(s, "SELECT IN01_DITTA_CG18,", "SELECT CG41_CODICE_CG33, IN01_NUMREG_CG41, IN01_DITTA_CG18,");
  ReplaceAll(s, "GROUP BY IN01_DITTA_CG18,", "GROUP BY CG41_CODICE_CG33, IN01_NUMREG_CG41, IN01_DITTA_CG18,");
  ReplaceAll(s, "AS IN01_DITTA_CG18,", "AS IN01_DITTA_CG18, CG41_CODICE_CG33, IN01_NUMREG_CG41, ");
  ReplaceAll(s, "AS RETTIFICAVAL", "AS RETTIFICAVAL, IN01_DTCOMPINTRA, CG41_DATAREGIVA, CG41_DATAREG");
  ReplaceAll(s, "GROUP BY", "GROUP BY IN01_DTCOMPINTRA, CG41_DATAREGIVA, CG41_DATAREG, ");

  std::string check;
  check.reserve(s.size() + 2048);
  auto line = [&](std::string_view piece, std::string_view end = kCr) {
    check += piece;
    check += end;
  };
  line(
      "SELECT FAKEID, ISNULL(Y.IN01_DTCOMPINTRA, ISNULL(Y.CG41_DATAREGIVA, Y.CG41_DATAREG)) AS IN01_DTCOMPINTRA, "
      "Y.IN01_INDTIPODOC, ");
  line(" Y.CG41_DATAREG, Y.IN02_INDOPER, Y.IN02_NOMENCLATURA, CG72_DESCR , CG41_CODICE_CG33, ");
  line(" IN01_NUMREG_CG41, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44 ", kCrLf);
  line("   , CASE WHEN ISNULL(CG7S_CODICENUOVO, '' ) = '' THEN 0 ELSE 1 END AS SOSTITUITO ");
  line("   , Y.NOMENCLATURA_ANNORIF ");
  line(" FROM (");
  check += s;
  check += " ) AS Y ";
  for (std::string_view piece : kCodeJoin) line(piece);
  return check;
}

void DefinisciStringaPerErroriNomenclatureSuModulo(IntraContext& context) noexcept {
  Trap(context, HandlerKind::StatusAndText, "DefinisciStringaPerErroriNomenclatureSuModulo", [&] {
    context.out().StringaSQLErroriNomenclatura = Variant::String("");
    declaration::BuildDeclarationStatement(context);
    context.out().StringaSQLErroriNomenclatura =
        Variant::String(ErrorCheckStatement(context.StringaSQLModuloCompleta, context.in().MaxProgrDatiInvio));
  });
}

}  // namespace zelmora::nomenclature
