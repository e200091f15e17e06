// The texts that stage the form data in temporary tables, compared whole
// with golden/form_data_statements.sql.
// The declaration statements they start from are cut down to the anchors
// the rewrites look for.
#include <gtest/gtest.h>

#include <string>

#include "nomenclature/form_data_statements.h"
#include "support/golden.h"

namespace zelmora {
namespace {

using testing::ExpectGoldenSection;
const char kGolden[] = "nomenclature/golden/form_data_statements.sql";

constexpr std::string_view kPublished =
    "SELECT IN01_DITTA_CG18, IN02_NOMENCLATURA\r\n      , MAX(RETTIFICAVAL) AS RETTIFICAVAL \r    FROM (X) X "
    "GROUP BY IN02_NOMENCLATURA ORDER BY IN02_INDOPER";
constexpr std::string_view kComplete =
    "SELECT IN01_DITTA_CG18, IN02_NOMENCLATURA\r\n      , NOMENCLATURA_ANNORIF \r      , MAX(RETTIFICAVAL) AS "
    "RETTIFICAVAL \r    FROM (SELECT A FROM B) X ORDER BY IN02_INDOPER";

TEST(FormDataStatements, StagingTablesAndTheResult) {
  ExpectGoldenSection(kGolden, "FormTableStatement(kPublished, 12)", nomenclature::FormTableStatement(std::string(kPublished), 12));

  // Only the first SELECT takes the head.
  ExpectGoldenSection(kGolden, "NomenclatureYearTableStatement(kComplete, 0)", nomenclature::NomenclatureYearTableStatement(std::string(kComplete), 0));

  ExpectGoldenSection(kGolden, "FlagErrorsBatch('SELECT FAKEID FROM E')", nomenclature::FlagErrorsBatch("SELECT FAKEID FROM E"));

  ExpectGoldenSection(kGolden, "FormResultQuery('', false)", nomenclature::FormResultQuery("", false));
}

TEST(FormDataStatements, BothListsGathered) {
  ExpectGoldenSection(kGolden, "GatherFirstListBatch()", nomenclature::GatherFirstListBatch());
  EXPECT_SAME_TEXT("SELECT ISNULL(MAX(FAKEID),0) AS MAXPROGR \rFROM #DATIMODULOSTAMPE \r",
                   nomenclature::LastFormKeyQuery());
  ExpectGoldenSection(kGolden, "GatherSecondListBatch()", nomenclature::GatherSecondListBatch());
  ExpectGoldenSection(kGolden, "FormResultQuery('2', true)", nomenclature::FormResultQuery("2", true));
  EXPECT_SAME_TEXT("SELECT 1\r\n UNION \r\nSELECT 2", nomenclature::UnionOfChecks("SELECT 1", "SELECT 2"));
  EXPECT_SAME_TEXT("SELECT 2", nomenclature::UnionOfChecks("", "SELECT 2"));
}

}  // namespace
}  // namespace zelmora
