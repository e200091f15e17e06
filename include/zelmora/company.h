// The host framework's company objects. The factory, given a connection,
// hands out by (company code, kind): kind 4, the company data object; kind
// 18 and kind 5, objects the component attaches to it. The kind-5 object is
// the company's management data, with its Intrastat periodicity of sales
// (IndIntraVen) and of purchases (IndIntraAcq).
#pragma once

#include <memory>
#include <string>

#include "zelmora/connection.h"
#include "zelmora/object.h"
#include "zelmora/variant.h"

namespace zelmora {

// Kind 5: management data. Members by name: IndIntraVen, IndIntraAcq.
class CompanyManagementData : public Object {
 public:
  std::string_view Kind() const override { return "ClsDatiGest"; }
  Variant GetMember(std::string_view name) override;
  Variant IndIntraVen;
  Variant IndIntraAcq;
};

// Kind 18: the company's registry data. Members by name: RagioneSociale,
// IndLocalizzazione.
class CompanyRegistryData : public Object {
 public:
  std::string_view Kind() const override { return "ClsDatiAnagrafici"; }
  Variant GetMember(std::string_view name) override;
  Variant RagioneSociale;
  Variant IndLocalizzazione;
};

// Kind 4: the company data object. Members by name: Ditta, ClsDatiGest
// (the kind-5 object, its first property), ClsDatiAnagrafici (kind 18).
class CompanyData : public Object {
 public:
  std::string_view Kind() const override { return "ClsDitta"; }
  Variant GetMember(std::string_view name) override;
  void SetMember(std::string_view name, const Variant& value) override;
  Variant Ditta;
  std::shared_ptr<CompanyManagementData> ClsDatiGest;
  std::shared_ptr<CompanyRegistryData> ClsDatiAnagrafici;
};

// The company factory: hands out the company objects above for a company code.
class CompanyFactory : public Object {
 public:
  std::string_view Kind() const override { return "ClsFactoryDitta"; }
  virtual void SetConnection(ConnectionPtr connection) = 0;
  virtual const ConnectionPtr& connection() const = 0;
  // Kinds 4, 5 and 18; another kind fails with error 5. A company that is
  // not in the database fails with a message naming it.
  virtual ObjectPtr GetObject(const Variant& companyCode, int kind) = 0;
};

// The in-process factory: reads the company table CG18_DITTE through its connection.
std::shared_ptr<CompanyFactory> NewDatabaseCompanyFactory();

}  // namespace zelmora
