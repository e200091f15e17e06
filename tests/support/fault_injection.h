// Fault injection in the manner of SQLite's fault simulation: every call to
// the database (opening a connection, each command run) and to the file
// system (opening a text file, each write, flush and close) ticks one
// countdown, and the Nth call fails as the real one could. A test runs an
// operation with N = 1, 2, ... until a run completes without reaching the
// countdown; each failing run must end cleanly.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

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

 private:
  int64_t failAt_;
  int64_t calls_ = 0;
  bool fired_ = false;
};

// The program's own services, with the database and the file system behind
// the countdown and a fixed day.
class FaultyServices : public DefaultHostServices {
 public:
  explicit FaultyServices(int64_t failAt) : countdown_(std::make_shared<FaultCountdown>(failAt)) {}
  ConnectionPtr NewConnection() override;
  std::shared_ptr<FileHelper> NewFileHelper() override;
  Date Today() override { return *Date::FromYMD(2024, 7, 5); }
  const FaultCountdown& countdown() const { return *countdown_; }

 private:
  std::shared_ptr<FaultCountdown> countdown_;
};

}  // namespace zelmora::testing
