// The host framework's linked-companies service: for a company and a year,
// the codes of the declaring company and of every company linked to it, as
// the text of an SQL IN list ("1,7").
#pragma once

#include <memory>
#include <string>

#include "zelmora/connection.h"
#include "zelmora/object.h"
#include "zelmora/variant.h"

namespace zelmora {

// The service that lists a company's linked companies for a year.
class LinkedCompaniesService : public Object {
 public:
  std::string_view Kind() const override { return "ClsDitteCollegate"; }

  struct Input {  // what the service is given
    ConnectionPtr Connessione;        // used when set
    std::string StringaDiConnessione; // opened when no connection is given
    Variant Ditta;
    Variant Anno;
  };
  struct Output {  // what the service gives back
    Variant ListaDitte;  // IN-list text
  };

  Input& input() { return input_; }
  const Output& output() const { return output_; }
  // Fills the output; never throws: a failure is reported by Status() != 0
  // and ErrorText().
  virtual void Run() = 0;
  int Status() const { return status_; }
  const std::string& ErrorText() const { return errorText_; }

 protected:
  Input input_;
  Output output_;
  int status_ = 0;
  std::string errorText_;
};

// The in-process service: reads CG18_DITTECOLLEGATE.
std::shared_ptr<LinkedCompaniesService> NewDatabaseLinkedCompaniesService();

}  // namespace zelmora
