// The SQL texts of the form data: the declaration lines staged in session
// temporary tables, once as the form prints them and once with the
// reference year of each code, the lines whose code is not valid flagged
// from the error check, and the query that returns either the flagged lines
// or, when there are none, the whole form. The texts are built here without
// running anything; the operations send them in order on one connection.
#pragma once

#include <string>
#include <string_view>

namespace zelmora::nomenclature {

// #DATIMODULOSTAMPE from the published declaration statement: every line
// with ERRORE 0 and a key FAKEID numbered on from `maxProgr` in the order
// of the declaration.
std::string FormTableStatement(std::string published, int maxProgr);

// #DATIMODULOSTAMPENOMENCLATURAANNO from the complete declaration statement
// (the one with NOMENCLATURA_ANNORIF), numbered the same way.
std::string NomenclatureYearTableStatement(std::string complete, int maxProgr);

// Runs the error check into #TEST_STAMPENOMENCLATURAANNO and sets ERRORE to
// 1 on the lines of the nomenclature-year table whose code, kind and
// reference year have an error row.
std::string FlagErrorsBatch(std::string_view errorCheck);

// The flagged lines of the nomenclature-year table when there are any, else
// the form table. `suffix` names the tables ("" for one list, "2" for the
// tables that gather both lists); `ordered` sorts the form rows by FAKEID.
std::string FormResultQuery(std::string_view suffix, bool ordered);

// Both lists in one result: the first list's tables copied into the
// gathering tables, the largest key the first list used, and the second
// list's rows appended to the gathering tables.
std::string GatherFirstListBatch();
std::string LastFormKeyQuery();
std::string GatherSecondListBatch();

// The error checks of two lists as one statement.
std::string UnionOfChecks(std::string_view first, std::string_view second);

}  // namespace zelmora::nomenclature
