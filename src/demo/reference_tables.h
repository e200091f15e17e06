// The demo company's reference tables: countries, how parties are named,
// goods and service codes, the companies and their delivery terms. They are
// data files (src/demo/tables/*.tsv) compiled into the demo library and read
// once, on first use.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelmora::demo {

// Country codes are the statistical numbering of the host's country table.
// Kind of state: 0 Italy, 1 member state, 2 outside the Union.
struct Country {
  int code = 0;
  std::string iso;
  std::string name;
  int kind = 0;
  std::string currency;   // empty inside the euro area
  int64_t rateMicro = 0;  // units of the currency per euro, in millionths
};

// How parties of a member state are named and weighted.
struct PartyProfile {
  std::string iso;
  int weight = 0;
  bool activityFirst = false;
  std::vector<std::string> surnames;
  std::vector<std::string> activities;
  std::vector<std::string> forms;
};

// Goods nomenclature codes in the table for the years firstYear..lastYear
// (skipYear excepted); firstYear 0 marks a code that is in no year's table.
// A code's mass and supplementary units follow from its amount.
struct GoodsCode {
  std::string code;
  std::string descr;
  int firstYear = 0;
  int lastYear = 0;
  int skipYear = 0;
  int64_t gramsPerEuro = 0;    // net mass of one euro of goods
  int64_t unitPriceCents = 0;  // price of one supplementary unit; 0: no unit
};

struct ServiceCode {
  std::string code;
  std::string descr;
  bool inTable = false;
};

struct Company {
  int code = 0;
  std::string name;
  int salesPeriodicity = 0;  // 1 monthly, 2 quarterly
  int purchasesPeriodicity = 0;
  int localisation = 0;      // 2: French
  int weight = 0;            // share of the documents
  int customers = 0;
  int suppliers = 0;
  int servicesPerMille = 0;  // share of service documents
  std::vector<std::string> salesSections;
  std::vector<int> salesSectionWeights;
  std::vector<std::string> purchaseSections;
  std::vector<int> purchaseSectionWeights;
  std::vector<std::string> provinces;
  int customsSection = 0;    // customs office of its service declarations
};

struct Incoterm {
  std::string code;
  int deliveryGroup = 0;  // IN02_INDCONS: 1 C, 2 D, 3 E, 4 F
  int statAdjustPct = 0;  // statistical value against the invoiced amount
  std::string carriage;
};

struct ReferenceTables {
  std::vector<Country> countries;
  std::vector<PartyProfile> partyProfiles;
  std::vector<GoodsCode> goodsCodes;
  // Old code -> new code; an empty new code marks a code withdrawn without a
  // replacement.
  std::vector<std::pair<std::string, std::string>> changedCodes;
  std::vector<ServiceCode> serviceCodes;
  std::vector<Company> companies;
  std::vector<Incoterm> incoterms;
};

// The tables, read from the data compiled in on the first call. A table that
// does not read (a wrong number of columns, a number that is not one) throws
// Error 5 naming the table and line.
const ReferenceTables& Tables();

// The text of a table compiled in from src/demo/tables/NAME.tsv; empty for
// an unknown name.
std::string_view DemoTableText(std::string_view name);

}  // namespace zelmora::demo
