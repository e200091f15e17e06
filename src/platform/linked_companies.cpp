#include "platform/linked_companies.h"

#include <algorithm>
#include <exception>
#include <vector>

#include "platform/company_code.h"
#include "platform/error.h"

namespace zelmora {

namespace {

struct Code {
  Decimal value;
  std::string text;
};

class DatabaseLinkedCompaniesService : public LinkedCompaniesService {
 public:
  void Run() override {
    status_ = 0;
    errorText_.clear();
    output_.ListaDitte = Variant();
    try {
      output_.ListaDitte = Variant::String(ReadList());
    } catch (const Error& e) {
      status_ = e.number() != 0 ? e.number() : 99;
      errorText_ = e.description();
    } catch (const std::exception& e) {
      status_ = 99;
      errorText_ = e.what();
    }
  }

 private:
  std::string ReadList() {
    if (input_.Ditta.IsEmptyOrNull() || input_.Ditta.Text().empty())
      throw Error(1, "Linked companies: the company code is missing");
    if (input_.Anno.IsEmptyOrNull() || input_.Anno.Text().empty())
      throw Error(1, "Linked companies: the year is missing");
    std::optional<std::string> company = WholeNumberText(input_.Ditta);
    if (!company)
      throw Error(5, "Linked companies: invalid company code '" + DescribeValue(input_.Ditta) + "'");
    std::optional<std::string> year = WholeNumberText(input_.Anno);
    if (!year) throw Error(5, "Linked companies: invalid year '" + DescribeValue(input_.Anno) + "'");

    ConnectionPtr connection = input_.Connessione;
    if (!connection) {
      if (input_.StringaDiConnessione.empty())
        throw Error(1, "Linked companies: neither a connection nor a connection string was given");
      connection = std::make_shared<Connection>();
      connection->Open(input_.StringaDiConnessione);
    }

    RecordsetPtr links = connection->Execute(
        "SELECT CG18_DITTACOLLEGATA FROM CG18_DITTECOLLEGATE WITH(NOLOCK) WHERE CG18_DITTA = " + *company +
        " AND CG18_ANNO = " + *year);

    // The declaring company comes first, then each linked company once, in
    // ascending order of code.
    Decimal declaring = *Decimal::Parse(*company);
    std::vector<Code> linked;
    if (links && links->IsOpen()) {
      for (; !links->EOF(); links->MoveNext()) {
        Variant value = links->Value(size_t{0});
        if (value.IsNull()) continue;
        std::optional<std::string> text = WholeNumberText(value);
        if (!text) throw Error(13, "Linked companies: invalid linked company code '" + DescribeValue(value) + "'");
        Decimal code = *Decimal::Parse(*text);
        if (code != declaring) linked.push_back({code, *text});
      }
    }
    std::sort(linked.begin(), linked.end(), [](const Code& a, const Code& b) { return a.value < b.value; });
    linked.erase(std::unique(linked.begin(), linked.end(),
                             [](const Code& a, const Code& b) { return a.value == b.value; }),
                 linked.end());

    std::string list = *company;
    for (const Code& code : linked) list += "," + code.text;
    return list;
  }
};

}  // namespace

std::shared_ptr<LinkedCompaniesService> NewDatabaseLinkedCompaniesService() {
  return std::make_shared<DatabaseLinkedCompaniesService>();
}

}  // namespace zelmora
