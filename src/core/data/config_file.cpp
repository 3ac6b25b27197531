#include "data/config_file.h"

#include <sys/stat.h>

#include <cerrno>

#include "system/error_report.h"
#include "system/files.h"
#include "system/numeric.h"

namespace globeview {

namespace {

// A settings file is a few lines; anything far larger is not one.
constexpr std::size_t kMostConfigBytes = 1 << 20;

std::string Trimmed(std::string_view text) {
  return std::string(TrimmedLine(text));
}

// The file's lines, CR LF or LF; none when it does not exist.
std::vector<std::string> Lines(const std::string& path, std::vector<std::string>& warnings) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0 && errno == ENOENT) return {};
  std::string content;
  try {
    InputFile file(path, FileKinds::kRegularOnly);
    char buffer[4096];
    while (const std::size_t got = file.ReadSome(buffer, sizeof buffer)) {
      content.append(buffer, got);
      if (content.size() > kMostConfigBytes) {
        warnings.push_back(path + ": longer than a settings file can be; not read");
        return {};
      }
    }
  } catch (const FileError& error) {
    warnings.push_back(error.what());
    return {};
  }
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < content.size()) {
    std::size_t end = content.find('\n', start);
    if (end == std::string::npos) end = content.size();
    lines.push_back(content.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

bool IsComment(const std::string& line) {
  return line.empty() || line[0] == '#' || line[0] == ';';
}

// "[name]" gives name; anything else nothing.
bool SectionOf(const std::string& line, std::string& section) {
  if (line.size() < 2 || line.front() != '[' || line.back() != ']') return false;
  section = Trimmed(std::string_view(line).substr(1, line.size() - 2));
  return true;
}

}  // namespace

bool ConfigRead::HasSection(const std::string& section) const {
  for (const std::string& seen : sections) {
    if (seen == section) return true;
  }
  return false;
}

std::vector<ConfigEntry> ConfigRead::Section(const std::string& section) const {
  std::vector<ConfigEntry> found;
  for (const ConfigEntry& entry : entries) {
    if (entry.section == section) found.push_back(entry);
  }
  return found;
}

ConfigRead ReadConfig(const std::string& path) {
  ConfigRead read;
  const std::vector<std::string> lines = Lines(path, read.warnings);
  std::string section;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::string line = Trimmed(lines[k]);
    const int number = static_cast<int>(k) + 1;
    if (IsComment(line)) continue;
    if (SectionOf(line, section)) {
      read.sections.push_back(section);
      continue;
    }
    const std::size_t equals = line.find('=');
    const std::string name = equals == std::string::npos ? "" : Trimmed(line.substr(0, equals));
    if (name.empty()) {
      read.warnings.push_back(path + ": line " + std::to_string(number) +
                              ": not NAME=VALUE: " + Quoted(line));
      continue;
    }
    read.entries.push_back({section, name, Trimmed(line.substr(equals + 1)), number});
  }
  return read;
}

void WriteConfigSection(const std::string& path, const std::string& section,
                        const std::vector<std::pair<std::string, std::string>>& entries) {
  std::vector<std::string> warnings;
  const std::vector<std::string> lines = Lines(path, warnings);
  std::string written;
  const auto writeSection = [&] {
    written += "[" + section + "]\n";
    for (const auto& [name, value] : entries) written += name + "=" + value + "\n";
  };
  bool inSection = false;
  bool done = false;
  for (const std::string& raw : lines) {
    std::string name;
    if (SectionOf(Trimmed(raw), name)) {
      inSection = name == section;
      if (inSection && !done) {
        writeSection();
        done = true;
      }
      if (inSection) continue;
    }
    // The section's old lines go; every other line stays as it was.
    if (!inSection) written += raw + "\n";
  }
  if (!done) {
    if (!written.empty() && written != "\n") written += "\n";
    writeSection();
  }
  WriteFileReplacing(path, written, FileKinds::kRegularOnly);
}

}  // namespace globeview
