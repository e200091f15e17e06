#include <gtest/gtest.h>

#include "platform/company.h"
#include "platform/connection.h"
#include "platform/linked_companies.h"
#include "support/database.h"
#include "support/error_of.h"

namespace zelmora {
namespace {

// Companies 1 (declaring, linked in 2024 to 12 and 7, in 2023 to 9), 7
// (linked back to 1, and to itself), 12 (no links, no sales indicator).
class HostDatabase : public ::testing::Test {
 protected:
  void SetUp() override {
    connection_ = std::make_shared<Connection>();
    connection_->Open(connectionString_);
  }

  testing::TempDatabase db_{
      "INSERT INTO CG18_DITTE VALUES (1, 'Rossi S.p.A.', 1, 2, 0), (7, 'Rossi Servizi', 3, 1, 0),"
      " (12, 'Rossi France', NULL, 2, 2);"
      "INSERT INTO CG18_DITTECOLLEGATE VALUES (1, 2024, 12), (1, 2024, 7), (1, 2023, 9), (7, 2024, 1), (7, 2024, 7);"};
  std::string connectionString_ = db_.ConnectionString();
  ConnectionPtr connection_;
};

TEST_F(HostDatabase, CompanyFactoryGivesEachKind) {
  auto factory = NewDatabaseCompanyFactory();
  factory->SetConnection(connection_);
  EXPECT_EQ(factory->connection(), connection_);

  auto company = std::dynamic_pointer_cast<CompanyData>(factory->GetObject(Variant::Long(1), 4));
  ASSERT_NE(company, nullptr);
  EXPECT_EQ(company->Ditta, Variant::Long(1));
  EXPECT_EQ(company->ClsDatiGest, nullptr);

  auto management = std::dynamic_pointer_cast<CompanyManagementData>(factory->GetObject(Variant::String(" 7 "), 5));
  ASSERT_NE(management, nullptr);
  EXPECT_EQ(management->IndIntraVen, Variant::Integer(3));
  EXPECT_EQ(management->IndIntraAcq, Variant::Integer(1));

  management = std::dynamic_pointer_cast<CompanyManagementData>(factory->GetObject(Variant::Dec(*Decimal::Parse("12.00")), 5));
  ASSERT_NE(management, nullptr);
  EXPECT_TRUE(management->IndIntraVen.IsNull());
  EXPECT_EQ(management->IndIntraAcq, Variant::Integer(2));

  auto registry = std::dynamic_pointer_cast<CompanyRegistryData>(factory->GetObject(Variant::Integer(12), 18));
  ASSERT_NE(registry, nullptr);
  EXPECT_EQ(registry->RagioneSociale, Variant::String("Rossi France"));
  EXPECT_EQ(registry->IndLocalizzazione, Variant::Integer(2));
}

TEST_F(HostDatabase, CompanyFactoryFailures) {
  auto factory = NewDatabaseCompanyFactory();
  EXPECT_EQ(testing::ErrorOf([&] { factory->GetObject(Variant::Long(1), 4); }),
            "91: Object variable or With block variable not set");
  factory->SetConnection(connection_);
  const std::pair<Variant, int> asked[] = {
      {Variant::Long(1), 3}, {Variant::Long(99), 4}, {Variant::String("1 OR 1=1"), 4}, {Variant::Null(), 5}};
  std::string errors;
  for (const auto& ask : asked) errors += testing::ErrorOf([&] { factory->GetObject(ask.first, ask.second); }) + "\n";
  EXPECT_EQ(errors,
            "5: Invalid procedure call or argument\n3021: Company 99 is not in the company table CG18_DITTE\n"
            "5: Invalid company code '1 OR 1=1': not a whole number\n5: Invalid company code 'Null': not a whole number\n");
}

TEST_F(HostDatabase, LinkedCompaniesListTheDeclaringCompanyFirst) {
  auto service = NewDatabaseLinkedCompaniesService();
  struct Case {
    Variant company, year;
    const char* list;
  };
  const Case cases[] = {
      {Variant::Long(1), Variant::Integer(2024), "1,7,12"},
      {Variant::Long(1), Variant::String("2023"), "1,9"},
      {Variant::Long(1), Variant::Integer(2022), "1"},
      {Variant::String("12"), Variant::Integer(2024), "12"},
      {Variant::Integer(7), Variant::Long(2024), "7,1"},
  };
  service->input().Connessione = connection_;
  service->input().StringaDiConnessione = "Provider=Nowhere";  // ignored when a connection is given
  for (const Case& c : cases) {
    service->input().Ditta = c.company;
    service->input().Anno = c.year;
    service->Run();
    EXPECT_EQ(service->Status(), 0) << service->ErrorText();
    EXPECT_EQ(service->ErrorText(), "");
    EXPECT_EQ(service->output().ListaDitte, Variant::String(c.list));
  }

  // Without a connection it opens one from the string.
  auto own = NewDatabaseLinkedCompaniesService();
  own->input().StringaDiConnessione = connectionString_;
  own->input().Ditta = Variant::Long(1);
  own->input().Anno = Variant::Integer(2024);
  own->Run();
  EXPECT_EQ(own->Status(), 0) << own->ErrorText();
  EXPECT_EQ(own->output().ListaDitte, Variant::String("1,7,12"));
}

TEST_F(HostDatabase, LinkedCompaniesReportFailuresWithoutThrowing) {
  auto service = NewDatabaseLinkedCompaniesService();
  service->input().Connessione = connection_;
  service->input().Anno = Variant::Integer(2024);
  service->Run();
  EXPECT_EQ(service->Status(), 1);
  EXPECT_EQ(service->ErrorText(), "Linked companies: the company code is missing");
  EXPECT_TRUE(service->output().ListaDitte.IsEmpty());

  service->input().Ditta = Variant::Long(1);
  service->input().Anno = Variant::String("");
  service->Run();
  EXPECT_EQ(service->Status(), 1);
  EXPECT_EQ(service->ErrorText(), "Linked companies: the year is missing");

  // A later good run clears the failure.
  service->input().Anno = Variant::Integer(2024);
  service->Run();
  EXPECT_EQ(service->Status(), 0);
  EXPECT_EQ(service->ErrorText(), "");
  EXPECT_EQ(service->output().ListaDitte, Variant::String("1,7,12"));

  service->input().Connessione = nullptr;
  service->input().StringaDiConnessione = "";
  service->Run();
  EXPECT_EQ(service->Status(), 1);
  EXPECT_EQ(service->ErrorText(), "Linked companies: neither a connection nor a connection string was given");
  EXPECT_TRUE(service->output().ListaDitte.IsEmpty());

  // The database client's own failure becomes the status.
  service->input().Connessione = std::make_shared<Connection>();
  service->Run();
  EXPECT_EQ(service->Status(), 3704);
  EXPECT_EQ(service->ErrorText(), "Operation is not allowed when the object is closed.");
  EXPECT_TRUE(service->output().ListaDitte.IsEmpty());
}

}  // namespace
}  // namespace zelmora
