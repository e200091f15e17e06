// The services of the host platform in one bundle, so that the business
// object asks one place for everything outside itself: database
// connections, the company factory, the linked-companies service, report
// objects, the file helper, the clock and the component's own folder.
// DefaultHostServices is the in-process bundle the program uses; tests
// derive from it to fix the day, record calls or fail on demand.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "zelmora/company.h"
#include "zelmora/connection.h"
#include "zelmora/date.h"
#include "zelmora/linked_companies.h"
#include "zelmora/report.h"
#include "zelmora/files.h"

namespace zelmora {

// The host platform's services a business object uses; a host implements
// this (or derives from DefaultHostServices) to supply its own.
class HostServices {
 public:
  virtual ~HostServices() = default;
  virtual ConnectionPtr NewConnection() = 0;
  virtual std::shared_ptr<CompanyFactory> NewCompanyFactory() = 0;
  virtual std::shared_ptr<LinkedCompaniesService> NewLinkedCompaniesService() = 0;
  // A new report object for the member that will hold it ("PclsReport", "PclsRepLas").
  virtual ReportObjectPtr NewReport(const std::string& member) = 0;
  virtual std::shared_ptr<FileHelper> NewFileHelper() = 0;
  // The day the component runs (one record carries the day a file is written).
  virtual Date Today() = 0;
  // The folder of the component's own executable file, where the report templates lie.
  virtual std::string ComponentFolder() = 0;
  // Every print job made through NewReport, in order.
  virtual const std::vector<std::shared_ptr<PrintJob>>& PrintJobs() const = 0;
};

// The in-process services: connections through the database backends, the
// company objects and linked companies read from the database, report
// objects that record their print jobs, files on the local file system.
class DefaultHostServices : public HostServices {
 public:
  ConnectionPtr NewConnection() override;
  std::shared_ptr<CompanyFactory> NewCompanyFactory() override;
  std::shared_ptr<LinkedCompaniesService> NewLinkedCompaniesService() override;
  ReportObjectPtr NewReport(const std::string& member) override;
  std::shared_ptr<FileHelper> NewFileHelper() override;
  Date Today() override;
  std::string ComponentFolder() override;
  const std::vector<std::shared_ptr<PrintJob>>& PrintJobs() const override { return printJobs_; }

 private:
  std::vector<std::shared_ptr<PrintJob>> printJobs_;
};

}  // namespace zelmora
