#include "declaration/french_statements.h"

#include "platform/text_util.h"

namespace zelmora::declaration {

std::string DropFrenchResultStatement() {
  return "IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE3', N'U') IS NOT NULL"
         "   DROP TABLE #DATIMODULOSTAMPE3 ";
}

std::string FrenchLinesStatement(std::string published) {
  ReplaceAll(published, "MAX(RETTIFICAVAL) AS RETTIFICAVAL", "MAX(RETTIFICAVAL) AS RETTIFICAVAL INTO #DATIMODULOSTAMPE ");
  return "IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE', N'U') IS NOT NULL"
         "   DROP TABLE #DATIMODULOSTAMPE "
         " " +
         published;
}

std::string FrenchNumberedStatement(bool gathered) {
  // The two forms differ only in their blanks, as the host's tools have
  // always sent them.
  if (!gathered) {
    return "SELECT   CAST('' AS nvarchar(4000)) AS DESCR_ERRORE , 0 AS ERRORE "
           ", ROW_NUMBER() OVER (ORDER BY IN01_DITTA_CG18) AS FAKEID "
           ", '  ' AS SOSTITUITO "
           ", CAST('' AS nvarchar(300)) AS DESCR "
           ", * INTO #DATIMODULOSTAMPE3 FROM #DATIMODULOSTAMPE";
  }
  return "SELECT   CAST('' AS nvarchar(4000)) AS DESCR_ERRORE , 0 AS ERRORE "
         " ,ROW_NUMBER() OVER (ORDER BY IN01_DITTA_CG18) AS FAKEID "
         " ,'  ' AS SOSTITUITO "
         " , CAST('' AS nvarchar(300)) AS DESCR "
         " ,* INTO #DATIMODULOSTAMPE3 FROM #DATIMODULOSTAMPE2 ";
}

std::string FrenchGatherFirstStatement() {
  return "IF OBJECT_ID(N'tempdb..#DATIMODULOSTAMPE2', N'U') IS NOT NULL"
         "   DROP TABLE #DATIMODULOSTAMPE2 "
         "   SELECT * INTO #DATIMODULOSTAMPE2 FROM #DATIMODULOSTAMPE";
}

std::string FrenchGatherSecondStatement() { return "INSERT INTO #DATIMODULOSTAMPE2 SELECT * FROM #DATIMODULOSTAMPE"; }

std::string FrenchResultQuery() { return "SELECT * FROM #DATIMODULOSTAMPE3 "; }

}  // namespace zelmora::declaration
