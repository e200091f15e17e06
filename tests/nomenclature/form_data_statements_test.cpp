// The texts that stage the form data in temporary tables, compared whole.
// The declaration statements they start from are cut down to the anchors
// the rewrites look for.
#include <gtest/gtest.h>

#include <string>

#include "declaration/expected_statements.h"
#include "nomenclature/form_data_statements.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::Golden;

constexpr std::string_view kPublished =
    "SELECT IN01_DITTA_CG18, IN02_NOMENCLATURA\r\n      , MAX(RETTIFICAVAL) AS RETTIFICAVAL \r    FROM (X) X "
    "GROUP BY IN02_NOMENCLATURA ORDER BY IN02_INDOPER";
constexpr std::string_view kComplete =
    "SELECT IN01_DITTA_CG18, IN02_NOMENCLATURA\r\n      , NOMENCLATURA_ANNORIF \r      , MAX(RETTIFICAVAL) AS "
    "RETTIFICAVAL \r    FROM (SELECT A FROM B) X ORDER BY IN02_INDOPER";

TEST(FormDataStatements, StagingTablesAndTheResult) {
  EXPECT_SAME_TEXT(Golden(R"SQL(IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE', N'U') IS NOT NULL<CR>
   DROP TABLE #DATIMODULOSTAMPE <CR>
SELECT 0 AS ERRORE, 12 + ROW_NUMBER() OVER (ORDER BY IN02_INDOPER, $
                                   IN01_INDTIPODOC, $
                                   CG07_INDTIPOSTATO, $
                                   CG07_CODISOCF, $
                                   CG16_PARTIVA, $
                                   IN02_NOMENCLATURA) as FAKEID, $
 IN01_DITTA_CG18, IN02_NOMENCLATURA$
      , MAX(RETTIFICAVAL) AS RETTIFICAVAL INTO #DATIMODULOSTAMPE <CR>
    FROM (X) X GROUP BY IN02_NOMENCLATURA ORDER BY IN02_INDOPER)SQL"),
                   nomenclature::FormTableStatement(std::string(kPublished), 12));

  // Only the first SELECT takes the head.
  EXPECT_SAME_TEXT(Golden(R"SQL(IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPENOMENCLATURAANNO', N'U') IS NOT NULL <CR>
    DROP TABLE #DATIMODULOSTAMPENOMENCLATURAANNO <CR>
;<CR>
SELECT <CR>
    0 AS ERRORE <CR>
  , 0 + ROW_NUMBER() OVER (ORDER BY <CR>
                                                              IN02_INDOPER <CR>
                                                            , IN01_INDTIPODOC <CR>
                                                            , CG07_INDTIPOSTATO <CR>
                                                            , CG07_CODISOCF <CR>
                                                            , CG16_PARTIVA  <CR>
                                                            , IN02_NOMENCLATURA <CR>
                                                         ) AS FAKEID <CR>
  , <CR>
IN01_DITTA_CG18, IN02_NOMENCLATURA$
      , NOMENCLATURA_ANNORIF <CR>
      , MAX(RETTIFICAVAL) AS RETTIFICAVAL INTO #DATIMODULOSTAMPENOMENCLATURAANNO <CR>
    FROM (SELECT A FROM B) X ORDER BY IN02_INDOPER)SQL"),
                   nomenclature::NomenclatureYearTableStatement(std::string(kComplete), 0));

  EXPECT_SAME_TEXT(Golden(R"SQL(IF OBJECT_ID(N'tempdb..#TEST_STAMPENOMENCLATURAANNO', N'U') IS NOT NULL <CR>
    DROP TABLE #TEST_STAMPENOMENCLATURAANNO <CR>
;<CR>
SELECT * <CR>
INTO #TEST_STAMPENOMENCLATURAANNO <CR>
FROM ( <CR>
SELECT FAKEID FROM E<CR>
     ) AS TEST <CR>
;<CR>
UPDATE STP <CR>
   SET ERRORE = 1 <CR>
FROM #DATIMODULOSTAMPENOMENCLATURAANNO AS STP <CR>
INNER JOIN #TEST_STAMPENOMENCLATURAANNO AS TEST <CR>
        ON TEST.NOMENCLATURA_ANNORIF = STP.NOMENCLATURA_ANNORIF <CR>
       AND TEST.IN02_NOMENCLATURA = STP.IN02_NOMENCLATURA <CR>
       AND TEST.IN02_INDOPER = STP.IN02_INDOPER <CR>
; <CR>
)SQL"),
                   nomenclature::FlagErrorsBatch("SELECT FAKEID FROM E"));

  EXPECT_SAME_TEXT(Golden(R"SQL(IF EXISTS(SELECT 1 FROM #DATIMODULOSTAMPENOMENCLATURAANNO WHERE ERRORE = 1) <CR>
    SELECT * FROM #DATIMODULOSTAMPENOMENCLATURAANNO WHERE ERRORE = 1 <CR>
ELSE <CR>
    SELECT * FROM #DATIMODULOSTAMPE <CR>
; )SQL"),
                   nomenclature::FormResultQuery("", false));
}

TEST(FormDataStatements, BothListsGathered) {
  EXPECT_SAME_TEXT(Golden(R"SQL(IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE2', N'U') IS NOT NULL <CR>
    DROP TABLE #DATIMODULOSTAMPE2 <CR>
;<CR>
SELECT * INTO #DATIMODULOSTAMPE2 FROM #DATIMODULOSTAMPE <CR>
;<CR>
IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPENOMENCLATURAANNO2', N'U') IS NOT NULL <CR>
    DROP TABLE #DATIMODULOSTAMPENOMENCLATURAANNO2 <CR>
;<CR>
SELECT * INTO #DATIMODULOSTAMPENOMENCLATURAANNO2 FROM #DATIMODULOSTAMPENOMENCLATURAANNO <CR>
;<CR>
)SQL"),
                   nomenclature::GatherFirstListBatch());
  EXPECT_SAME_TEXT("SELECT ISNULL(MAX(FAKEID),0) AS MAXPROGR \rFROM #DATIMODULOSTAMPE \r",
                   nomenclature::LastFormKeyQuery());
  EXPECT_SAME_TEXT(Golden(R"SQL(INSERT INTO #DATIMODULOSTAMPE2 <CR>
    SELECT * FROM #DATIMODULOSTAMPE <CR>
;<CR>
INSERT INTO #DATIMODULOSTAMPENOMENCLATURAANNO2 <CR>
    SELECT * FROM #DATIMODULOSTAMPENOMENCLATURAANNO <CR>
;<CR>
)SQL"),
                   nomenclature::GatherSecondListBatch());
  EXPECT_SAME_TEXT(Golden(R"SQL(IF EXISTS(SELECT 1 FROM #DATIMODULOSTAMPENOMENCLATURAANNO2 WHERE ERRORE = 1) <CR>
    SELECT * FROM #DATIMODULOSTAMPENOMENCLATURAANNO2 WHERE ERRORE = 1 <CR>
ELSE <CR>
    SELECT * FROM #DATIMODULOSTAMPE2 ORDER BY FAKEID <CR>
; )SQL"),
                   nomenclature::FormResultQuery("2", true));
  EXPECT_SAME_TEXT("SELECT 1\r\n UNION \r\nSELECT 2", nomenclature::UnionOfChecks("SELECT 1", "SELECT 2"));
  EXPECT_SAME_TEXT("SELECT 2", nomenclature::UnionOfChecks("", "SELECT 2"));
}

}  // namespace
}  // namespace zelmora
