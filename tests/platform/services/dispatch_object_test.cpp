#include <gtest/gtest.h>

#include "platform/company.h"
#include "platform/dispatch_object.h"
#include "support/arrow_cases.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

std::shared_ptr<DispatchObject> Node(std::vector<std::pair<std::string, Variant>> members) {
  auto node = std::make_shared<DispatchObject>();
  for (auto& [name, value] : members) node->SetMember(name, value);
  return node;
}

using testing::ErrorNumberOf;

TEST(DispatchObject, MemberPathsReadLateBound) {
  auto management = Node({{"IndIntraVen", Variant::Integer(1)}, {"IndIntraAcq", Variant::Integer(2)}});
  std::shared_ptr<DispatchObject> company = Node({{"ClsDatiGest", Variant::Obj(management)},
                       {"IndLocalizzazione", Variant::Integer(2)},
                       {"ClsVuota", Variant::Obj(nullptr)},
                       {"Codice", Variant::Long(1)}});
  Variant root = Variant::Obj(Node({{"ClsGlobal", Variant::Obj(Node({{"Gcls_DittaCorrente", Variant::Obj(company)}}))}}));

  testing::ExpectArrowCases("platform/services/member_paths.txt", [&](const std::string& path) {
    Variant value;
    const int32_t error = ErrorNumberOf([&] { value = ReadMemberPath(root, path); });
    if (error != 0) return "error " + std::to_string(error);
    return value.type() == VarType::Integer ? value.Text() : "not an Integer";
  });
  EXPECT_EQ(ReadMemberPath(root, "ClsGlobal.Gcls_DittaCorrente.ClsDatiGest").AsObject(), management);

  // A member set again keeps its place and its first spelling.
  company->SetMember("CODICE", Variant::Long(7));
  company->SetMember("Nuovo", Variant::Null());
  std::string order;
  for (const auto& [name, value] : company->members()) order += name + "=" + (value.IsObject() ? "" : value.Text()) + ";";
  EXPECT_EQ(order, "ClsDatiGest=;IndLocalizzazione=2;ClsVuota=;Codice=7;Nuovo=;");

  EXPECT_EQ(ErrorNumberOf([&] { ReadMemberPath(Variant::Obj(nullptr), "ClsGlobal"); }), 91);
  EXPECT_EQ(ErrorNumberOf([&] { ReadMemberPath(Variant(), "ClsGlobal"); }), 424);
}

TEST(CompanyObjects, MembersByNameAndAttachedObjects) {
  auto company = std::make_shared<CompanyData>();
  auto management = std::make_shared<CompanyManagementData>();
  management->IndIntraVen = Variant::Integer(1);
  management->IndIntraAcq = Variant::Null();
  auto registry = std::make_shared<CompanyRegistryData>();
  registry->RagioneSociale = Variant::String("Rossi S.p.A.");
  registry->IndLocalizzazione = Variant::Integer(2);

  Variant root = Variant::Obj(company);
  EXPECT_EQ(ErrorNumberOf([&] { ReadMemberPath(root, "ClsDatiGest.IndIntraVen"); }), 91);
  company->SetMember("ditta", Variant::Long(7));
  company->SetMember("CLSDATIGEST", Variant::Obj(management));
  company->SetMember("ClsDatiAnagrafici", Variant::Obj(registry));
  EXPECT_EQ(company->Ditta, Variant::Long(7));
  EXPECT_EQ(ReadMemberPath(root, "clsdatigest.IndIntraVen"), Variant::Integer(1));
  EXPECT_EQ(ReadMemberPath(root, "ClsDatiGest.INDINTRAACQ"), Variant::Null());
  EXPECT_EQ(ReadMemberPath(root, "ClsDatiAnagrafici.ragionesociale"), Variant::String("Rossi S.p.A."));
  EXPECT_EQ(ReadMemberPath(root, "ClsDatiAnagrafici.IndLocalizzazione"), Variant::Integer(2));

  EXPECT_EQ(ErrorNumberOf([&] { company->SetMember("ClsDatiGest", Variant::Obj(registry)); }), 13);
  EXPECT_EQ(company->ClsDatiGest, management);
  EXPECT_EQ(ErrorNumberOf([&] { company->SetMember("RagioneSociale", Variant::String("x")); }), 438);
  company->SetMember("ClsDatiGest", Variant::Obj(nullptr));
  EXPECT_EQ(company->ClsDatiGest, nullptr);
}

}  // namespace
}  // namespace zelmora
