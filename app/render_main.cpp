// globeview-render: draws the picture the window would show, without a window, for scripts and
// checks, and answers where a place lies on it and what lies at a pixel. Every step is the window's
// own code: the same settings file, validation, normalisation, projection and drawing. It links the
// core alone, so it starts in a few milliseconds and runs where no desktop is installed.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "data/coastline.h"
#include "data/field_file.h"
#include "data/locations.h"
#include "data/point_table.h"
#include "data/settings_file.h"
#include "output/png_writer.h"
#include "output/raster_surface.h"
#include "output/svg_writer.h"
#include "system/files.h"
#include "system/headless_desktop.h"
#include "system/numeric.h"
#include "view/drawing.h"
#include "view/geodesy.h"
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
constexpr const char* kVersion = GLOBEVIEW_VERSION;

constexpr double kMaxLatitude = 90.0;

// The usage text: its first line after any wrong option, the whole of it for --help.
constexpr const char* kUsageLine =
    "usage: globeview-render [--data FILE] [--lon TEXT] [--lat TEXT] [--mag TEXT] [--size WxH]\n"
    "                        [--to LON,LAT]... [--at X,Y]... [--positions FILE|-]\n"
    "                        [--out FILE.png|FILE.svg] [--help] [--version]\n";

constexpr const char* kHelp =
    "Draws the GlobeView map without a window, exactly as the window would on a screen of the\n"
    "given size, and says where places lie on it.\n"
    "\n"
    "  --data FILE        coastline file (default: data.dat, found as the window finds it)\n"
    "  --lon TEXT         centre longitude, as typed into the longitude field\n"
    "  --lat TEXT         centre latitude, as typed into the latitude field\n"
    "  --mag TEXT         magnification, as typed into the magnification field\n"
    "                     (values not given come from data2.dat, found as the window\n"
    "                     finds it; 0, 0, 1 when there is none)\n"
    "  --size WxH         screen size in pixels, 1 to 20000 each (default: 1920x1080);\n"
    "                     one pixel is 15 twips\n"
    "  --to LON,LAT       a place (degrees, east and north positive, latitude -90 to 90):\n"
    "                     its bearing and distance from the centre and its pixel\n"
    "  --at X,Y           a pixel (from the top left, fractions allowed): the place there,\n"
    "                     its bearing and distance from the centre; NA off the earth's disc\n"
    "                     (--to and --at may be repeated; they answer on standard output as\n"
    "                     CSV, header \"lon,lat,bearing,distance_km,x,y\", one line each in\n"
    "                     the order given; bearing in degrees clockwise from north,\n"
    "                     distance in km on a sphere of 6371 km)\n"
    "  --positions FILE|- CSV of the screen position of every point drawn, in twips: a\n"
    "                     header \"index,sx,sy\", then one line per point in entry order\n"
    "                     (entries from 1); - writes it to standard output (not together\n"
    "                     with --to or --at)\n"
    "  --out FILE         the picture: an SVG of vectors for print when the name ends in\n"
    "                     .svg, otherwise a PNG; either of the screen size in pixels\n"
    "  --help             this text\n"
    "  --version          the program's version\n"
    "\n"
    "With --to or --at and no --out, the places are answered without drawing and without\n"
    "the coastline file. With none of --out, --positions, --to and --at the view is only\n"
    "checked and projected, and a one-line summary goes to standard output. An existing\n"
    "output file is replaced only once the new one is complete.\n"
    "\n"
    "Exit status: 0 done; 1 the coastline file cannot be used or an output cannot be\n"
    "written; 2 a wrong option or value, or a view value that is not a number (the window's\n"
    "message for each such value on standard error, in field order).\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// What the command line asks for; a value not given keeps its default.
struct Options {
  std::string data;                          // --data; empty: found as the window finds it
  std::optional<std::string> lon, lat, mag;  // --lon, --lat, --mag: as typed into the fields
  int widthPixels = kDefaultWidthPixels;     // --size
  int heightPixels = kDefaultHeightPixels;
  std::optional<std::string> positions;  // --positions: a file, or "-" for standard output
  std::optional<std::string> out;        // --out: the picture
  std::vector<Query> queries;            // --to and --at, in command-line order
  bool help = false;                     // --help
  bool version = false;                  // --version
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

// Two numbers, by the fields' own numeric test, separated by one comma: "139.7,35.7".
std::optional<std::pair<double, double>> ParsePair(std::string_view text) {
  const auto comma = text.find(',');
  if (comma == std::string_view::npos) return std::nullopt;
  const auto first = ParseNumber(text.substr(0, comma));
  const auto second = ParseNumber(text.substr(comma + 1));
  if (!first || !second) return std::nullopt;
  return std::pair{*first, *second};
}

// --to: a place; any longitude, a latitude from -90 to 90.
Place ParsePlace(std::string_view text) {
  const auto pair = ParsePair(text);
  if (!pair) {
    throw UsageError("--to takes LON,LAT, two numbers in degrees, not \"" + std::string(text) +
                     "\"");
  }
  const auto [lon, lat] = *pair;
  if (lat < -kMaxLatitude || lat > kMaxLatitude) {
    throw UsageError("--to takes a latitude from -90 to 90, not \"" + std::string(text) + "\"");
  }
  return Place{lon, lat};
}

// --at: a pixel, anywhere; one off the earth's disc is answered with NA.
PixelPoint ParsePixel(std::string_view text) {
  const auto pair = ParsePair(text);
  if (!pair) {
    throw UsageError("--at takes X,Y, two numbers in pixels, not \"" + std::string(text) + "\"");
  }
  return PixelPoint{pair->first, pair->second};
}

// Throws UsageError for an option it does not know or a value it cannot take.
Options ParseOptions(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    std::string name = argv[i];
    std::optional<std::string> value;
    if (name == "--help" || name == "-h") {
      options.help = true;
      continue;
    }
    if (name == "--version") {
      options.version = true;
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
    } else if (name == "--to") {
      options.queries.push_back(ParsePlace(takeValue()));
    } else if (name == "--at") {
      options.queries.push_back(ParsePixel(takeValue()));
    } else {
      throw UsageError("unknown option \"" + name + "\"");
    }
  }
  if (options.positions == "-" && !options.queries.empty()) {
    throw UsageError("--positions - and --to or --at would both write CSV to standard output");
  }
  return options;
}

// Every error of the program's own goes through here, under the program's name.
void Fail(const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
}

// The window's picture on any surface of the view's size: the screen prepared as Start prepares
// it (the black background), then the globe.
void DrawPicture(PointTable& table, const PictureView& view, DrawingSurface& surface) {
  HeadlessDesktop desktop(view.screen.width, view.screen.height);
  PrepareScreen(desktop, surface);
  DrawGlobe(table, view, surface);
}

// A PNG of two bits per pixel: the picture holds only its three colours.
std::string PngPicture(PointTable& table, const PictureView& view) {
  PalettePicture picture(view.WidthPixels(), view.HeightPixels(), {kBackground, kCoastline, kGrid});
  RasterSurface surface(picture.Pixels(), view.twipsPerPixel);
  DrawPicture(table, view, surface);
  return EncodePng(picture);
}

// The same picture as vectors, for print.
std::string SvgPicture(PointTable& table, const PictureView& view) {
  SvgWriter svg(view.WidthPixels(), view.HeightPixels(), view.twipsPerPixel);
  DrawPicture(table, view, svg);
  return svg.Document();
}

bool IsSvgName(std::string_view path) {
  constexpr std::string_view kSvg = ".svg";
  return path.size() >= kSvg.size() &&
         std::equal(kSvg.begin(), kSvg.end(), path.end() - kSvg.size(), [](char want, char got) {
           return want == std::tolower(static_cast<unsigned char>(got));
         });
}

// The bytes of the picture file at `path`, in the kind its name asks for: a name ending in .svg
// (any case) gets an SVG, every other a PNG.
std::string PictureFile(const std::string& path, PointTable& table, const PictureView& view) {
  std::string bytes;
  try {
    bytes = IsSvgName(path) ? SvgPicture(table, view) : PngPicture(table, view);
  } catch (const std::bad_alloc&) {
    throw FileError("draw", path, "not enough memory for the picture");
  }
  if (bytes.empty()) throw FileError("write", path, "the picture could not be encoded as PNG");
  return bytes;
}

std::string PositionsCsv(const PointTable& table) {
  std::string csv = "index,sx,sy\n";
  csv.reserve(static_cast<std::size_t>(kPointCount) * 32);
  for (int i = 1; i <= kPointCount; ++i) {
    if (!table.IsUsable(i)) continue;
    csv += std::to_string(i);
    csv += ',';
    csv += FormatNumber(table.Sx()[i]);
    csv += ',';
    csv += FormatNumber(table.Sy()[i]);
    csv += '\n';
  }
  return csv;
}

void WriteStandardOutput(const std::string& text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size() || std::fflush(stdout) != 0) {
    throw FileError("write", "standard output", "the output was closed or is full");
  }
}

// Files are written beside the target and renamed over it only when complete, so a failed save
// never leaves a half-written file where the old one (or none) was.
void WritePositions(const std::string& csv, const std::string& target) {
  if (target == "-") {
    WriteStandardOutput(csv);
  } else {
    WriteFileReplacing(target, csv);
  }
}

void WriteSummary(const ViewValues& view, const PointTable& table) {
  int projected = 0;
  for (int i = 1; i <= kPointCount; ++i) projected += table.IsUsable(i) ? 1 : 0;
  std::cout << "longitude " << view.a1.ToText() << ", latitude " << view.b1.ToText()
            << ", magnification " << view.c1.ToText() << ": " << projected << " of " << kPointCount
            << " entries projected\n";
}

// The view as the window would hold it: what the settings file gives, under the values given here.
// A settings file that every value overrides is not looked at, so it cannot add a notice.
ViewValues ChosenView(const Options& options) {
  ViewValues view;
  if (!options.lon || !options.lat || !options.mag) {
    const SettingsRead settings = ReadSettings(FindFile(LocateFiles().settings));
    if (!settings.notice.empty()) std::cerr << settings.notice << '\n';
    view = ViewValues{settings.a1, settings.b1, settings.c1};
  }
  if (options.lon) view.a1 = FieldValue(*options.lon);
  if (options.lat) view.b1 = FieldValue(*options.lat);
  if (options.mag) view.c1 = FieldValue(*options.mag);
  return view;
}

// Places and pixels are answered from the view alone; everything else draws or projects the
// coastline.
bool NeedsCoastline(const Options& options) {
  return options.out || options.positions || options.queries.empty();
}

// Writes what was asked for: the picture, the positions, the answers to --to and --at, or else a
// one-line summary. `table` is the loaded coastline, none when NeedsCoastline said no. The answers
// come last, so standard output stays empty when a file fails. Throws FileError.
void WriteOutputs(const Options& options, const ViewValues& values, const PictureView& view,
                  PointTable* table) {
  if (options.out) {
    WriteFileReplacing(*options.out, PictureFile(*options.out, *table, view));
  } else if (table) {
    Project(*table, view.centre);
  }
  if (options.positions) {
    ComputeScreenPositions(*table, view);
    WritePositions(PositionsCsv(*table), *options.positions);
  }
  if (!options.queries.empty()) {
    WriteStandardOutput(QueryCsv(options.queries, view));
  } else if (!options.out && !options.positions) {
    WriteSummary(values, *table);
  }
}

// The window's order: the coastline first (when anything needs it), then the settings, then the
// check of the values; then the outputs. Returns the exit status.
int Run(const Options& options) {
  std::unique_ptr<PointTable> table;
  if (NeedsCoastline(options)) {
    table = std::make_unique<PointTable>();
    try {
      // Entries that cannot be drawn do not stop the picture; the user hears of them once.
      const std::string data =
          options.data.empty() ? FindFile(LocateFiles().coastline) : options.data;
      const LoadReport report = LoadCoastline(data, *table);
      if (!report.notice.empty()) std::cerr << report.notice << '\n';
    } catch (const FileError& error) {
      Fail(error.what());
      return kExitFileFailure;
    }
  }

  ViewValues view = ChosenView(options);
  // The window's own messages, as its message boxes would show them.
  const auto messages = Validate(view.a1.ToText(), view.b1.ToText(), view.c1.ToText());
  if (!messages.empty()) {
    for (const auto& message : messages) std::cerr << message << '\n';
    return kExitUsage;
  }
  if (!Normalise(view)) {
    Fail("the view values are not numbers");
    return kExitUsage;
  }
  const PictureView picture =
      PictureView::OfPixels({*view.a1.AsNumber(), *view.b1.AsNumber()}, *view.c1.AsNumber(),
                            options.widthPixels, options.heightPixels, kTwipsPerPixel);
  try {
    WriteOutputs(options, view, picture, table.get());
  } catch (const FileError& error) {
    Fail(error.what());
    return kExitFileFailure;
  }
  return kExitOk;
}

}  // namespace
}  // namespace globeview

int main(int argc, char** argv) {
  using namespace globeview;
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
  if (options.version) {
    std::cout << kProgram << ' ' << kVersion << '\n';
    return kExitOk;
  }
  return Run(options);
}
