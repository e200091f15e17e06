#include "demo/reference_tables.h"

#include <charconv>

#include "platform/error.h"

namespace zelmora::demo {

namespace {

[[noreturn]] void Bad(std::string_view table, size_t line, const std::string& what) {
  throw Error(5, "demo table " + std::string(table) + ", line " + std::to_string(line) + ": " + what);
}

std::vector<std::string> Split(std::string_view text, char by) {
  std::vector<std::string> parts;
  size_t from = 0;
  for (;;) {
    const size_t at = text.find(by, from);
    parts.emplace_back(text.substr(from, at == std::string_view::npos ? std::string_view::npos : at - from));
    if (at == std::string_view::npos) return parts;
    from = at + 1;
  }
}

// Reads the columns of one row in order, each converted as asked.
class Row {
 public:
  Row(const std::vector<std::string>& cells, std::string_view table, size_t line)
      : cells_(cells), table_(table), line_(line) {}

  const std::string& Text() { return cells_[next_++]; }
  int64_t Number() {
    const std::string& cell = cells_[next_++];
    int64_t value = 0;
    const auto [end, ec] = std::from_chars(cell.data(), cell.data() + cell.size(), value);
    if (ec != std::errc() || end != cell.data() + cell.size()) Bad(table_, line_, "'" + cell + "' is not a number");
    return value;
  }
  int Int() { return static_cast<int>(Number()); }
  bool Flag() { return Number() != 0; }
  std::vector<std::string> List() {
    const std::string& cell = cells_[next_++];
    return cell.empty() ? std::vector<std::string>{} : Split(cell, '|');
  }
  std::vector<int> Numbers() {
    std::vector<int> numbers;
    for (const std::string& item : List()) {
      int value = 0;
      const auto [end, ec] = std::from_chars(item.data(), item.data() + item.size(), value);
      if (ec != std::errc() || end != item.data() + item.size()) Bad(table_, line_, "'" + item + "' is not a number");
      numbers.push_back(value);
    }
    return numbers;
  }

 private:
  const std::vector<std::string>& cells_;
  std::string_view table_;
  size_t line_;
  size_t next_ = 0;
};

// Calls `read` with each row of table `name`.
template <class Read>
void ForEachRow(std::string_view name, size_t columns, Read read) {
  const std::string_view text = DemoTableText(name);
  if (text.empty()) throw Error(5, "demo table " + std::string(name) + " is missing");
  size_t line = 0;
  for (const std::string& raw : Split(text, '\n')) {
    ++line;
    if (raw.empty() || raw[0] == '#') continue;
    const std::vector<std::string> cells = Split(raw, '\t');
    if (cells.size() != columns) {
      Bad(name, line, std::to_string(cells.size()) + " columns where " + std::to_string(columns) + " are wanted");
    }
    Row row(cells, name, line);
    read(row);
  }
}

ReferenceTables Load() {
  ReferenceTables t;
  ForEachRow("countries", 6, [&](Row& r) {
    Country c;
    c.code = r.Int();
    c.iso = r.Text();
    c.name = r.Text();
    c.kind = r.Int();
    c.currency = r.Text();
    c.rateMicro = r.Number();
    t.countries.push_back(std::move(c));
  });
  ForEachRow("party_profiles", 6, [&](Row& r) {
    PartyProfile p;
    p.iso = r.Text();
    p.weight = r.Int();
    p.activityFirst = r.Flag();
    p.surnames = r.List();
    p.activities = r.List();
    p.forms = r.List();
    t.partyProfiles.push_back(std::move(p));
  });
  ForEachRow("goods_codes", 7, [&](Row& r) {
    GoodsCode g;
    g.code = r.Text();
    g.descr = r.Text();
    g.firstYear = r.Int();
    g.lastYear = r.Int();
    g.skipYear = r.Int();
    g.gramsPerEuro = r.Number();
    g.unitPriceCents = r.Number();
    t.goodsCodes.push_back(std::move(g));
  });
  ForEachRow("changed_codes", 2, [&](Row& r) {
    std::string oldCode = r.Text();
    t.changedCodes.emplace_back(std::move(oldCode), r.Text());
  });
  ForEachRow("service_codes", 3, [&](Row& r) {
    ServiceCode s;
    s.code = r.Text();
    s.descr = r.Text();
    s.inTable = r.Flag();
    t.serviceCodes.push_back(std::move(s));
  });
  ForEachRow("companies", 15, [&](Row& r) {
    Company c;
    c.code = r.Int();
    c.name = r.Text();
    c.salesPeriodicity = r.Int();
    c.purchasesPeriodicity = r.Int();
    c.localisation = r.Int();
    c.weight = r.Int();
    c.customers = r.Int();
    c.suppliers = r.Int();
    c.servicesPerMille = r.Int();
    c.salesSections = r.List();
    c.salesSectionWeights = r.Numbers();
    c.purchaseSections = r.List();
    c.purchaseSectionWeights = r.Numbers();
    c.provinces = r.List();
    c.customsSection = r.Int();
    t.companies.push_back(std::move(c));
  });
  ForEachRow("incoterms", 4, [&](Row& r) {
    Incoterm i;
    i.code = r.Text();
    i.deliveryGroup = r.Int();
    i.statAdjustPct = r.Int();
    i.carriage = r.Text();
    t.incoterms.push_back(std::move(i));
  });
  return t;
}

}  // namespace

const ReferenceTables& Tables() {
  static const ReferenceTables tables = Load();
  return tables;
}

}  // namespace zelmora::demo
