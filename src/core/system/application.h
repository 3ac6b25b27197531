#pragma once

#include <string>

namespace globeview {

// The directory holding the running program's executable, without a trailing separator.
std::string ApplicationDirectory();

// Joins a directory and a file name with the platform's separator.
std::string JoinPath(const std::string& directory, const std::string& name);

// The running program's executable, absolute; empty when the system cannot tell.
std::string ExecutablePath();

// Ends the program at once with `status`, after writing out what was printed: nothing after the
// call runs (no further handler, no destructors, no exit handlers), so a handler that ends the
// program never resumes, even from inside an event pass. What the process holds (files, locks) the
// system releases.
[[noreturn]] void EndProgram(int status = 0);

}  // namespace globeview
