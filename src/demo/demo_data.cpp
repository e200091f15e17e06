#include "demo/demo_data.h"

#include "platform/civil_calendar.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <initializer_list>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "demo/reference_tables.h"
#include "platform/error.h"

namespace zelmora {

namespace {

// ---------------------------------------------------------------------------
// Deterministic pseudo-random numbers: xoshiro256** seeded through
// splitmix64. Only integer operations, so every platform draws the same.
class Prng {
 public:
  explicit Prng(uint64_t seed) {
    for (auto& word : state_) {
      seed += 0x9E3779B97F4A7C15ull;
      uint64_t z = seed;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      word = z ^ (z >> 31);
    }
  }

  uint64_t Next() {
    const uint64_t result = Rotl(state_[1] * 5, 7) * 9;
    const uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = Rotl(state_[3], 45);
    return result;
  }

  // Uniform in [0, n); n > 0. The modulo bias is far below what matters here.
  uint64_t Below(uint64_t n) { return Next() % n; }
  int64_t Range(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(Below(static_cast<uint64_t>(hi - lo + 1))); }
  bool PerMille(int chance) { return Below(1000) < static_cast<uint64_t>(chance); }

  // An index drawn with the given integer weights.
  size_t Weighted(const std::vector<int>& weights) {
    int64_t total = 0;
    for (int w : weights) total += w;
    int64_t draw = static_cast<int64_t>(Below(static_cast<uint64_t>(total)));
    for (size_t i = 0; i < weights.size(); ++i) {
      if (draw < weights[i]) return i;
      draw -= weights[i];
    }
    return weights.size() - 1;
  }
  size_t Weighted(std::initializer_list<int> weights) { return Weighted(std::vector<int>(weights)); }

  template <class T>
  const T& Pick(const std::vector<T>& items) {
    return items[Below(items.size())];
  }

 private:
  static uint64_t Rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
  std::array<uint64_t, 4> state_{};
};

// ---------------------------------------------------------------------------
// Calendar days counted from 1970-01-01 (proleptic Gregorian).
using Day = int64_t;

using Civil = CivilDate;


std::string Ymd(Day day) {
  const Civil c = CivilFromDays(day);
  char text[16];
  std::snprintf(text, sizeof text, "%04d%02d%02d", c.year, c.month, c.day);
  return text;
}

int MonthIndex(Day day) {
  const Civil c = CivilFromDays(day);
  return c.year * 12 + c.month - 1;
}

// ---------------------------------------------------------------------------
// Reference tables (src/demo/tables).

using demo::Company;
using demo::Country;
using demo::GoodsCode;
using demo::Incoterm;
using demo::PartyProfile;
using demo::ServiceCode;

const std::vector<Country>& Countries() { return demo::Tables().countries; }
const std::vector<PartyProfile>& PartyProfiles() { return demo::Tables().partyProfiles; }
const std::vector<GoodsCode>& GoodsCodes() { return demo::Tables().goodsCodes; }
const std::vector<std::pair<std::string, std::string>>& ChangedCodes() { return demo::Tables().changedCodes; }
const std::vector<ServiceCode>& ServiceCodes() { return demo::Tables().serviceCodes; }
const std::vector<Company>& Companies() { return demo::Tables().companies; }
const std::vector<Incoterm>& Incoterms() { return demo::Tables().incoterms; }

const Country& CountryByIso(std::string_view iso) {
  for (const Country& c : Countries()) {
    if (iso == c.iso) return c;
  }
  throw Error(5, "unknown demo country " + std::string(iso));
}

// The service codes are in the table for 2022 to 2024 only: for 2025 the
// checks fall back on the latest earlier year.
constexpr int kServiceTableFirstYear = 2022;
constexpr int kServiceTableLastYear = 2024;
constexpr int kGoodsTableFirstYear = 2022;
constexpr int kGoodsTableLastYear = 2025;

constexpr int kFirstYear = 2023;
constexpr int kLastYear = 2025;

// The linked-companies group: company 1 declares for itself and company 2.
constexpr int kGroupHead = 1;
constexpr int kGroupMember = 2;

// ---------------------------------------------------------------------------
// VAT numbers as the member states write them (without the country prefix),
// with their check digits where the rule is simple.

std::string Digits(Prng& rng, int count, bool firstNonZero) {
  std::string s;
  for (int i = 0; i < count; ++i) {
    s += static_cast<char>('0' + ((i == 0 && firstNonZero) ? rng.Range(1, 9) : rng.Range(0, 9)));
  }
  return s;
}

int DigitAt(const std::string& s, size_t i) { return s[i] - '0'; }

std::string MakeVatNumber(std::string_view iso, Prng& rng) {
  if (iso == "DE") {
    std::string body = Digits(rng, 8, true);
    int product = 10;
    for (char ch : body) {
      int sum = (ch - '0' + product) % 10;
      if (sum == 0) sum = 10;
      product = (2 * sum) % 11;
    }
    int check = 11 - product;
    if (check == 10) check = 0;
    return body + static_cast<char>('0' + check);
  }
  if (iso == "FR") {
    const std::string siren = Digits(rng, 9, true);
    const int64_t key = (12 + 3 * (std::stoll(siren) % 97)) % 97;
    char prefix[4];
    std::snprintf(prefix, sizeof prefix, "%02d", static_cast<int>(key));
    return prefix + siren;
  }
  if (iso == "ES") {
    const std::string body = Digits(rng, 7, false);
    int sum = 0;
    for (size_t i = 0; i < body.size(); ++i) {
      int d = DigitAt(body, i);
      if (i % 2 == 0) {
        d *= 2;
        d = d / 10 + d % 10;
      }
      sum += d;
    }
    return std::string(rng.PerMille(700) ? "B" : "A") + body + static_cast<char>('0' + (10 - sum % 10) % 10);
  }
  if (iso == "NL") {
    for (;;) {
      const std::string body = Digits(rng, 8, true);
      int sum = 0;
      for (size_t i = 0; i < 8; ++i) sum += DigitAt(body, i) * static_cast<int>(9 - i);
      if (sum % 11 < 10) return body + static_cast<char>('0' + sum % 11) + "B01";
    }
  }
  if (iso == "BE") {
    const std::string base = "0" + Digits(rng, 7, true);
    const int64_t check = 97 - std::stoll(base) % 97;
    char tail[4];
    std::snprintf(tail, sizeof tail, "%02d", static_cast<int>(check));
    return base + tail;
  }
  if (iso == "AT") {
    const std::string body = Digits(rng, 7, true);
    int sum = 0;
    for (size_t i = 0; i < 7; ++i) {
      int d = DigitAt(body, i);
      if (i % 2 == 1) {
        d *= 2;
        d = d / 10 + d % 10;
      }
      sum += d;
    }
    return "U" + body + static_cast<char>('0' + (10 - (sum + 4) % 10) % 10);
  }
  if (iso == "PL") {
    static constexpr int kWeights[] = {6, 5, 7, 2, 3, 4, 5, 6, 7};
    for (;;) {
      const std::string body = Digits(rng, 9, true);
      int sum = 0;
      for (size_t i = 0; i < 9; ++i) sum += DigitAt(body, i) * kWeights[i];
      if (sum % 11 != 10) return body + static_cast<char>('0' + sum % 11);
    }
  }
  if (iso == "DK") {
    static constexpr int kWeights[] = {2, 7, 6, 5, 4, 3, 2};
    for (;;) {
      const std::string body = Digits(rng, 7, true);
      int sum = 0;
      for (size_t i = 0; i < 7; ++i) sum += DigitAt(body, i) * kWeights[i];
      const int last = (11 - sum % 11) % 11;
      if (last < 10) return body + static_cast<char>('0' + last);
    }
  }
  if (iso == "IE") {
    const std::string body = Digits(rng, 7, true);
    int sum = 0;
    for (size_t i = 0; i < 7; ++i) sum += DigitAt(body, i) * static_cast<int>(8 - i);
    return body + "WABCDEFGHIJKLMNOPQRSTUV"[sum % 23];
  }
  if (iso == "SE") return Digits(rng, 10, true) + "01";
  if (iso == "PT") return "5" + Digits(rng, 8, false);
  if (iso == "HR") return Digits(rng, 11, true);
  if (iso == "SK") return Digits(rng, 10, true);
  if (iso == "GR") return "0" + Digits(rng, 8, true);
  return Digits(rng, 8, true);  // CZ, SI, HU, LU, FI, RO
}

// ---------------------------------------------------------------------------
// Prepared statements.

[[noreturn]] void ThrowSqlite(sqlite3* db, int rc, std::string_view what) {
  throw Error(rc & 0xff, std::string(what) + ": " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const char* sql) {
  const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
  if (rc != SQLITE_OK) ThrowSqlite(db, rc, sql);
}

// An INSERT bound column after column: insert.Int(..).Text(..).Run();
class Insert {
 public:
  Insert(sqlite3* db, const char* sql) : db_(db) {
    const int rc = sqlite3_prepare_v2(db, sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) ThrowSqlite(db, rc, sql);
  }
  ~Insert() { sqlite3_finalize(stmt_); }
  Insert(const Insert&) = delete;
  Insert& operator=(const Insert&) = delete;

  Insert& Int(int64_t v) { return Check(sqlite3_bind_int64(stmt_, ++index_, v)); }
  Insert& Int(std::optional<int64_t> v) { return v ? Int(*v) : Null(); }
  Insert& Null() { return Check(sqlite3_bind_null(stmt_, ++index_)); }
  // Empty text is stored as Null.
  Insert& Text(std::string_view v) {
    if (v.empty()) return Null();
    return Check(sqlite3_bind_text(stmt_, ++index_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
  }
  // Text that stays empty rather than Null.
  Insert& EmptyText() { return Check(sqlite3_bind_text(stmt_, ++index_, "", 0, SQLITE_STATIC)); }
  // An exact amount in hundredths (cents) or thousandths, as the nearest
  // double: the decimal column keeps it as a number that reads back exactly.
  Insert& Scaled(std::optional<int64_t> v, int scale) {
    if (!v) return Null();
    const double divisor = scale == 2 ? 100.0 : scale == 3 ? 1000.0 : 1000000.0;
    return Check(sqlite3_bind_double(stmt_, ++index_, static_cast<double>(*v) / divisor));
  }
  Insert& Money(std::optional<int64_t> cents) { return Scaled(cents, 2); }
  Insert& Date(std::optional<Day> day) { return day ? Text(Ymd(*day)) : Null(); }

  void Run() {
    const int rc = sqlite3_step(stmt_);
    if (rc != SQLITE_DONE) ThrowSqlite(db_, rc, "inserting demo data");
    sqlite3_reset(stmt_);
    index_ = 0;
  }

 private:
  Insert& Check(int rc) {
    if (rc != SQLITE_OK) ThrowSqlite(db_, rc, "binding demo data");
    return *this;
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  int index_ = 0;
};

// ---------------------------------------------------------------------------
// The generated company.

using OptInt = std::optional<int64_t>;

struct Party {
  int company = 0;
  int tipoCF = 0;  // 0 customer, 1 supplier
  int clifor = 0;
  OptInt registry;  // CG16_CODICE; none for a party without registry entry
  const Country* country = nullptr;  // where it trades from
  int weight = 1;
  size_t incoterm = 0;
  bool localCurrency = false;
  int invoiceStyle = 0;
  int64_t invoiceCounter = 0;
  std::vector<size_t> goods;     // preferred goods codes
  std::vector<size_t> services;  // preferred service codes
  std::string province;          // the company's province its goods leave from or go to
};

struct LineData {
  int indOper = 0;
  std::string code;
  int64_t cents = 0;
  int64_t valCents = 0;
  OptInt origCents, origValCents;
  int flgSegno = 0;
  int tipoDati = 0;
  int natura = 21;
  OptInt cons, trasp, pro, ori, des, pag;
  std::string provDest, provOrig;
  OptInt massaGrams, unsupplMilli, valstatCents;
  OptInt meseRif, annoRif;
  std::string in03, in04, numDocOrig, sezOrig;
  std::optional<Day> dataDocOrig;
  OptInt sezDog, protDich, progrSez3, regime;
};

// An ordinary document remembered for the corrections that follow it.
struct Original {
  size_t party = 0;
  int64_t numreg = 0;
  bool services = false;
  Day dataDoc = 0;
  Day period = 0;  // competence date, else registration date
  std::string docNumber;
  std::string section;
  std::vector<LineData> lines;  // its first lines
};

constexpr size_t kRememberedOriginals = 256;
constexpr size_t kRememberedLines = 3;

class DemoBuilder {
 public:
  DemoBuilder(sqlite3* db, const DemoOptions& options)
      : db_(db),
        options_(options),
        edge_(options.edgeCases),
        rng_(options.seed),
        cg41_(db,
              "INSERT INTO CG41_PRIMANOTA (CG41_DITTA_CG18, CG41_NUMREG, CG41_DATAREG, CG41_DATAREGIVA, "
              "CG41_DATADOC, CG41_NUMDOC, CG41_NUMDOCORIG, CG41_FLGDOCBIS, CG41_SEZIONALE, CG41_CODICE_CG33, "
              "CG41_DESCAUSALE, CG41_TIPOCF_CG44, CG41_CLIFOR_CG44, CG41_INDPROVREG) "
              "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?)"),
        in01_(db,
              "INSERT INTO IN01_DOCTESTA (IN01_DITTA_CG18, IN01_NUMREG_CG41, IN01_INDTIPODOC, IN01_CAMBIO, "
              "IN01_CODICE_CG08, IN01_PORTOSPA, IN01_CODINCOTERMS_MG0T, IN01_DTCOMPINTRA, IN01_FLGSTANDALONE) "
              "VALUES (?,?,?,?,?,?,?,?,?)"),
        in02_(db,
              "INSERT INTO IN02_RIGHEDOC (IN02_DITTA_CG18, IN02_NUMREG_CG41, IN02_NUMRIGA, IN02_INDOPER, "
              "IN02_NOMENCLATURA, IN02_IMPORTO, IN02_IMPORTOVAL, IN02_IMPORTOORIG, IN02_IMPORTOVALORIG, "
              "IN02_IMPORTOVALVALORIG, IN02_FLGSEGNO, IN02_INDTIPODATI, IN02_INDNATURA, IN02_INDCONS, "
              "IN02_INDTRASP, IN02_PAESEPRO_CG07, IN02_PAESEORI_CG07, IN02_PAESEDES_CG07, IN02_PAESEPAG_CG07, "
              "IN02_PROVDEST, IN02_PROVORIG, IN02_MASSA, IN02_UNSUPPL, IN02_VALSTAT, IN02_MESERIF, "
              "IN02_ANNORIF, IN02_CODICE_IN03, IN02_CODICE_IN04, IN02_NUMDOCORIG, IN02_DATADOCORIG, "
              "IN02_SEZORIG, IN02_SEZDOG, IN02_PROTDICH, IN02_PROGRSEZ3, IN02_REGIME) "
              "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)") {}

  DemoSummary Build() {
    WriteReferenceTables();
    WriteParties();
    WriteDocuments();
    summary_.lines = produced_;
    summary_.companies = static_cast<int>(Companies().size());
    summary_.firstYear = kFirstYear;
    summary_.lastYear = kLastYear;
    return summary_;
  }

 private:
  void WriteReferenceTables() {
    Insert countries(db_, "INSERT INTO CG07_TABSTATIEST (CG07_CODICE, CG07_CODISO, CG07_DESCR, CG07_INDTIPOSTATO) VALUES (?,?,?,?)");
    for (const Country& c : Countries()) countries.Int(c.code).Text(c.iso).Text(c.name).Int(c.kind).Run();

    Insert companies(db_,
                     "INSERT INTO CG18_DITTE (CG18_CODICE, CG18_RAGSOC, CG18_INDINTRAVEN, CG18_INDINTRAACQ, "
                     "CG18_INDLOCALIZZAZIONE) VALUES (?,?,?,?,?)");
    for (const Company& c : Companies()) {
      // Purchases lists are monthly only from 2022; the edge cases keep the
      // quarterly filer of the years before.
      const int purchases = c.code == kGroupHead && !edge_ ? 1 : c.purchasesPeriodicity;
      companies.Int(c.code).Text(c.name).Int(c.salesPeriodicity).Int(purchases).Int(c.localisation).Run();
    }
    Insert links(db_, "INSERT INTO CG18_DITTECOLLEGATE (CG18_DITTA, CG18_ANNO, CG18_DITTACOLLEGATA) VALUES (?,?,?)");
    for (int year = kFirstYear; year <= kLastYear; ++year) links.Int(kGroupHead).Int(year).Int(kGroupMember).Run();

    Insert nomenclature(db_, "INSERT INTO CG72_NOMENCLATURE (CG72_ANNO, CG72_INDTIPO, CG72_CODICE, CG72_DESCR) VALUES (?,?,?,?)");
    for (int year = kGoodsTableFirstYear; year <= kGoodsTableLastYear; ++year) {
      for (const GoodsCode& g : GoodsCodes()) {
        if (GoodsCodeInTable(g, year)) nomenclature.Int(year).Int(0).Text(g.code).Text(g.descr).Run();
      }
    }
    for (int year = kServiceTableFirstYear; year <= kServiceTableLastYear; ++year) {
      for (const ServiceCode& s : ServiceCodes()) {
        if (s.inTable) nomenclature.Int(year).Int(1).Text(s.code).Text(s.descr).Run();
      }
    }
    Insert changes(db_, "INSERT INTO CG7S_NOMENCLATUREVARIATE (CG7S_CODICEVECCHIO, CG7S_CODICENUOVO) VALUES (?,?)");
    for (const auto& [oldCode, newCode] : ChangedCodes()) {
      changes.Text(oldCode);
      // A withdrawn code keeps an empty new code, which does not count as a replacement.
      if (newCode.empty()) {
        changes.EmptyText();
      } else {
        changes.Text(newCode);
      }
      changes.Run();
    }
  }

  static bool GoodsCodeInTable(const GoodsCode& g, int year) {
    return g.firstYear != 0 && year >= g.firstYear && year <= g.lastYear && year != g.skipYear;
  }

  std::string PartyName(const PartyProfile& profile) {
    std::string name;
    for (int attempt = 0; attempt < 8; ++attempt) {
      const std::string surname(rng_.Pick(profile.surnames));
      const std::string activity(rng_.Pick(profile.activities));
      const std::string form(rng_.Pick(profile.forms));
      name = profile.activityFirst ? activity + " " + surname + " " + form : surname + " " + activity + " " + form;
      if (usedNames_.insert(name).second) break;
    }
    return name;
  }

  void WriteParties() {
    Insert registry(db_, "INSERT INTO CG16_ANAGGEN (CG16_CODICE, CG16_RAGSOANAG, CG16_PARTIVA, CG16_CODICE_CG07) VALUES (?,?,?,?)");
    Insert clifor(db_, "INSERT INTO CG44_CLIFOR (CG44_DITTA_CG18, CG44_TIPOCF, CG44_CLIFOR, CG44_CODICE_CG16) VALUES (?,?,?,?)");
    std::vector<int> profileWeights;
    for (const PartyProfile& p : PartyProfiles()) profileWeights.push_back(p.weight);
    int64_t nextRegistry = 100001;
    // Registry entries of the group head's parties, which the linked company
    // shares for about half of its own (one registry, a party per company).
    std::vector<std::pair<int64_t, const PartyProfile*>> groupRegistry[2];

    for (const Company& company : Companies()) {
      for (int tipoCF = 0; tipoCF < 2; ++tipoCF) {
        const int count = tipoCF == 0 ? company.customers : company.suppliers;
        int number = tipoCF == 0 ? 100 : 500;
        for (int i = 0; i < count; ++i) {
          number += static_cast<int>(rng_.Range(1, 9));
          Party party;
          party.company = company.code;
          party.tipoCF = tipoCF;
          party.clifor = number;
          party.weight = 1000 / (i + 2) + 8;
          // Two gaps in the group head's master data: a supplier whose
          // registry entry is missing and a customer registered without country.
          const bool noRegistry = edge_ && company.code == kGroupHead && tipoCF == 1 && i == 5;
          const bool noCountry = edge_ && company.code == kGroupHead && tipoCF == 0 && i == 7;
          const PartyProfile* profile = nullptr;
          if (company.code == kGroupMember && !groupRegistry[tipoCF].empty() && rng_.PerMille(500)) {
            const auto& shared = groupRegistry[tipoCF][rng_.Below(groupRegistry[tipoCF].size())];
            party.registry = shared.first;
            profile = shared.second;
          } else {
            profile = &PartyProfiles()[rng_.Weighted(profileWeights)];
            const int64_t code = nextRegistry++;
            const std::string name = PartyName(*profile);
            const std::string vat = MakeVatNumber(profile->iso, rng_);
            if (!noRegistry) {
              registry.Int(code).Text(name).Text(vat);
              if (noCountry) {
                registry.Null();
              } else {
                registry.Int(CountryByIso(profile->iso).code);
              }
              registry.Run();
              party.registry = code;
              if (company.code == kGroupHead && !noCountry) groupRegistry[tipoCF].push_back({code, profile});
            }
          }
          party.country = &CountryByIso(profile->iso);
          party.incoterm = rng_.Below(Incoterms().size());
          party.localCurrency = !party.country->currency.empty() && rng_.PerMille(500);
          party.invoiceStyle = static_cast<int>(rng_.Below(4));
          party.invoiceCounter = rng_.Range(100, 5000);
          const size_t goodsCount = static_cast<size_t>(rng_.Range(3, 5));
          while (party.goods.size() < goodsCount) {
            const size_t g = rng_.Below(GoodsCodes().size());
            // Codes that are in no table turn up at a few parties only.
            if (GoodsCodes()[g].firstYear == 0 && (!edge_ || !rng_.PerMille(150))) continue;
            party.goods.push_back(g);
          }
          const size_t serviceCount = static_cast<size_t>(rng_.Range(1, 3));
          while (party.services.size() < serviceCount) {
            const size_t s = rng_.Below(ServiceCodes().size());
            if (!ServiceCodes()[s].inTable && (!edge_ || !rng_.PerMille(200))) continue;
            party.services.push_back(s);
          }
          party.province = rng_.Pick(company.provinces);
          clifor.Int(company.code).Int(tipoCF).Int(number).Int(party.registry).Run();
          partiesOf_[{company.code, tipoCF}].push_back(parties_.size());
          partyWeights_[{company.code, tipoCF}].push_back(party.weight);
          parties_.push_back(std::move(party));
        }
      }
    }
    summary_.parties = static_cast<int>(parties_.size());
  }

  // --- documents -----------------------------------------------------------

  void WriteDocuments() {
    const int64_t total = options_.movements;
    if (total <= 0) return;
    const Day start = DaysFromCivil(kFirstYear, 1, 1);
    const Day span = DaysFromCivil(kLastYear, 12, 31) - start + 1;
    std::vector<int> companyWeights;
    for (const Company& c : Companies()) companyWeights.push_back(c.weight);
    while (produced_ < total) {
      // The documents advance through the years as the lines accumulate,
      // so registration numbers and dates grow together.
      const Day today = start + produced_ * span / total;
      const Company& company = Companies()[rng_.Weighted(companyWeights)];
      int kind = static_cast<int>(rng_.Weighted({46, 6, 40, 8})) + 1;
      const bool purchase = kind >= 3;
      const Original* original = nullptr;
      if (kind == 2 || kind == 4) {
        original = PickOriginal(company.code, purchase, today);
        if (original == nullptr) kind = purchase ? 3 : 1;
      }
      WriteDocument(company, kind, today, original);
    }
  }

  size_t PickParty(int company, int tipoCF) {
    const auto key = std::make_pair(company, tipoCF);
    return partiesOf_[key][rng_.Weighted(partyWeights_[key])];
  }

  // An earlier ordinary document of the same company and flow, from a
  // period before the current month. Service corrections now and then
  // correct again the line corrected last, so that one declared line
  // collects several corrections.
  const Original* PickOriginal(int company, bool purchase, Day today) {
    const auto key = std::make_pair(company, purchase);
    const int month = MonthIndex(today);
    auto last = lastCorrected_.find(key);
    if (last != lastCorrected_.end() && rng_.PerMille(300)) return &last->second;
    const std::vector<Original>& ring = originals_[key];
    for (int attempt = 0; attempt < 4 && !ring.empty(); ++attempt) {
      const Original& candidate = ring[rng_.Below(ring.size())];
      if (MonthIndex(candidate.period) < month) return &candidate;
    }
    return nullptr;
  }

  void Remember(int company, bool purchase, Original original) {
    const auto key = std::make_pair(company, purchase);
    std::vector<Original>& ring = originals_[key];
    size_t& next = ringNext_[key];
    if (ring.size() < kRememberedOriginals) {
      ring.push_back(std::move(original));
    } else {
      ring[next] = std::move(original);
      next = (next + 1) % kRememberedOriginals;
    }
  }

  std::string SupplierInvoiceNumber(Party& party, int year) {
    const int64_t n = party.invoiceCounter += rng_.Range(1, 40);
    char text[32];
    switch (party.invoiceStyle) {
      case 0: std::snprintf(text, sizeof text, "RE-%d-%05lld", year, static_cast<long long>(n)); break;
      case 1: std::snprintf(text, sizeof text, "F%02d/%lld", year % 100, static_cast<long long>(n)); break;
      case 2: std::snprintf(text, sizeof text, "%lld", static_cast<long long>(n)); break;
      default: std::snprintf(text, sizeof text, "INV%07lld", static_cast<long long>(n)); break;
    }
    return text;
  }

  struct Reason {
    const char* code;
    const char* description;
    bool adds;  // 52 and 63 raise the amount first declared; the others lower it
  };

  Reason PickReason(int kind, bool services) {
    switch (kind) {
      case 1:
        return services ? Reason{"54", "Fattura di vendita servizi UE", true} : Reason{"50", "Fattura di vendita beni UE", true};
      case 3:
        return services ? Reason{"64", "Fattura di acquisto servizi UE", true} : Reason{"60", "Fattura di acquisto beni UE", true};
      case 2: {
        const size_t r = services ? rng_.Weighted({35, 50, 15}) : rng_.Weighted({30, 70, 0});
        if (r == 0) return {"52", "Nota di debito a cliente UE", true};
        if (r == 1) return {"51", "Nota di credito a cliente UE", false};
        return {"55", "Rettifica servizi resi UE", false};
      }
      default: {
        const size_t r = services ? rng_.Weighted({35, 50, 15}) : rng_.Weighted({30, 70, 0});
        if (r == 0) return {"63", "Nota di debito da fornitore UE", true};
        if (r == 1) return {"62", "Nota di credito da fornitore UE", false};
        return {"65", "Rettifica servizi ricevuti UE", false};
      }
    }
  }

  int64_t RandomAmountCents() {
    switch (rng_.Weighted({350, 450, 180, 20})) {
      case 0: return rng_.Range(10000, 99999);
      case 1: return rng_.Range(100000, 999999);
      case 2: return rng_.Range(1000000, 9999999);
      default: return rng_.Range(10000000, 50000000);
    }
  }

  const Country& RandomCountry(int kind) {
    for (;;) {
      const Country& c = rng_.Pick(Countries());
      if (c.kind == kind) return c;
    }
  }

  // The party's own country mostly; now and then another member state (a
  // chain transaction) or nothing recorded.
  OptInt LineCountry(const Party& party, int otherPerMille, int missingPerMille) {
    const int64_t draw = static_cast<int64_t>(rng_.Below(1000));
    if (!edge_) missingPerMille = 0;
    if (draw < missingPerMille) return std::nullopt;
    if (draw < missingPerMille + otherPerMille) return RandomCountry(1).code;
    return party.country->code;
  }

  size_t PickGoodsCode(const Party& party, int year) {
    size_t g = rng_.Pick(party.goods);
    if (!GoodsCodeInTable(GoodsCodes()[g], year) && GoodsCodes()[g].firstYear != 0 &&
        (!edge_ || rng_.PerMille(700))) {
      // Most documents already use the code of the year; some keep the old one.
      for (const auto& [oldCode, newCode] : ChangedCodes()) {
        if (oldCode != GoodsCodes()[g].code || newCode.empty()) continue;
        for (size_t i = 0; i < GoodsCodes().size(); ++i) {
          if (GoodsCodes()[i].code == newCode && GoodsCodeInTable(GoodsCodes()[i], year)) return i;
        }
      }
      for (int attempt = 0; attempt < (edge_ ? 16 : 1 << 20); ++attempt) {
        const size_t other = rng_.Below(GoodsCodes().size());
        if (GoodsCodeInTable(GoodsCodes()[other], year)) return other;
      }
    }
    return g;
  }

  LineData GoodsLine(const Company& company, const Party& party, bool purchase, const Incoterm& incoterm,
                     int64_t rateMicro, int year) {
    LineData l;
    const GoodsCode& g = GoodsCodes()[PickGoodsCode(party, year)];
    l.indOper = 0;
    l.code = g.code;
    l.cents = RandomAmountCents();
    l.valCents = rateMicro == 1000000 ? 0 : (l.cents * rateMicro + 500000) / 1000000;
    l.flgSegno = rng_.PerMille(25) ? 1 : 0;
    // Statistical-only lines have no partner, which a sales list cannot hold.
    l.tipoDati = static_cast<int>(rng_.Weighted({920, 50, edge_ || purchase ? 30 : 0}));
    static const std::vector<int> kNatures = {21, 22, 23, 24, 25, 10, 1};
    l.natura = kNatures[rng_.Weighted({820, 40, 30, 30, 20, 25, 35})];
    l.cons = incoterm.deliveryGroup;
    static const std::vector<int> kTransport = {3, 1, 2, 4, 5};
    l.trasp = kTransport[rng_.Weighted({80, 7, 5, 6, 2})];
    if (purchase) {
      l.pro = LineCountry(party, 30, 20);
      const int64_t origin = static_cast<int64_t>(rng_.Below(1000));
      if (origin < 750) {
        l.ori = l.pro;
      } else if (origin < 950) {
        static const std::vector<const char*> kOrigins = {"CN", "US", "CH", "JP", "TR", "IN", "GB"};
        l.ori = CountryByIso(rng_.Pick(kOrigins)).code;
      }
      l.provDest = party.province;
    } else {
      l.des = LineCountry(party, 30, 20);
      l.provOrig = party.province;
    }
    l.massaGrams = std::max<int64_t>(1, l.cents * g.gramsPerEuro / 100 * rng_.Range(90, 110) / 100);
    if (g.unitPriceCents > 0) l.unsupplMilli = std::max<int64_t>(1, l.cents / g.unitPriceCents) * 1000;
    if (rng_.PerMille(950)) l.valstatCents = l.cents * (100 + incoterm.statAdjustPct) / 100;
    if (l.tipoDati == 1) {
      // Fiscal data only: no statistical detail.
      l.cons.reset();
      l.trasp.reset();
      l.massaGrams.reset();
      l.unsupplMilli.reset();
      l.valstatCents.reset();
      l.provDest.clear();
      l.provOrig.clear();
    }
    if (company.localisation == 2) l.regime = l.natura == 10 ? 29 : (purchase ? 11 : 21);
    return l;
  }

  LineData ServiceLine(const Party& party, int64_t rateMicro, const std::string& docNumber, Day dataDoc,
                       const std::string& section) {
    LineData l;
    l.indOper = 1;
    l.code = ServiceCodes()[rng_.Pick(party.services)].code;
    l.cents = RandomAmountCents();
    l.valCents = rateMicro == 1000000 ? 0 : (l.cents * rateMicro + 500000) / 1000000;
    l.flgSegno = rng_.PerMille(10) ? 1 : 0;
    l.tipoDati = 0;
    l.natura = rng_.PerMille(10) ? 10 : 0;
    l.in03 = rng_.PerMille(700) ? "I" : "R";
    static const std::vector<const char*> kPayment = {"B", "A", "X"};
    l.in04 = kPayment[rng_.Weighted({750, 150, 100})];
    l.numDocOrig = docNumber.substr(0, 15);
    l.dataDocOrig = dataDoc;
    l.sezOrig = section;
    l.pag = LineCountry(party, 50, 50);
    return l;
  }

  // The correction of one line of an earlier document: the same goods or
  // service, party and countries, the original document's data and amounts,
  // and the period of the original declaration.
  LineData CorrectionLine(const Company& company, const Original& original, size_t lineIndex, const Reason& reason,
                          bool purchase) {
    const LineData& o = original.lines[lineIndex];
    LineData l = o;
    const int64_t pct = reason.adds ? rng_.Range(3, 30) : rng_.Range(5, 60);
    l.origCents = o.cents;
    l.origValCents = o.valCents;
    l.cents = std::max<int64_t>(1, o.cents * pct / 100);
    l.valCents = o.valCents == 0 ? 0 : std::max<int64_t>(1, o.valCents * pct / 100);
    const Civil period = CivilFromDays(original.period);
    l.meseRif = period.month;
    l.annoRif = period.year;
    l.numDocOrig = original.docNumber.substr(0, 15);
    l.dataDocOrig = original.dataDoc;
    l.sezOrig = original.section;
    if (o.indOper == 0) {
      l.flgSegno = reason.adds ? 0 : 1;
      if (!reason.adds && o.natura != 10) l.natura = 22;
      if (reason.adds) {
        l.massaGrams.reset();
        l.unsupplMilli.reset();
      } else {
        if (o.massaGrams) l.massaGrams = std::max<int64_t>(1, *o.massaGrams * pct / 100);
        if (o.unsupplMilli) l.unsupplMilli = std::max<int64_t>(1000, *o.unsupplMilli * pct / 100 / 1000 * 1000);
      }
      if (l.tipoDati != 1) l.valstatCents = l.cents;
    } else {
      l.flgSegno = 0;
      // Where the corrected line was declared: customs section, protocol of
      // the declaration and the line's place in its services section.
      l.sezDog = company.customsSection;
      l.protDich = (period.year % 100) * 10000 + period.month * 100 + company.code;
      l.progrSez3 = (original.numreg * 7 + static_cast<int64_t>(lineIndex) * 3) % 45 + 1;
    }
    if (company.localisation == 2 && o.indOper == 0) {
      l.regime = purchase ? 19 : (reason.adds ? 26 : 25);
    }
    return l;
  }

  void WriteDocument(const Company& company, int kind, Day today, const Original* original) {
    const bool purchase = kind >= 3;
    const bool correction = original != nullptr;
    const size_t partyIndex = correction ? original->party : PickParty(company.code, purchase ? 1 : 0);
    Party& party = parties_[partyIndex];
    const bool services = correction ? original->services : rng_.PerMille(company.servicesPerMille);
    const int64_t numreg = ++numreg_[company.code];
    const std::string section = purchase ? company.purchaseSections[rng_.Weighted(company.purchaseSectionWeights)]
                                         : company.salesSections[rng_.Weighted(company.salesSectionWeights)];
    const Day dataReg = today;
    const Day dataDoc = today - (purchase ? rng_.Range(0, 12) : rng_.Range(0, 2));
    std::optional<Day> dataRegIva = dataReg;
    const int64_t ivaDraw = static_cast<int64_t>(rng_.Below(1000));
    if (ivaDraw >= 950) {
      dataRegIva.reset();
    } else if (ivaDraw >= 850) {
      *dataRegIva += rng_.Range(1, 15);
    }
    std::optional<Day> competence;
    // Without a competence date the checks cannot tell a code's year: only
    // the edge cases leave it out.
    if (!rng_.PerMille(40) || !edge_) competence = purchase ? dataReg : dataDoc;
    const int year = CivilFromDays(dataReg).year;
    // The year whose table a line's code must be in: that of its competence.
    const int codeYear = edge_ ? year : CivilFromDays(competence.value_or(dataReg)).year;
    const int64_t protocol = ++protocols_[{company.code, section, year}];
    const std::string docNumber = purchase ? SupplierInvoiceNumber(party, year) : std::to_string(protocol);
    const Reason reason = PickReason(kind, services);

    std::string currency = "EUR";
    int64_t rateMicro = 1000000;
    if (party.localCurrency) {
      currency = party.country->currency;
      rateMicro = party.country->rateMicro + party.country->rateMicro * rng_.Range(-150, 150) / 10000;
    }
    const Incoterm& incoterm =
        Incoterms()[rng_.PerMille(850) ? party.incoterm : rng_.Below(Incoterms().size())];

    cg41_.Int(company.code).Int(numreg).Date(dataReg).Date(dataRegIva).Date(dataDoc).Int(protocol).Text(docNumber)
        .Int(rng_.PerMille(5) ? 1 : 0).Text(section).Text(reason.code).Text(reason.description)
        .Int(party.tipoCF).Int(party.clifor).Int(rng_.PerMille(100) ? 0 : (purchase ? 2 : 1)).Run();
    in01_.Int(company.code).Int(numreg).Int(kind).Scaled(rateMicro, 6).Text(currency)
        .Text(services ? "" : incoterm.carriage).Text(services ? "" : incoterm.code).Date(competence)
        .Int(rng_.PerMille(10) ? 1 : 0).Run();
    ++summary_.documents;

    const int64_t remaining = options_.movements - produced_;
    int64_t count = 0;
    if (correction) {
      count = std::min<int64_t>({rng_.Range(1, 3), static_cast<int64_t>(original->lines.size()), remaining});
    } else if (!rng_.PerMille(5)) {  // a few headers have no Intrastat lines at all
      count = std::min<int64_t>(static_cast<int64_t>(rng_.Weighted({34, 24, 15, 10, 7, 5, 3, 2})) + 1, remaining);
    }

    Original remembered;
    remembered.party = partyIndex;
    remembered.numreg = numreg;
    remembered.services = services;
    remembered.dataDoc = dataDoc;
    remembered.period = competence.value_or(dataReg);
    remembered.docNumber = docNumber;
    remembered.section = section;
    for (int64_t i = 0; i < count; ++i) {
      LineData line = correction ? CorrectionLine(company, *original, static_cast<size_t>(i), reason, purchase)
                      : services ? ServiceLine(party, rateMicro, docNumber, dataDoc, section)
                                 : GoodsLine(company, party, purchase, incoterm, rateMicro, codeYear);
      if (!edge_ && !correction && line.flgSegno == 1) {
        // A credit line of an invoice (a return, a discount) takes back part
        // of the line before it, so that what the invoice declares stays
        // positive; the first line of an invoice, and one after a credit
        // line, is never one.
        if (i == 0 || lastWritten_.flgSegno != 0) {
          line.flgSegno = 0;
        } else {
          line = CreditLine(lastWritten_, rng_.Range(5, 60));
        }
      }
      WriteLine(company.code, numreg, static_cast<int>(i) + 1, line);
      lastWritten_ = line;
      if (!correction && remembered.lines.size() < kRememberedLines) remembered.lines.push_back(std::move(line));
    }
    if (!correction && !remembered.lines.empty()) Remember(company.code, purchase, std::move(remembered));
    if (correction && services) {
      Original& last = lastCorrected_[{company.code, purchase}];
      if (&last != original) last = *original;
    }
  }

  // A part (pct percent) of `o` with the opposite sign: the same goods or
  // service, countries and statistical data, smaller amounts and mass.
  static LineData CreditLine(const LineData& o, int64_t pct) {
    LineData l = o;
    l.flgSegno = 1;
    const auto part = [pct](int64_t v) { return std::max<int64_t>(1, v * pct / 100); };
    l.cents = part(o.cents);
    l.valCents = o.valCents == 0 ? 0 : part(o.valCents);
    if (o.massaGrams) l.massaGrams = part(*o.massaGrams);
    if (o.unsupplMilli) l.unsupplMilli = std::max<int64_t>(1000, *o.unsupplMilli * pct / 100 / 1000 * 1000);
    if (o.valstatCents) l.valstatCents = part(*o.valstatCents);
    return l;
  }

  void WriteLine(int company, int64_t numreg, int numriga, const LineData& l) {
    in02_.Int(company).Int(numreg).Int(numriga).Int(l.indOper).Text(l.code).Money(l.cents).Money(l.valCents)
        .Money(l.origCents).Money(l.origValCents).Money(l.origValCents).Int(l.flgSegno).Int(l.tipoDati)
        .Int(l.natura).Int(l.cons).Int(l.trasp).Int(l.pro).Int(l.ori).Int(l.des).Int(l.pag).Text(l.provDest)
        .Text(l.provOrig).Scaled(l.massaGrams, 3).Scaled(l.unsupplMilli, 3).Money(l.valstatCents).Int(l.meseRif)
        .Int(l.annoRif).Text(l.in03).Text(l.in04).Text(l.numDocOrig).Date(l.dataDocOrig).Text(l.sezOrig)
        .Int(l.sezDog).Int(l.protDich).Int(l.progrSez3).Int(l.regime).Run();
    ++produced_;
  }

  sqlite3* db_;
  DemoOptions options_;
  bool edge_ = false;
  Prng rng_;
  Insert cg41_;
  Insert in01_;
  Insert in02_;
  DemoSummary summary_;
  std::set<std::string> usedNames_;
  std::vector<Party> parties_;
  std::map<std::pair<int, int>, std::vector<size_t>> partiesOf_;
  std::map<std::pair<int, int>, std::vector<int>> partyWeights_;
  std::map<int, int64_t> numreg_;
  std::map<std::tuple<int, std::string, int>, int64_t> protocols_;
  std::map<std::pair<int, bool>, std::vector<Original>> originals_;
  std::map<std::pair<int, bool>, size_t> ringNext_;
  std::map<std::pair<int, bool>, Original> lastCorrected_;
  int64_t produced_ = 0;
  LineData lastWritten_;
};

std::string PragmaValue(sqlite3* db, const char* pragma) {
  sqlite3_stmt* stmt = nullptr;
  std::string value;
  if (sqlite3_prepare_v2(db, pragma, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
    if (const unsigned char* text = sqlite3_column_text(stmt, 0)) value = reinterpret_cast<const char*>(text);
  }
  sqlite3_finalize(stmt);
  return value;
}

// What the layout in force from 2022 adds, in zelmora's own tables, without
// touching the rows above: the nature's column B on the goods lines of part
// of the codes (chosen by code, so that every movement of a declaration
// line carries the same), and a few call-off stock movements of company 1
// with German and French customers.
void FillLayout2022Data(sqlite3* db) {
  Exec(db,
       "INSERT INTO ZL01_NATURAB (ZL01_DITTA_CG18, ZL01_NUMREG_CG41, ZL01_NUMRIGA, ZL01_NATURAB)"
       " SELECT IN02_DITTA_CG18, IN02_NUMREG_CG41, IFNULL(IN02_NUMRIGA, 0), '1' FROM IN02_RIGHEDOC"
       " WHERE IN02_INDOPER = 0 AND IN02_INDNATURA IN (1, 2, 3, 4, 5, 7, 9)"
       " AND CAST(substr(IN02_NOMENCLATURA, 8, 1) AS INT) % 2 = 0");
  Exec(db,
       "INSERT INTO ZL02_CALLOFFSTOCK"
       " SELECT 1, ROW_NUMBER() OVER (ORDER BY M.MESE, P.CG44_CLIFOR), 2024, M.MESE, P.CG07_CODISO, P.CG16_PARTIVA,"
       "  M.OPERAZIONE, CASE WHEN M.OPERAZIONE = 3 THEN N.CG07_CODISO END,"
       "  CASE WHEN M.OPERAZIONE = 3 THEN N.CG16_PARTIVA END"
       " FROM (SELECT 3 AS MESE, 1 AS OPERAZIONE, 0 AS K UNION ALL SELECT 3, 2, 1 UNION ALL SELECT 6, 3, 0) AS M"
       " JOIN (SELECT CG44_CLIFOR, CG07_CODISO, CG16_PARTIVA, ROW_NUMBER() OVER (ORDER BY CG44_CLIFOR) - 1 AS K"
       "       FROM CG44_CLIFOR JOIN CG16_ANAGGEN ON CG16_CODICE = CG44_CODICE_CG16"
       "       JOIN CG07_TABSTATIEST ON CG07_CODICE = CG16_CODICE_CG07"
       "       WHERE CG44_DITTA_CG18 = 1 AND CG44_TIPOCF = 0 AND CG07_CODISO IN ('DE', 'FR')"
       "       AND CG16_PARTIVA IS NOT NULL) AS P ON P.K = M.K"
       " LEFT JOIN (SELECT CG07_CODISO, CG16_PARTIVA FROM CG44_CLIFOR"
       "       JOIN CG16_ANAGGEN ON CG16_CODICE = CG44_CODICE_CG16"
       "       JOIN CG07_TABSTATIEST ON CG07_CODICE = CG16_CODICE_CG07"
       "       WHERE CG44_DITTA_CG18 = 1 AND CG44_TIPOCF = 0 AND CG07_CODISO = 'DE' AND CG16_PARTIVA IS NOT NULL"
       "       ORDER BY CG44_CLIFOR DESC LIMIT 1) AS N ON 1 = 1");
}

}  // namespace

DemoSummary FillDemoData(sqlite3* db, const DemoOptions& options) {
  if (db == nullptr) throw Error::InvalidProcedureCall();
  if (options.movements < 0) throw Error(5, "the number of movements cannot be negative");

  // No rollback journal and no syncing while filling: the caller builds a
  // scratch file and throws it away if anything fails.
  const std::string journal = PragmaValue(db, "PRAGMA journal_mode");
  const std::string synchronous = PragmaValue(db, "PRAGMA synchronous");
  const std::string cacheSize = PragmaValue(db, "PRAGMA cache_size");
  const auto restore = [&] {
    sqlite3_exec(db, ("PRAGMA journal_mode=" + (journal.empty() ? std::string("DELETE") : journal)).c_str(), nullptr,
                 nullptr, nullptr);
    sqlite3_exec(db, ("PRAGMA synchronous=" + (synchronous.empty() ? std::string("2") : synchronous)).c_str(), nullptr,
                 nullptr, nullptr);
    sqlite3_exec(db, ("PRAGMA cache_size=" + (cacheSize.empty() ? std::string("-2000") : cacheSize)).c_str(), nullptr,
                 nullptr, nullptr);
  };
  Exec(db, "PRAGMA journal_mode=OFF");
  Exec(db, "PRAGMA synchronous=OFF");
  Exec(db, "PRAGMA cache_size=-65536");  // 64 MiB keeps the indexes being filled in memory
  try {
    Exec(db, "SAVEPOINT demo_data");
    DemoSummary summary;
    {
      DemoBuilder builder(db, options);
      summary = builder.Build();
    }
    FillLayout2022Data(db);
    Exec(db, "RELEASE demo_data");
    restore();
    return summary;
  } catch (...) {
    sqlite3_exec(db, "ROLLBACK TO demo_data; RELEASE demo_data", nullptr, nullptr, nullptr);
    restore();
    throw;
  }
}

}  // namespace zelmora
