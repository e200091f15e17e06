#include "support/fault_injection.h"

#include "platform/error.h"

namespace zelmora::testing {

namespace {

// What an injected database failure says: a lost connection, as the
// client reports it.
constexpr int32_t kDatabaseFault = 3709;
constexpr const char* kDatabaseText = "The connection cannot be used to perform this operation (fault injected).";
constexpr int32_t kFileFault = 57;
constexpr const char* kFileText = "Device I/O error (fault injected)";

class FaultyBackend : public DatabaseBackend {
 public:
  FaultyBackend(std::unique_ptr<DatabaseBackend> inner, std::shared_ptr<FaultCountdown> countdown)
      : inner_(std::move(inner)), countdown_(std::move(countdown)) {}
  RecordsetPtr Execute(std::string_view commandText, bool returnsRows, int32_t timeoutSeconds) override {
    countdown_->Tick(kDatabaseFault, kDatabaseText);
    return inner_->Execute(commandText, returnsRows, timeoutSeconds);
  }

 private:
  std::unique_ptr<DatabaseBackend> inner_;
  std::shared_ptr<FaultCountdown> countdown_;
};

class FaultyTextFile : public TextFile {
 public:
  FaultyTextFile(std::shared_ptr<TextFile> inner, std::shared_ptr<FaultCountdown> countdown)
      : inner_(std::move(inner)), countdown_(std::move(countdown)) {}
  void Write(std::string_view record) override {
    countdown_->Tick(kFileFault, kFileText);
    inner_->Write(record);
  }
  void Flush() override {
    countdown_->Tick(kFileFault, kFileText);
    inner_->Flush();
  }
  void Close() override {
    countdown_->Tick(kFileFault, kFileText);
    inner_->Close();
  }

 private:
  std::shared_ptr<TextFile> inner_;
  std::shared_ptr<FaultCountdown> countdown_;
};

// A report object whose every operation (and every one asked of the
// template's report in BeforePrintReport) can fail, as an automation call
// to the host's report engine can.
constexpr int32_t kReportFault = -2147417848;
constexpr const char* kReportText = "Automation error: the object invoked has disconnected from its clients (fault injected)";

class FaultyReport : public ReportObject {
 public:
  FaultyReport(std::string member, std::shared_ptr<FaultCountdown> countdown)
      : ReportObject(std::move(member)), countdown_(std::move(countdown)) {}

 protected:
  void BeforeCall(std::string_view) override { countdown_->Tick(kReportFault, kReportText); }

 private:
  std::shared_ptr<FaultCountdown> countdown_;
};

class FaultyFileHelper : public FileHelper {
 public:
  FaultyFileHelper(std::shared_ptr<FileHelper> inner, std::shared_ptr<FaultCountdown> countdown)
      : inner_(std::move(inner)), countdown_(std::move(countdown)) {}
  std::shared_ptr<TextFile> Open(const std::shared_ptr<Folder>& folder, std::string_view fileName, int32_t mode,
                                 std::string_view text, int32_t option1, int32_t option2) override {
    countdown_->Tick(75, "Path/File access error (fault injected)");
    return std::make_shared<FaultyTextFile>(inner_->Open(folder, fileName, mode, text, option1, option2), countdown_);
  }

 private:
  std::shared_ptr<FileHelper> inner_;
  std::shared_ptr<FaultCountdown> countdown_;
};

}  // namespace

void FaultCountdown::Tick(int32_t number, const char* description) {
  if (paused_) return;
  ++calls_;
  if (calls_ == failAt_) {
    fired_ = true;
    throw Error(number, description);
  }
}

ConnectionPtr FaultyServices::NewConnection() {
  std::shared_ptr<FaultCountdown> countdown = countdown_;
  return std::make_shared<Connection>([countdown](std::unique_ptr<DatabaseBackend> backend) {
    countdown->Tick(kDatabaseFault, "Cannot open the database (fault injected).");
    return std::unique_ptr<DatabaseBackend>(std::make_unique<FaultyBackend>(std::move(backend), countdown));
  });
}

ReportObjectPtr FaultyServices::NewReport(const std::string& member) {
  countdown_->Tick(429, "ActiveX component can't create object (fault injected)");
  auto report = std::make_shared<FaultyReport>(member, countdown_);
  printJobs_.push_back(report->job());
  return report;
}

std::shared_ptr<FileHelper> FaultyServices::NewFileHelper() {
  return std::make_shared<FaultyFileHelper>(DefaultHostServices::NewFileHelper(), countdown_);
}

}  // namespace zelmora::testing
