#pragma once

#include <optional>
#include <string>

namespace globeview {

// The single-copy lock: a lock on a file that only this account can reach, held from construction
// until destruction (or until the process ends, however it ends: the system lets go of it then, so
// a copy that crashed never leaves a lock that stops the next one).
//
// A file another account made, a link, a pipe or a folder at the lock's place is never used, nor a
// folder on the way to it that is a link, belongs to another account or is writable by others (so
// that no other account can move the lock where it can let two copies run), and taking the lock
// never blocks: the program then runs without the single-copy check (Unavailable) rather than
// ending or hanging because of something it does not own.
class InstanceLock {
 public:
  enum class State {
    Held,           // this copy is the first
    HeldElsewhere,  // another copy of the program holds it
    Unavailable,    // no usable lock file: no single-copy check
  };

  // Takes the lock at DefaultPath(), checking the folders below the home, which is taken as the
  // account database names it.
  InstanceLock();
  // Takes the lock at `path`, checking every folder from the root (or the current folder) down,
  // making a missing one (mode 0700); none: Unavailable. A folder of the system's (root's) that no
  // other account can write passes too.
  explicit InstanceLock(const std::optional<std::string>& path);
  ~InstanceLock();
  InstanceLock(const InstanceLock&) = delete;
  InstanceLock& operator=(const InstanceLock&) = delete;

  State state() const { return state_; }
  bool AnotherCopyRunning() const { return state_ == State::HeldElsewhere; }
  // Why the lock is Unavailable, on one line naming the place; empty otherwise.
  const std::string& problem() const { return problem_; }

  // ~/.local/state/globeview/instance.lock, the home folder taken from the account database (never
  // from the environment, so every copy of one account finds the same lock); none without a home.
  static std::optional<std::string> DefaultPath();

 private:
  // Takes the lock at `below` in the folder `start`, opening the folders on the way one by one.
  void Take(const std::string& start, const std::string& below);
  void GiveUp(const std::string& why);

  int fd_ = -1;
  State state_ = State::Unavailable;
  std::string problem_;
};

}  // namespace globeview
