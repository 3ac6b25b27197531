#pragma once

#include <functional>
#include <string>

namespace globeview {

// The directory holding the running program's executable, without a trailing separator.
std::string ApplicationDirectory();

// Joins a directory and a file name with the platform's separator.
std::string JoinPath(const std::string& directory, const std::string& name);

// True when another copy of this program (same executable name) is already running. The first call
// takes a lock that this process then holds for its whole life; a copy that crashed leaves a stale
// lock that is recovered.
bool PreviousInstanceRunning();
// The same test with the lock at `lockPath`, so a test can use a lock of its own.
bool PreviousInstanceRunning(const std::string& lockPath);

// Ends the program at once with `status`: nothing after the call runs (no further handler, no
// destructors of the window). Tests may replace the action with SetEndAction.
[[noreturn]] void EndProgram(int status = 0);

// Replaces what EndProgram does, for tests: the action must not return (it throws, or exits); if it
// does return, the program ends anyway. An empty action restores the real one.
void SetEndAction(std::function<void(int status)> action);

}  // namespace globeview
