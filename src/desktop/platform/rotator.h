#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>
#include <vector>

#include "data/config_file.h"
#include "view/antenna_layer.h"

namespace globeview {

// The [rotator] section of globeview.conf: which rotator turns the antenna and how it is mounted.
struct RotatorSettings {
  int model = 2;                        // model=: Hamlib's model number; 2 is its network rotator
  std::string port = "localhost:4533";  // port=: the device, or host:port of a running rotctld
  double offset = 0;                    // offset=: degrees the antenna is turned clockwise from the
                                        // rotator's zero
  double beam = kDefaultBeamWidth;      // beam=: the beam's width, degrees, 0 to 360
};

// The section's settings; none without a [rotator] section. A value that cannot be read keeps its
// default and adds a warning naming `path`, the line and the value.
std::optional<RotatorSettings> RotatorSettingsOf(const ConfigRead& config, const std::string& path,
                                                 std::vector<std::string>& warnings);

// The rotator that turns the antenna. Its calls return at once: the rotator is driven elsewhere
// and answers by signals, in the thread the rotator was made in.
class Rotator : public QObject {
  Q_OBJECT

 public:
  ~Rotator() override = default;
  // Turns the antenna to `bearing`, degrees clockwise from north; replaces a turn not yet sent.
  virtual void TurnTo(double bearing) = 0;
  virtual void Stop() = 0;

 signals:
  // Where the antenna points now, read from the rotator, 0 to under 360.
  void HeadingRead(double bearing);
  // The rotator cannot be reached or refused: one line naming it and the reason. Its heading is
  // unknown until the next HeadingRead.
  void Failed(const QString& line);
};

}  // namespace globeview
