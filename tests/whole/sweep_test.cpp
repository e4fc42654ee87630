// Runs of one model split over processes and put together again: the
// program's --merge and --exper, and the parameter file of FACTORS and
// RESPONSES driven as the sweeps drive it.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <filesystem>
#include <sstream>
#include <vector>
#include "cli/sweep.h"
#include "support/paths.h"
#include "support/support.h"

namespace {

std::string EXAMPLE(const std::string& name) {
  std::ifstream f(SOURCEDIR + "/examples/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}

// --jobs N: blocks of the replications in N processes give, byte for
// byte, the files and the report one process gives (replication K
// depends on the seed and K alone), in every format.
TEST(Jobs, BlocksInProcessesGiveTheFilesOfOneProcess) {
  Built b(EXAMPLE("bank.tlv"), "bank");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 40 --seed 7 --out j1 --jobs 1"), 0) << b.err();
  std::string serial = b.out();
  for (const char* jobs : {"2", "4"}) {
    std::string out = std::string("j") + jobs;
    ASSERT_EQ(b.run("--reps 40 --seed 7 --out " + out + " --jobs " + jobs), 0) << b.err();
    EXPECT_EQ(b.out(), serial) << jobs;
    for (const char* f : {"replications.csv", "summary.csv", "summary.json", "bank.report.txt"})
      EXPECT_EQ(b.dir.read(out + "/" + f), b.dir.read(std::string("j1/") + f)) << jobs << f;
    EXPECT_NE(b.dir.read(out + "/jobs/2/replications.csv"), "") << jobs;
  }
  EXPECT_NE(b.dir.read("j1/summary.json").find("\"replications\": 40,"), std::string::npos);
  for (const char* format : {"csv", "json"}) {
    ASSERT_EQ(b.run(std::string("--rep 3 --reps 7 --out f --format ") + format), 0);
    std::string one = b.out();
    ASSERT_EQ(b.run(std::string("--rep 3 --reps 7 --out f --jobs 3 --format ") + format), 0);
    EXPECT_EQ(b.out(), one) << format;
  }
  // too few replications to share: one process, no blocks
  ASSERT_EQ(b.run("--reps 3 --jobs 2 --out small --quiet"), 0);
  EXPECT_EQ(b.dir.read("small/jobs/1/replications.csv"), "");
  EXPECT_EQ(b.run("--reps 4 --jobs 2 --trace t.txt"), 2);
  EXPECT_NE(b.err().find("--trace and --jobs"), std::string::npos) << b.err();
}

// Graphs of every replication land in the output directory under the
// names one process gives them; a block that fails ends the program
// with its error and exit code.
TEST(Jobs, GraphsAndRunTimeErrorsOfBlocks) {
  Built prey(EXAMPLE("prey.tlv"), "prey");
  ASSERT_EQ(prey.error, "");
  ASSERT_EQ(prey.run("--reps 4 --out one --quiet"), 0) << prey.err();
  ASSERT_EQ(prey.run("--reps 4 --out two --jobs 2 --quiet"), 0) << prey.err();
  for (const char* f : {"prey.graph1.rep1.svg", "prey.graph1.rep4.csv"}) {
    EXPECT_NE(prey.dir.read(std::string("one/") + f), "") << f;
    EXPECT_EQ(prey.dir.read(std::string("two/") + f), prey.dir.read(std::string("one/") + f))
        << f;
  }

  Built bad(MODELTEXT("run_divzero.tlv"), "divzero");
  ASSERT_EQ(bad.error, "");
  EXPECT_EQ(bad.run("--reps 4 --jobs 2 --out res"), 1);
  EXPECT_NE(bad.err().find("divzero: run-time error at time 10 in node BREAK: Division by zero\n"),
            std::string::npos)
      << bad.err();
  // both blocks fail; the one that ends first stops the other
  EXPECT_NE(bad.err().find(") ended with exit code 1\n"), std::string::npos) << bad.err();
  EXPECT_TRUE(bad.err().find("divzero: replications 1 to 2 (res/jobs/1)") != std::string::npos ||
              bad.err().find("divzero: replications 3 to 4 (res/jobs/2)") != std::string::npos)
      << bad.err();
  EXPECT_EQ(bad.dir.read("res/replications.csv"), "");
}

// Blocks of replications merged in any order give the files of one run
// of them all, byte for byte; a replication twice, a file of other
// columns or no file at all is refused with exit code 2.
TEST(Merge, BlocksMergeIntoTheFilesOfOneRun) {
  Built b(MODELTEXT("run_mm1.tlv"), "mm1");
  ASSERT_EQ(b.error, "");
  ASSERT_EQ(b.run("--reps 12 --out one --quiet"), 0) << b.err();
  ASSERT_EQ(b.run("--rep 1 --reps 5 --out a --quiet"), 0) << b.err();
  ASSERT_EQ(b.run("--rep 6 --reps 7 --out b --quiet"), 0) << b.err();
  ASSERT_EQ(b.run("--merge b/replications.csv --merge a/replications.csv --out m --quiet"), 0)
      << b.err();
  for (const char* f : {"replications.csv", "summary.csv", "summary.json"})
    EXPECT_EQ(b.dir.read(std::string("m/") + f), b.dir.read(std::string("one/") + f)) << f;
  EXPECT_NE(b.dir.read("m/summary.json").find("\"replications\": 12,"), std::string::npos);

  EXPECT_EQ(b.run("--merge a/replications.csv --merge a/replications.csv --out x"), 2);
  EXPECT_NE(b.err().find("replication 1: appears twice"), std::string::npos) << b.err();
  b.dir.write("other.csv", "replication,X\n13,1\n");
  EXPECT_EQ(b.run("--merge a/replications.csv --merge other.csv --out x"), 2);
  EXPECT_NE(b.err().find("other.csv: its columns differ"), std::string::npos) << b.err();
  EXPECT_EQ(b.run("--merge none.csv --out x"), 2);
  EXPECT_NE(b.err().find("none.csv: cannot be read"), std::string::npos) << b.err();
}

// talven sweep and talven merge as a modeller runs them: the talven
// program itself in a directory of its own; stdout in out.txt, stderr
// in err.txt; the exit code.
struct Shell {
  TempDir dir;
  int operator()(const std::string& args) const {
    int st = SHELLIN(dir, "timeout 120 '" + std::string(TALVEN_BINARY) + "' " + args +
                              " >out.txt 2>err.txt");
    return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  }
  std::string out() const { return dir.read("out.txt"); }
  std::string err() const { return dir.read("err.txt"); }
};

// A row of results.csv: the figure of a point.
struct Row {
  double mean = 0, half = 0, low = 0, high = 0;
};

// The rows of one figure by point: the point's values joined by commas.
std::map<std::string, Row> RESULTS(const std::string& csv, const std::string& figure) {
  std::map<std::string, Row> r;
  std::istringstream in(csv);
  std::string line;
  std::getline(in, line);
  std::vector<std::string> head = CSVFIELDS(line);
  size_t fig = std::find(head.begin(), head.end(), "figure") - head.begin();
  while (std::getline(in, line)) {
    std::vector<std::string> f = CSVFIELDS(line);
    // point, the values, figure, n, mean, sd, half_width, low, high
    if (f.size() != fig + 7 || f[fig] != figure) continue;
    std::string key = f[1];
    for (size_t i = 2; i < fig; ++i) key += "," + f[i];
    r[key] = {std::stod(f[fig + 2]), std::stod(f[fig + 4]), std::stod(f[fig + 5]),
              std::stod(f[fig + 6])};
  }
  return r;
}

// A sweep of 40 replications in 4 tasks, 2 at a time, gives the files one
// run of them all gives; talven merge names a task that is missing or
// failed, merges the others and exits with 1.
TEST(Sweep, TasksMergeIntoTheFilesOfOneRunAndGapsAreNamed) {
  Shell t;
  t.dir.write("bank.tlv", EXAMPLE("bank.tlv"));
  ASSERT_EQ(t("run bank.tlv -- --reps 40 --out serial --quiet"), 0) << t.err();
  ASSERT_EQ(t("sweep bank.tlv --reps 40 --tasks 4 --jobs 2 --out sw"), 0) << t.err();
  for (const char* f : {"replications.csv", "summary.csv", "summary.json"})
    EXPECT_EQ(t.dir.read(std::string("sw/") + f), t.dir.read(std::string("serial/") + f)) << f;
  EXPECT_NE(t.err().find("tasks 4/4 done"), std::string::npos) << t.err();
  EXPECT_NE(t.err().find("so far, "), std::string::npos) << t.err();

  std::filesystem::remove(t.dir.file("sw/task.3/status"));
  t.dir.write("sw/task.2/status", "exit 1\n");
  EXPECT_EQ(t("merge sw"), 1);
  EXPECT_NE(t.err().find("task 3 (replications 21 to 30): missing"), std::string::npos) << t.err();
  EXPECT_NE(t.err().find("task 2 (replications 11 to 20): failed with exit code 1"),
            std::string::npos)
      << t.err();
  EXPECT_NE(t.dir.read("sw/summary.json").find("\"replications\": 20,"), std::string::npos);
  EXPECT_EQ(t("sweep bank.tlv --reps 4 --tasks 2 --design d.csv"), 2);
  EXPECT_NE(t.err().find("with a design every point is a task"), std::string::npos) << t.err();
  EXPECT_EQ(t("sweep bank.tlv --out x"), 2);
  EXPECT_NE(t.err().find("talven sweep: --reps N is needed"), std::string::npos) << t.err();
  EXPECT_EQ(t("merge nowhere"), 2);
  EXPECT_NE(t.err().find("not the directory of a sweep"), std::string::npos) << t.err();
}

// A design of two factors, 4 points of 10 replications each, through the
// parameter file (every column is a FACTOR): one row per point and figure.
// The desk is M/M/1, so its utilisation is SERVT/MEANT; the point's mean
// lies within two half-widths of it (about 4.5 standard errors: with 10
// replications of 5000 time units the standard error is below 0.01), and
// it rises with the arrival rate 1/MEANT at either service time, the
// intervals apart. The same design as experiment values (a column that is
// no factor) gives the same utilisations: the same replications draw the
// same numbers.
TEST(Sweep, DesignPointsWithIntervalsAsTheoryHasThem) {
  Shell t;
  t.dir.write("queue.tlv", MODELTEXT("sweep_desk.tlv"));
  t.dir.write("design.csv", "MEANT,SERVT\n2,0.5\n1,0.5\n2,0.7\n1,0.7\n");
  ASSERT_EQ(t("sweep queue.tlv --reps 10 --design design.csv --out f"), 0) << t.err();
  std::string csv = t.dir.read("f/results.csv");
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "point,MEANT,SERVT,figure,n,mean,sd,half_width,low,high");
  std::map<std::string, Row> u = RESULTS(csv, "DESK_utilisation");
  ASSERT_EQ(u.size(), 4u) << csv;
  for (auto& [point, row] : u) {
    double meant = std::stod(point.substr(0, point.find(','))),
           servt = std::stod(point.substr(point.find(',') + 1));
    EXPECT_NEAR(row.mean, servt / meant, 2 * row.half) << point;
    EXPECT_GT(row.half, 0) << point;
  }
  EXPECT_GT(u["1,0.5"].low, u["2,0.5"].high);
  EXPECT_GT(u["1,0.7"].low, u["2,0.7"].high);
  // the response comes back too: departures, about 5000/MEANT
  std::map<std::string, Row> done = RESULTS(csv, "DONE");
  EXPECT_NEAR(done["1,0.5"].mean, 5000, 200) << csv;
  std::string json = t.dir.read("f/results.json");
  EXPECT_NE(json.find("{\"point\": 4, \"values\": {\"MEANT\": 1, \"SERVT\": 0.7}"),
            std::string::npos)
      << json;
  EXPECT_NE(t.err().find("tasks 4/4 done"), std::string::npos) << t.err();
  EXPECT_NE(t.err().find("  DESK_utilisation "), std::string::npos) << t.err();

  // DESK is no factor: every column becomes an experiment value
  t.dir.write("exper.csv", "MEANT,SERVT,DESK\n2,0.5,1\n1,0.5,1\n2,0.7,1\n1,0.7,1\n");
  ASSERT_EQ(t("sweep queue.tlv --reps 10 --design exper.csv --out e --quiet"), 0) << t.err();
  EXPECT_EQ(t.err(), "");
  std::map<std::string, Row> e = RESULTS(t.dir.read("e/results.csv"), "DESK_utilisation");
  ASSERT_EQ(e.size(), 4u) << t.dir.read("e/results.csv");
  for (auto& [point, row] : u) EXPECT_EQ(e[point + ",1"].mean, row.mean) << point;

  t.dir.write("bad.csv", "MEANT,NOPE\n1,2\n");
  EXPECT_EQ(t("sweep queue.tlv --reps 2 --design bad.csv --out b --quiet"), 1);
  EXPECT_NE(t.err().find("task 1 (MEANT=1 NOPE=2): failed with exit code 2"), std::string::npos)
      << t.err();
  EXPECT_NE(t.dir.read("b/task.1/log.txt").find("NOPE: no experiment variable of this model"),
            std::string::npos)
      << t.dir.read("b/task.1/log.txt");
}

// Design files: the first line names the variables (a subscript allowed,
// each once), then a line of values per point; blank lines and '#'
// lines are skipped, quoted values keep their commas; the line and the
// column of a fault are named.
TEST(Sweep, DesignFilesAreReadOrRefusedWithTheLine) {
  TempDir d;
  Design g;
  std::string why;
  d.write("ok.csv", "# a study\nRATE, WARD[2]\n\n0.5,\"1,2\"\r\n 1 , 3\n");
  ASSERT_TRUE(READDESIGN(d.file("ok.csv"), g, why)) << why;
  EXPECT_EQ(g.columns, (std::vector<std::string>{"RATE", "WARD[2]"}));
  ASSERT_EQ(g.points.size(), 2u);
  EXPECT_EQ(g.points[0], (std::vector<std::string>{"0.5", "1,2"}));
  EXPECT_EQ(g.points[1], (std::vector<std::string>{"1", "3"}));
  const std::pair<const char*, const char*> bad[] = {
      {"RATE,2X\n1,2\n", ":1: '2X' is not a variable's name"},
      {"RATE,rate\n1,2\n", ":1: rate twice"},
      {"A,B\n1,2\n3\n", ":3: 1 values, 2 columns"},
      {"A,B\n1,\n", ":2: B: no value"},
      {"A,B\n", ": no points (one line each after the names)"},
      {"# nothing\n", ": no columns (the first line names the variables)"}};
  for (auto& [text, message] : bad) {
    d.write("bad.csv", text);
    EXPECT_FALSE(READDESIGN(d.file("bad.csv"), g, why)) << text;
    EXPECT_EQ(why, d.file("bad.csv") + message) << text;
  }
  EXPECT_FALSE(READDESIGN(d.file("none.csv"), g, why));
  EXPECT_EQ(why, d.file("none.csv") + ": cannot be read");
}

// --exper sets the experiment variables of every run from a data file;
// its title heads the report; a name the model does not have, a bad
// value or a model without EXPER ends the program with exit code 2.
TEST(Merge, ExperFileSetsTheVariablesOfEveryRun) {
  Built b(MODELTEXT("exper_run.tlv"), "office");
  ASSERT_EQ(b.error, "");
  b.dir.write("fast.dat", "fast desk\nSMEAN = 0.5\nDESK = 2\nEND\n");
  ASSERT_EQ(b.run("--exper fast.dat --reps 2 --out o"), 0) << b.err();
  EXPECT_NE(b.out().find("SMEAN   0.50 TWICE   1.00"), std::string::npos) << b.out();
  EXPECT_NE(b.out().find("TALVEN report  fast desk"), std::string::npos) << b.out();
  b.dir.write("bad.dat", "t\nSMEAN = x\nEND\n");
  EXPECT_EQ(b.run("--exper bad.dat --out o"), 2);
  EXPECT_NE(b.err().find("bad.dat:2: SMEAN: bad value \"x\""), std::string::npos) << b.err();
  b.dir.write("other.dat", "t\nNOPE = 1\nEND\n");
  EXPECT_EQ(b.run("--exper other.dat --out o"), 2);
  EXPECT_NE(b.err().find("NOPE: no experiment variable of this model"), std::string::npos)
      << b.err();

  Built plain(MODELTEXT("run_mm1.tlv"), "mm1");
  ASSERT_EQ(plain.error, "");
  plain.dir.write("e.dat", "t\nX = 1\nEND\n");
  EXPECT_EQ(plain.run("--exper e.dat --out o"), 2);
  EXPECT_NE(plain.err().find("the model has no experiment variables"), std::string::npos)
      << plain.err();
}

// The parameter file as a caller uses it: I creates it with the program's
// names and seeds; the caller writes the factors it sets, in its own
// order, and the responses it wants; D simulates and writes them back.
// gen_exper: arrivals every MEANT into a desk of 2 serving SERVT on
// average, DONE counting departures up to TSIM = 100. With MEANT = 0.5 and
// a short service nearly all of the Poisson(200) arrivals leave: within
// 4 sd (14) of 200. With MEANT = 10 about 10 arrive.
TEST(ParameterFile, FactorsGoInAndResponsesComeOut) {
  Built b(MODELTEXT("gen_exper.tlv"), "ex");
  ASSERT_EQ(b.error, "");
  const std::string pf = b.dir.file(PARAMFILENAME("ex.tlv"));
  EXPECT_EQ(PARAMFILENAME("ex.tlv"), "ex.D01");
  EXPECT_EQ(b.run("D --out o"), 2);
  EXPECT_NE(b.err().find("parameter file ex.D01: cannot be read"), std::string::npos) << b.err();
  ASSERT_EQ(b.run("I --out o"), 0) << b.err();
  ParamFile p;
  std::string why;
  ASSERT_TRUE(p.load(pf, why)) << why;
  EXPECT_EQ(p.names(PF_FACTORS), (std::vector<std::string>{"MEANT", "SERVT"}));
  EXPECT_EQ(p.names(PF_RESPONSENAMES), std::vector<std::string>{"DONE"});

  auto done = [&](double meant, double servt) {
    ParamFile q;
    std::string w;
    EXPECT_TRUE(q.load(pf, w)) << w;
    q.setnames(PF_ASKEDFACTORS, {"servt", "meant"});
    q.setnames(PF_ASKEDRESPONSES, {"DONE"});
    q.setvalues(PF_VALUES, {servt, meant});
    EXPECT_TRUE(q.save(pf, w)) << w;
    EXPECT_EQ(b.run("D --out o --quiet"), 0) << b.err();
    EXPECT_TRUE(q.load(pf, w)) << w;
    return q.values(PF_RESPONSES, 1)[0];
  };
  double busy = done(0.5, 0.1);
  EXPECT_GT(busy, 200 - 4 * 14.2);
  EXPECT_LT(busy, 200 + 4 * 14.2);
  double calm = done(10, 0.1);
  EXPECT_LT(calm, 30);

  p.setnames(PF_ASKEDFACTORS, {"NOPE"});
  ASSERT_TRUE(p.save(pf, why)) << why;
  EXPECT_EQ(b.run("D --out o"), 2);
  EXPECT_NE(b.err().find("parameter file ex.D01: no factor 'NOPE' in this model"),
            std::string::npos)
      << b.err();
  p.setnames(PF_ASKEDFACTORS, {});
  p.setnames(PF_ASKEDRESPONSES, {"DONE"});
  p.bytes[PARAMRECORD * PF_ASKEDRESPONSES] = 11;  // more than the file holds
  ASSERT_TRUE(p.save(pf, why)) << why;
  EXPECT_EQ(b.run("D --out o"), 2);
  EXPECT_NE(b.err().find("11 responses asked for (0 to 10)"), std::string::npos) << b.err();
}

// The records as the generated declarations lay them out on this machine
// (checked against fpc's own layout in FactorsGoInAndResponsesComeOut):
// names as 8-character Pascal strings after a 32-bit count, values as
// doubles from the record's start.
TEST(ParameterFile, RecordsHoldNamesAndValuesInPlace) {
  ParamFile p;
  EXPECT_EQ(p.bytes.size(), 13u * 128u);
  p.setnames(PF_ASKEDFACTORS, {"rate", "LONGERNAME"});
  EXPECT_EQ(p.bytes.substr(0, 4), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(p.bytes.substr(4, 9), "\x08RATE    ");
  EXPECT_EQ(p.bytes.substr(13, 9), "\x08LONGERNA");
  EXPECT_EQ(p.names(PF_ASKEDFACTORS), (std::vector<std::string>{"RATE", "LONGERNA"}));
  p.setvalues(PF_VALUES, {0.25, -3});
  EXPECT_EQ(p.values(PF_VALUES, 2), (std::vector<double>{0.25, -3}));
  EXPECT_EQ(p.bytes.substr(2 * 128, 8), std::string("\0\0\0\0\0\0\xd0\x3f", 8));
  EXPECT_EQ(PARAMKEY("Arrival_rate"), "ARRIVAL_");
}

}  // namespace
