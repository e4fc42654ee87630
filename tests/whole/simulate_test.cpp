// Generated programs built with the runtime's real simulation and run:
// what the model prints is what its equations and events give.
#include <gtest/gtest.h>
#include <cmath>
#include <functional>
#include <map>
#include <vector>
#include "support/support.h"

namespace {

// The model's run prints these lines, one after the other.
void EXPECTPRINTS(const std::string& model, const std::string& lines) {
  std::string run = SIMULATE(model);
  EXPECT_NE(run.find(lines), std::string::npos) << run;
}

// The lines of a run made only of numbers, each as its numbers.
std::vector<std::vector<double>> ROWS(const std::string& run) {
  std::vector<std::vector<double>> rows;
  std::istringstream in(run);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream l(line);
    std::vector<double> row;
    double x;
    while (l >> x) row.push_back(x);
    if (!row.empty() && l.eof()) rows.push_back(row);
  }
  return rows;
}

// The queue after a C node brings it up to the moment of each arrival
// (0.5, 3, 5.5, 8) although the level is stepped only every time unit.
TEST(Simulation, SuccessorReadsTheLevelOfItsOwnInstant) {
  EXPECTPRINTS("cont_catchup.tlv",
               "    0.50    0.50\n"
               "    3.00    3.00\n"
               "    5.50    5.50\n"
               "    8.00    8.00\n");
}

// The same for each instance of a multiple C node, stepped 1 and 2 apart.
TEST(Simulation, SuccessorReadsEveryInstanceAtItsOwnInstant) {
  EXPECTPRINTS("cont_catchup_multi.tlv",
               "    0.50    0.50    1.00\n"
               "    3.00    3.00    6.00\n"
               "    5.50    5.50   11.00\n"
               "    8.00    8.00   16.00\n");
}

// An equation in each branch of IF, the ELSE starting its own line; the
// switch reads the room at its own instant.
TEST(Simulation, ThermostatSwitchesBetweenItsBranches) {
  EXPECTPRINTS("cont_else.tlv",
               "  2.00   2.000\n"
               "  3.00   3.000\n"
               "  4.00   2.000\n"
               "  5.00   3.000\n"
               "  6.00   2.000\n");
}

// A node that is no successor of the C node reads X' = 1.5 at its own
// instants, between the steps of 0.05: X = 1.5 t. Printed with ten
// decimals, so 1e-9 leaves room only for the rounding of the print.
TEST(Simulation, DiscreteNodeReadsTheRampAtItsOwnInstant) {
  std::string run = SIMULATE("cont_ramp.tlv");
  std::vector<std::vector<double>> rows = ROWS(run);
  ASSERT_GE(rows.size(), 15u) << run;
  for (const std::vector<double>& r : rows) {
    ASSERT_EQ(r.size(), 2u) << run;
    EXPECT_NEAR(r[1], 1.5 * r[0], 1e-9) << "at " << r[0];
  }
}

// Inflow and outflow switched by G nodes at random instants: the volume
// integrated with step 0.01 equals the balance the model adds up exactly
// at each switch (rates are constant between switches, so the only error
// left is rounding).
TEST(Simulation, ReservoirVolumeIsTheIntegralOfItsSwitchedFlows) {
  std::string run = SIMULATE("cont_reservoir.tlv");
  std::vector<std::vector<double>> rows = ROWS(run);
  ASSERT_EQ(rows.size(), 8u) << run;
  for (const std::vector<double>& r : rows) {
    ASSERT_EQ(r.size(), 3u) << run;
    EXPECT_NEAR(r[1], r[2], 1e-6 * std::fabs(r[2])) << "at " << r[0];
  }
  EXPECT_EQ(rows.back()[0], 200);
}

// One RKF node and three RK4 nodes of halving steps integrate the same
// equations; a line "EVALUATIONS" gives the derivatives each evaluated.
struct MethodRace {
  std::vector<double> err;  // per node: worst |x - ref| / (EABS + EREL |ref|)
  std::vector<double> evals;
};

// Rows "time x1 y1 x2 y2 ..." (vars values per node), against ref(t).
MethodRace RACE(const std::string& run, size_t vars,
                const std::function<std::vector<double>(double)>& ref) {
  const double EABS = 1e-6, EREL = 1e-6;
  MethodRace r;
  r.err.assign(4, 0);
  size_t rows = 0;
  for (const std::vector<double>& row : ROWS(run)) {
    if (row.size() != 1 + 4 * vars) continue;
    ++rows;
    std::vector<double> want = ref(row[0]);
    for (size_t node = 0; node < 4; ++node)
      for (size_t v = 0; v < vars; ++v) {
        double e = std::fabs(row[1 + node * vars + v] - want[v]) / (EABS + EREL * std::fabs(want[v]));
        r.err[node] = std::max(r.err[node], e);
      }
  }
  EXPECT_GE(rows, 10u) << run;
  size_t at = run.find("EVALUATIONS");
  if (at != std::string::npos) {
    std::istringstream in(run.substr(at + 11));
    double n;
    while (in >> n && r.evals.size() < 4) r.evals.push_back(n);
  }
  EXPECT_EQ(r.evals.size(), 4u) << run;
  return r;
}

// RKF keeps within EABS and EREL, and spends fewer evaluations than RK4
// would at RKF's accuracy. RK4's error goes as h^4, so a step that gives
// error E with n evaluations gives RKF's error E' with n (E / E')^(1/4);
// the rungs are checked to be in that regime (error ratio near 16 from
// one halving to the next) and the cheapest estimate is taken.
void EXPECTRKFWINS(const MethodRace& r) {
  ASSERT_EQ(r.evals.size(), 4u);
  EXPECT_LE(r.err[0], 1.0) << "RKF outside EABS/EREL";
  EXPECT_GT(r.err[1], 1.0) << "the coarsest RK4 step already meets the tolerance";
  double cheapest = 1e300;
  for (size_t k = 1; k < 4; ++k) {
    if (k < 3) {
      EXPECT_GT(r.err[k] / r.err[k + 1], 10.0);
      EXPECT_LT(r.err[k] / r.err[k + 1], 22.0);
    }
    cheapest = std::min(cheapest, r.evals[k] * std::pow(r.err[k] / r.err[0], 0.25));
  }
  EXPECT_LT(r.evals[0], cheapest);
}

// X' = -X, X(0) = 1: X = exp(-t).
TEST(Simulation, RkfMeetsItsToleranceOnDecayCheaperThanRk4) {
  std::string run = SIMULATE("cont_rkf_decay.tlv");
  MethodRace r = RACE(run, 1, [](double t) { return std::vector<double>{std::exp(-t)}; });
  EXPECTRKFWINS(r);
}

// Predators and prey against RK4 with step 1/2048, whose own error
// (of order 1e-11 here) is far below the 1e-6 tolerance.
TEST(Simulation, RkfMeetsItsToleranceOnPredatorsAndPreyCheaperThanRk4) {
  std::map<long, std::vector<double>> ref;
  double x = 10, y = 5, h = 1.0 / 2048;
  auto f = [](double p, double q) {
    return std::pair<double, double>(1.1 * p - 0.4 * p * q, 0.1 * p * q - 0.4 * q);
  };
  for (long k = 0; k <= 40 * 2048; ++k) {
    if (k % 2048 == 0) ref[k / 2048] = {x, y};
    auto a = f(x, y);
    auto b = f(x + h / 2 * a.first, y + h / 2 * a.second);
    auto c = f(x + h / 2 * b.first, y + h / 2 * b.second);
    auto d = f(x + h * c.first, y + h * c.second);
    x += h / 6 * (a.first + 2 * b.first + 2 * c.first + d.first);
    y += h / 6 * (a.second + 2 * b.second + 2 * c.second + d.second);
  }
  std::string run = SIMULATE("cont_rkf_prey.tlv");
  MethodRace r = RACE(run, 2, [&](double t) { return ref[std::lround(t)]; });
  EXPECTRKFWINS(r);
}

// The numbers of the report line of a measured variable ("X[1]").
std::vector<double> REPORTED(const std::string& run, const std::string& name) {
  size_t at = run.find("\n" + name + " ");
  if (at == std::string::npos) return {};
  std::istringstream in(run.substr(at + name.size() + 1, run.find('\n', at + 1) - at));
  std::vector<double> v;
  double x;
  while (in >> x) v.push_back(x);
  return v;
}

// Measured continuous variables: X' = 250000 runs from 2 to 8 and stands
// still before (0) and after (1.5e6), so its time average over [0, 10]
// is (0 * 2 + 0.75e6 * 6 + 1.5e6 * 2) / 10 = 750000; Y' = -Y from 1e6
// averages 1e6 (1 - e^-10) / 10. The report prints four decimals, far
// below the 1e-6 relative asked.
TEST(Simulation, ContinuousVariablesAreMeasuredAsTheyAreIntegrated) {
  std::string run = SIMULATE("cont_stats.tlv");
  std::vector<double> x = REPORTED(run, "X[1]"), y = REPORTED(run, "Y[1]");
  ASSERT_EQ(x.size(), 4u) << run;
  ASSERT_EQ(y.size(), 4u) << run;
  EXPECT_NEAR(x[0], 750000, 750000 * 1e-6);
  EXPECT_EQ(x[1], 0);
  EXPECT_NEAR(x[2], 1.5e6, 1.5e6 * 1e-6);
  double mean = 1e6 * (1 - std::exp(-10.0)) / 10;
  EXPECT_NEAR(y[0], mean, mean * 1e-6);
  // RK4 with step 0.1 errs by about 10 * 0.1^4 / 120 = 8e-6 relative
  EXPECT_NEAR(y[1], 1e6 * std::exp(-10.0), 1e-3);
  EXPECT_EQ(y[2], 1e6);
  // Z' = 1, stepped every 0.3, is brought from 9.9 to the end at 10
  std::vector<double> z = REPORTED(run, "Z[1]");
  ASSERT_EQ(z.size(), 4u) << run;
  EXPECT_NEAR(z[0], 5, 5e-6);
  EXPECT_NEAR(z[2], 10, 1e-5);
}

// The model of tests/models translated and built once in its directory;
// run(input) runs it with that standard input, its output and errors.
struct Built {
  TempDir dir;
  bool ok = false;
  std::string why;
  explicit Built(const std::string& name) {
    dir.write("m.tlv", MODELTEXT(name));
    std::ostringstream out, err;
    std::istringstream in;
    if (RUNTALVEN({"m.tlv"}, out, err, in, dir.str()) != 0) {
      why = "translation: " + err.str();
    } else if (FPCBUILD(dir, "m") != 0) {
      why = "fpc: " + dir.read("fpc.log");
    } else {
      ok = true;
    }
  }
  std::string run(const std::string& input) {
    dir.write("input.txt", input);
    SHELLIN(dir, "timeout 60 units/m <input.txt >run.log 2>&1");
    return dir.read("run.log");
  }
};

// The line the model prints at the end of its run ("" when it did not run).
std::string SHOWN(const std::string& run) {
  size_t at = run.find("SMEAN ");
  return at == std::string::npos ? "" : run.substr(at, run.find('\n', at) - at);
}

// E loads a data file between runs; its values, not INIT's, make the
// next run, and INIT's statements after ENDEXP see them. One arrival a
// time unit: a desk serving 1.8 finishes 55 by 99.5, three serving 0.1
// all 100. Any line ends, NAME = value or NAME=value, names in any case.
TEST(Experiments, DataFileChangesTheNextRun) {
  Built m("exper_run.tlv");
  ASSERT_TRUE(m.ok) << m.why;
  EXPECT_EQ(SHOWN(m.run("G\n")), "SMEAN   1.80 TWICE   3.60 DONE   55");
  m.dir.write("lf.dat", "Faster service\nSMEAN = 0.1\nDESK = 3\nEND\n");
  m.dir.write("crlf.dat", "Faster service\r\nsmean=0.1\r\n  Desk =3\r\nEND\r\n");
  m.dir.write("noend.dat", "Faster service\nSMEAN 0.1 DESK 3");
  for (const char* file : {"lf.dat", "crlf.dat", "noend.dat"}) {
    std::string run = m.run(std::string("E\n") + file + "\nG\nG\n");
    EXPECT_EQ(SHOWN(run), "SMEAN   0.10 TWICE   0.20 DONE  100") << file << "\n" << run;
  }
}

// A faulty file is refused with its place; the experiment is dropped, so
// an explicit G runs with INIT's values, and at the end of the input no
// run starts at all.
TEST(Experiments, BadValueIsRefusedWithItsPlace) {
  Built m("exper_run.tlv");
  ASSERT_TRUE(m.ok) << m.why;
  m.dir.write("bad.dat", "Slow\r\nDESK = 2\r\nSMEAN = fast\r\nEND\r\n");
  std::string run = m.run("E\nbad.dat\nG\n");
  EXPECT_NE(run.find("bad.dat:3: SMEAN: bad value \"fast\"\n"), std::string::npos) << run;
  EXPECT_EQ(SHOWN(run), "") << run;
  run = m.run("E\nbad.dat\nG\nG\n");
  EXPECT_EQ(SHOWN(run), "SMEAN   1.80 TWICE   3.60 DONE   55") << run;
  struct Case {
    const char* text;
    const char* message;
  } cases[] = {
      {"t\nSMEAN = 0,1\nEND\n", "f.dat:2: SMEAN: one value expected, 2 given"},
      {"t\n\nSPEED = 2\nEND\n", "f.dat:3: SPEED: no experiment variable of this model"},
      {"t\nSMEAN =\nDESK 3\nEND\n", "f.dat:2: SMEAN: value missing"},
      {"t\nDESK\nEND\n", "f.dat:2: DESK: value missing"},
      {"t\nSMEAN 1 = 2\nEND\n", "f.dat:2: SMEAN: value expected, \"=\" found"},
  };
  for (const Case& k : cases) {
    m.dir.write("f.dat", k.text);
    run = m.run("E\nf.dat\nG\n");
    EXPECT_NE(run.find(std::string(k.message) + "\n"), std::string::npos) << k.text << run;
    EXPECT_EQ(SHOWN(run), "") << run;
  }
  run = m.run("E\nabsent.dat\nG\n");
  EXPECT_NE(run.find("absent.dat: the data file cannot be read\n"), std::string::npos) << run;
}

}  // namespace
