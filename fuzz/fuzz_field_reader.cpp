// The field reader against the plain reference reader, over the bytes in memory and over a file
// read in pieces of a size the input chooses, taking plain numbers with NextPlainNumber where the
// input says: every way gives the same fields, lines and error.

#include <string>

#include "data/field_file.h"
#include "fuzz_support.h"
#include "system/files.h"

namespace globeview::fuzz {
namespace {

std::string Describe(const FieldValue& v) {
  return v.IsNumber() ? "number " + FormatNumber(v.Number()) : "text \"" + v.Text() + "\"";
}

// Reads everything, asking NextPlainNumber first where bit k of `plain` is set for field k.
void Compare(FieldReader& reader, const ReferenceRead& expected, std::uint32_t plain) {
  std::size_t k = 0;
  try {
    for (;; ++k) {
      std::optional<FieldValue> got;
      double number = 0;
      if ((plain >> (k % 32)) & 1) {
        if (reader.NextPlainNumber(number)) got = FieldValue(number);
      }
      if (!got) got = reader.Next();
      if (!got) break;
      Check(k < expected.fields.size(), "a field past the reference's: " + Describe(*got));
      const ReferenceField& want = expected.fields[k];
      Check(Same(*got, want.value),
            "field " + std::to_string(k) + ": " + Describe(*got) + ", not " + Describe(want.value));
      Check(reader.Line() == want.line, "field " + std::to_string(k) + " on line " +
                                            std::to_string(reader.Line()) + ", not " +
                                            std::to_string(want.line));
    }
    Check(expected.error.empty(), "no error, where the reference has " + expected.error);
    Check(k == expected.fields.size(), "fewer fields than the reference");
  } catch (const FileError& e) {
    Check(e.reason() == expected.error, "error " + e.reason() + ", not '" + expected.error + "'");
    Check(e.line() == expected.errorLine, "error on line " + std::to_string(e.line()));
    Check(k == expected.fields.size(), "an error before the reference's");
  }
}

}  // namespace
}  // namespace globeview::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace globeview;
  fuzz::Input input(data, size);
  const std::size_t piece = 1 + input.Take<std::uint8_t>() % 64;
  const auto plain = input.Take<std::uint32_t>();
  const std::string_view bytes = input.Rest();
  if (bytes.size() > FieldReader::kMaxFieldLength / 4) return 0;  // the reference has no limit
  const fuzz::ReferenceRead expected = fuzz::ReadReference(bytes);
  {
    FieldReader reader(bytes, "t.dat");
    fuzz::Compare(reader, expected, plain);
  }
  const std::string path = fuzz::ScratchFile("t.dat");
  fuzz::WriteBytes(path, bytes);
  InputFile file(path);
  FieldReader reader(file, piece);
  fuzz::Compare(reader, expected, ~plain);
  return 0;
}
