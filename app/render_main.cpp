// globeview-render: draws the picture the window would show, without a window, for scripts and
// checks. Every step is the window's own code: the same settings file, validation, normalisation,
// projection and drawing.

#include <QImage>
#include <QString>
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

#include "data/coastline.h"
#include "data/field_file.h"
#include "data/point_table.h"
#include "data/settings_file.h"
#include "system/files.h"
#include "system/headless_desktop.h"
#include "platform/image_surface.h"
#include "platform/png_file.h"
#include "view/drawing.h"
#include "view/projection.h"
#include "view/view_values.h"

namespace globeview {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFileFailure = 1;  // the coastline cannot be used or an output cannot be written
constexpr int kExitUsage = 2;        // a wrong option, or a view value that is not a number

constexpr double kTwipsPerPixel = kTwipsPerPixelAt96Dpi;
constexpr int kDefaultWidthPixels = 1920;
constexpr int kDefaultHeightPixels = 1080;
// Beyond this a picture is a typing mistake rather than a screen (and gigabytes of memory).
constexpr int kMaxSidePixels = 20000;

constexpr const char* kProgram = "globeview-render";

constexpr const char* kUsageLine =
    "usage: globeview-render [--data FILE] [--lon TEXT] [--lat TEXT] [--mag TEXT] [--size WxH]\n"
    "                        [--positions FILE|-] [--out FILE.png]\n";

constexpr const char* kHelp =
    "Draws the GlobeView map without a window, exactly as the window would on a screen of the\n"
    "given size.\n"
    "\n"
    "  --data FILE        coastline file (default: data.dat in the current directory)\n"
    "  --lon TEXT         centre longitude, as typed into the longitude field\n"
    "  --lat TEXT         centre latitude, as typed into the latitude field\n"
    "  --mag TEXT         magnification, as typed into the magnification field\n"
    "                     (values not given come from data2.dat in the current directory,\n"
    "                     as the window reads it; 0, 0, 1 when there is none)\n"
    "  --size WxH         screen size in pixels, 1 to 20000 each (default: 1920x1080);\n"
    "                     one pixel is 15 twips\n"
    "  --positions FILE|- CSV of the screen position of every point drawn, in twips: a\n"
    "                     header \"index,sx,sy\", then one line per point in entry order\n"
    "                     (entries from 1); - writes it to standard output\n"
    "  --out FILE.png     the picture, as a PNG of the screen size\n"
    "  --help             this text\n"
    "\n"
    "With neither --out nor --positions the view is only checked and projected, and a\n"
    "one-line summary goes to standard output. An existing output file is replaced only\n"
    "once the new one is complete.\n"
    "\n"
    "Exit status: 0 done; 1 the coastline file cannot be used or an output cannot be\n"
    "written; 2 a wrong option, or a view value that is not a number (the window's message\n"
    "for each such value on standard error, in field order).\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct Options {
  std::string data = kCoastlineFile;
  std::optional<std::string> lon, lat, mag;
  int widthPixels = kDefaultWidthPixels;
  int heightPixels = kDefaultHeightPixels;
  std::optional<std::string> positions;
  std::optional<std::string> out;
  bool help = false;
};

// One side of --size: plain decimal digits, 1 to kMaxSidePixels.
std::optional<int> ParseSide(std::string_view text) {
  if (text.empty() || text.size() > 5) return std::nullopt;
  int value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
  }
  if (value < 1 || value > kMaxSidePixels) return std::nullopt;
  return value;
}

void ParseSize(std::string_view text, Options& options) {
  const auto cross = text.find_first_of("xX");
  const auto fail = [&] {
    return UsageError("--size takes WIDTHxHEIGHT in pixels, each 1 to " +
                      std::to_string(kMaxSidePixels) + ", not \"" + std::string(text) + "\"");
  };
  if (cross == std::string_view::npos) throw fail();
  const auto width = ParseSide(text.substr(0, cross));
  const auto height = ParseSide(text.substr(cross + 1));
  if (!width || !height) throw fail();
  options.widthPixels = *width;
  options.heightPixels = *height;
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::optional<std::string> value;
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    // Both "--lon 12" and "--lon=12"; the separate form takes the next argument whatever it is,
    // so a negative longitude needs no quoting tricks.
    if (const auto equals = name.find('=');
        name.rfind("--", 0) == 0 && equals != std::string::npos) {
      value = name.substr(equals + 1);
      name.resize(equals);
    }
    const auto takeValue = [&]() -> std::string {
      if (value) return *value;
      if (i + 1 >= argc) throw UsageError(name + " needs a value");
      return argv[++i];
    };
    const auto takeFileName = [&]() -> std::string {
      std::string file = takeValue();
      if (file.empty()) throw UsageError(name + " needs a file name");
      return file;
    };
    if (name == "--data") {
      options.data = takeFileName();
    } else if (name == "--lon") {
      options.lon = takeValue();
    } else if (name == "--lat") {
      options.lat = takeValue();
    } else if (name == "--mag") {
      options.mag = takeValue();
    } else if (name == "--size") {
      ParseSize(takeValue(), options);
    } else if (name == "--positions") {
      options.positions = takeFileName();
    } else if (name == "--out") {
      options.out = takeFileName();
    } else {
      throw UsageError("unknown option \"" + name + "\"");
    }
  }
  return options;
}

void Fail(const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
}

std::string PositionsCsv(const PointTable& table) {
  std::string csv = "index,sx,sy\n";
  csv.reserve(static_cast<std::size_t>(kPointCount) * 32);
  for (int i = 1; i <= kPointCount; ++i) {
    if (!table.IsUsable(i)) continue;
    csv += std::to_string(i);
    csv += ',';
    csv += FormatNumber(table.sx[i]);
    csv += ',';
    csv += FormatNumber(table.sy[i]);
    csv += '\n';
  }
  return csv;
}

// Written beside the target and renamed over it only when complete, so a failed save never leaves
// a half-written PNG where the old one (or none) was.
void WritePng(const QImage& image, const std::string& path) {
  const QByteArray png = EncodePng(image);
  if (png.isEmpty()) throw FileError("write", path, "the picture could not be encoded as PNG");
  WriteFileReplacing(path, std::string(png.constData(), static_cast<std::size_t>(png.size())));
}

void WritePositions(const std::string& csv, const std::string& target) {
  if (target != "-") {
    WriteFileReplacing(target, csv);
    return;
  }
  if (std::fwrite(csv.data(), 1, csv.size(), stdout) != csv.size() || std::fflush(stdout) != 0) {
    throw FileError("write", "standard output", "the output was closed or is full");
  }
}

int Run(int argc, char** argv) {
  Options options;
  try {
    options = ParseOptions(argc, argv);
  } catch (const UsageError& error) {
    Fail(error.what());
    std::cerr << kUsageLine;
    return kExitUsage;
  }
  if (options.help) {
    std::cout << kUsageLine << '\n' << kHelp;
    return kExitOk;
  }

  // The window's order: the coastline first, then the settings, then the check of the values.
  auto table = std::make_unique<PointTable>();
  try {
    // Entries that cannot be drawn do not stop the picture; the user hears of them once.
    const LoadReport report = LoadCoastline(options.data, *table);
    if (!report.notice.empty()) std::cerr << report.notice << '\n';
  } catch (const FileError& error) {
    Fail(error.what());
    return kExitFileFailure;
  }

  // A settings file that every value overrides is not looked at, so it cannot add a notice.
  ViewValues view;
  if (!options.lon || !options.lat || !options.mag) {
    const SettingsRead settings = ReadSettings(kSettingsFile);
    if (!settings.notice.empty()) std::cerr << settings.notice << '\n';
    view = ViewValues{settings.a1, settings.b1, settings.c1};
  }
  if (options.lon) view.a1 = FieldValue(*options.lon);
  if (options.lat) view.b1 = FieldValue(*options.lat);
  if (options.mag) view.c1 = FieldValue(*options.mag);

  const auto messages = Validate(view.a1.ToText(), view.b1.ToText(), view.c1.ToText());
  if (!messages.empty()) {
    for (const auto& message : messages) std::cerr << message << '\n';
    return kExitUsage;
  }
  if (!Normalise(view)) {
    Fail("the view values are not numbers");
    return kExitUsage;
  }
  const double a1 = *view.a1.AsNumber();
  const double b1 = *view.b1.AsNumber();
  const double c1 = *view.c1.AsNumber();

  const double width = options.widthPixels * kTwipsPerPixel;
  const double height = options.heightPixels * kTwipsPerPixel;
  try {
    if (options.out) {
      QImage image(options.widthPixels, options.heightPixels, QImage::Format_RGB32);
      if (image.isNull()) {
        throw FileError("draw", *options.out, "not enough memory for the picture");
      }
      HeadlessDesktop desktop(width, height);
      {
        ImageSurface surface(image, kTwipsPerPixel);
        const ScreenSize screen = PrepareScreen(desktop, surface);
        Project(*table, a1, b1);
        DrawPicture(*table, c1, screen, surface, desktop);
        surface.Flush();
      }
      WritePng(image, *options.out);
    } else {
      Project(*table, a1, b1);
    }

    if (options.positions) {
      ComputeScreenPositions(*table, c1, width, height);
      WritePositions(PositionsCsv(*table), *options.positions);
    }
  } catch (const FileError& error) {
    Fail(error.what());
    return kExitFileFailure;
  }

  if (!options.out && !options.positions) {
    int projected = 0;
    for (int i = 1; i <= kPointCount; ++i) projected += table->IsUsable(i) ? 1 : 0;
    std::cout << "longitude " << view.a1.ToText() << ", latitude " << view.b1.ToText()
              << ", magnification " << view.c1.ToText() << ": " << projected << " of "
              << kPointCount << " entries projected\n";
  }
  return kExitOk;
}

}  // namespace
}  // namespace globeview

int main(int argc, char** argv) {
  return globeview::Run(argc, argv);
}
