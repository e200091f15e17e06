#include <gtest/gtest.h>
#include <sqlite3.h>

#include <string>

#include "platform/error.h"
#include "support/database.h"
#include "demo/demo_data.h"
#include "support/golden.h"

namespace zelmora::testing {
namespace {

std::string DumpDemo(const DemoOptions& options) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), options);
  EXPECT_EQ(options.movements, summary.lines);
  std::string dump;
  for (const char* table : {"CG18_DITTE", "CG18_DITTECOLLEGATE", "CG07_TABSTATIEST", "CG16_ANAGGEN", "CG44_CLIFOR",
                            "CG41_PRIMANOTA", "IN01_DOCTESTA", "IN02_RIGHEDOC", "CG72_NOMENCLATURE",
                            "CG7S_NOMENCLATUREVARIATE"}) {
    dump += std::string("-- ") + table + "\n" + Rows(db.get(), std::string("SELECT * FROM ") + table + " ORDER BY rowid");
  }
  return dump;
}

TEST(DemoDataTest, TheSameSeedGivesTheSameRowsAndAnotherSeedOtherRows) {
  const std::string first = DumpDemo({2000, 7});
  const std::string again = DumpDemo({2000, 7});
  const std::string other = DumpDemo({2000, 8});
  EXPECT_SAME_TEXT(first, again);
  EXPECT_TRUE(first != other) << "seeds 7 and 8 gave the same data";
}

TEST(DemoDataTest, WithEdgeCasesHoldsEveryKindOfMovementAndMasterData) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), {4000, 1, true});
  sqlite3* h = db.get();
  EXPECT_EQ(4000, Count(h, "SELECT COUNT(*) FROM IN02_RIGHEDOC"));
  EXPECT_EQ(summary.documents, Count(h, "SELECT COUNT(*) FROM IN01_DOCTESTA"));
  EXPECT_EQ(summary.documents, Count(h, "SELECT COUNT(*) FROM CG41_PRIMANOTA"));
  EXPECT_EQ(summary.parties, Count(h, "SELECT COUNT(*) FROM CG44_CLIFOR"));

  // Companies: the group head files sales monthly and purchases quarterly,
  // the linked company belongs to its group every year, the third one has
  // the French localisation.
  EXPECT_SAME_TEXT("1|1|2|0\n2|2|2|0\n3|1|1|2\n",
                   Rows(h, "SELECT CG18_CODICE, CG18_INDINTRAVEN, CG18_INDINTRAACQ, CG18_INDLOCALIZZAZIONE"
                           " FROM CG18_DITTE ORDER BY 1"));
  EXPECT_SAME_TEXT("1|2023|2\n1|2024|2\n1|2025|2\n", Rows(h, "SELECT * FROM CG18_DITTECOLLEGATE ORDER BY 1, 2, 3"));
  EXPECT_SAME_TEXT("1\n2\n3\n", Rows(h, "SELECT DISTINCT IN02_DITTA_CG18 FROM IN02_RIGHEDOC ORDER BY 1"));

  // Every document kind with goods and with services.
  EXPECT_SAME_TEXT("1|0\n1|1\n2|0\n2|1\n3|0\n3|1\n4|0\n4|1\n",
                   Rows(h, "SELECT DISTINCT IN01_INDTIPODOC, IN02_INDOPER FROM VIN01_INTRA ORDER BY 1, 2"));
  // Goods codes of eight digits (one mistyped code of the master data aside),
  // service codes of six.
  EXPECT_SAME_TEXT("7318159\n", Rows(h, "SELECT DISTINCT IN02_NOMENCLATURA FROM IN02_RIGHEDOC WHERE IN02_INDOPER = 0"
                                      " AND NOT IN02_NOMENCLATURA GLOB '[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]'"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM IN02_RIGHEDOC WHERE IN02_INDOPER = 1"
                        " AND NOT IN02_NOMENCLATURA GLOB '[0-9][0-9][0-9][0-9][0-9][0-9]'"));

  // Corrections refer to an earlier period and to an existing document of
  // the same party, whose number, date and section they carry.
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE IN01_INDTIPODOC IN (2, 4) AND ("
                        " IN02_IMPORTOORIG IS NULL OR IN02_ANNORIF IS NULL OR IN02_MESERIF IS NULL"
                        " OR IN02_ANNORIF * 12 + IN02_MESERIF >= CAST(substr(CG41_DATAREG, 1, 4) AS INT) * 12"
                        "    + CAST(substr(CG41_DATAREG, 5, 2) AS INT)"
                        " OR NOT EXISTS (SELECT 1 FROM CG41_PRIMANOTA O WHERE O.CG41_DITTA_CG18 = IN01_DITTA_CG18"
                        "   AND O.CG41_TIPOCF_CG44 = VIN01_INTRA.CG41_TIPOCF_CG44"
                        "   AND O.CG41_CLIFOR_CG44 = VIN01_INTRA.CG41_CLIFOR_CG44"
                        "   AND substr(O.CG41_NUMDOCORIG, 1, 15) = IN02_NUMDOCORIG"
                        "   AND O.CG41_DATADOC = IN02_DATADOCORIG AND O.CG41_SEZIONALE = IN02_SEZORIG))"));
  // Service corrections with the reason codes that add (52, 63) and others,
  // some declared lines corrected more than once.
  EXPECT_SAME_TEXT("51,52,55,62,63,65\n",
                   Rows(h, "SELECT GROUP_CONCAT(CG33_CODICE) FROM (SELECT DISTINCT CG33_CODICE FROM VIN01_INTRA"
                           " WHERE IN01_INDTIPODOC IN (2, 4) AND IN02_INDOPER = 1 ORDER BY 1)"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE IN01_INDTIPODOC IN (2, 4) AND IN02_INDOPER = 1"
                        " AND (IN02_SEZDOG IS NULL OR IN02_PROTDICH IS NULL OR IN02_PROGRSEZ3 IS NULL)"));
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM (SELECT 1 FROM VIN01_INTRA WHERE IN01_INDTIPODOC IN (2, 4)"
                     " AND IN02_INDOPER = 1 GROUP BY IN01_DITTA_CG18, IN01_INDTIPODOC, CG41_CLIFOR_CG44,"
                     " IN02_NOMENCLATURA, IN02_PROTDICH, IN02_PROGRSEZ3 HAVING COUNT(DISTINCT IN01_NUMREG_CG41) > 1)"),
            0);

  // Data kinds, negative lines in ordinary documents and in credit notes,
  // excluded nature, missing competence dates, headers without lines.
  EXPECT_SAME_TEXT("0\n1\n2\n", Rows(h, "SELECT DISTINCT IN02_INDTIPODATI FROM IN02_RIGHEDOC ORDER BY 1"));
  EXPECT_SAME_TEXT("1\n2\n3\n4\n",
                   Rows(h, "SELECT DISTINCT IN01_INDTIPODOC FROM VIN01_INTRA WHERE IN02_FLGSEGNO = 1 ORDER BY 1"));
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM IN02_RIGHEDOC WHERE IN02_INDNATURA = 10"), 0);
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE IN01_DTCOMPINTRA IS NULL"), 0);
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM IN01_DOCTESTA WHERE NOT EXISTS (SELECT 1 FROM IN02_RIGHEDOC"
                     " WHERE IN02_DITTA_CG18 = IN01_DITTA_CG18 AND IN02_NUMREG_CG41 = IN01_NUMREG_CG41)"),
            0);
  EXPECT_SAME_TEXT("A1,A2,A3,V1,V2\n",
                   Rows(h, "SELECT GROUP_CONCAT(CG41_SEZIONALE) FROM (SELECT DISTINCT CG41_SEZIONALE"
                           " FROM CG41_PRIMANOTA WHERE CG41_DITTA_CG18 = 1 ORDER BY 1)"));
  // Amounts in exact cents.
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM IN02_RIGHEDOC WHERE ABS(IN02_IMPORTO * 100 - ROUND(IN02_IMPORTO * 100))"
                        " > 0.000001 OR ABS(IN02_IMPORTOVAL * 100 - ROUND(IN02_IMPORTOVAL * 100)) > 0.000001"));

  // Parties in many member states; the gaps of the master data show as Nulls.
  EXPECT_GE(Count(h, "SELECT COUNT(DISTINCT CG16_CODICE_CG07) FROM CG16_ANAGGEN"), 10);
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE CG41_CLIFOR_CG44 IS NOT NULL AND CG16_CODICE IS NULL"), 0);
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE CG16_CODICE IS NOT NULL AND CG07_CODICECF IS NULL"), 0);

  // The nomenclature over several years (no service codes for 2025), its
  // changed codes, and lines whose code is not in their year's table.
  EXPECT_SAME_TEXT("0|2022,2023,2024,2025\n1|2022,2023,2024\n",
                   Rows(h, "SELECT CG72_INDTIPO, GROUP_CONCAT(CG72_ANNO) FROM (SELECT DISTINCT CG72_INDTIPO, CG72_ANNO"
                           " FROM CG72_NOMENCLATURE ORDER BY 1, 2) GROUP BY CG72_INDTIPO"));
  EXPECT_SAME_TEXT("39173900|39173910\n73269098|\n84798997|84798998\n85044082|85044083\n",
                   Rows(h, "SELECT * FROM CG7S_NOMENCLATUREVARIATE ORDER BY 1"));
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM VIN01_INTRA V WHERE IN02_INDOPER = 0 AND NOT EXISTS (SELECT 1"
                     " FROM CG72_NOMENCLATURE WHERE CG72_INDTIPO = 0 AND CG72_CODICE = V.IN02_NOMENCLATURA"
                     " AND CG72_ANNO = COALESCE(V.IN02_ANNORIF, CAST(substr(V.IN01_DTCOMPINTRA, 1, 4) AS INT)))"),
            0);
  EXPECT_GT(Count(h, "SELECT COUNT(*) FROM VIN01_INTRA JOIN CG7S_NOMENCLATUREVARIATE"
                     " ON CG7S_CODICEVECCHIO = IN02_NOMENCLATURA WHERE CG7S_CODICENUOVO <> ''"
                     " AND substr(IN01_DTCOMPINTRA, 1, 4) = '2025'"),
            0);
}

// Without the edge cases the data are what a company files in the 2022
// layout: codes of their year's table, parties with registry entry, country
// and VAT number, countries on every line, no statistical-only sales, credit
// lines of an invoice that take back part of the line before them, and
// monthly purchases for the group head.
TEST(DemoDataTest, WithoutEdgeCasesHoldsOnlyWhatA2022FileCanCarry) {
  DbPtr db = OpenHostDb();
  FillDemoData(db.get(), {4000, 1});
  sqlite3* h = db.get();
  EXPECT_SAME_TEXT("1|1|1|0\n2|2|2|0\n3|1|1|2\n",
                   Rows(h, "SELECT CG18_CODICE, CG18_INDINTRAVEN, CG18_INDINTRAACQ, CG18_INDLOCALIZZAZIONE"
                           " FROM CG18_DITTE ORDER BY 1"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM VIN01_INTRA V WHERE NOT EXISTS (SELECT 1 FROM CG72_NOMENCLATURE"
                        " WHERE CG72_INDTIPO = V.IN02_INDOPER AND CG72_CODICE = V.IN02_NOMENCLATURA"
                        " AND CG72_ANNO = MIN(COALESCE(V.IN02_ANNORIF, CAST(substr(COALESCE(V.IN01_DTCOMPINTRA,"
                        " V.CG41_DATAREG), 1, 4) AS INT)), 2024 + (1 - V.IN02_INDOPER)))"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM CG44_CLIFOR LEFT JOIN CG16_ANAGGEN ON CG16_CODICE = CG44_CODICE_CG16"
                        " WHERE CG16_CODICE IS NULL OR CG16_CODICE_CG07 IS NULL OR CG16_PARTIVA IS NULL"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM IN02_RIGHEDOC WHERE (IN02_INDOPER = 0 AND COALESCE(IN02_PAESEDES_CG07,"
                        " IN02_PAESEPRO_CG07) IS NULL) OR (IN02_INDOPER = 1 AND IN02_PAESEPAG_CG07 IS NULL)"));
  EXPECT_EQ(0, Count(h, "SELECT COUNT(*) FROM VIN01_INTRA WHERE IN01_INDTIPODOC = 1 AND IN02_INDTIPODATI = 2"));
#define ZELMORA_CREDIT_LINES \
  "SELECT COUNT(*) FROM VIN01_INTRA C WHERE IN01_INDTIPODOC IN (1, 3) AND IN02_FLGSEGNO = 1"
  EXPECT_GT(Count(h, ZELMORA_CREDIT_LINES), 0);
  EXPECT_EQ(0, Count(h, ZELMORA_CREDIT_LINES
                     " AND NOT EXISTS (SELECT 1 FROM IN02_RIGHEDOC P WHERE P.IN02_DITTA_CG18 = C.IN02_DITTA_CG18"
                     " AND P.IN02_NUMREG_CG41 = C.IN02_NUMREG_CG41 AND P.IN02_NUMRIGA = C.IN02_NUMRIGA - 1"
                     " AND P.IN02_FLGSEGNO = 0 AND P.IN02_NOMENCLATURA = C.IN02_NOMENCLATURA"
                     " AND P.IN02_IMPORTO > C.IN02_IMPORTO)"));
#undef ZELMORA_CREDIT_LINES
}

TEST(DemoDataTest, WithoutMovementsOnlyTheMasterDataIsWritten) {
  DbPtr db = OpenHostDb();
  const DemoSummary summary = FillDemoData(db.get(), {0, 1});
  EXPECT_EQ(0, summary.documents);
  EXPECT_EQ(0, Count(db.get(), "SELECT COUNT(*) FROM IN01_DOCTESTA"));
  EXPECT_EQ(3, Count(db.get(), "SELECT COUNT(*) FROM CG18_DITTE"));
  EXPECT_EQ(summary.parties, Count(db.get(), "SELECT COUNT(*) FROM CG44_CLIFOR"));

  try {
    FillDemoData(db.get(), {-1, 1});
    FAIL() << "a negative count was accepted";
  } catch (const Error& e) {
    EXPECT_EQ(5, e.number());
  }
}

}  // namespace
}  // namespace zelmora::testing
