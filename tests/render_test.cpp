// globeview-render run as a user runs it: a separate process in a scratch directory, no display.

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "data/point_table.h"
#include "data/settings_file.h"
#include "test_support.h"
#include "view/view_values.h"

namespace globeview {
namespace {

using test::ReadBytes;
using test::ScratchDir;

struct RunResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// What a run is given besides its arguments: its standard input, a file in place of its standard
// output, a limit on its address space (bytes).
struct RunWith {
  std::string input;
  QString outputFile;
  rlim_t addressSpace = 0;
};

RunResult Render(const ScratchDir& dir, const QStringList& arguments, const RunWith& with = {}) {
  QProcess process;
  if (!with.outputFile.isEmpty()) process.setStandardOutputFile(with.outputFile);
  if (with.addressSpace > 0) {
    process.setChildProcessModifier([limit = with.addressSpace] {
      const rlimit space{limit, limit};
      setrlimit(RLIMIT_AS, &space);
    });
  }
  process.setWorkingDirectory(QString::fromStdString(dir.Root()));
  // No window system at all: the program must not need one.
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  environment.remove("QT_QPA_PLATFORM");
  process.setProcessEnvironment(environment);
  process.start(GLOBEVIEW_BIN_DIR "/globeview-render", arguments);
  process.write(with.input.data(), static_cast<qint64>(with.input.size()));
  process.closeWriteChannel();
  RunResult result;
  if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit) {
    ADD_FAILURE() << "globeview-render did not finish normally";
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.exitCode = process.exitCode();
  result.out = process.readAllStandardOutput().toStdString();
  result.err = process.readAllStandardError().toStdString();
  return result;
}

// A coastline of the full size whose few points have positions easy to work out: on a 100 x 50
// pixel screen (1500 x 750 twips) around 0, 0 at magnification 1, 90 degrees from the centre lies
// H/4 = 187.5 twips from the middle (750, 375).
constexpr const char* kCoastline = "coast.dat";
std::string SmallCoastline() {
  std::string content =
      "0,0\r\n"         // 1: the centre
      "90,0\r\n"        // 2: east, joined to 1
      "NA,NA\r\n"       // 3
      "0,45\r\n"        // 4: north, alone
      "\"abc\",10\r\n"  // 5: valid but no number: never drawn
      "0,-45\r\n"       // 6: south
      "90,-45\r\n";     // 7: joined to 6
  for (int i = 8; i <= kPointCount; ++i) content += "NA,NA\r\n";
  return content;
}

struct Position {
  int index;
  double sx, sy;
};

// Parses the positions CSV; fails the test on a header or line of the wrong shape.
std::vector<Position> ParsePositions(const std::string& csv) {
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "index,sx,sy");
  std::vector<Position> positions;
  while (std::getline(in, line)) {
    Position p{};
    char comma1 = 0, comma2 = 0;
    std::istringstream fields(line);
    fields >> p.index >> comma1 >> p.sx >> comma2 >> p.sy;
    EXPECT_TRUE(fields && comma1 == ',' && comma2 == ',' && fields.peek() == EOF) << line;
    positions.push_back(p);
  }
  return positions;
}

constexpr double kTolerance = 1e-3;  // twips

const QStringList kSmallScreen{"--data", kCoastline, "--size", "100x50"};

TEST(RenderTest, PositionsListEveryDrawnPointInEntryOrder) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  const RunResult run = Render(dir, kSmallScreen + QStringList{"--lon", "0", "--lat", "0", "--mag",
                                                               "1", "--positions", "-"});
  ASSERT_EQ(run.exitCode, 0) << run.err;

  const auto positions = ParsePositions(run.out);
  ASSERT_EQ(positions.size(), 5u) << run.out;
  const Position expected[] = {{1, 750, 375}, {2, 937.5, 375}, {4, 750, 281.25}, {6, 750, 468.75}};
  for (std::size_t k = 0; k < std::size(expected); ++k) {
    SCOPED_TRACE(expected[k].index);
    EXPECT_EQ(positions[k].index, expected[k].index);
    EXPECT_NEAR(positions[k].sx, expected[k].sx, kTolerance);
    EXPECT_NEAR(positions[k].sy, expected[k].sy, kTolerance);
  }
  EXPECT_EQ(positions[4].index, 7);
  // The one field that is not a number is reported, not silently dropped.
  EXPECT_NE(run.err.find("entry 5"), std::string::npos) << run.err;

  // Both outputs at once: the same positions, atomically into a file, and the picture.
  const RunResult both =
      Render(dir, kSmallScreen + QStringList{"--lon", "0", "--lat", "0", "--mag", "1",
                                             "--positions", "positions.csv", "--out", "map.png"});
  ASSERT_EQ(both.exitCode, 0) << both.err;
  EXPECT_EQ(ReadBytes(dir.Path("positions.csv")), run.out);

  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir.Path("map.png")), "PNG"));
  EXPECT_EQ(image.size(), QSize(100, 50));
  EXPECT_EQ(image.pixel(0, 0) & 0xffffff, 0x000000u) << "black background";
  EXPECT_EQ(image.pixel(50, 5) & 0xffffff, 0x9b9b9bu) << "grey vertical bar of the cross";
  int white = 0;
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x) white += (image.pixel(x, y) & 0xffffff) == 0xffffff;
  EXPECT_GT(white, 0) << "the coastline from entry 6 to entry 7";
}

TEST(RenderTest, SettingsFileGivesTheValuesNotOnTheCommandLine) {
  ScratchDir dir;
  dir.Write("data.dat", SmallCoastline());  // the default coastline file name
  dir.Write(kSettingsFile, "\"90\",0,\"1\"\r\n");
  const QStringList screen{"--size", "100x50", "--positions", "-"};

  const RunResult fromFile = Render(dir, screen);
  ASSERT_EQ(fromFile.exitCode, 0) << fromFile.err;
  auto positions = ParsePositions(fromFile.out);
  ASSERT_GE(positions.size(), 2u);
  EXPECT_NEAR(positions[0].sx, 562.5, kTolerance) << "entry 1 lies 90 degrees west of 90E";
  EXPECT_NEAR(positions[1].sx, 750, kTolerance) << "entry 2 is the centre";

  const RunResult overridden = Render(dir, screen + QStringList{"--lon", "0"});
  ASSERT_EQ(overridden.exitCode, 0) << overridden.err;
  positions = ParsePositions(overridden.out);
  ASSERT_GE(positions.size(), 1u);
  EXPECT_NEAR(positions[0].sx, 750, kTolerance);
  EXPECT_EQ(ReadBytes(dir.Path(kSettingsFile)), "\"90\",0,\"1\"\r\n") << "never written";
}

TEST(RenderTest, ValuesThatAreNotNumbersGetTheWindowsMessagesInFieldOrder) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  dir.Write(kSettingsFile, "\"abc\",0,\"x\"\r\n");
  const std::string settings =
      "globeview-render: data2.dat in " + std::filesystem::canonical(dir.Root()).string() + ": ";
  const struct {
    QStringList values;
    std::string messages;  // one line per failing field, in field order, after where it came from
  } cases[] = {
      {{"--lon", "abc", "--lat", "", "--mag", "1"},
       std::string("globeview-render: --lon: ") + kLongitudeMessage +
           "\nglobeview-render: --lat: " + kLatitudeMessage + "\n"},
      {{"--lat", "1"},
       settings + "longitude: " + kLongitudeMessage + "\n" + settings +
           "magnification: " + kMagnificationMessage + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.values.join(' ').toStdString());
    const RunResult run = Render(dir, kSmallScreen + c.values + QStringList{"--out", "map.png"});
    EXPECT_EQ(run.exitCode, 2);
    // After the loader's notice about entry 5.
    ASSERT_GE(run.err.size(), c.messages.size()) << run.err;
    EXPECT_EQ(run.err.substr(run.err.size() - c.messages.size()), c.messages) << run.err;
    EXPECT_FALSE(std::filesystem::exists(dir.Path("map.png")));
  }
}

// Places and pixels asked about, interleaved, and the answers in the same order. Hand-computed on
// the 100 x 50 pixel screen around 0, 0 at magnification 1: the centre at the middle pixel (50,
// 25); 90 degrees east, H/4 = 12.5 pixels to the right, 6371 x pi/2 = 10007.543 km away; the corner
// pixel beyond the 180-degree ring; 10^20 degrees east, 280 modulo 360, is 80 degrees west,
// 8895.594 km away and 11.111 pixels to the left. The long path is the bearing plus 180 and the
// rest of the great circle of 2 pi 6371 = 40030.174 km. The locators name the centres of their
// squares: jj00 is 1E 0.5N, whose bearing and distance are the haversine formula's, and JJ00aa55
// is 2.75' E 1.375' N.
TEST(RenderTest, PlacesAndPixelsAnswerInTheOrderAsked) {
  const QStringList queries{"--to",   "0,0",     "--at", "0,0",        "--to=90,0",
                            "--at",   "62.5,25", "--to", "-270, -0.0", "--to",
                            "1e20,0", "--to",    "jj00", "--to",       "JJ00AA55"};
  const std::string answers =
      "lon,lat,bearing,distance_km,x,y,long_bearing,long_distance_km,locator\n"
      "0.000000,0.000000,0.0000,0.000,50.000,25.000,180.0000,40030.174,JJ00aa\n"
      "NA,NA,NA,NA,0.000,0.000,NA,NA,NA\n"
      "90.000000,0.000000,90.0000,10007.543,62.500,25.000,270.0000,30022.630,NJ50aa\n"
      "90.000000,0.000000,90.0000,10007.543,62.500,25.000,270.0000,30022.630,NJ50aa\n"
      "90.000000,0.000000,90.0000,10007.543,62.500,25.000,270.0000,30022.630,NJ50aa\n"
      "-80.000000,0.000000,270.0000,8895.594,38.889,25.000,90.0000,31134.579,FJ00aa\n"
      "1.000000,0.500000,63.4332,124.318,50.139,24.931,243.4332,39905.855,JJ00mm\n"
      "0.045833,0.022917,63.4349,5.698,50.006,24.997,243.4349,40024.476,JJ00aa\n";
  const QStringList view{"--size", "100x50", "--lon", "0", "--lat", "0", "--mag", "1"};
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());

  // Without a picture the coastline is not read at all, so a missing one does not matter.
  const RunResult alone = Render(dir, view + queries + QStringList{"--data", "missing.dat"});
  ASSERT_EQ(alone.exitCode, 0) << alone.err;
  EXPECT_EQ(alone.out, answers);

  const RunResult drawn =
      Render(dir, view + queries + QStringList{"--data", kCoastline, "--out", "map.png"});
  ASSERT_EQ(drawn.exitCode, 0) << drawn.err;
  EXPECT_EQ(drawn.out, answers) << "the answers alone, no summary";
  EXPECT_TRUE(std::filesystem::exists(dir.Path("map.png")));
}

TEST(RenderTest, WrongOptionsExitWithUsageNamingTheOptionAndValue) {
  const QStringList cases[] = {
      {"--bogus"},
      {"stray"},
      {"--size", "0x10"},
      {"--size", "20001x10"},
      {"--size", "19x-5"},
      {"--size", "1920"},
      {"--size", " 19x10"},
      {"--lon"},
      {"--out", ""},
      {"--to", "10"},
      {"--to", "10,90.5"},
      {"--to", "1,-91"},
      {"--to", "abc,1"},
      {"--to", "1,2,3"},
      {"--at", "1,inf"},
      {"--at", "1;2"},
      {"--at", "nan,1"},
      {"--to", "1e999,0"},
      {"--to", "JJ0"},  // not a grid locator: 3 characters, a field beyond R, a subsquare beyond x
      {"--to", "SS00"},
      {"--to", "JJ00yy"},
      {"--to", "JJ00aa5"},
      {"--target", "abc"},
      {"--target", "1,91", "--out", "map.png"},
      {"--target", "1,2"},                  // nothing to draw it on
      {"--positions", "-", "--to", "1,2"},  // two CSVs on standard output
      {"--out", "-", "--to", "1,2"},        // a picture and a CSV on standard output
      {"--out", "-", "--at", "-"},
      {"--out", "-", "--positions", "-"},
      {"--to", "-", "--at", "-"},  // standard input read twice
      {"--out", "map.jpg"},        // neither .png nor .svg
      {"--out", "map.PS"},
      {"--paper", "A4", "--out", "map.png"},  // paper is for a PDF alone
      {"--landscape", "--format", "svg", "--out", "-"},
      {"--title", "Tokyo"},
      {"--paper", "B5", "--out", "map.pdf"},
      {"--colors", "grey", "--out", "map.pdf"},
      {"--format", "jpg"},
      {"--time", "2026-12-21T12:00"},  // no zone
      {"--time", "2026-02-29T12:00Z"},
      {"--time", "1899-12-31T23:59Z"},
      {"--days", "0", "--greyline-windows", "--target", "1,2"},
      {"--greyline-windows", "--lon", "1"},  // no target
      {"--greyline-windows", "--target", "1,2", "--out", "map.png"},
      {"--layers", "shading"},
      {"--layers", "coast,,rings"},
      {"--data", "-", "--to", "-"},
  };
  // Rows whose message must also say what is wrong.
  const std::pair<QStringList, std::string> saying[] = {
      {{"--to", "0,91"}, "--to takes a latitude from -90 to 90, not \"0,91\"\n"},
  };
  ScratchDir dir;
  const auto check = [&](const QStringList& arguments, const std::string& says) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const RunResult run = Render(dir, arguments);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    EXPECT_NE(run.err.find("usage: globeview-render"), std::string::npos) << run.err;
    for (const auto& named : arguments.mid(0, 2)) {
      EXPECT_NE(run.err.find(named.toStdString()), std::string::npos) << run.err;
    }
    EXPECT_NE(run.err.find(says), std::string::npos) << run.err;
  };
  for (const auto& arguments : cases) check(arguments, "");
  for (const auto& [arguments, says] : saying) check(arguments, says);
  const RunResult help = Render(dir, {"--help"});
  EXPECT_EQ(help.exitCode, 0);
  EXPECT_NE(help.out.find("--positions"), std::string::npos);
  const RunResult version = Render(dir, {"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_TRUE(QString::fromStdString(version.out)
                  .contains(QRegularExpression("^globeview-render \\d+\\.\\d+\\.\\d+\\n$")))
      << version.out;
}

// The grey line shared by Tokyo and New York, without a coastline, from the centre on the command
// line or in the settings file alike; the window open at --time starts there, and the one open at
// the end of the two days ends there.
TEST(RenderTest, GreylineWindowsAreListedOneALine) {
  ScratchDir dir;
  const QStringList asked{"--greyline-windows",   "--target", "-74,40.7", "--time",
                          "2026-12-19T21:30:20Z", "--days",   "2"};
  const std::string expected =
      "2026-12-19T21:30Z 2026-12-19T21:57Z 27\n"
      "2026-12-20T21:20Z 2026-12-20T21:57Z 37\n"
      "2026-12-21T21:20Z 2026-12-21T21:30Z 10\n";
  const RunResult given = Render(dir, asked + QStringList{"--lon", "139.7", "--lat", "35.7"});
  EXPECT_EQ(given.exitCode, 0) << given.err;
  EXPECT_EQ(given.out, expected);
  dir.Write(kSettingsFile, "\"139.7\",\"35.7\",\"1\"\r\n");
  const RunResult saved = Render(dir, asked);
  EXPECT_EQ(saved.exitCode, 0) << saved.err;
  EXPECT_EQ(saved.out, expected);
}

// The picture on standard output, in the format asked for whatever the name.
TEST(RenderTest, PictureGoesToStandardOutputInTheFormatAskedFor) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  ASSERT_EQ(Render(dir, kSmallScreen + QStringList{"--out", "map.png"}).exitCode, 0);
  const RunResult png = Render(dir, kSmallScreen + QStringList{"--out", "-"});
  ASSERT_EQ(png.exitCode, 0) << png.err;
  EXPECT_EQ(png.out, ReadBytes(dir.Path("map.png")));

  const RunResult svg = Render(dir, kSmallScreen + QStringList{"--out", "-", "--format", "svg"});
  ASSERT_EQ(svg.exitCode, 0) << svg.err;
  EXPECT_EQ(svg.out.rfind("<?xml", 0), 0u);
  const RunResult named =
      Render(dir, kSmallScreen + QStringList{"--format=svg", "--out", "map.img"});
  ASSERT_EQ(named.exitCode, 0) << named.err;
  EXPECT_EQ(ReadBytes(dir.Path("map.img")), svg.out);
  const RunResult pdf = Render(dir, kSmallScreen + QStringList{"--out", "-", "--format", "pdf"});
  ASSERT_EQ(pdf.exitCode, 0) << pdf.err;
  EXPECT_EQ(pdf.out.rfind("%PDF-", 0), 0u);
}

// Day and night at --time: the same moment the same bytes, another moment others.
TEST(RenderTest, NightLayerIsDrawnForTheTimeGiven) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  const QStringList night = kSmallScreen + QStringList{"--layers", "night", "--out", "-", "--time"};
  const RunResult first = Render(dir, night + QStringList{"2026-12-21T12:00Z"});
  ASSERT_EQ(first.exitCode, 0) << first.err;
  EXPECT_EQ(Render(dir, night + QStringList{"2026-12-21T12:00Z"}).out, first.out);
  EXPECT_NE(Render(dir, night + QStringList{"2026-12-21T18:00Z"}).out, first.out);
}

// A target drawn as the window draws it. Around 0, 0 on the 100 x 50 pixel screen, 90E 0N is at
// (62.5, 25) and the 180-degree ring 25 pixels from the middle: the short path runs along the
// cross's bar from the middle to the target, the long path from the middle out to (25, 25) and from
// (75, 25) in to the target, the ring around the target reaches 5 pixels above it.
TEST(RenderTest, TargetIsDrawnWithBothPaths) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  const QStringList view = kSmallScreen + QStringList{"--lon", "0", "--lat", "0", "--mag", "1"};
  for (const char* target : {"90,0", ""}) {
    SCOPED_TRACE(target);
    const QStringList aimed = *target ? QStringList{"--target", target} : QStringList{};
    const RunResult run = Render(dir, view + aimed + QStringList{"--out", "map.png"});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    QImage image;
    ASSERT_TRUE(image.load(QString::fromStdString(dir.Path("map.png")), "PNG"));
    const QRgb yellow = *target ? 0xffff00u : 0x9b9b9bu, orange = *target ? 0xff8000u : 0x9b9b9bu;
    EXPECT_EQ(image.pixel(56, 25) & 0xffffff, yellow) << "the short path";
    EXPECT_EQ(image.pixel(62, 20) & 0xffffff, *target ? yellow : 0u) << "the ring";
    EXPECT_EQ(image.pixel(35, 25) & 0xffffff, orange) << "the long path, leaving";
    EXPECT_EQ(image.pixel(71, 25) & 0xffffff, orange) << "the long path, arriving";
  }
  // The SVG draws the same, here with the target as a grid locator.
  const RunResult svg =
      Render(dir, view + QStringList{"--target", "nj50", "--out", "-", "--format", "svg"});
  ASSERT_EQ(svg.exitCode, 0) << svg.err;
  EXPECT_NE(svg.out.find("stroke=\"#ffff00\""), std::string::npos);
  EXPECT_NE(svg.out.find("stroke=\"#ff8000\""), std::string::npos);
}

// A beam of 90 degrees to the north-east: its edges run up and right, over the cross's bars, and
// the needle between them; the cross's bars below and left stay as they were.
TEST(RenderTest, BeamIsDrawnAsANeedleBetweenItsEdges) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  const RunResult run =
      Render(dir, kSmallScreen + QStringList{"--lon", "0", "--lat", "0", "--mag", "1", "--beam",
                                             "45,90", "--out", "map.png"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  QImage image;
  ASSERT_TRUE(image.load(QString::fromStdString(dir.Path("map.png")), "PNG"));
  const QRgb edge = 0x008080u, needle = 0x00ffffu, cross = 0x9b9b9bu;
  EXPECT_EQ(image.pixel(50, 5) & 0xffffff, edge);
  EXPECT_EQ(image.pixel(70, 25) & 0xffffff, edge);
  EXPECT_EQ(image.pixel(50, 45) & 0xffffff, cross);
  EXPECT_EQ(image.pixel(30, 25) & 0xffffff, cross);
  int needlePixels = 0;
  for (int y = 0; y < 25; ++y) {
    for (int x = 50; x < 75; ++x) needlePixels += (image.pixel(x, y) & 0xffffff) == needle;
  }
  EXPECT_GT(needlePixels, 25) << "two pixels wide, about 18 along each axis";
}

// Every layer at once, from the shipped place files: the SVG's texts are real text, and the
// country names lie over the cities, in the map's order.
TEST(RenderTest, LayersDrawInTheMapsOrder) {
  ScratchDir dir;
  const QStringList all = {
      "--lon", "139.7", "--lat",    "35.7",
      "--mag", "1",     "--layers", "names,cities,bearings,grid,borders,coast,rings,cross"};
  const RunResult svg = Render(dir, all + QStringList{"--out", "-", "--format", "svg"});
  ASSERT_EQ(svg.exitCode, 0) << svg.err;
  const std::size_t ring = svg.out.find(">5,004 km</text>");
  const std::size_t city = svg.out.find(">Moscow</text>");
  const std::size_t name = svg.out.find(">日本</text>");
  ASSERT_NE(ring, std::string::npos);
  ASSERT_NE(city, std::string::npos);
  ASSERT_NE(name, std::string::npos);
  EXPECT_LT(ring, city);
  EXPECT_LT(city, name);
  const RunResult png = Render(dir, all + QStringList{"--out", "map.png"});
  EXPECT_EQ(png.exitCode, 0) << png.err;
}

// Lines of standard input answered in the place of "--to -" among the command line's places. The
// answers are those of PlacesAndPixelsAnswerInTheOrderAsked.
TEST(RenderTest, StandardInputLinesAreAnsweredAndBadOnesReported) {
  const QStringList view{"--size", "100x50", "--lon", "0", "--lat", "0", "--mag", "1"};
  const std::string header =
      "lon,lat,bearing,distance_km,x,y,long_bearing,long_distance_km,locator\n";
  const std::string centre =
      "0.000000,0.000000,0.0000,0.000,50.000,25.000,180.0000,40030.174,JJ00aa\n";
  const std::string east =
      "90.000000,0.000000,90.0000,10007.543,62.500,25.000,270.0000,30022.630,NJ50aa\n";
  const std::string offDisc = "NA,NA,NA,NA,0.000,0.000,NA,NA,NA\n";
  const std::string jj00 =
      "1.000000,0.500000,63.4332,124.318,50.139,24.931,243.4332,39905.855,JJ00mm\n";
  const std::string bad = "globeview-render: standard input: line ";
  const struct {
    QStringList arguments;
    std::string input;
    int exitCode;
    std::string out, err;
  } cases[] = {
      {{"--to", "-"},
       "0 0\n 90 , 0 \r\n\n  \n# 1,2\n  #x\n90\t0",
       0,
       header + centre + east + east,
       ""},
      {{"--to", "90,0", "--to", "-", "--to", "0,0"},
       "0,0\n",
       0,
       header + east + centre + centre,
       ""},
      {{"--to", "-"},
       "0 0\nabc\n1,2,3\n1 95\n\n1 2 3\n90,0\n jJ00 \nJJ0\n",
       2,
       header + centre + east + jj00,
       bad + "2: not a place: \"abc\"\n" + bad + "3: not a place: \"1,2,3\"\n" + bad +
           "4: latitude outside -90 to 90: \"1 95\"\n" + bad + "6: not a place: \"1 2 3\"\n" + bad +
           "9: not a place: \"JJ0\"\n"},
      {{"--at", "-"},
       "50 25\n0,0\n62.5 25\n50\n",
       2,
       header + centre + offDisc + east,
       bad + "4: not a pixel: \"50\"\n"},
      {{"--to", "-"}, "", 0, header, ""},
      // Input quoted as it can be shown, a line too long cut short; the lines after answered.
      {{"--to", "-"},
       std::string("1\0 2,3\n\x1b[2J\n", 12) + std::string(5000, 'x') + "\n0 0\n",
       2,
       header + centre,
       bad + "1: not a place: \"1\\x00 2,3\"\n" + bad + "2: not a place: \"\\x1b[2J\"\n" + bad +
           "3: longer than 4096 bytes: \"" + std::string(60, 'x') + "\"...\n"},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString() + " < " + c.input);
    const RunResult run = Render(dir, view + c.arguments, RunWith{c.input, {}, 0});
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.out, c.out);
    EXPECT_EQ(run.err, c.err);
  }
}

// A program asking one place at a time through a pipe gets each answer before it sends the next.
TEST(RenderTest, StandardInputIsAnsweredLineByLine) {
  ScratchDir dir;
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.Root()));
  process.start(GLOBEVIEW_BIN_DIR "/globeview-render",
                {"--lon", "0", "--lat", "0", "--mag", "1", "--to", "-"});
  for (const char* line : {"0 0\n", "90 0\n"}) {
    SCOPED_TRACE(line);
    const qint64 before = process.bytesAvailable();
    process.write(line);
    while (process.bytesAvailable() == before || !process.peek(1 << 16).endsWith('\n')) {
      ASSERT_TRUE(process.waitForReadyRead(10000)) << "no answer while standard input is open";
    }
  }
  process.closeWriteChannel();
  ASSERT_TRUE(process.waitForFinished(10000));
  EXPECT_EQ(process.exitCode(), 0);
  EXPECT_EQ(QString(process.readAllStandardOutput()).count('\n'), 3);
}

// Nothing is reported done that was not written.
TEST(RenderTest, FullStandardOutputIsAFailure) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  const QStringList cases[] = {
      {}, {"--positions", "-"}, {"--out", "-"}, {"--to", "1,2"}, {"--to", "-"}};
  for (const auto& arguments : cases) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const RunResult run = Render(dir, kSmallScreen + arguments, RunWith{"1 2\n", "/dev/full", 0});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_NE(run.err.find("globeview-render: standard output: No space left on device\n"),
              std::string::npos)
        << run.err;
  }
}

// Under a limit on its memory the program says what it could not make, and exits with 1.
TEST(RenderTest, LackOfMemoryIsAMessage) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the address sanitizer needs far more address space than any limit here";
#endif
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no shipped data";
  const QStringList shipped{"--data", QString::fromStdString(test::ShippedCoastlinePath())};
  const struct {
    QStringList arguments;
    rlim_t addressSpace;
    std::string message;
  } cases[] = {
      {{"--positions", "-"}, 27000 * 1024, "not enough memory for the positions"},
      {{"--size", "20000x20000", "--out", "map.png"},
       64 << 20,
       "not enough memory for the picture"},
  };
  ScratchDir dir;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arguments.join(' ').toStdString());
    const RunResult run = Render(dir, shipped + c.arguments, RunWith{{}, {}, c.addressSpace});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.err, "globeview-render: " + c.message + "\n");
    EXPECT_EQ(run.out, "");
  }
}

TEST(RenderTest, UnusableFilesExitWithOneAndLeaveNothingBehind) {
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  dir.Write("plain", "a regular file\n");
  std::filesystem::create_directory(dir.Path("pipe"));
  ASSERT_EQ(mkfifo(dir.Path("pipe/map.png").c_str(), 0600), 0);
  std::vector<std::string> outs = {"plain/map.png", "no-such-dir/map.png", "pipe/map.png"};
  // Another account's link in a folder like /tmp, pointing at "plain", is not followed.
  if (test::MakeOthersLink("../plain", dir.Path("shared/map.png")))
    outs.push_back("shared/map.png");
  const auto before = test::Listing(dir.Root());

  const RunResult missing = Render(dir, {"--data", "missing.dat", "--positions", "-"});
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_NE(missing.err.find("missing.dat"), std::string::npos) << missing.err;
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(Render(dir, {"--data", "pipe/map.png", "--positions", "-"}).exitCode, 1) << "a pipe";

  for (const std::string& out : outs) {
    SCOPED_TRACE(out);
    const RunResult unwritable =
        Render(dir, kSmallScreen + QStringList{"--out", QString::fromStdString(out)});
    EXPECT_EQ(unwritable.exitCode, 1);
    EXPECT_NE(unwritable.err.find("map.png"), std::string::npos) << unwritable.err;
    EXPECT_EQ(test::Listing(dir.Root()), before);
  }
  EXPECT_EQ(ReadBytes(dir.Path("plain")), "a regular file\n");
}

// How many lit pixels of `a` have no pixel of the same colour in `b` within one pixel. The grid is
// drawn over the coastline, so a coastline pixel moved under it is hidden there.
int Unmatched(const QImage& a, const QImage& b) {
  const QRgb coastline = qRgb(255, 255, 255), grid = qRgb(155, 155, 155);
  int unmatched = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb colour = a.pixel(x, y);
      bool found = colour == qRgb(0, 0, 0);
      for (int dy = -1; dy <= 1 && !found; ++dy) {
        for (int dx = -1; dx <= 1 && !found; ++dx) {
          const QRgb there = b.valid(x + dx, y + dy) ? b.pixel(x + dx, y + dy) : 0;
          found = there == colour || (colour == coastline && there == grid);
        }
      }
      unmatched += found ? 0 : 1;
    }
  }
  return unmatched;
}

// The segments of an SVG's paths in the document's pixels, as x1, y1, x2, y2; a dot ("h0.01") is
// one of no length.
std::vector<std::array<double, 4>> PathSegments(const std::string& svg) {
  std::vector<std::array<double, 4>> segments;
  const QRegularExpression path(R"re(<path d="M([^"]*)"/>)re"), separator("[ Lh]");
  for (auto paths = path.globalMatch(QString::fromStdString(svg)); paths.hasNext();) {
    std::vector<double> v;
    for (const QString& number : paths.next().captured(1).split(separator)) {
      v.push_back(number.toDouble());
    }
    if (v.size() == 3) v = {v[0], v[1], v[0], v[1]};
    for (std::size_t k = 2; k + 1 < v.size(); k += 2) {
      segments.push_back({v[k - 2], v[k - 1], v[k], v[k + 1]});
    }
  }
  return segments;
}

// The SVG, rendered by another program, against globeview-render's own PNG of the same view; it
// holds only the segments that touch the screen.
TEST(RenderTest, SvgPictureRendersToThePngsPixelsWithinOnePixel) {
  const QString rsvg = QStandardPaths::findExecutable("rsvg-convert");
  if (rsvg.isEmpty()) GTEST_SKIP() << "rsvg-convert is not installed";
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no shipped data";
  // Each view with its SVG's segments: the cross's two and the coastline's that touch the screen,
  // counted from the view's --positions (a run within one pixel, written as a dot, counts one).
  const std::pair<QStringList, std::optional<std::size_t>> views[] = {
      {{"--lon", "139.7", "--lat", "35.7", "--mag", "1", "--size", "640x480"}, 48331},
      // clipped, tall
      {{"--lon", "-74", "--lat", "40.7", "--mag", "3", "--size", "500x700"}, 27934},
      {{"--lon", "139.7", "--lat", "35.7", "--mag", "10", "--size", "1920x1080"}, 3054},
      // day and night, the terminator by the ring
      {{"--lon", "139.7", "--lat", "35.7", "--mag", "1", "--size", "640x480", "--layers", "night",
        "--time", "2026-12-21T07:50Z"},
       std::nullopt},  // the terminator's segments are not counted
  };
  ScratchDir dir;
  for (const auto& [view, segments] : views) {
    SCOPED_TRACE(view.join(' ').toStdString());
    const QStringList common =
        view + QStringList{"--data", QString::fromStdString(test::ShippedCoastlinePath())};
    ASSERT_EQ(Render(dir, common + QStringList{"--out", "map.png"}).exitCode, 0);
    const RunResult svg = Render(dir, common + QStringList{"--out", "map.SVG"});  // any case
    ASSERT_EQ(svg.exitCode, 0) << svg.err;
    ASSERT_EQ(ReadBytes(dir.Path("map.SVG")).rfind("<?xml", 0), 0u);
    const auto kept = PathSegments(ReadBytes(dir.Path("map.SVG")));
    if (segments) {
      EXPECT_EQ(kept.size(), *segments);
    }
    const QStringList size = view[view.indexOf("--size") + 1].split('x');
    for (const auto& [x1, y1, x2, y2] : kept) {
      ASSERT_TRUE(std::max(x1, x2) >= 0 && std::min(x1, x2) <= size[0].toDouble() &&
                  std::max(y1, y2) >= 0 && std::min(y1, y2) <= size[1].toDouble())
          << x1 << ',' << y1 << ' ' << x2 << ',' << y2;
    }

    QProcess convert;
    convert.setWorkingDirectory(QString::fromStdString(dir.Root()));
    convert.start(rsvg, {"-o", "svg.png", "map.SVG"});
    ASSERT_TRUE(convert.waitForFinished(60000));
    ASSERT_EQ(convert.exitCode(), 0) << convert.readAllStandardError().toStdString();
    const QImage png =
        QImage(QString::fromStdString(dir.Path("map.png"))).convertToFormat(QImage::Format_RGB32);
    const QImage rendered =
        QImage(QString::fromStdString(dir.Path("svg.png"))).convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(rendered.size(), png.size());
    EXPECT_EQ(Unmatched(png, rendered), 0);
    EXPECT_EQ(Unmatched(rendered, png), 0);
  }
}

// What one of poppler's tools prints about a file of the scratch folder; empty if it failed.
std::string Poppler(const ScratchDir& dir, const QString& tool, const QStringList& arguments) {
  QProcess process;
  process.setWorkingDirectory(QString::fromStdString(dir.Root()));
  process.start(QStandardPaths::findExecutable(tool), arguments);
  if (!process.waitForFinished(60000) || process.exitCode() != 0) {
    ADD_FAILURE() << tool.toStdString() << ": " << process.readAllStandardError().toStdString();
    return {};
  }
  return process.readAllStandardOutput().toStdString();
}

// The middles of the lines crossed along a row of grey pixels, in pixels from its left: the
// darkness-weighted centres of its runs of pixels that are not white.
std::vector<double> LineMiddles(const QImage& row) {
  std::vector<std::pair<double, double>> runs;  // sum of x times darkness, sum of darkness
  bool inRun = false;
  for (int x = 0; x < row.width(); ++x) {
    const double dark = 255 - qGray(row.pixel(x, 0));
    if (dark > 0 && !inRun) runs.emplace_back(0, 0);
    if (dark > 0) runs.back() = {runs.back().first + (x + 0.5) * dark, runs.back().second + dark};
    inRun = dark > 0;
  }
  std::vector<double> middles;
  for (const auto& [weighted, darkness] : runs) middles.push_back(weighted / darkness);
  return middles;
}

// The PDF page read back with poppler's tools: the sheet's size, the text's font embedded, the
// title block's text extractable, and on the page rendered at 10 pixels a mm the outermost ring on
// the sheet (the 180-degree ring at magnification 1, the 135-degree one at 1.5) where it crosses
// the centre's row: its radius is half the shorter side less 10 mm, times the magnification, times
// the ring's part of 180 degrees, within 0.1 mm, about the sheet's centre; and the scale bar's
// length agrees with it within 0.1 mm.
TEST(RenderTest, PdfPageHoldsTheWholeDiscTrueToScale) {
  for (const char* tool : {"pdfinfo", "pdffonts", "pdftotext", "pdftoppm"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) GTEST_SKIP() << tool << " is missing";
  }
  // The sheet's size, the ring's radius, a row through the scale bar's ticks and the disc's radius
  // (of the 180-degree ring), mm, and the bar's km: its length at the ring's scale, the 180-degree
  // ring being 20,015.09 km (pi x 6371) from the centre.
  struct Geometry {
    double widthMm, heightMm, radiusMm, barRowMm, discMm, barKm;
  };
  const struct {
    QStringList options;
    const char* pageSize;
    const char* text;
    Geometry mm;
  } sheets[] = {
      {{}, "595.276 x 841.89 pts (A4)", "scale 1 : 211,000,000", {210, 297, 95, 280.4, 95, 10000}},
      {{"--paper", "Letter", "--landscape", "--mag", "1.5"},
       "792 x 612 pts (letter)",
       "scale 1 : 136,000,000",
       {279.4, 215.9, 110.2, 199.1, 146.925, 10000}},
      {{"--paper", "a0", "--landscape", "--title", "東京 JA1"},
       "3370.39 x 2383.94 pts (A0)",
       "東京 JA1",
       {1189, 841, 410.5, 807.5, 410.5, 10000}},
  };
  ScratchDir dir;
  dir.Write(kCoastline, SmallCoastline());
  for (const auto& sheet : sheets) {
    SCOPED_TRACE(sheet.options.join(' ').toStdString());
    const RunResult run = Render(dir, QStringList{"--data", kCoastline, "--lon", "139.7", "--lat",
                                                  "35.7", "--layers", "rings", "--out", "map.pdf"} +
                                          sheet.options);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(Poppler(dir, "pdfinfo", {"map.pdf"}).find(sheet.pageSize), std::string::npos);

    std::istringstream fonts(Poppler(dir, "pdffonts", {"map.pdf"}));
    std::string line;
    int embedded = 0;
    while (std::getline(fonts, line)) {
      std::istringstream fields(line);
      const std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
      if (field.size() < 7 || field[0] == "name" || field[0].rfind("---", 0) == 0) continue;
      EXPECT_EQ(field[field.size() - 5], "yes") << line;  // the emb column
      ++embedded;
    }
    EXPECT_GT(embedded, 0);
    const std::string text = Poppler(dir, "pdftotext", {"map.pdf", "-"});
    EXPECT_NE(text.find("sphere of radius 6371 km"), std::string::npos) << text;
    EXPECT_NE(text.find(sheet.text), std::string::npos) << text;

    constexpr double kPixelsPerMm = 10;
    const Geometry& mm = sheet.mm;
    const int width = static_cast<int>(std::lround(mm.widthMm * kPixelsPerMm));
    const auto lineMiddles = [&](double rowMm) {
      Poppler(dir, "pdftoppm",
              {"-gray", "-r", "254", "-x", "0", "-y", QString::number(std::lround(rowMm * 10)),
               "-W", QString::number(width), "-H", "1", "-singlefile", "map.pdf", "row"});
      const QImage rendered(QString::fromStdString(dir.Path("row.pgm")));
      EXPECT_EQ(rendered.width(), width);
      std::vector<double> middles = LineMiddles(rendered);
      for (double& middle : middles) middle /= kPixelsPerMm;
      return middles;
    };
    // The outermost ring on the sheet, and the scale bar's ticks at 0, half and its length.
    const std::vector<double> ring = lineMiddles(mm.heightMm / 2);
    ASSERT_GE(ring.size(), 2u);
    EXPECT_NEAR((ring.back() - ring.front()) / 2, mm.radiusMm, 0.1);
    EXPECT_NEAR((ring.back() + ring.front()) / 2, mm.widthMm / 2, 0.1);
    const std::vector<double> ticks = lineMiddles(mm.barRowMm);
    ASSERT_GE(ticks.size(), 3u);
    EXPECT_NEAR(ticks[2] - ticks[0], mm.barKm * mm.discMm / 20015.09, 0.1);
  }
}

TEST(RenderTest, ShippedCoastlineProjects) {
  if (!std::filesystem::exists(test::ShippedCoastlinePath())) GTEST_SKIP() << "no shipped data";
  ScratchDir dir;
  const RunResult run =
      Render(dir, {"--data", QString::fromStdString(test::ShippedCoastlinePath()), "--lon", "139.7",
                   "--lat", "35.7", "--mag", "1", "--positions", "-"});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  const auto positions = ParsePositions(run.out);
  EXPECT_GT(positions.size(), 10000u);
  for (const auto& p : positions) {
    ASSERT_TRUE(std::isfinite(p.sx) && std::isfinite(p.sy)) << p.index;
  }
}

}  // namespace
}  // namespace globeview
