#include "platform/company.h"

#include <charconv>
#include <cstdint>

#include "platform/company_code.h"
#include "platform/error.h"
#include "platform/text_util.h"

namespace zelmora {

namespace {

// Holds a company object of the expected class in a member, or fails as
// assigning an object of another class to a typed member does.
template <class T>
void AssignObject(std::shared_ptr<T>& member, const Variant& value) {
  if (!value.IsObject()) throw Error::TypeMismatch();
  if (value.IsNothing()) {
    member.reset();
    return;
  }
  auto typed = value.ObjectAs<T>();
  if (!typed) throw Error::TypeMismatch();
  member = std::move(typed);
}

// The company code as a number: a Long for every code the company table
// can hold.
Variant CodeValue(const std::string& digits) {
  int64_t whole = 0;
  auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), whole);
  if (error == std::errc() && end == digits.data() + digits.size() && whole >= INT32_MIN && whole <= INT32_MAX)
    return Variant::Long(static_cast<int32_t>(whole));
  return Variant::Dec(*Decimal::Parse(digits));
}

class DatabaseCompanyFactory : public CompanyFactory {
 public:
  void SetConnection(ConnectionPtr connection) override { connection_ = std::move(connection); }
  const ConnectionPtr& connection() const override { return connection_; }

  ObjectPtr GetObject(const Variant& companyCode, int kind) override {
    if (kind != 4 && kind != 5 && kind != 18) throw Error::InvalidProcedureCall();
    std::optional<std::string> code = WholeNumberText(companyCode);
    if (!code) throw Error(5, "Invalid company code '" + DescribeValue(companyCode) + "': not a whole number");
    if (!connection_) throw Error::ObjectNotSet();

    RecordsetPtr row = connection_->Execute(
        "SELECT CG18_RAGSOC, CG18_INDINTRAVEN, CG18_INDINTRAACQ, CG18_INDLOCALIZZAZIONE FROM CG18_DITTE "
        "WITH(NOLOCK) WHERE CG18_CODICE = " +
        *code);
    if (!row || row->EOF()) throw Error(3021, "Company " + *code + " is not in the company table CG18_DITTE");

    switch (kind) {
      case 4: {
        auto data = std::make_shared<CompanyData>();
        data->Ditta = CodeValue(*code);
        return data;
      }
      case 5: {
        auto management = std::make_shared<CompanyManagementData>();
        management->IndIntraVen = row->Value("CG18_INDINTRAVEN");
        management->IndIntraAcq = row->Value("CG18_INDINTRAACQ");
        return management;
      }
      default: {
        auto registry = std::make_shared<CompanyRegistryData>();
        registry->RagioneSociale = row->Value("CG18_RAGSOC");
        registry->IndLocalizzazione = row->Value("CG18_INDLOCALIZZAZIONE");
        return registry;
      }
    }
  }

 private:
  ConnectionPtr connection_;
};

}  // namespace

std::optional<std::string> WholeNumberText(const Variant& value) {
  std::optional<Decimal> number;
  switch (value.type()) {
    case VarType::Integer:
    case VarType::Long:
    case VarType::Double:
    case VarType::Decimal:
      try {
        number = value.ToDecimal();
      } catch (const Error&) {
        return std::nullopt;  // NaN and infinities
      }
      break;
    case VarType::String:
      number = Decimal::Parse(TrimBlanks(value.AsString()));
      break;
    default:
      return std::nullopt;
  }
  if (!number || !number->IsInteger()) return std::nullopt;
  return number->Normalized().ToString();
}

std::string DescribeValue(const Variant& value) {
  switch (value.type()) {
    case VarType::Empty:
      return "Empty";
    case VarType::Null:
      return "Null";
    case VarType::Object:
      return value.IsNothing() ? "Nothing" : std::string(value.AsObject()->Kind());
    default:
      try {
        return value.ToString();
      } catch (const Error&) {
        return "?";
      }
  }
}

Variant CompanyManagementData::GetMember(std::string_view name) {
  if (EqualsIgnoreCase(name, "IndIntraVen")) return IndIntraVen;
  if (EqualsIgnoreCase(name, "IndIntraAcq")) return IndIntraAcq;
  return Object::GetMember(name);
}

Variant CompanyRegistryData::GetMember(std::string_view name) {
  if (EqualsIgnoreCase(name, "RagioneSociale")) return RagioneSociale;
  if (EqualsIgnoreCase(name, "IndLocalizzazione")) return IndLocalizzazione;
  return Object::GetMember(name);
}

Variant CompanyData::GetMember(std::string_view name) {
  if (EqualsIgnoreCase(name, "Ditta")) return Ditta;
  if (EqualsIgnoreCase(name, "ClsDatiGest")) return Variant::Obj(ClsDatiGest);
  if (EqualsIgnoreCase(name, "ClsDatiAnagrafici")) return Variant::Obj(ClsDatiAnagrafici);
  return Object::GetMember(name);
}

void CompanyData::SetMember(std::string_view name, const Variant& value) {
  if (EqualsIgnoreCase(name, "Ditta")) {
    Ditta = value;
  } else if (EqualsIgnoreCase(name, "ClsDatiGest")) {
    AssignObject(ClsDatiGest, value);
  } else if (EqualsIgnoreCase(name, "ClsDatiAnagrafici")) {
    AssignObject(ClsDatiAnagrafici, value);
  } else {
    Object::SetMember(name, value);
  }
}

std::shared_ptr<CompanyFactory> NewDatabaseCompanyFactory() { return std::make_shared<DatabaseCompanyFactory>(); }

}  // namespace zelmora
