// The exported PROJ pipelines run through PROJ's own cct and compared with
// coordconv-cli convert of the same points with the same parameters.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iostream>
#include <sstream>

#include "core/number_text.h"
#include "tests/test_support.h"

namespace coordconv {
namespace {

using testing::CliRun;
using testing::RunCli;
using testing::RunProgram;
using testing::ScratchDir;
using testing::WriteBytes;

constexpr double kMetresPerDegree = 111320;

bool HaveCct() { return RunProgram("cct", {"--version"}).status == 0; }

// The pipeline: the last line of the export.
std::vector<std::string> PipelineWords(const std::string& exported) {
    std::string text = exported;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    std::istringstream last(text.substr(text.rfind('\n') + 1));
    std::vector<std::string> words;
    for (std::string word; last >> word;) words.push_back(word);
    return words;
}

// The pipeline with the rotations of the export's listed Earth-fixed set
// ("地固" line: "Rx=... Ry=... Rz=...").
std::vector<std::string> WithListedRotations(std::vector<std::string> words, const std::string& exported) {
    const std::size_t line = exported.find("# 地固");
    const auto listed = [&](const std::string& name) {
        const std::size_t at = exported.find(" " + name + "=", line) + name.size() + 2;
        return exported.substr(at, exported.find_first_of(" (", at) - at);
    };
    for (std::string& word : words)
        for (const std::string name : {"rx", "ry", "rz"})
            if (word.rfind("+" + name + "=", 0) == 0) word = "+" + name + "=" + listed(std::string(1, 'R') + name[1]);
    return words;
}

struct Point {
    double first, second, height;
};

// cct's output: the first three numbers of each line.
std::vector<Point> RunCct(const std::vector<std::string>& pipeline, const std::vector<Point>& points) {
    std::string input;
    for (const Point& p : points)
        input += ShortestDoubleText(p.first) + " " + ShortestDoubleText(p.second) + " " + ShortestDoubleText(p.height) + "\n";
    std::vector<std::string> args = {"-d", "9"};
    args.insert(args.end(), pipeline.begin(), pipeline.end());
    const CliRun run = RunProgram("cct", args, input);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<Point> result;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        Point p{};
        fields >> p.first >> p.second >> p.height;
        result.push_back(p);
    }
    return result;
}

// The program's result columns 1..3 of `convert` (ddd.mmss read as degrees
// when `geodetic`).
std::vector<Point> RunConvert(const std::vector<std::string>& args, const std::string& rows, bool geodetic) {
    const CliRun run = RunCli(args, rows);
    EXPECT_EQ(run.status, 0) << run.err;
    std::vector<Point> result;
    std::istringstream lines(run.out);
    for (std::string line; std::getline(lines, line);) {
        const std::vector<std::string> fields = SplitFields(line, 4);
        const auto read = [&](const std::string& text) {
            return static_cast<double>(geodetic ? DmsTextToDegrees(text) : TextToNumber(text));
        };
        result.push_back({read(fields[1]), read(fields[2]), static_cast<double>(TextToNumber(fields[3]))});
    }
    return result;
}

// The largest horizontal and vertical differences in metres.
struct Agreement {
    double horizontal = 0;
    double vertical = 0;
};

Agreement Compare(const std::vector<Point>& program, const std::vector<Point>& proj, bool geodetic) {
    Agreement worst;
    EXPECT_EQ(program.size(), proj.size());
    for (std::size_t i = 0; i < std::min(program.size(), proj.size()); ++i) {
        double d1 = program[i].first - proj[i].first;
        double d2 = program[i].second - proj[i].second;
        if (geodetic) {
            d1 *= kMetresPerDegree;
            d2 *= kMetresPerDegree * std::cos(program[i].first * M_PI / 180);
        }
        worst.horizontal = std::max(worst.horizontal, std::hypot(d1, d2));
        worst.vertical = std::max(worst.vertical, std::fabs(program[i].height - proj[i].height));
    }
    return worst;
}

// Points of a zone as the program's rows and as cct's input (no zone
// number, decimal degrees).
struct PointSet {
    std::string rows;
    std::vector<Point> proj_input;
};

PointSet PlanePoints() {
    PointSet set;
    int n = 0;
    for (double x = 2800000; x <= 4600000; x += 450000)
        for (double y = 320000; y <= 680000; y += 90000) {
            const double h = 20 + 370 * (n % 6);
            set.rows += "P" + std::to_string(n++) + "," + ShortestDoubleText(x + 0.1234) + "," +
                        ShortestDoubleText(y + 0.5678) + "," + ShortestDoubleText(h) + "\r\n";
            set.proj_input.push_back({x + 0.1234, y + 0.5678, h});
        }
    return set;
}

PointSet GeodeticPoints(double central_meridian) {
    PointSet set;
    int n = 0;
    for (double b = 22.25; b <= 46; b += 4.75)
        for (double l = -2.5; l <= 2.5; l += 1.25) {
            const double h = 10 + 410 * (n % 5);
            const double longitude = central_meridian + l;
            set.rows += "G" + std::to_string(n++) + "," + FormatFixed(DegreesToDms(b), 10) + "," +
                        FormatFixed(DegreesToDms(longitude), 10) + "," + ShortestDoubleText(h) + "\r\n";
            set.proj_input.push_back({static_cast<double>(DmsTextToDegrees(FormatFixed(DegreesToDms(b), 10))),
                                      static_cast<double>(DmsTextToDegrees(FormatFixed(DegreesToDms(longitude), 10))), h});
        }
    return set;
}

// Bursa-Wolf: plane and geodetic forms on either side, two ellipsoid pairs,
// rotations of both signs, negative scale differences, a frame at L0 = 114
// and at L0 = 0, a target zone other than the source's.
TEST(ProjExport, BursaWolfAgreesWithCctWithinAMillimetre) {
    if (!HaveCct()) GTEST_SKIP() << "PROJ's cct is not installed (Debian package proj-bin)";
    const ScratchDir dir;
    const std::vector<std::vector<std::string>> parameter_sets = {
        {"100", "-50", "20", "1.5", "-2.0", "0.8", "3.2E-6"},
        {"-35.5", "120.25", "60.1", "-4.9", "3.3", "-5.0", "-8E-6"},
        {"50", "-30", "10", "0", "0", "0", "0"}};
    struct Case {
        std::vector<std::string> options;
        bool source_geodetic;
        bool target_geodetic;
        double central_meridian;
    };
    const std::vector<Case> cases = {
        {{"--system", "beijing54", "--system2", "xian80", "--cm", "114"}, false, false, 114},
        {{"--system", "cgcs2000", "--system2", "beijing54", "--cm", "117", "--form2", "geodetic"}, false, true, 117},
        {{"--system", "xian80", "--system2", "cgcs2000", "--cm", "111", "--form", "geodetic"}, true, false, 111},
        // A target zone 1° east: the program's Gauss-Krüger series stays
        // within 0.2 mm up to 3° from the central meridian.
        {{"--system", "beijing54", "--system2", "xian80", "--cm", "114", "--cm2", "115"}, false, false, 114},
        {{"--system", "wgs84", "--system2", "beijing54", "--cm", "0", "--form", "geodetic", "--form2", "geodetic"}, true, true, 0},
    };
    Agreement worst;
    double listed_worst[3] = {0, 0, 0};
    for (std::size_t s = 0; s < parameter_sets.size(); ++s) {
        std::string parameter_file;
        for (const std::string& line : parameter_sets[s]) parameter_file += line + "\r\n";
        WriteBytes(dir.Path("p.txt"), parameter_file);
        for (const Case& c : cases) {
            std::vector<std::string> proj_args = {"bursa-wolf", "proj", "--params", dir.Path("p.txt")};
            proj_args.insert(proj_args.end(), c.options.begin(), c.options.end());
            const CliRun exported = RunCli(proj_args);
            ASSERT_EQ(exported.status, 0) << exported.err;
            if (!c.source_geodetic || !c.target_geodetic) {
                EXPECT_NE(exported.out.find("不带带号"), std::string::npos) << exported.out;
            }

            const PointSet points = c.source_geodetic ? GeodeticPoints(c.central_meridian) : PlanePoints();
            std::vector<std::string> convert_args = proj_args;
            convert_args[1] = "convert";
            const std::vector<Point> program = RunConvert(convert_args, points.rows, c.target_geodetic);
            const std::vector<Point> proj = RunCct(PipelineWords(exported.out), points.proj_input);
            const Agreement agreement = Compare(program, proj, c.target_geodetic);
            EXPECT_LE(agreement.horizontal, 0.0005) << "set " << s << ", case " << (&c - &cases[0]);
            EXPECT_LE(agreement.vertical, 0.0005) << "set " << s << ", case " << (&c - &cases[0]);
            worst.horizontal = std::max(worst.horizontal, agreement.horizontal);
            worst.vertical = std::max(worst.vertical, agreement.vertical);

            // The listed Earth-fixed set in an ordinary helmert step: only
            // PROJ's scale-times-rotation term differs.
            const Agreement listed = Compare(
                program, RunCct(WithListedRotations(PipelineWords(exported.out), exported.out), points.proj_input),
                c.target_geodetic);
            if (s != 1) {
                EXPECT_LE(listed.horizontal, 0.001) << "set " << s << ", case " << (&c - &cases[0]);
                EXPECT_LE(listed.vertical, 0.001) << "set " << s << ", case " << (&c - &cases[0]);
            }
            listed_worst[s] = std::max(listed_worst[s], std::max(listed.horizontal, listed.vertical));
        }
    }
    std::cout << "largest difference from cct: " << worst.horizontal * 1000 << " mm horizontally, "
              << worst.vertical * 1000 << " mm vertically; with the listed Earth-fixed sets " << listed_worst[0] * 1000
              << ", " << listed_worst[1] * 1000 << ", " << listed_worst[2] * 1000 << " mm\n";
}

// The agreement's domain: the difference left is the program's Gauss-Krüger
// series beside PROJ's, which grows with the distance from the central
// meridian. Points at latitudes 20 to 50 degrees, both sides of the
// meridian, plane to plane (the series inverse and forward): within 0.2 mm
// up to 2.5 degrees from it (every 3-degree zone), within 1 mm at 3 degrees
// (the edge of a 6-degree zone).
TEST(ProjExport, BursaWolfAgreementByDistanceFromTheCentralMeridian) {
    if (!HaveCct()) GTEST_SKIP() << "PROJ's cct is not installed (Debian package proj-bin)";
    const ScratchDir dir;
    WriteBytes(dir.Path("p.txt"), "-35.5\r\n120.25\r\n60.1\r\n-4.9\r\n3.3\r\n-5.0\r\n-8E-6\r\n");
    const std::vector<std::string> options = {"--params", dir.Path("p.txt"), "--system", "beijing54", "--system2",
                                              "xian80", "--cm", "114"};
    std::vector<std::string> proj_args = {"bursa-wolf", "proj"};
    proj_args.insert(proj_args.end(), options.begin(), options.end());
    const CliRun exported = RunCli(proj_args);
    ASSERT_EQ(exported.status, 0) << exported.err;
    std::vector<std::string> convert_args = proj_args;
    convert_args[1] = "convert";
    for (const double offset : {1.0, 2.0, 2.5, 3.0}) {
        std::string geodetic;
        int n = 0;
        for (const int latitude : {20, 30, 40, 50})
            for (const int side : {-1, 1}) {
                const double longitude = 114 + side * offset;
                geodetic += "G" + std::to_string(n++) + "," + std::to_string(latitude) + ".0000," +
                            FormatFixed(DegreesToDms(longitude), 4) + ",100\r\n";
            }
        const CliRun plane = RunCli({"gauss-forward", "--system", "beijing54", "--cm", "114"}, geodetic);
        ASSERT_EQ(plane.status, 0) << plane.err;
        PointSet points;
        std::istringstream lines(plane.out);
        for (std::string line; std::getline(lines, line);) {
            const std::vector<std::string> fields = SplitFields(line, 3);
            points.rows += fields[0] + "," + fields[1] + "," + fields[2] + ",100\r\n";
            points.proj_input.push_back({static_cast<double>(TextToNumber(fields[1])),
                                         static_cast<double>(TextToNumber(fields[2])), 100});
        }
        const std::vector<Point> program = RunConvert(convert_args, points.rows, false);
        const Agreement agreement = Compare(program, RunCct(PipelineWords(exported.out), points.proj_input), false);
        const double limit = offset <= 2.5 ? 0.0002 : 0.001;
        EXPECT_LE(agreement.horizontal, limit) << offset << " degrees from the central meridian";
        EXPECT_LE(agreement.vertical, limit) << offset << " degrees from the central meridian";
        std::cout << offset << " degrees from the central meridian: " << agreement.horizontal * 1000 << " mm\n";
    }
}

// The program's own parameters belong to the frame turned by L0: used as if
// they were Earth-fixed, a translation-only set misses by metres.
TEST(ProjExport, TheProgramsParametersAreNotEarthFixedAwayFromGreenwich) {
    if (!HaveCct()) GTEST_SKIP() << "PROJ's cct is not installed (Debian package proj-bin)";
    const ScratchDir dir;
    WriteBytes(dir.Path("p.txt"), "50\r\n-30\r\n10\r\n0\r\n0\r\n0\r\n0\r\n");
    const std::vector<std::string> proj_args = {"bursa-wolf", "proj", "--params", dir.Path("p.txt"), "--cm", "114"};
    const CliRun exported = RunCli(proj_args);
    ASSERT_EQ(exported.status, 0);
    // Turned back by 114°: 50 cos 114° + 30 sin 114°, 50 sin 114° - 30 cos 114°.
    EXPECT_NE(exported.out.find("+x=7.0695"), std::string::npos) << exported.out;
    EXPECT_NE(exported.out.find("+y=57.879"), std::string::npos) << exported.out;
    std::vector<std::string> naive = PipelineWords(exported.out);
    for (std::string& word : naive) {
        if (word.rfind("+x=", 0) == 0) word = "+x=50";
        if (word.rfind("+y=", 0) == 0) word = "+y=-30";
    }
    const PointSet points = PlanePoints();
    std::vector<std::string> convert_args = proj_args;
    convert_args[1] = "convert";
    const std::vector<Point> program = RunConvert(convert_args, points.rows, false);
    EXPECT_GT(Compare(program, RunCct(naive, points.proj_input), false).horizontal, 10.0);
    EXPECT_LE(Compare(program, RunCct(PipelineWords(exported.out), points.proj_input), false).horizontal, 0.001);
}

TEST(ProjExport, PlaneFourAgreesWithCct) {
    if (!HaveCct()) GTEST_SKIP() << "PROJ's cct is not installed (Debian package proj-bin)";
    const ScratchDir dir;
    const std::vector<std::string> parameter_sets = {"25.5\r\n-13.25\r\n1.5\r\n2.5E-6\r\n0.75\r\n",
                                                     "-120.5\r\n340.125\r\n-42.7\r\n-11.3E-6\r\n-3\r\n",
                                                     "0\r\n0\r\n0\r\n0\r\n0\r\n"};
    for (const std::string& parameters : parameter_sets) {
        WriteBytes(dir.Path("p.txt"), parameters);
        const CliRun exported = RunCli({"plane-four", "proj", "--params", dir.Path("p.txt")});
        ASSERT_EQ(exported.status, 0) << exported.err;
        const PointSet points = PlanePoints();
        const std::vector<Point> program =
            RunConvert({"plane-four", "convert", "--params", dir.Path("p.txt")}, points.rows, false);
        const Agreement agreement = Compare(program, RunCct(PipelineWords(exported.out), points.proj_input), false);
        EXPECT_LE(agreement.horizontal, 0.0001) << exported.out;
        EXPECT_LE(agreement.vertical, 0.0001) << exported.out;
    }
}

// Coefficients solved by the program from common points that differ by a
// similarity and a smooth distortion over 30 km, each order.
TEST(ProjExport, PolynomialAgreesWithCctAndTheGeodeticFormIsRefused) {
    if (!HaveCct()) GTEST_SKIP() << "PROJ's cct is not installed (Debian package proj-bin)";
    const ScratchDir dir;
    std::string common;
    for (int i = 0; i < 16; ++i) {
        const double x = 3380000 + 30000.0 * (i % 4) / 3 + 1234.5 * (i % 3);
        const double y = 38490000 + 30000.0 * (i / 4) / 3 + 987.6 * (i % 2);
        const double u = (x - 3395000) / 15000;
        const double v = (y - 38505000) / 15000;
        const double x2 = x + 12.3 + 2e-5 * (y - 38505000) + 0.05 * u * u - 0.02 * u * v * v;
        const double y2 = y - 45.6 - 2e-5 * (x - 3395000) + 0.03 * v * v + 0.01 * u * u * u;
        common += "C," + FormatFixed(x, 4) + "," + FormatFixed(y, 4) + ",10," + FormatFixed(x2, 4) + "," +
                  FormatFixed(y2, 4) + ",12,,,,,,Yes\r\n";
    }
    WriteBytes(dir.Path("common.txt"), common);
    PointSet points;
    for (int i = 0; i < 25; ++i) {
        const double x = 3378000 + 34000.0 * (i % 5) / 4;
        const double y = 38488000 + 34000.0 * (i / 5) / 4;
        points.rows += "Q," + ShortestDoubleText(x) + "," + ShortestDoubleText(y) + ",100\r\n";
        points.proj_input.push_back({x, y, 100});
    }
    Agreement worst;
    for (const std::string order : {"1", "2", "3"}) {
        const std::string coefficients = dir.Path("c" + order + ".txt");
        const CliRun solved = RunCli({"polynomial", "solve", "--order", order, "-i", dir.Path("common.txt"), "-o", coefficients});
        ASSERT_EQ(solved.status, 0) << solved.err;
        const std::vector<std::string> options = {"--order", order, "--params", coefficients, "--dh", "2"};
        std::vector<std::string> proj_args = {"polynomial", "proj"};
        proj_args.insert(proj_args.end(), options.begin(), options.end());
        const CliRun exported = RunCli(proj_args);
        ASSERT_EQ(exported.status, 0) << exported.err;
        std::vector<std::string> convert_args = proj_args;
        convert_args[1] = "convert";
        const std::vector<Point> program = RunConvert(convert_args, points.rows, false);
        const Agreement agreement = Compare(program, RunCct(PipelineWords(exported.out), points.proj_input), false);
        EXPECT_LE(agreement.horizontal, 0.0001) << order << "\n" << exported.out;
        EXPECT_LE(agreement.vertical, 0.0001) << order;
        worst.horizontal = std::max(worst.horizontal, agreement.horizontal);
    }
    std::cout << "polynomial: largest difference from cct " << worst.horizontal * 1000 << " mm\n";

    const CliRun refused = RunCli({"polynomial", "proj", "--form", "ellipsoid"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("无法用PROJ准确表达"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
}

// A scale factor 1 + m or 1 + D of zero or below folds the plane or space
// onto the origin or through it: refused with its message, nothing printed.
// Just above zero still exports.
TEST(ProjExport, ScaleFactorsNotAboveZeroAreRefused) {
    const ScratchDir dir;
    struct Case {
        std::string tool;
        std::string parameters;
        bool refused;
    };
    const std::vector<Case> cases = {{"plane-four", "1\r\n2\r\n3\r\n-1\r\n0\r\n", true},
                                     {"plane-four", "1\r\n2\r\n3\r\n-1.5\r\n0\r\n", true},
                                     {"plane-four", "1\r\n2\r\n3\r\n-0.999\r\n0\r\n", false},
                                     {"bursa-wolf", "1\r\n2\r\n3\r\n0\r\n0\r\n0\r\n-2\r\n", true},
                                     {"bursa-wolf", "1\r\n2\r\n3\r\n1\r\n1\r\n1\r\n-1\r\n", true},
                                     {"bursa-wolf", "1\r\n2\r\n3\r\n1\r\n1\r\n1\r\n-0.5\r\n", false}};
    for (const Case& c : cases) {
        WriteBytes(dir.Path("p.txt"), c.parameters);
        const CliRun run = RunCli({c.tool, "proj", "--params", dir.Path("p.txt")});
        if (c.refused) {
            EXPECT_EQ(run.status, 1) << c.tool << " " << c.parameters;
            EXPECT_NE(run.err.find("不大于零"), std::string::npos) << run.err;
            EXPECT_EQ(run.out, "");
        } else {
            EXPECT_EQ(run.status, 0) << run.err;
        }
    }
}

}  // namespace
}  // namespace coordconv
