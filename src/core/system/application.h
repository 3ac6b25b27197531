#pragma once

#include <functional>
#include <string>

namespace globeview {

// The directory holding the running program's executable, without a trailing separator.
std::string ApplicationDirectory();

// Joins a directory and a file name with the platform's separator.
std::string JoinPath(const std::string& directory, const std::string& name);

// The running program's executable, absolute; empty when the system cannot tell.
std::string ExecutablePath();

// Runs `action` when the program ends through EndProgram, before it exits (to release a lock).
void AtEndProgram(std::function<void()> action);

// Ends the program at once with `status`: nothing after the call runs (no further handler, no
// destructors of the window). Tests may replace the action with SetEndAction.
[[noreturn]] void EndProgram(int status = 0);

// Replaces what EndProgram does, for tests: the action must not return (it throws, or exits); if it
// does return, the program ends anyway. An empty action restores the real one.
void SetEndAction(std::function<void(int status)> action);

}  // namespace globeview
