#include "platform/host_services.h"

#include <ctime>
#include <filesystem>
#include <system_error>

#include "platform/text_file.h"

namespace zelmora {

ConnectionPtr DefaultHostServices::NewConnection() { return std::make_shared<Connection>(); }

std::shared_ptr<CompanyFactory> DefaultHostServices::NewCompanyFactory() { return NewDatabaseCompanyFactory(); }

std::shared_ptr<LinkedCompaniesService> DefaultHostServices::NewLinkedCompaniesService() {
  return NewDatabaseLinkedCompaniesService();
}

ReportObjectPtr DefaultHostServices::NewReport(const std::string& member) {
  auto report = std::make_shared<ReportObject>(member);
  printJobs_.push_back(report->job());
  return report;
}

std::shared_ptr<FileHelper> DefaultHostServices::NewFileHelper() { return NewLocalFileHelper(); }

Date DefaultHostServices::Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return Date::FromYMD(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday).value();
}

std::string DefaultHostServices::ComponentFolder() {
  std::error_code error;
  std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return std::filesystem::current_path(error).string();
  return executable.parent_path().string();
}

}  // namespace zelmora
