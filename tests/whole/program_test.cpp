// The built simulation program as its users drive it: command line,
// replications and their summary files, reproducible streams, graphs as
// SVG, the report file on every way out, run-time errors and the menu.
// Each case translates a model, builds it with fpc and runs the program.
#include <gtest/gtest.h>
#include <sstream>
#include <vector>
#include "support/support.h"

namespace {

std::vector<std::string> LINES(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream s(text);
  for (std::string l; std::getline(s, l);) v.push_back(l);
  return v;
}

std::vector<std::string> FIELDS(const std::string& line) {
  std::vector<std::string> v;
  std::istringstream s(line);
  for (std::string f; std::getline(s, f, ',');) v.push_back(f);
  return v;
}

// The words of a line, split at blanks.
std::vector<std::string> WORDS(const std::string& line) {
  std::vector<std::string> v;
  std::istringstream s(line);
  for (std::string w; s >> w;) v.push_back(w);
  return v;
}

// The row of summary.csv for a figure: figure,n,mean,sd,half_width,low,high.
std::vector<std::string> SUMMARYROW(const std::string& csv, const std::string& figure) {
  for (const std::string& l : LINES(csv))
    if (l.rfind(figure + ",", 0) == 0) return FIELDS(l);
  return {};
}

// The block of lines from the one starting with `from` up to the line
// before the next empty line or menu prompt.
std::string REPORTBLOCK(const std::string& text, const std::string& from) {
  size_t a = text.find(from);
  if (a == std::string::npos) return "";
  size_t b = text.find("\nG run", a);
  return text.substr(a, b == std::string::npos ? std::string::npos : b - a);
}

// M/M/1, mean interarrival 5 and service 4: utilisation 0.8, mean queue
// length rho^2/(1-rho) = 3.2, mean wait in queue Lq/lambda = 16. Each of
// the 30 replications runs 100 000 time units (about 20 000 customers;
// the empty start fades within a few hundred), so the 95 % intervals are
// about +-0.003, +-0.1 and +-0.45 wide. A 95 % interval misses the true
// value one time in twenty, so the check is that the interval is the mean
// plus or minus its half width and that the mean lies within three half
// widths of theory (a miss by chance: three in a thousand).
TEST(Program, MM1ReplicationsSummaryHoldsTheory) {
  Built b(MODELTEXT("run_mm1.tlv"), "mm1");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 30 --format csv --progress --out res"), 0) << b.err();
  // the progress line, when the run lasted long enough to show it, is
  // rewritten in place and erased at the end
  std::string progress = b.err();
  EXPECT_EQ(progress.find('\n'), std::string::npos) << progress;
  if (!progress.empty()) {
    EXPECT_EQ(progress.front(), '\r');
    EXPECT_NE(progress.find("replication "), std::string::npos) << progress;
    EXPECT_NE(progress.find(" events/s"), std::string::npos) << progress;
    size_t last = progress.rfind('\r', progress.size() - 2);
    EXPECT_EQ(progress.substr(last + 1, progress.size() - last - 2).find_first_not_of(' '),
              std::string::npos)
        << progress;
    EXPECT_EQ(progress.back(), '\r');
  }
  std::vector<std::string> rows = LINES(b.out());
  ASSERT_EQ(rows.size(), 31u) << b.out();  // the header and 30 rows
  EXPECT_EQ(FIELDS(rows[0])[0], "replication");
  EXPECT_EQ(FIELDS(rows[30])[0], "30");
  EXPECT_EQ(b.dir.read("res/replications.csv"), b.out());
  std::string summary = b.dir.read("res/summary.csv");
  EXPECT_EQ(LINES(summary)[0], "figure,n,mean,sd,half_width,low,high");
  struct Expect {
    const char* figure;
    double theory;
  };
  for (Expect e : {Expect{"SERVER_utilisation", 0.8}, Expect{"EL_SERVER_mean_length", 3.2},
                   Expect{"EL_SERVER_mean_stay", 16.0}}) {
    std::vector<std::string> r = SUMMARYROW(summary, e.figure);
    ASSERT_EQ(r.size(), 7u) << e.figure << "\n" << summary;
    EXPECT_EQ(r[1], "30");
    double mean = std::stod(r[2]), sd = std::stod(r[3]), half = std::stod(r[4]);
    // t(0.975, 29) = 2.0452296
    EXPECT_NEAR(half, 2.0452296 * sd / std::sqrt(30.0), 1e-6 * half) << e.figure;
    EXPECT_NEAR(std::stod(r[5]), mean - half, 1e-9 * mean) << e.figure;
    EXPECT_NEAR(std::stod(r[6]), mean + half, 1e-9 * mean) << e.figure;
    EXPECT_NEAR(mean, e.theory, 3 * half) << e.figure;
  }
  std::string json = b.dir.read("res/summary.json");
  EXPECT_NE(json.find("\"replications\": 30,"), std::string::npos) << json;
  EXPECT_NE(json.find("{\"name\": \"SERVER_utilisation\", \"mean\": "), std::string::npos);
  std::string report = b.dir.read("res/mm1.report.txt");
  EXPECT_NE(report.find("time  100000.0000   replication 30\n"), std::string::npos);
  EXPECT_NE(report.find("TALVEN summary"), std::string::npos);
}

// Replication K depends on the seed and K alone: --rep 7 gives row 7 of
// --reps 10 byte for byte, another seed other figures, and the menu's
// second G the next replication.
TEST(Program, ReplicationsAreReproducibleAndIndependent) {
  std::string text = MODELTEXT("run_mm1.tlv");
  text.replace(text.find("100000"), 6, "2000");
  Built b(text, "mm1");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 10 --quiet --out ten"), 0) << b.err();
  ASSERT_EQ(b.run("--rep 7 --quiet --out seven"), 0) << b.err();
  std::vector<std::string> ten = LINES(b.dir.read("ten/replications.csv"));
  std::vector<std::string> seven = LINES(b.dir.read("seven/replications.csv"));
  ASSERT_EQ(ten.size(), 11u);
  ASSERT_EQ(seven.size(), 2u);
  EXPECT_EQ(seven[0], ten[0]);
  EXPECT_EQ(seven[1], ten[7]);
  EXPECT_EQ(FIELDS(seven[1])[0], "7");
  // --rep with --reps runs a block: replications 4 to 6
  ASSERT_EQ(b.run("--rep 4 --reps 3 --quiet --out block"), 0) << b.err();
  std::vector<std::string> block = LINES(b.dir.read("block/replications.csv"));
  ASSERT_EQ(block.size(), 4u);
  EXPECT_EQ(block[1], ten[4]);
  EXPECT_EQ(block[3], ten[6]);
  for (size_t i = 2; i < ten.size(); ++i)
    EXPECT_NE(FIELDS(ten[i])[1], FIELDS(ten[1])[1]) << i;
  ASSERT_EQ(b.run("--rep 7 --seed 4242 --quiet --out other"), 0);
  EXPECT_NE(LINES(b.dir.read("other/replications.csv"))[1], ten[7]);

  ASSERT_EQ(b.run("", "G\nG\nQ\n"), 0) << b.err();
  std::string menu = b.out();
  std::string first = REPORTBLOCK(menu, "time    2000.0000   replication 1");
  std::string second = REPORTBLOCK(menu, "time    2000.0000   replication 2");
  ASSERT_NE(first, "") << menu;
  ASSERT_NE(second, "") << menu;
  EXPECT_NE(first.substr(first.find('\n')), second.substr(second.find('\n')));
}

// Every stream and RANDOM go on between replications; replication 2
// alone draws what it draws after replication 1.
TEST(Program, RandomAndExpoDrawsDifferBetweenReplications) {
  Built b(MODELTEXT("run_draws.tlv"), "draws");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 2 --quiet"), 0) << b.err();
  std::vector<std::string> lines = LINES(b.out());
  ASSERT_EQ(lines.size(), 2u) << b.out();
  std::vector<std::string> one = WORDS(lines[0]), two = WORDS(lines[1]);
  ASSERT_EQ(one.size(), 5u);
  ASSERT_EQ(two.size(), 5u);
  EXPECT_EQ(one[1], "1");
  EXPECT_EQ(two[1], "2");
  for (int k = 2; k < 5; ++k) EXPECT_NE(one[k], two[k]) << "draw " << k;
  ASSERT_EQ(b.run("--rep 2 --quiet"), 0);
  EXPECT_EQ(b.out(), lines[1] + "\n");
}

// A seed the model writes into RN starts that stream again from it in
// every replication; the other streams still differ between replications.
TEST(Program, SeedWrittenIntoRnRestartsItsStream) {
  Built b(MODELTEXT("run_reseed.tlv"), "reseed");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 2 --quiet"), 0) << b.err();
  std::vector<std::string> lines = LINES(b.out());
  ASSERT_EQ(lines.size(), 2u) << b.out();
  std::vector<std::string> one = WORDS(lines[0]), two = WORDS(lines[1]);
  ASSERT_EQ(one.size(), 6u);
  ASSERT_EQ(two.size(), 6u);
  EXPECT_EQ(one[2], "12345");
  EXPECT_EQ(two[2], "12345");
  EXPECT_NE(one[3], two[3]);  // stream 2 keeps its own seed per replication
  EXPECT_EQ(one[4], two[4]);  // stream 1 draws the same after the reseed
  EXPECT_NE(one[5], two[5]);
  // another seed gives stream 1 the same draws, not stream 2
  ASSERT_EQ(b.run("--rep 1 --seed 77 --quiet"), 0);
  std::vector<std::string> three = WORDS(b.out());
  ASSERT_EQ(three.size(), 6u);
  EXPECT_EQ(three[4], one[4]);
  EXPECT_NE(three[5], one[5]);
}

// The prey example's GRAPH: an SVG that a real renderer turns into a
// picture with the model's colours in it, and the CSV of its points
// (every 0.25 from 0.125 to 39.875: 160 points).
TEST(Program, PreyGraphIsDrawnAsSvgAndCsv) {
  if (std::system("command -v rsvg-convert >/dev/null") != 0)
    FAIL() << "rsvg-convert (librsvg2-bin) is not installed";
  std::ifstream f(SOURCEDIR + "/examples/prey.tlv", std::ios::binary);
  Built b(std::string(std::istreambuf_iterator<char>(f), {}), "prey");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--out plots"), 0) << b.err();
  EXPECT_NE(b.out().find("Graph 1 Predators and prey: 160 points, plots/prey.graph1.svg"),
            std::string::npos)
      << b.out();
  std::vector<std::string> csv = LINES(b.dir.read("plots/prey.graph1.csv"));
  ASSERT_EQ(csv.size(), 161u);
  EXPECT_EQ(csv[0], "TIME,PREY,PRED");
  EXPECT_EQ(FIELDS(csv[1])[0], "0.125");
  EXPECT_EQ(FIELDS(csv[160])[0], "39.875");
  std::string svg = b.dir.read("plots/prey.graph1.svg");
  EXPECT_NE(svg.find(">Predators and prey</text>"), std::string::npos);
  EXPECT_NE(svg.find(">PREY</text>"), std::string::npos);
  EXPECT_NE(svg.find("stroke=\"#008000\""), std::string::npos);  // GREEN
  EXPECT_NE(svg.find("stroke=\"#800000\""), std::string::npos);  // RED
  ASSERT_EQ(SHELLIN(b.dir, "rsvg-convert plots/prey.graph1.svg -o g.png 2>rsvg.log"), 0)
      << b.dir.read("rsvg.log");
  // Not blank: each curve's colour covers many pixels of the picture.
  ASSERT_EQ(SHELLIN(b.dir, "python3 '" + SOURCEDIR +
                               "/tests/support/png_colours.py' g.png 008000 800000 >pixels.txt"),
            0);
  std::istringstream counts(b.dir.read("pixels.txt"));
  int green = 0, red = 0;
  counts >> green >> red;
  EXPECT_GT(green, 300) << b.dir.read("pixels.txt");
  EXPECT_GT(red, 300);
}

// A division by zero at time 10 in node BREAK: one line on standard
// error, exit code 1, and the report of the run so far in the report file.
TEST(Program, DivisionByZeroNamesTimeAndNode) {
  Built b(MODELTEXT("run_divzero.tlv"), "divzero");
  ASSERT_EQ(b.error, "");
  EXPECT_EQ(b.run("--out res"), 1);
  EXPECT_EQ(b.err(), "divzero: run-time error at time 10 in node BREAK: Division by zero\n");
  std::string report = b.dir.read("res/divzero.report.txt");
  EXPECT_NE(report.find("run-time error at time 10 in node BREAK: Division by zero\n"),
            std::string::npos)
      << report;
  // ten customers served by then, each 0.5 of 10 time units
  EXPECT_NE(report.find("time      10.0000   replication 1\n"), std::string::npos) << report;
  EXPECT_NE(report.find("SERVE                      1.0000       0.5000\n"), std::string::npos)
      << report;
  EXPECT_EQ(report.back(), '\n');
}

// The report file holds the whole report, as the console shows it, after
// Q, after the end of the input and after a run-time error.
TEST(Program, ReportFileIsCompleteOnEveryWayOut) {
  std::string text = MODELTEXT("run_mm1.tlv");
  text.replace(text.find("100000"), 6, "5000");
  Built b(text, "mm1");
  ASSERT_EQ(b.error, "");
  for (const char* input : {"N 3\nQ\n", "N 3\n"}) {
    ASSERT_EQ(b.run("", input), 0) << input;
    std::string shown = b.out();
    std::string report = b.dir.read("mm1.report.txt");
    for (int k = 1; k <= 3; ++k) {
      std::string block = REPORTBLOCK(shown, "time    5000.0000   replication " +
                                                 std::to_string(k));
      ASSERT_NE(block, "") << shown;
      EXPECT_NE(report.find(block), std::string::npos) << input << k;
    }
    std::string summary = REPORTBLOCK(shown, "TALVEN summary");
    ASSERT_NE(summary, "");
    EXPECT_NE(report.find(summary), std::string::npos);
    EXPECT_GT(report.size(), 3000u);
  }
  Built d(MODELTEXT("run_divzero.tlv"), "divzero");
  ASSERT_EQ(d.error, "");
  EXPECT_EQ(d.run("--reps 2"), 1);
  std::string shown = d.out();
  std::string report = d.dir.read("divzero.report.txt");
  std::string block = shown.substr(shown.find("\nTALVEN report"));
  EXPECT_NE(report.find(block), std::string::npos) << report;
  EXPECT_EQ(report.substr(report.size() - block.size()), block);
}

// The menu, fed through standard input.
TEST(Program, MenuAnswersEveryInput) {
  std::string text = MODELTEXT("run_mm1.tlv");
  text.replace(text.find("100000"), 6, "50");
  Built b(text, "mm1");
  ASSERT_EQ(b.error, "");
  // unknown input: the help of each letter
  ASSERT_EQ(b.run("", "X\nQ\n"), 0);
  EXPECT_NE(b.out().find("N k   run k replications"), std::string::npos) << b.out();
  EXPECT_EQ(b.out().find("TALVEN report"), std::string::npos);
  // N with its count on the same line and on the next
  ASSERT_EQ(b.run("", "N 2\nQ\n"), 0);
  EXPECT_NE(b.out().find("replication 2\n"), std::string::npos) << b.out();
  EXPECT_NE(b.out().find("replications 1 to 2"), std::string::npos);
  ASSERT_EQ(b.run("", "N\n3\nQ\n"), 0);
  EXPECT_NE(b.out().find("replications 1 to 3"), std::string::npos) << b.out();
  EXPECT_EQ(b.out().find("replication 4\n"), std::string::npos);
  // counts outside 1..1 000 000 000, or wrapping past 2^32, are refused
  for (const char* bad : {"0", "99999999999", "4294967298", "-1", "2x"}) {
    ASSERT_EQ(b.run("", std::string("N ") + bad + "\nQ\n"), 0) << bad;
    EXPECT_NE(b.out().find(std::string("N needs a count of replications from 1 to "
                                       "1000000000, not '") + bad + "'"),
              std::string::npos)
        << bad << "\n" << b.out();
    EXPECT_EQ(b.out().find("TALVEN report"), std::string::npos) << bad;
  }
  // T traces the next run, whose INIT would switch tracing off
  ASSERT_EQ(b.run("", "T\nG\nQ\n"), 0);
  EXPECT_NE(b.out().find("trace on for the next runs"), std::string::npos) << b.out();
  EXPECT_NE(b.out().find("NODE SERVER[1]"), std::string::npos) << b.out();
  ASSERT_EQ(b.run("", "G\nQ\n"), 0);
  EXPECT_EQ(b.out().find("NODE SERVER[1]"), std::string::npos);

  // a bad number typed for an @ item is asked for again
  Built in(MODELTEXT("run_input.tlv"), "input");
  ASSERT_EQ(in.error, "");
  ASSERT_EQ(in.run("", "G\nabc\n\n2.5\nQ\n"), 0) << in.err();
  EXPECT_NE(in.out().find("'abc' is not a number; once more"), std::string::npos) << in.out();
  EXPECT_NE(in.out().find("MEAN IS  2.50"), std::string::npos) << in.out();
  // at the end of the input the value stays
  ASSERT_EQ(in.run("", "G\n"), 0);
  EXPECT_NE(in.out().find("MEAN IS  1.00"), std::string::npos) << in.out();
}

// Arguments: nothing is prompted, bad ones end with exit code 2.
TEST(Program, CommandLineOptionsAndExitCodes) {
  std::string text = MODELTEXT("run_mm1.tlv");
  text.replace(text.find("100000"), 6, "50");
  Built b(text, "mm1");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--help"), 0);
  EXPECT_NE(b.out().find("--reps N"), std::string::npos);
  ASSERT_EQ(b.run("--version"), 0);
  EXPECT_NE(b.out().find("TALVEN simulation"), std::string::npos);
  for (const char* bad : {"--reps", "--reps 0", "--reps 1000000001", "--rep x", "--format xml",
                          "--seed -1", "--frobnicate", "G"}) {
    EXPECT_EQ(b.run(bad), 2) << bad;
    EXPECT_NE(b.err().find("mm1: "), std::string::npos) << bad;
    EXPECT_EQ(b.out(), "") << bad;
  }
  // a directory that cannot be made
  b.dir.write("blocker", "");
  EXPECT_EQ(b.run("--out blocker/sub"), 2);
  EXPECT_NE(b.err().find("cannot create the directory blocker/sub"), std::string::npos);
  // with arguments the menu never shows, even with input waiting
  ASSERT_EQ(b.run("--reps 2 --format json --out j", "Q\n"), 0) << b.err();
  EXPECT_EQ(b.out().find("G run"), std::string::npos);
  EXPECT_EQ(b.out().rfind("{\n", 0), 0u) << b.out();
  EXPECT_EQ(b.out(), b.dir.read("j/summary.json"));
  EXPECT_NE(b.out().find("\"t_quantile\": 12.7062047361747"), std::string::npos) << b.out();
  // --trace writes every event into its file, in the output directory
  ASSERT_EQ(b.run("--quiet --trace events.txt --out t"), 0);
  EXPECT_EQ(b.out(), "");
  EXPECT_NE(b.dir.read("t/events.txt").find("NODE SERVER[1]"), std::string::npos);
  // --quiet wins over --progress: nothing on either stream
  ASSERT_EQ(b.run("--progress --quiet --reps 3"), 0);
  EXPECT_EQ(b.out() + b.err(), "");
}

// A measured variable that never changes reports its value as mean, min
// and max; a frequency table shows its classes, counts, shares and bars
// in the report, and its counts in the summary files.
TEST(Program, ConstantVariablesAndFrequencyTablesAreReported) {
  Built b(MODELTEXT("run_tables.tlv"), "tables");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--out res"), 0) << b.err();
  std::string out = b.out();
  EXPECT_NE(out.find("LEVEL[2]                   7.0000       7.0000       7.0000        0\n"),
            std::string::npos)
      << out;
  EXPECT_NE(out.find("U_DESK[2]                  0.0000       0.0000       0.0000        0\n"),
            std::string::npos);
  // sizes 0.25, 0.75, ..., 4.75 in classes of width 1 from 0 to 3
  EXPECT_NE(out.find("table SIZES   10 values\n"
                     "class         from           to    count   relative\n"
                     "    1         -inf       0.0000        0     0.0000  \n"
                     "    2       0.0000       1.0000        2     0.2000  ####################\n"
                     "    3       1.0000       2.0000        2     0.2000  ####################\n"
                     "    4       2.0000       3.0000        2     0.2000  ####################\n"
                     "    5       3.0000         +inf        4     0.4000  "
                     "########################################\n"),
            std::string::npos)
      << out;
  std::string summary = b.dir.read("res/summary.csv");
  EXPECT_EQ(SUMMARYROW(summary, "SIZES_class_5")[2], "4") << summary;
  EXPECT_EQ(SUMMARYROW(summary, "LEVEL_2_max")[2], "7");
  EXPECT_NE(b.dir.read("res/summary.json").find("{\"name\": \"SIZES_class_2\", \"mean\": 2,"),
            std::string::npos);
}

}  // namespace

// Every file a run writes goes to --out: the model's own FILE output too,
// unless the model names an absolute path.
TEST(Program, FilesTheModelWritesGoToTheOutputDirectory) {
  TempDir elsewhere;
  std::string text =
      "Departures logged twice.\nNETWORK\n  ARRIVE (I) DONE ::\n     IT := 1;\n"
      "  DONE (E) ::\n     FILE('departures.txt', TIME);\n"
      "     FILE('" + elsewhere.file("abs.txt") + "', TIME);\n"
      "INIT\n  TSIM := 3.5;\n  ACT(ARRIVE, 0);\nDECL\nEND.\n";
  Built b(text, "logged");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--quiet --out results"), 0) << b.err();
  EXPECT_TRUE(b.dir.has("results/departures.txt"));
  EXPECT_FALSE(b.dir.has("departures.txt"));
  EXPECT_EQ(LINES(b.dir.read("results/departures.txt")).size(), 6u)  // heading, "# 1", departures at 0..3
      << b.dir.read("results/departures.txt");
  EXPECT_TRUE(elsewhere.has("abs.txt"));
  // without --out, the working directory as before
  ASSERT_EQ(b.run("--quiet"), 0) << b.err();
  EXPECT_TRUE(b.dir.has("departures.txt"));
}
