// Generated programs built with the runtime's real simulation and run:
// what the model prints is what its equations and events give.
#include <gtest/gtest.h>
#include <cmath>
#include <vector>
#include "support/support.h"

namespace {

// Translates, builds and runs a model of tests/models; its printed lines.
std::string SIMULATE(const std::string& name) {
  TempDir dir;
  dir.write("m.tlv", MODELTEXT(name));
  std::ostringstream out, err;
  std::istringstream in;
  if (RUNTALVEN({"m.tlv"}, out, err, in, dir.str()) != 0) return "translation: " + err.str();
  if (FPCBUILD(dir, "m") != 0) return "fpc: " + dir.read("fpc.log");
  if (RUNBUILT(dir, "m") != 0) return "run: " + dir.read("run.log");
  return dir.read("run.log");
}

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

}  // namespace
