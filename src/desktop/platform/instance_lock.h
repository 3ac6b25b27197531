#pragma once

#include <string>

namespace globeview {

// True when another copy of this program (same executable name, same user) is already running.
// The first call takes a lock that this process then holds for its whole life; a copy that crashed
// leaves a stale lock that is recovered. The lock lies at a fixed place per user, whatever the
// environment says.
bool PreviousInstanceRunning();
// The same test with the lock at `lockPath`, so a test can use a lock of its own.
bool PreviousInstanceRunning(const std::string& lockPath);

// Where PreviousInstanceRunning() keeps its lock.
std::string InstanceLockPath();

}  // namespace globeview
