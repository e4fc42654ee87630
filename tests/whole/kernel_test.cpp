// The simulation kernel seen through whole models: events at the same
// instant, cancelled, held by a block; messages moved between lists,
// ordered, sorted, synchronised, released early.  The order in which
// things happen must stay what it was with the plain event list (kept in
// tests/models/<model>.expect).
#include <gtest/gtest.h>
#include <regex>
#include "support/support.h"

namespace {

// Translates, builds and runs a model of tests/models; what it printed.
std::string RUNMODEL(const std::string& name) {
  TempDir dir;
  dir.write("m.tlv", MODELTEXT(name));
  std::ostringstream out, err;
  std::istringstream in;
  if (RUNTALVEN({"m.tlv"}, out, err, in, dir.str()) != 0) return "translation: " + err.str();
  if (FPCBUILD(dir, "m") != 0) return "fpc: " + dir.read("fpc.log");
  if (RUNBUILT(dir, "m") != 0) return "run: " + dir.read("run.log");
  return dir.read("run.log");
}

// The lines of text that match pattern, in order.
std::string LINES(const std::string& text, const std::string& pattern) {
  std::regex re(pattern);
  std::istringstream in(text);
  std::string line, kept;
  while (std::getline(in, line))
    if (std::regex_search(line, re)) kept += line + "\n";
  return kept;
}

// Every event of a clock and the nodes it starts at the same instant, with
// priorities, several copies, events taken out by node, copy and time, and
// events put in by node code: the same events in the same order.
TEST(Kernel, EventsAtTheSameInstantKeepTheirOrder) {
  std::string run = RUNMODEL("kern_events.tlv");
  EXPECT_EQ(LINES(run, "^(CLOCK|P[0-9]|Q |W[0-9])"), MODELTEXT("kern_events.expect")) << run;
}

// Messages through a three-server desk with equal service times, an
// ordered queue, a sort, SYNCHRONIZE, ASSEMBLE, REL, EXTR and PREEMPTION:
// the same messages leave at the same times in the same order.
TEST(Kernel, MessagesLeaveInTheSameOrder) {
  std::string run = RUNMODEL("kern_flow.tlv");
  EXPECT_EQ(LINES(run, "^OUT "), MODELTEXT("kern_flow.expect")) << run;
}

// After each event only the nodes that may act are called, yet in the
// same order: messages sent to other copies of a node, back to a node the
// scan has passed, and to a decision node from several sources arrive as
// when every node was called in turn.
TEST(Kernel, NodeScanCallsTheSameNodesInTheSameOrder) {
  std::string run = RUNMODEL("kern_scan.tlv");
  EXPECT_EQ(LINES(run, "^(HUB|BACK|FIN|WATCH)"), MODELTEXT("kern_scan.expect")) << run;
}

}  // namespace
