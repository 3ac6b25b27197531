#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/rotator.h"

// Hamlib's rotator handle (ROT), known here by name alone.
struct s_rot;

namespace globeview {

// A rotator driven through Hamlib, of any model it knows on any device. Hamlib's calls block for
// as long as its timeouts allow, so they all run on a thread of their own, never the window's:
// it opens the rotator, reads its position once a second, sends the turns and stops asked for,
// and after a failure opens it again on the next request or after kRetry.
class HamlibRotator final : public Rotator {
 public:
  static constexpr std::chrono::seconds kReadEvery{1};
  static constexpr std::chrono::seconds kRetry{10};

  explicit HamlibRotator(RotatorSettings settings);
  // Waits for a call in progress to return, at most Hamlib's timeout.
  ~HamlibRotator() override;

  void TurnTo(double bearing) override;
  void Stop() override;

 private:
  enum class Request { kNone, kTurn, kStop };
  void Run();
  // Reads the position and reports it, then sends the request to the open rotator. Hamlib's code
  // of the first call that failed, else RIG_OK.
  int Serve(s_rot& rot, const std::string& name, Request request, double bearing);
  void Ask(Request request, double bearing);
  void ReportHeading(double bearing);
  void ReportFailure(const std::string& line);

  const RotatorSettings settings_;
  std::mutex mutex_;
  std::condition_variable wake_;
  // What the worker is to do next, under mutex_: the latest request replaces an earlier one.
  Request request_ = Request::kNone;
  double requestedBearing_ = 0;
  bool quit_ = false;
  std::thread worker_;
};

}  // namespace globeview
