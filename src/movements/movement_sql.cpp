#include "movements/movement_sql.h"

#include <string_view>

#include "component/value_helpers.h"
#include "platform/text_util.h"

namespace zelmora::movements {

namespace {

// The two line ends of the movement list. Hosts and later rewrites look
// for pieces that end one way or the other, so they are never unified.
constexpr std::string_view kCR = "\r";
constexpr std::string_view kCRLF = "\r\n";

const std::string kEightBlanks(8, ' ');
const std::string kEightZ(8, 'Z');

constexpr std::string_view kListColumns[] = {
    "     CG16_ANAGGEN.CG16_CODICE ",
    "   , VCG16_ANAGRALLADATA.CG16_RAGSOANAG ",
    "   , IN01_INDTIPODOC ",
    "   , CG41_NUMDOCORIG ",
    "   , CG41_DATADOC ",
    "   , CG41_DATAREG ",
    "   , CG41_CODICE_CG33 ",
    "   , CG41_DESCAUSALE ",
    "   , IN01_CAMBIO ",
    "   , IN01_CODICE_CG08 ",
    "   , IN01_DITTA_CG18 ",
    "   , IN01_CODICE_CG08 ",
    "   , IN01_NUMREG_CG41 ",
    "   , IN02_MESERIF ",
    "   , IN02_ANNORIF ",
    "   , IN02_NOMENCLATURA ",
    "   , IN02_IMPORTO ",
    "   , IN02_INDNATURA ",
    "   , IN01_PORTOSPA ",
    "   , IN01_CODINCOTERMS_MG0T ",
    "   , CG16_ANAGGEN.CG16_CODICE_CG07 ",
    "   , ISNULL(IN02_NUMRIGA, 0) AS IN02_NUMRIGA ",
    "   , IN02_IMPORTOVAL ",
    "   , IN02_INDCONS ",
    "   , IN02_PAESEPRO_CG07 ",
    "   , IN02_PAESEORI_CG07 ",
    "   , IN02_PAESEDES_CG07 ",
    "   , IN02_PROVDEST ",
    "   , IN02_PROVORIG ",
    "   , IN02_MASSA ",
    "   , IN02_UNSUPPL ",
    "   , IN02_VALSTAT ",
    "   , IN02_INDTRASP ",
    "   , CG44_CLIFOR.CG44_CLIFOR ",
    "   , CG07_TABSTATIEST.CG07_DESCR ",
    "   , CG07_TABSTATIEST_ORI.CG07_DESCR ",
    "   , CG07_TABSTATIEST_DES.CG07_DESCR ",
    "   , IN02_FLGSEGNO ",
    "   , IN02_INDTIPODATI ",
    "   , IN02_INDOPER ",
    "   , IN02_CODICE_IN03 ",
    "   , IN02_CODICE_IN04 ",
};

constexpr std::string_view kListFrom[] = {
    " FROM IN01_DOCTESTA WITH(NOLOCK) ",
    " LEFT OUTER JOIN IN02_RIGHEDOC WITH(NOLOCK) ",
    "              ON IN01_DITTA_CG18 = IN02_DITTA_CG18 ",
    "             AND IN01_NUMREG_CG41 = IN02_NUMREG_CG41 ",
    " INNER JOIN CG41_PRIMANOTA WITH(NOLOCK) ",
    "         ON IN01_DITTA_CG18 = CG41_DITTA_CG18 ",
    "        AND IN01_NUMREG_CG41 = CG41_NUMREG ",
    " LEFT OUTER JOIN VCG16_ANAGRALLADATA ",
    "              ON VCG16_ANAGRALLADATA.CG44_DITTA_CG18 = CG41_PRIMANOTA.CG41_DITTA_CG18 ",
    "             AND VCG16_ANAGRALLADATA.CG44_CLIFOR = CG41_PRIMANOTA.CG41_CLIFOR_CG44 ",
    "             AND VCG16_ANAGRALLADATA.CG44_TIPOCF = CG41_PRIMANOTA.CG41_TIPOCF_CG44 ",
    "             AND CG41_PRIMANOTA.CG41_DATAREG >= ISNULL(VCG16_ANAGRALLADATA.DATAINIZIOVALIDITA, '17530101') ",
    "             AND CG41_PRIMANOTA.CG41_DATAREG <= ISNULL(VCG16_ANAGRALLADATA.DATAFINEVALIDITA, '99991231') ",
    " LEFT OUTER JOIN CG44_CLIFOR WITH(NOLOCK) ",
    "              ON CG44_CLIFOR.CG44_DITTA_CG18 = VCG16_ANAGRALLADATA.CG44_DITTA_CG18 ",
    "             AND CG44_CLIFOR.CG44_CLIFOR = VCG16_ANAGRALLADATA.CG44_CLIFOR ",
    "             AND CG44_CLIFOR.CG44_TIPOCF = VCG16_ANAGRALLADATA.CG44_TIPOCF ",
    " LEFT OUTER JOIN CG16_ANAGGEN WITH(NOLOCK) ",
    "              ON CG16_ANAGGEN.CG16_CODICE = VCG16_ANAGRALLADATA.CG16_CODICE ",
    " OUTER APPLY DBO.FNCG07_TABSTATIEST(IN02_PAESEPRO_CG07, IN01_DITTA_CG18) AS CG07_TABSTATIEST ",
    " OUTER APPLY DBO.FNCG07_TABSTATIEST(IN02_PAESEORI_CG07, IN01_DITTA_CG18) AS CG07_TABSTATIEST_ORI ",
    " OUTER APPLY DBO.FNCG07_TABSTATIEST(IN02_PAESEDES_CG07, IN01_DITTA_CG18) AS CG07_TABSTATIEST_DES ",
    " OUTER APPLY DBO.FNCG07_TABSTATIEST(IN02_PAESEPAG_CG07, IN01_DITTA_CG18) AS CG07_TABSTATIEST_PAG ",
};

constexpr std::string_view kBrowseColumns[] = {
    "CG16_ANAGGEN.CG16_CODICE",
    "VCG16_ANAGRALLADATA.CG16_RAGSOANAG",
    "IN01_INDTIPODOC",
    "CG41_NUMDOCORIG",
    "CG41_DATADOC",
    "CG41_SEZIONALE",
    "CG41_NUMDOC",
    "CG41_FLGDOCBIS",
    "CG41_DATAREG",
    "CG41_CODICE_CG33",
    "CG41_DESCAUSALE",
    "IN01_CAMBIO",
    "IN01_CODICE_CG08",
    "IN01_DITTA_CG18",
    "IN01_CODICE_CG08",
    "IN01_NUMREG_CG41",
    "CG44_CLIFOR",
    "ISNULL( IN01_DTCOMPINTRA, ISNULL(CG41_DATAREGIVA, CG41_DATAREG)) AS DTCOMPINTRA",
    "IN01_PORTOSPA",
    "IN01_CODINCOTERMS_MG0T",
    "CG16_ANAGGEN.CG16_CODICE_CG07",
    "( SELECT TOP 1 1 FROM IN02_RIGHEDOC WITH(NOLOCK) WHERE IN02_NUMREG_CG41 = IN01_NUMREG_CG41 AND "
    "IN02_DITTA_CG18 = IN01_DITTA_CG18 ) AS DETTAGLIO",
    "IN01_FLGSTANDALONE",
    "CG41_INDPROVREG",
};

constexpr std::string_view kBrowseFrom[] = {
    "  FROM IN01_DOCTESTA WITH(NOLOCK)",
    " INNER JOIN CG41_PRIMANOTA WITH(NOLOCK)",
    "         ON CG41_PRIMANOTA.CG41_DITTA_CG18 = IN01_DITTA_CG18",
    "        AND CG41_PRIMANOTA.CG41_NUMREG = IN01_NUMREG_CG41",
    "  LEFT OUTER JOIN VCG16_ANAGRALLADATA WITH(NOLOCK)",
    "         ON VCG16_ANAGRALLADATA.CG44_DITTA_CG18 = CG41_PRIMANOTA.CG41_DITTA_CG18",
    "        AND VCG16_ANAGRALLADATA.CG44_CLIFOR = CG41_PRIMANOTA.CG41_CLIFOR_CG44",
    "        AND VCG16_ANAGRALLADATA.CG44_TIPOCF = CG41_PRIMANOTA.CG41_TIPOCF_CG44",
    "        AND ISNULL(CG41_DATADOC, CG41_DATAREG) >= ISNULL(VCG16_ANAGRALLADATA.DATAINIZIOVALIDITA, '17530101')",
    "        AND ISNULL(CG41_DATADOC, CG41_DATAREG) <= ISNULL(VCG16_ANAGRALLADATA.DATAFINEVALIDITA, '99991231')",
    "  LEFT OUTER JOIN CG16_ANAGGEN WITH(NOLOCK)",
    "         ON CG16_ANAGGEN.CG16_CODICE = VCG16_ANAGRALLADATA.CG16_CODICE",
    "  LEFT OUTER JOIN IN02_RIGHEDOC WITH(NOLOCK)",
    "         ON IN02_RIGHEDOC.IN02_DITTA_CG18 = IN01_DITTA_CG18",
    "        AND IN02_RIGHEDOC.IN02_NUMREG_CG41 = IN01_NUMREG_CG41",
    "        AND IN02_RIGHEDOC.IN02_NUMRIGA = 1",
};

const Variant& EmptyText() {
  static const Variant empty = Variant::String("");
  return empty;
}

// The account number: the last six characters of the account, as a
// number (so "000123" is 123).
std::string AccountNumber(const Variant& conto) {
  const std::string last = Utf8Right(conto.Text(), 6);
  return Variant::Double(Variant::String(last).ToDouble()).ToString();
}

std::string LastSixOfAccount(const Variant& conto) { return Utf8Right(conto.Text(), 6); }

std::string DateLiteral(const Variant& value) {
  return FormattaData(value, TipoOperazioneEnum::stringa).Text();
}

// A code range of the movement list: From and To through SeNullo with
// eight blanks and eight "Z" as defaults, aligned to eight characters.
std::string ListCodeRange(const Variant& from, const Variant& to) {
  std::string text;
  text += kCRLF;
  text += " AND ISNULL(IN02_NOMENCLATURA, '" + kEightBlanks + "')";
  text += kCRLF;
  text += "     BETWEEN '" + AllineaASinistra(SeNullo(from, Variant::String(kEightBlanks)), 8) + "'";
  text += kCRLF;
  text += "     AND '" + AllineaASinistra(SeNullo(to, Variant::String(kEightZ)), 8) + "'";
  return text;
}

bool IsInterrogazione(const CLSIN_INPUTINTRA& input) { return input.TipoElaborazione == "Interrogazione"; }

bool IsGoodsOrServices(const Variant& operazione) {
  return EqualsNumber(operazione, 0) || EqualsNumber(operazione, 1);
}

// The browsing list's test for lines of one kind within a code range.
std::string BrowseLinesExist(int kind, const Variant& from, const Variant& to) {
  std::string text;
  auto line = [&text](std::string_view piece) {
    text += piece;
    text += kCRLF;
  };
  line("     EXISTS ( SELECT 1");
  line("              FROM   IN02_RIGHEDOC WITH(NOLOCK)");
  line("              WHERE  IN02_DITTA_CG18 = IN01_DITTA_CG18");
  line("              AND    IN02_NUMREG_CG41 = IN01_NUMREG_CG41");
  line("              AND    IN02_INDOPER = " + std::to_string(kind));
  line("              AND ISNULL(IN02_NOMENCLATURA, '" + kEightBlanks + "')");
  line("                  BETWEEN '" + AllineaASinistra(SeNullo(from, Variant::String(kEightBlanks)), 8) + "'");
  line("                  AND '" + AllineaASinistra(SeNullo(to, Variant::String(kEightZ)), 8) + "'");
  line("            )");
  return text;
}

}  // namespace

bool IsSet(const Variant& value) { return !SeNullo(value, EmptyText()).Text().empty(); }

bool EqualsNumber(const Variant& value, int number) {
  if (value.IsNull()) return false;
  if (value.type() == VarType::Decimal) return value.AsDecimal() == Decimal::FromInt(number);
  return value.ToDouble() == static_cast<double>(number);
}

std::string MovementListSql(const CLSIN_INPUTINTRA& input) {
  std::string sql;
  sql += " SELECT ";
  sql += kCR;
  for (std::string_view column : kListColumns) {
    sql += column;
    sql += kCR;
  }
  for (std::string_view line : kListFrom) {
    sql += line;
    sql += kCR;
  }
  sql += " WHERE IN01_DITTA_CG18 = " + input.Ditta.Text();
  sql += kCR;

  if (SeNullo(input.TipoMovimento, Variant::Integer(0)).ToDouble() != 0) {
    sql += " AND IN01_INDTIPODOC = " + input.TipoMovimento.Text();
    sql += kCR;
  }

  if (IsSet(input.ENHFiltro)) {
    // The host's own condition replaces every filter but the operation.
    if (IsSet(input.OperazioneRif)) {
      if (EqualsNumber(input.OperazioneRif, 9)) {
        sql += " AND (ISNULL(IN02_INDOPER, 0) = 0 or ISNULL(IN02_INDOPER, 0) = 1) ";
        sql += kCRLF;
      } else if (IsGoodsOrServices(input.OperazioneRif) && !IsInterrogazione(input)) {
        sql += kCRLF;
        sql += " AND IN02_INDOPER = " + input.OperazioneRif.Text();
      }
    }
    sql += " " + input.ENHFiltro.Text();
  } else {
    if (IsSet(Variant::String(LastSixOfAccount(input.Conto)))) {
      sql += " AND CG41_TIPOCF_CG44 = " + input.TipoCF.Text();
      sql += " AND CG41_CLIFOR_CG44 = " + AccountNumber(input.Conto);
    }
    if (IsSet(input.DataDocumentoIniziale)) {
      sql += " AND CG41_DATADOC >=  " + DateLiteral(input.DataDocumentoIniziale);
    }
    if (IsSet(input.DataDocumentoFinale)) {
      sql += kCRLF;
      sql += " AND CG41_DATADOC <=  " + DateLiteral(input.DataDocumentoFinale);
    }
    if (IsSet(input.NumeroDocumento)) {
      sql += kCRLF;
      sql += " AND CG41_NUMDOCORIG = '" + input.NumeroDocumento.Text() + "'";
    }
    if (IsSet(input.DataRegistrazioneIniziale)) {
      sql += " AND CG41_DATAREG >=  " + DateLiteral(input.DataRegistrazioneIniziale);
    }
    if (IsSet(input.DataRegistrazioneFinale)) {
      sql += kCRLF;
      sql += " AND CG41_DATAREG <=  " + DateLiteral(input.DataRegistrazioneFinale);
    }
    // With "Interrogazione" both kinds are listed; 9 means both anyway.
    if (IsSet(input.OperazioneRif) && IsGoodsOrServices(input.OperazioneRif) && !IsInterrogazione(input)) {
      sql += kCRLF;
      sql += " AND IN02_INDOPER = " + input.OperazioneRif.Text();
    }
    const bool goodsRange = IsSet(input.NomenclaturaIniziale) || IsSet(input.NomenclaturaFinale);
    const bool servicesRange = IsSet(input.ServizioIniziale) || IsSet(input.ServizioFinale);
    if (goodsRange || servicesRange) {
      // Goods and services codes share one column; a kind without a range
      // keeps all its lines.
      sql += kCRLF;
      sql += " AND ( ";
      sql += kCRLF;
      sql += "       ( IN02_INDOPER = 0 ";
      if (goodsRange) sql += ListCodeRange(input.NomenclaturaIniziale, input.NomenclaturaFinale);
      sql += "       ) ";
      sql += "   OR ";
      sql += "       ( IN02_INDOPER = 1 ";
      if (servicesRange) sql += ListCodeRange(input.ServizioIniziale, input.ServizioFinale);
      sql += "       ) ";
      sql += "   )";
    }
  }

  if (input.Pbol_Dettaglio) {
    sql += " AND EXISTS (SELECT  1 FROM IN02_RIGHEDOC AS a ";
    sql += "      WHERE a.IN02_NUMREG_CG41 = IN01_NUMREG_CG41 AND IN02_DITTA_CG18 = IN01_DITTA_CG18 ) ";
  }

  if (EqualsNumber(SeNullo(input.StampaTotaliDocumento, Variant::Integer(0)), 1)) {
    sql += " ORDER BY IN01_INDTIPODOC, CG41_DATAREG, CG41_DATADOC, CG41_NUMDOCORIG";
  } else if (IsSet(input.ENHOrdinamentoMovIntra)) {
    sql += " ORDER BY " + input.ENHOrdinamentoMovIntra.Text();
  } else {
    sql += " ORDER BY IN02_INDOPER, IN01_INDTIPODOC,";
    sql += kCRLF;
    sql += " IN02_NOMENCLATURA";
  }
  return sql;
}

std::string DocumentBrowseSql(const CLSIN_INPUTINTRA& input) {
  std::string sql;
  auto line = [&sql](std::string_view piece) {
    sql += piece;
    sql += kCRLF;
  };

  bool first = true;
  for (std::string_view column : kBrowseColumns) {
    line(std::string(first ? "SELECT " : "     , ") + std::string(column));
    first = false;
  }
  for (std::string_view from : kBrowseFrom) line(from);

  line(" WHERE IN01_DITTA_CG18 = " + input.Ditta.Text());
  if (SeNullo(input.TipoMovimento, Variant::Integer(0)).ToDouble() != 0) {
    line("   AND IN01_INDTIPODOC = " + input.TipoMovimento.Text());
  }
  if (IsSet(input.ENHFiltro)) {
    line(" " + input.ENHFiltro.Text());
  } else {
    if (IsSet(Variant::String(LastSixOfAccount(input.Conto)))) {
      line("   AND CG41_TIPOCF_CG44 = " + input.TipoCF.Text() + " AND CG41_CLIFOR_CG44 = " +
           AccountNumber(input.Conto));
    }
    if (IsSet(input.DataDocumentoIniziale)) {
      line("   AND CG41_DATADOC >= " + DateLiteral(input.DataDocumentoIniziale));
    }
    if (IsSet(input.DataDocumentoFinale)) line("   AND CG41_DATADOC <= " + DateLiteral(input.DataDocumentoFinale));
    if (IsSet(input.NumeroDocumento)) line("   AND CG41_NUMDOCORIG = '" + input.NumeroDocumento.Text() + "'");
    if (IsSet(input.DataRegistrazioneIniziale)) {
      line("   AND CG41_DATAREG >= " + DateLiteral(input.DataRegistrazioneIniziale));
    }
    if (IsSet(input.DataRegistrazioneFinale)) {
      line("   AND CG41_DATAREG <= " + DateLiteral(input.DataRegistrazioneFinale));
    }
    if (IsSet(input.CodiceSezionale)) line("   AND CG41_SEZIONALE = '" + input.CodiceSezionale.Text() + "'");
    if (IsSet(input.Protocollo)) line("   AND CG41_NUMDOC = " + input.Protocollo.Text());
  }

  // The operation and the code ranges test the document's lines; a
  // document without lines always passes.
  const Variant operazione = SeNullo(input.OperazioneRif, Variant::Integer(0));
  line("   AND (");
  if (EqualsNumber(operazione, 0) || EqualsNumber(operazione, 9)) {
    sql += BrowseLinesExist(0, input.NomenclaturaIniziale, input.NomenclaturaFinale);
  }
  if (EqualsNumber(operazione, 9)) line("     OR ");
  if (EqualsNumber(operazione, 1) || EqualsNumber(operazione, 9)) {
    sql += BrowseLinesExist(1, input.ServizioIniziale, input.ServizioFinale);
  }
  line(" OR  NOT EXISTS (");
  line("                   SELECT 1");
  line("                   FROM   IN02_RIGHEDOC WITH(NOLOCK)");
  line("                   WHERE  IN02_DITTA_CG18 = IN01_DITTA_CG18");
  line("                   AND    IN02_NUMREG_CG41 = IN01_NUMREG_CG41");
  line("                 )");
  line("     )");

  if (input.Pbol_Dettaglio) {
    line(" AND EXISTS ( SELECT  1 FROM IN02_RIGHEDOC ");
    line("       WHERE IN02_NUMREG_CG41 = IN01_NUMREG_Cg41 AND IN02_DITTA_CG18 = IN01_DITTA_CG18 ) ");
  }

  if (IsSet(input.ENHOrdinamentoMovIntra)) {
    sql += " ORDER BY " + input.ENHOrdinamentoMovIntra.Text();
  } else {
    sql += " ORDER BY IN01_INDTIPODOC, CG41_DATAREG, CG41_DATADOC, CG41_NUMDOCORIG";
  }
  return sql;
}

std::string DeleteLinesSql(const CLSIN_INPUTINTRA& input) {
  return "DELETE IN02_RIGHEDOC WHERE IN02_DITTA_CG18 = " + input.Ditta.Text() + " AND IN02_NUMREG_CG41 = '" +
         input.NumeroRegistrazione.Text() + "'";
}

std::string DeleteHeaderSql(const CLSIN_INPUTINTRA& input) {
  return "DELETE IN01_DOCTESTA WHERE IN01_DITTA_CG18 = " + input.Ditta.Text() + " AND IN01_NUMREG_CG41 = '" +
         input.NumeroRegistrazione.Text() + "'";
}

}  // namespace zelmora::movements
