// globeview-render: draws the picture the window would show, without a window, for scripts and
// checks, and answers where a place lies on it and what lies at a pixel. Every step is the window's
// own code: the same settings file, validation, normalisation, projection and drawing. It links the
// core alone, so it starts in a few milliseconds and runs where no desktop is installed.

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
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
#include "data/places.h"
#include "data/point_table.h"
#include "data/settings_file.h"
#include "export/picture_file.h"
#include "render/greyline.h"
#include "render/place_lines.h"
#include "render/standard_output.h"
#include "system/angles.h"
#include "system/error_report.h"
#include "system/files.h"
#include "system/numeric.h"
#include "system/text_font.h"
#include "system/utc_time.h"
#include "view/antenna_layer.h"
#include "view/drawing.h"
#include "view/geodesy.h"
#include "view/layer_choice.h"
#include "view/projection.h"
#include "view/readout.h"
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

// The usage text: its first line after any wrong option, the whole of it for --help.
constexpr const char* kUsageLine =
    "usage: globeview-render [--data FILE|-] [--lon TEXT] [--lat TEXT] [--mag TEXT] [--size WxH]\n"
    "                        [--to LON,LAT|LOCATOR|-]... [--at X,Y|-]...\n"
    "                        [--positions FILE|-] [--out FILE.png|FILE.svg|FILE.pdf|-]\n"
    "                        [--format png|svg|pdf] [--target LON,LAT|LOCATOR]\n"
    "                        [--paper A4|A3|A2|A1|A0|letter|tabloid] [--landscape]\n"
    "                        [--title TEXT] [--colors print|screen]\n"
    "                        [--greyline-windows [--days N]] [--time TIME]\n"
    "                        [--beam BEARING[,WIDTH]] [--layers NAME,...] [--help]\n"
    "                        [--version]\n";

constexpr const char* kHelp =
    "Draws the GlobeView map without a window, exactly as the window would on a screen of the\n"
    "given size, and says where places lie on it.\n"
    "\n"
    "  --data FILE|-      coastline file (default: data.dat, found as the window finds it);\n"
    "                     - reads it from standard input\n"
    "  --lon TEXT         centre longitude, as typed into the longitude field\n"
    "  --lat TEXT         centre latitude, as typed into the latitude field\n"
    "  --mag TEXT         magnification, as typed into the magnification field\n"
    "                     (values not given come from data2.dat, found as the window\n"
    "                     finds it; 0, 0, 1 when there is none)\n"
    "  --size WxH         screen size in pixels, 1 to 20000 each (default: 1920x1080);\n"
    "                     one pixel is 15 twips\n"
    "  --to LON,LAT       a place (degrees, east and north positive, latitude -90 to 90):\n"
    "                     its bearing and distance from the centre and its pixel\n"
    "  --to LOCATOR       a place as a Maidenhead grid locator of 4, 6 or 8 characters in\n"
    "                     any case (PM95, pm95uq, JO62qm47): the centre of that square\n"
    "  --at X,Y           a pixel (from the top left, fractions allowed): the place there,\n"
    "                     its bearing and distance from the centre; NA off the earth's disc\n"
    "                     (--to and --at may be repeated; they answer on standard output as\n"
    "                     CSV, header \"lon,lat,bearing,distance_km,x,y,long_bearing,\n"
    "                     long_distance_km,locator\", one line each in the order given;\n"
    "                     bearing in degrees clockwise from north, distance in km on a\n"
    "                     sphere of 6371 km; long_bearing and long_distance_km the long\n"
    "                     path, the other way round the same great circle (bearing + 180,\n"
    "                     40,030 km less the distance); locator the place's 6-character\n"
    "                     Maidenhead locator; every column but x and y NA off the disc)\n"
    "  --to -, --at -     places (or pixels) from standard input, one a line: \"LON LAT\" or\n"
    "                     \"LON,LAT\", or for a place a grid locator; blank lines and lines\n"
    "                     starting with # are skipped. Each line is answered as it arrives;\n"
    "                     a line that is neither, or is longer than 4096 bytes, is reported\n"
    "                     with its number and skipped, and the exit status is then 2\n"
    "  --positions FILE|- CSV of the screen position of every point drawn, in twips: a\n"
    "                     header \"index,sx,sy\", then one line per point in entry order\n"
    "                     (entries from 1); - writes it to standard output (not together\n"
    "                     with --to or --at)\n"
    "  --out FILE|-       the picture, of the screen size in pixels: a PNG for a name ending\n"
    "                     in .png, an SVG of vectors for print for .svg, a PDF page of\n"
    "                     paper for .pdf (any case); - writes it to standard output (a PNG\n"
    "                     unless --format says otherwise; not together with --positions -,\n"
    "                     --to or --at)\n"
    "  --format png|svg|pdf  the picture's format, whatever the name of --out\n"
    "  --paper NAME       the PDF's sheet: A4 (the default), A3, A2, A1, A0, letter or\n"
    "                     tabloid. The whole disc fills the shorter side inside a 10 mm\n"
    "                     margin, centred (with --mag above 1 the sheet's edge cuts it);\n"
    "                     under it the centre, the date (--time), the projection, the\n"
    "                     sphere, the scale and a scale bar in km. --size is not used\n"
    "  --landscape        the PDF's sheet turned, its long side across\n"
    "  --title TEXT       the PDF's first line, in place of the centre's longitude,\n"
    "                     latitude and locator\n"
    "  --colors print|screen  the PDF black on white (print, the default) or in the\n"
    "                     screen's colours\n"
    "                     (--paper, --landscape, --title and --colors need a PDF picture)\n"
    "  --target LON,LAT   a target, or --target LOCATOR: drawn on --out as the window draws\n"
    "                     it, in yellow a ring around it and the short path straight from\n"
    "                     the middle to it, in orange the long path, from the middle away\n"
    "                     from it to the 180-degree ring and from the ring beyond it back\n"
    "                     to it (needs --out or --greyline-windows)\n"
    "  --beam BEARING[,WIDTH] an antenna's beam, drawn on --out as the window draws the\n"
    "                     rotator's: a needle from the middle to the 180-degree ring at\n"
    "                     BEARING (degrees clockwise from north, 0 to 360) and the beam's\n"
    "                     edges, WIDTH degrees apart (0 to 360, default 60), as two\n"
    "                     fainter lines (needs --out)\n"
    "  --greyline-windows the times the centre and the target (--target) both have the sun\n"
    "                     between 6 degrees below the horizon and 1 above, one a line on\n"
    "                     standard output: start, end (UTC, to the minute) and length in\n"
    "                     minutes, \"2026-12-21T07:58Z 2026-12-21T08:31Z 33\"; a time already\n"
    "                     open at --time starts there; one shorter than a minute is left\n"
    "                     out. Needs no coastline; goes with none of --out, --positions,\n"
    "                     --to and --at\n"
    "  --days N           the days --greyline-windows looks ahead, 1 to 366 (default: 7)\n"
    "  --time TIME        the moment, UTC: 2026-12-21T12:00Z, 2026-12-21T12:00:30Z, from\n"
    "                     1900 to 2100, or now (the default); the moment of the grey line\n"
    "                     and of the night layer (--layers ...,night: the disc shaded\n"
    "                     where the sun is below the horizon, by civil, nautical and\n"
    "                     astronomical twilight, the terminator in orange and the point\n"
    "                     under the sun ringed in yellow; the same time, the same bytes)\n"
    "  --layers NAME,...  the map's layers, any of night, coast, rings, cross, borders,\n"
    "                     names, cities, bearings, grid, in any order; drawn in the map's own\n"
    "                     order (night, borders, coast, grid, rings, cross, bearings, cities,\n"
    "                     names) with the target over them (default: coast,rings,cross).\n"
    "                     borders, names and cities read borders.dat, countries.dat and\n"
    "                     cities.dat, found as data.dat is (status 1 when one cannot be\n"
    "                     used)\n"
    "  --help             this text\n"
    "  --version          the program's version\n"
    "\n"
    "With --to or --at and no --out, the places are answered without drawing and without\n"
    "the coastline file. With none of --out, --positions, --to and --at the view is only\n"
    "checked and projected, and a one-line summary goes to standard output. An existing\n"
    "output file is replaced only once the new one is complete. A file named is a regular\n"
    "file, never a pipe or a device: - is the way to standard input or output.\n"
    "\n"
    "Exit status: 0 done; 1 the coastline file cannot be used, an output cannot be written\n"
    "or memory ran out; 2 a wrong option or value, a view value that is not a number (the\n"
    "window's message for each such value on standard error, in field order, after where the\n"
    "value came from), or a line of standard input that is not a place or pixel.\n";

class UsageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Memory ran out while making `what`: "the picture".
struct OutOfMemory {
  const char* what;
};

// Runs `make`, turning a failed allocation into OutOfMemory for `what`.
template <typename Make>
auto Making(const char* what, Make make) {
  try {
    return make();
  } catch (const std::bad_alloc&) {
    throw OutOfMemory{what};
  }
}

// The lines of standard input asked about, and where among the command line's queries their
// answers go.
struct StandardInputQueries {
  render::LineKind kind = render::LineKind::kPlace;
  std::size_t before = 0;  // the index in Options::queries the lines' answers come before
};

// What the command line asks for; a value not given keeps its default.
struct Options {
  std::string data;                          // --data; empty: found as the window finds it
  std::optional<std::string> lon, lat, mag;  // --lon, --lat, --mag: as typed into the fields
  int widthPixels = kDefaultWidthPixels;     // --size
  int heightPixels = kDefaultHeightPixels;
  std::optional<std::string> positions;          // --positions: a file, or "-" for standard output
  std::optional<std::string> out;                // --out: a file, or "-" for standard output
  PictureFormat format = PictureFormat::kPng;    // --format, else from the name of --out
  std::vector<Query> queries;                    // --to and --at, in command-line order
  std::optional<StandardInputQueries> input;     // --to - or --at -
  std::optional<Place> target;                   // --target: drawn with its paths on --out
  std::string targetText;                        // --target as given
  bool greylineWindows = false;                  // --greyline-windows
  std::optional<int> days;                       // --days: of --greyline-windows
  std::optional<UtcTime> time;                   // --time; none: now
  LayerChoice layers = LayerChoice::Designed();  // --layers
  PaperOptions paper;                            // --paper, --landscape, --title, --colors
  std::string paperOption;                       // the first of those, as given
  bool help = false;                             // --help
  bool version = false;                          // --version
  // --beam: an antenna's bearing and beam width, drawn on --out.
  std::optional<std::pair<double, double>> beam;
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
                      std::to_string(kMaxSidePixels) + ", not " + Quoted(text));
  };
  if (cross == std::string_view::npos) throw fail();
  const auto width = ParseSide(text.substr(0, cross));
  const auto height = ParseSide(text.substr(cross + 1));
  if (!width || !height) throw fail();
  options.widthPixels = *width;
  options.heightPixels = *height;
}

// --to, --target or --at (`name`): a place or a pixel, read as a line of standard input is, so
// the two say the same of the same text.
Query ParseQuery(const std::string& name, std::string_view text, render::LineKind kind) {
  const render::ParsedLine parsed = render::ParseLine(text, kind);
  if (parsed.is == render::ParsedLine::Is::kQuery) return parsed.query;
  const std::string given = ", not " + Quoted(text);
  if (kind == render::LineKind::kPixel) {
    throw UsageError(name + " takes X,Y, two numbers in pixels" + given);
  }
  if (parsed.why == render::kLatitudeOutOfRange) {
    throw UsageError(name + " takes a latitude from -90 to 90" + given);
  }
  throw UsageError(name +
                   " takes LON,LAT, two numbers in degrees, or a grid locator of 4, 6 or 8 "
                   "characters" +
                   given);
}

Place ParsePlace(const std::string& name, std::string_view text) {
  return std::get<Place>(ParseQuery(name, text, render::LineKind::kPlace));
}

PictureFormat ParseFormat(std::string_view text) {
  if (text == "png") return PictureFormat::kPng;
  if (text == "svg") return PictureFormat::kSvg;
  if (text == "pdf") return PictureFormat::kPdf;
  throw UsageError("--format takes png, svg or pdf, not " + Quoted(text));
}

// --paper, --landscape (`text` none), --title or --colors.
void ParsePaperOption(const std::string& name, const std::optional<std::string>& text,
                      Options& options) {
  if (options.paperOption.empty()) options.paperOption = text ? name + ' ' + *text : name;
  if (name == "--landscape") {
    if (text) throw UsageError(name + " takes no value");
    options.paper.landscape = true;
  } else if (name == "--title") {
    options.paper.title = *text;
  } else if (name == "--colors") {
    if (*text != "print" && *text != "screen") {
      throw UsageError("--colors takes print or screen, not " + Quoted(*text));
    }
    options.paper.screenColours = *text == "screen";
  } else if (const std::optional<Paper> paper = PaperNamed(*text)) {
    options.paper.paper = *paper;
  } else {
    throw UsageError("--paper takes A4, A3, A2, A1, A0, letter or tabloid, not " + Quoted(*text));
  }
}

// --to or --at: one place or pixel, or "-" for those of standard input's lines.
void AddQuery(const std::string& name, const std::string& text, Options& options) {
  const bool place = name == "--to";
  if (text != "-") {
    options.queries.push_back(
        ParseQuery(name, text, place ? render::LineKind::kPlace : render::LineKind::kPixel));
  } else if (options.input) {
    throw UsageError(name + " -: standard input is read only once");
  } else {
    options.input = StandardInputQueries{
        place ? render::LineKind::kPlace : render::LineKind::kPixel, options.queries.size()};
  }
}

// --beam BEARING[,WIDTH]: degrees, each 0 to 360.
std::pair<double, double> ParseBeam(const std::string& text) {
  const auto comma = text.find(',');
  const std::optional<double> bearing = ParseNumber(text.substr(0, comma));
  const std::optional<double> width =
      comma == std::string::npos ? kDefaultBeamWidth : ParseNumber(text.substr(comma + 1));
  const auto inTurn = [](std::optional<double> degrees) {
    return degrees && *degrees >= 0 && *degrees <= kDegreesPerTurn;
  };
  if (!inTurn(bearing) || !inTurn(width)) {
    throw UsageError("--beam takes BEARING[,WIDTH] in degrees, each 0 to 360, not \"" + text +
                     "\"");
  }
  return {*bearing, *width};
}

// Standard output takes one stream, and a picture's format is never a guess: a name that says
// neither .png nor .svg needs --format.
void CheckOutputs(Options& options, std::optional<PictureFormat> format) {
  const bool answers = !options.queries.empty() || options.input;
  if (options.data == "-" && options.input) {
    throw UsageError("--data - and --to or --at - would both read standard input");
  }
  if (options.positions == "-" && answers) {
    throw UsageError("--positions - and --to or --at would both write CSV to standard output");
  }
  if (options.out == "-" && (options.positions == "-" || answers)) {
    throw UsageError("--out - and " + std::string(answers ? "--to or --at" : "--positions -") +
                     " would both write to standard output");
  }
  if (options.greylineWindows && (!options.target || options.out || options.positions || answers)) {
    throw UsageError(options.target ? "--greyline-windows goes with none of --out, --positions, "
                                      "--to and --at"
                                    : "--greyline-windows needs --target");
  }
  if (options.days && !options.greylineWindows) {
    throw UsageError("--days " + std::to_string(*options.days) + " needs --greyline-windows");
  }
  if (options.beam && !options.out) {
    throw UsageError("--beam: a beam is drawn on the picture, and there is no --out");
  }
  if (options.target && !options.out && !options.greylineWindows) {
    throw UsageError("--target " + Printable(options.targetText) +
                     ": a target is drawn on the picture, and " + "there is no --out");
  }
  if (!options.out) {
    if (!options.paperOption.empty()) {
      throw UsageError(options.paperOption + ": paper is for a PDF picture, and there is no --out");
    }
    return;
  }
  if (!format && *options.out != "-") format = FormatOfName(*options.out);
  if (!format && *options.out != "-") {
    throw UsageError(Printable(*options.out) +
                     ": cannot tell the format; use .png, .svg or .pdf, or --format");
  }
  options.format = format.value_or(PictureFormat::kPng);
  if (!options.paperOption.empty() && options.format != PictureFormat::kPdf) {
    throw UsageError(options.paperOption + ": paper is for a PDF picture (--out FILE.pdf)");
  }
}

// Throws UsageError for an option it does not know or a value it cannot take.
// --days, --layers, --time, --beam or --target with its value.
void ParseMapOption(const std::string& name, const std::string& text, Options& options) {
  if (name == "--days") {
    options.days = render::ParseDays(text);
    if (!options.days) {
      throw UsageError("--days takes a whole number of days from 1 to " +
                       std::to_string(render::kMostGreylineDays) + ", not " + Quoted(text));
    }
  } else if (name == "--layers") {
    const ParsedLayers parsed = ParseLayerList(text);
    if (parsed.unknown) {
      throw UsageError("--layers " + Quoted(text) + ": " + Quoted(*parsed.unknown) +
                       " is not a layer; the layers are night, borders, coast, grid, rings, " +
                       "cross, bearings, cities, names");
    }
    options.layers = parsed.choice;
  } else if (name == "--time") {
    options.time = ParseUtcTime(text);
    if (!options.time) {
      throw UsageError(
          "--time takes a UTC time such as 2026-12-21T12:00Z or 2026-12-21T12:00:30Z from 1900 "
          "to 2100, or now, not " +
          Quoted(text));
    }
  } else if (name == "--beam") {
    options.beam = ParseBeam(text);
  } else {
    options.targetText = text;
    options.target = ParsePlace(name, options.targetText);
  }
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  std::optional<PictureFormat> format;
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
    } else if (name == "--format") {
      format = ParseFormat(takeValue());
    } else if (name == "--paper" || name == "--landscape" || name == "--title" ||
               name == "--colors") {
      ParsePaperOption(name, name == "--landscape" ? value : takeValue(), options);
    } else if (name == "--to" || name == "--at") {
      AddQuery(name, takeValue(), options);
    } else if (name == "--greyline-windows") {
      if (value) throw UsageError(name + " takes no value");
      options.greylineWindows = true;
    } else if (name == "--days" || name == "--layers" || name == "--time" || name == "--beam" ||
               name == "--target") {
      ParseMapOption(name, takeValue(), options);
    } else {
      throw UsageError("unknown option " + Quoted(name));
    }
  }
  CheckOutputs(options, format);
  return options;
}

// Every error of the program's own goes through here, under the program's name.
void Fail(const std::string& message) {
  std::cerr << kProgram << ": " << message << '\n';
}

// The layers of the map globeview-render draws: those of --layers, and the target.
MapLayers RenderLayers(const Options& options, PointTable& table, const PictureView& view,
                       const MapPlaces& places) {
  MapContent content;
  places.Into(content);
  content.coastline = &table;
  content.time = options.time.value_or(UtcNow());
  MapLayers layers = BuildMap(options.layers, content, view);
  if (options.beam) {
    layers.push_back(std::make_unique<AntennaLayer>(options.beam->first, options.beam->second));
  }
  return layers;
}

// The bytes of the picture file at `path` in `format`.
std::string PictureFile(const Options& options, PointTable& table, const PictureView& view,
                        const MapPlaces& places) {
  const std::string& path = *options.out;
  PaperOptions paper = options.paper;
  paper.time = options.time.value_or(UtcNow());
  std::string bytes;
  try {
    bytes = Making("the picture", [&] {
      return PictureFileBytes(RenderLayers(options, table, view, places), view, options.format,
                              paper);
    });
  } catch (const FontError& error) {
    throw FileError("write", path, error.what());
  }
  if (bytes.empty()) {
    throw FileError("write", path,
                    options.format == PictureFormat::kPdf
                        ? "the PDF could not be made"
                        : "the picture could not be encoded as PNG");
  }
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

// Files are written beside the target and renamed over it only when complete, so a failed save
// never leaves a half-written file where the old one (or none) was. "-" is standard output.
void WriteOutput(const std::string& target, std::string_view bytes) {
  if (target == "-") {
    render::WriteStandardOutput(bytes);
  } else {
    WriteFileReplacing(target, bytes, FileKinds::kRegularOnly);
  }
}

void WriteSummary(const ViewValues& view, const PointTable& table) {
  int projected = 0;
  for (int i = 1; i <= kPointCount; ++i) projected += table.IsUsable(i) ? 1 : 0;
  render::WriteStandardOutput("longitude " + view.a1.ToText() + ", latitude " + view.b1.ToText() +
                              ", magnification " + view.c1.ToText() + ": " +
                              std::to_string(projected) + " of " + std::to_string(kPointCount) +
                              " entries projected\n");
}

// The answers to --to and --at, in command-line order, those of standard input's lines where they
// were asked for. Returns the exit status: a line that was not a place or pixel is a usage error.
int WriteAnswers(const Options& options, const PictureView& view) {
  render::StandardOutput out;
  const auto answer = [&](std::span<const Query> queries) {
    Making("the answers", [&] {
      for (const Query& query : queries) {
        AppendQueryRow(out.Pending(), query, view);
        out.Written();
      }
    });
  };
  out.Pending() = std::string(kQueryCsvHeader) + '\n';
  const std::span<const Query> all = options.queries;
  long bad = 0;
  if (options.input) {
    answer(all.first(options.input->before));
    bad = render::AnswerStandardInput(options.input->kind, view, out);
    answer(all.subspan(options.input->before));
  } else {
    answer(all);
  }
  out.Flush();
  return bad > 0 ? kExitUsage : kExitOk;
}

// The view as the window would hold it, and where each value came from: the option, or the
// settings file and the field ("data2.dat in /home/ann: longitude").
struct ChosenView {
  ViewValues values;
  std::string source[3];
};

// "data2.dat in /home/ann", as file errors name a file.
std::string FileAndFolder(const std::string& path) {
  std::error_code ignored;
  const std::filesystem::path absolute =
      std::filesystem::absolute(std::filesystem::path(path), ignored).lexically_normal();
  return Printable(absolute.filename().string()) + " in " +
         Printable(absolute.parent_path().string());
}

// What the settings file gives, under the values given here. A settings file that every value
// overrides is not looked at, so it cannot add a notice.
ChosenView ChooseView(const Options& options) {
  ChosenView view;
  if (!options.lon || !options.lat || !options.mag) {
    const std::string path = FindFile(LocateFiles().settings);
    const SettingsRead settings = ReadSettings(path);
    if (!settings.notice.empty()) std::cerr << settings.notice << '\n';
    view.values = ViewValues{settings.a1, settings.b1, settings.c1};
    const std::string file = FileAndFolder(path);
    view.source[0] = file + ": longitude";
    view.source[1] = file + ": latitude";
    view.source[2] = file + ": magnification";
  }
  const auto given = [](const std::optional<std::string>& value, const char* option,
                        FieldValue& field, std::string& source) {
    if (!value) return;
    field = FieldValue(*value);
    source = option;
  };
  given(options.lon, "--lon", view.values.a1, view.source[0]);
  given(options.lat, "--lat", view.values.b1, view.source[1]);
  given(options.mag, "--mag", view.values.c1, view.source[2]);
  return view;
}

// The window's own messages, as its message boxes would show them, one for each value that is not
// a number, after where the value came from. Returns whether there was none.
bool ValuesAreNumbers(const ChosenView& view) {
  const std::string texts[] = {view.values.a1.ToText(), view.values.b1.ToText(),
                               view.values.c1.ToText()};
  const auto messages = Validate(texts[0], texts[1], texts[2]);
  // The messages are in field order, one for each field that fails the numeric test.
  auto message = messages.begin();
  for (int field = 0; field < 3 && message != messages.end(); ++field) {
    if (!IsNumeric(texts[field])) Fail(view.source[field] + ": " + *message++);
  }
  return messages.empty();
}

bool AsksAnything(const Options& options) {
  return !options.queries.empty() || options.input;
}

// Places and pixels are answered from the view alone; everything else draws or projects the
// coastline.
bool NeedsCoastline(const Options& options) {
  if (options.greylineWindows) return false;
  return options.out || options.positions || !AsksAnything(options);
}

// Writes what was asked for: the picture, the positions, the answers to --to and --at, or else a
// one-line summary. `table` is the loaded coastline, none when NeedsCoastline said no. The answers
// come last, so standard output stays empty when a file fails. Returns the exit status. Throws
// FileError, StreamError and OutOfMemory.
int WriteOutputs(const Options& options, const ViewValues& values, const PictureView& view,
                 PointTable* table, const MapPlaces& places) {
  if (options.out) {
    WriteOutput(*options.out, PictureFile(options, *table, view, places));
  } else if (table) {
    Project(*table, view.centre);
  }
  if (options.positions) {
    ComputeScreenPositions(*table, view);
    WriteOutput(*options.positions, Making("the positions", [&] { return PositionsCsv(*table); }));
  }
  if (AsksAnything(options)) return WriteAnswers(options, view);
  if (!options.out && !options.positions) WriteSummary(values, *table);
  return kExitOk;
}

// The window's order: the coastline first (when anything needs it), then the settings, then the
// check of the values; then the outputs. Returns the exit status.
// The place files the chosen layers draw from, found as the coastline is. Throws FileError.
MapPlaces LoadPlaces(const LayerChoice& layers) {
  MapPlaces places;
  if (!NeedsPlaces(layers)) return places;
  const FileLocations files = LocateFiles();
  if (layers.Has(LayerName::kBorders)) {
    places.borders = PrepareLines(LoadBorders(FindFile(files.borders)));
  }
  if (layers.Has(LayerName::kNames))
    places.countries = LoadCountryLabels(FindFile(files.countries));
  if (layers.Has(LayerName::kCities)) places.cities = LoadCities(FindFile(files.cities));
  return places;
}

int Run(const Options& options) {
  std::unique_ptr<PointTable> table;
  if (NeedsCoastline(options)) {
    table = Making("the coastline table", [] { return std::make_unique<PointTable>(); });
    try {
      // Entries that cannot be drawn do not stop the picture; the user hears of them once.
      // A stream only where the user asked for one: "-", standard input.
      const bool input = options.data == "-";
      const std::string data = options.data.empty() ? FindFile(LocateFiles().coastline)
                               : input              ? "/dev/stdin"
                                                    : options.data;
      const LoadReport report = Making("the coastline table", [&] {
        return LoadCoastline(data, *table,
                             input ? FileKinds::kStreamsToo : FileKinds::kRegularOnly);
      });
      if (!report.notice.empty()) std::cerr << report.notice << '\n';
    } catch (const FileError& error) {
      Fail(error.what());
      return kExitFileFailure;
    }
  }
  MapPlaces places;
  try {
    if (options.out) places = LoadPlaces(options.layers);
  } catch (const FileError& error) {
    Fail(error.what());
    return kExitFileFailure;
  }

  const ChosenView chosen = ChooseView(options);
  if (!ValuesAreNumbers(chosen)) return kExitUsage;
  ViewValues view = chosen.values;
  if (!Normalise(view)) {
    Fail("the view values are not numbers");
    return kExitUsage;
  }
  PictureView picture =
      PictureView::OfPixels({*view.a1.AsNumber(), *view.b1.AsNumber()}, *view.c1.AsNumber(),
                            options.widthPixels, options.heightPixels, kTwipsPerPixel);
  picture.target = options.target;
  try {
    if (options.greylineWindows) {
      render::WriteStandardOutput(render::GreylineWindowLines(
          DrawnCentre(picture), *options.target, options.time.value_or(UtcNow()),
          options.days.value_or(render::kDefaultGreylineDays)));
      return kExitOk;
    }
    return WriteOutputs(options, view, picture, table.get(), places);
  } catch (const FileError& error) {
    Fail(error.what());
  } catch (const render::StreamError& error) {
    Fail(error.what());
  }
  return kExitFileFailure;
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
  try {
    if (options.help) {
      render::WriteStandardOutput(std::string(kUsageLine) + '\n' + kHelp);
    } else if (options.version) {
      render::WriteStandardOutput(std::string(kProgram) + ' ' + kVersion + '\n');
    } else {
      return Run(options);
    }
    return kExitOk;
  } catch (const render::StreamError& error) {
    Fail(error.what());
  } catch (const OutOfMemory& error) {
    // No message is built here: there may be no memory to build it in.
    std::fprintf(stderr, "%s: not enough memory for %s\n", kProgram, error.what);
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "%s: not enough memory\n", kProgram);
  }
  return kExitFileFailure;
}
