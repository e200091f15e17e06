// Fault injection in the manner of SQLite's fault simulation: every call to
// the database (opening a connection, each command run), to the file
// system (opening a text file, each write, flush and close) and to the
// report objects (creating one, each operation asked of it or of its
// template during the print, the release excepted) ticks one countdown,
// and the Nth call fails as the real one could. A test runs an
// operation with N = 1, 2, ... until a run completes without reaching the
// countdown; each failing run must end cleanly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/date.h"
#include "platform/host_services.h"

namespace zelmora::testing {

class FaultCountdown {
 public:
  // Fails the `failAt`th call (from 1); 0 never fails.
  explicit FaultCountdown(int64_t failAt) : failAt_(failAt) {}
  // Counts one call; throws the given error when it is the one to fail.
  void Tick(int32_t number, const char* description);
  int64_t calls() const { return calls_; }
  bool fired() const { return fired_; }
  // While paused, calls are neither counted nor failed: what a test does to
  // set the stage is not the operation under test.
  void Pause() { paused_ = true; }
  void Resume() { paused_ = false; }

 private:
  int64_t failAt_;
  int64_t calls_ = 0;
  bool fired_ = false;
  bool paused_ = false;
};

// The program's own services, with the database and the file system behind
// the countdown and a fixed day.
class FaultyServices : public DefaultHostServices {
 public:
  explicit FaultyServices(int64_t failAt) : countdown_(std::make_shared<FaultCountdown>(failAt)) {}
  ConnectionPtr NewConnection() override;
  std::shared_ptr<FileHelper> NewFileHelper() override;
  ReportObjectPtr NewReport(const std::string& member) override;
  const std::vector<std::shared_ptr<PrintJob>>& PrintJobs() const override { return printJobs_; }
  Date Today() override { return *Date::FromYMD(2024, 7, 5); }
  const FaultCountdown& countdown() const { return *countdown_; }
  FaultCountdown& countdown() { return *countdown_; }

 private:
  std::shared_ptr<FaultCountdown> countdown_;
  std::vector<std::shared_ptr<PrintJob>> printJobs_;
};

}  // namespace zelmora::testing
