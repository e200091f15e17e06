// The statements that stage the French declaration lines in temporary
// tables on the component's connection: each list's lines in
// #DATIMODULOSTAMPE, both lists gathered in #DATIMODULOSTAMPE2, and the
// numbered result with the host's working columns in #DATIMODULOSTAMPE3.
#pragma once

#include <string>

namespace zelmora::declaration {

// Drops the numbered result of an earlier run.
std::string DropFrenchResultStatement();
// The list's declaration lines (the published statement) into #DATIMODULOSTAMPE.
std::string FrenchLinesStatement(std::string published);
// The working columns and the row number in front of the lines, into
// #DATIMODULOSTAMPE3: from the one list's lines, or (`gathered`) from both.
std::string FrenchNumberedStatement(bool gathered);
// The first of two lists copied into #DATIMODULOSTAMPE2.
std::string FrenchGatherFirstStatement();
// The second list's lines added to #DATIMODULOSTAMPE2.
std::string FrenchGatherSecondStatement();
// What the returned recordset reads.
std::string FrenchResultQuery();

}  // namespace zelmora::declaration
