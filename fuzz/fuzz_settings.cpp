// The settings reader over any file, cut into the reads of a small file: its three values are the
// reference reader's first three fields, or else it falls back to 0, 0, 1 with a notice; and the
// three values saved read back as they were.

#include <string>

#include "data/settings_file.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  using fuzz::Check;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.size() > (1 << 18)) return 0;  // the reference has no length limit
  const fuzz::ReferenceRead expected = fuzz::ReadReference(bytes);
  const std::string path = fuzz::ScratchFile("data2.dat");
  fuzz::WriteBytes(path, bytes);
  const SettingsRead read = ReadSettings(path);
  if (expected.fields.size() >= 3) {
    Check(read.notice.empty(), "a notice for a good file: " + read.notice);
    Check(fuzz::Same(read.a1, expected.fields[0].value) &&
              fuzz::Same(read.b1, expected.fields[1].value) &&
              fuzz::Same(read.c1, expected.fields[2].value),
          "values other than the reference's");
  } else {
    Check(!read.notice.empty(), "no notice for a file without three values");
    Check(fuzz::Same(read.a1, 0.0) && fuzz::Same(read.b1, 0.0) && fuzz::Same(read.c1, 1.0),
          "the fallback is not 0, 0, 1");
  }
  const std::string saved = fuzz::ScratchFile("saved.dat");
  SaveSettings(saved, read.a1, read.b1, read.c1);
  const SettingsRead back = ReadSettings(saved);
  Check(back.notice.empty(), "a saved file read with a notice: " + back.notice);
  Check(
      fuzz::Same(back.a1, read.a1) && fuzz::Same(back.b1, read.b1) && fuzz::Same(back.c1, read.c1),
      "saved values read back changed");
  return 0;
}
