#include "render/standard_output.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace globeview::render {

StandardOutput::StandardOutput() {
  pending_.reserve(2 * kBlock);
}

void StandardOutput::Flush() {
  WriteStandardOutput(pending_);
  pending_.clear();
}

void WriteStandardOutput(std::string_view text) {
  while (!text.empty()) {
    const ssize_t written = ::write(STDOUT_FILENO, text.data(), text.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      throw StreamError(std::string("standard output: ") + std::strerror(errno));
    }
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

}  // namespace globeview::render
