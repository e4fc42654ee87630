// Generated programs built with the runtime's real simulation and run:
// what the model prints is what its equations and events give.
#include <gtest/gtest.h>
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

// An equation in each branch of IF, the ELSE starting its own line.
TEST(Simulation, ThermostatSwitchesBetweenItsBranches) {
  EXPECTPRINTS("cont_else.tlv",
               "  2.00   1.900\n"
               "  3.00   2.900\n"
               "  4.00   1.900\n"
               "  5.00   2.900\n");
}

}  // namespace
