#include "platform/hamlib_rotator.h"

#include <hamlib/rotator.h>

#include <QMetaObject>
#include <memory>
#include <utility>

#include "view/readout.h"
#include "view/rotator_aim.h"

namespace globeview {

namespace {

using Clock = std::chrono::steady_clock;

// Hamlib's reason for a failed call, without its line end.
std::string Reason(int code) {
  std::string reason = rigerror2(code);
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

struct CloseRotator {
  void operator()(ROT* rot) const {
    rot_close(rot);
    rot_cleanup(rot);
  }
};
using OpenRotator = std::unique_ptr<ROT, CloseRotator>;

// The rotator of the settings, open; none with `error` set to the line that says why.
OpenRotator Open(const RotatorSettings& settings, std::string& name, std::string& error) {
  name = "rotator " + std::to_string(settings.model) + " at " + settings.port;
  ROT* rot = rot_init(settings.model);
  if (rot == nullptr) {
    error = name + ": Hamlib knows no rotator model " + std::to_string(settings.model);
    return nullptr;
  }
  name = "rotator " + std::string(rot->caps->model_name) + " at " + settings.port;
  int code = rot_set_conf(rot, rot_token_lookup(rot, "rot_pathname"), settings.port.c_str());
  if (code == RIG_OK) code = rot_open(rot);
  if (code != RIG_OK) {
    rot_cleanup(rot);
    error = name + ": " + Reason(code);
    return nullptr;
  }
  return OpenRotator(rot);
}

}  // namespace

HamlibRotator::HamlibRotator(RotatorSettings settings) : settings_(std::move(settings)) {
  // Hamlib's tracing would fill the terminal; its reasons come back through the return codes.
  rig_set_debug(RIG_DEBUG_NONE);
  worker_ = std::thread([this] { Run(); });
}

HamlibRotator::~HamlibRotator() {
  {
    const std::lock_guard lock(mutex_);
    quit_ = true;
  }
  wake_.notify_one();
  worker_.join();
}

void HamlibRotator::TurnTo(double bearing) {
  Ask(Request::kTurn, bearing);
}

void HamlibRotator::Stop() {
  Ask(Request::kStop, 0);
}

void HamlibRotator::Ask(Request request, double bearing) {
  {
    const std::lock_guard lock(mutex_);
    request_ = request;
    requestedBearing_ = bearing;
  }
  wake_.notify_one();
}

// The signals are emitted in the window's thread, where this object lives; one queued after the
// rotator is gone is dropped with it.
void HamlibRotator::ReportHeading(double bearing) {
  QMetaObject::invokeMethod(
      this, [this, bearing] { emit HeadingRead(bearing); }, Qt::QueuedConnection);
}

void HamlibRotator::ReportFailure(const std::string& line) {
  QMetaObject::invokeMethod(
      this, [this, text = QString::fromStdString(line)] { emit Failed(text); },
      Qt::QueuedConnection);
}

void HamlibRotator::Run() {
  OpenRotator rot;
  std::string name;
  Clock::time_point nextOpen = Clock::now();
  for (;;) {
    Request request;
    double bearing;
    {
      std::unique_lock lock(mutex_);
      wake_.wait_until(lock, rot ? Clock::now() + kReadEvery : nextOpen,
                       [this] { return quit_ || request_ != Request::kNone; });
      if (quit_) return;
      request = std::exchange(request_, Request::kNone);
      bearing = requestedBearing_;
    }
    // Closed after a failure: opened again for a request, or once kRetry has passed.
    if (!rot && request == Request::kNone && Clock::now() < nextOpen) continue;
    std::string error;
    if (!rot) rot = Open(settings_, name, error);
    if (rot) {
      const int code = Serve(*rot, name, request, bearing);
      if (code != RIG_OK) {
        error = name + ": " + Reason(code);
        rot.reset();
      }
    }
    if (!rot) {
      ReportFailure(error);
      nextOpen = Clock::now() + kRetry;
    }
  }
}

int HamlibRotator::Serve(ROT& rot, const std::string& name, Request request, double bearing) {
  azimuth_t azimuth = 0;
  elevation_t elevation = 0;
  const int code = rot_get_position(&rot, &azimuth, &elevation);
  if (code != RIG_OK) return code;
  ReportHeading(AntennaBearing(azimuth, settings_.offset));
  if (request == Request::kStop) return rot_stop(&rot);
  if (request != Request::kTurn) return RIG_OK;
  // A backend that names no range turns through one whole turn.
  const RotatorRange range = rot.state.max_az > rot.state.min_az
                                 ? RotatorRange{rot.state.min_az, rot.state.max_az}
                                 : RotatorRange{};
  const std::optional<double> command = RotatorCommand(bearing, settings_.offset, range, azimuth);
  if (!command) {
    ReportFailure(name + ": cannot point the antenna at " + ReadoutBearing(bearing) +
                  "° within the rotator's range");
    return RIG_OK;
  }
  return rot_set_position(&rot, static_cast<azimuth_t>(*command), elevation);
}

}  // namespace globeview
