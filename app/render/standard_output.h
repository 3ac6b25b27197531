#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace globeview::render {

// Standard output or input could not be used; what() is the whole message after the program's
// name: "standard output: No space left on device".
class StreamError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Standard output, written in large blocks. Every failure (a full disk, a closed reader) is thrown,
// never dropped: nothing is reported done that was not written.
class StandardOutput {
 public:
  StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;

  // The bytes not yet written; callers append to it and then call Written().
  std::string& Pending() { return pending_; }
  // Writes out the pending bytes once enough have gathered. Throws StreamError.
  void Written() {
    if (pending_.size() >= kBlock) Flush();
  }
  // Writes out everything pending. Throws StreamError.
  void Flush();

 private:
  static constexpr std::size_t kBlock = 64 * 1024;
  std::string pending_;
};

// Writes `text` to standard output at once. Throws StreamError.
void WriteStandardOutput(std::string_view text);

}  // namespace globeview::render
