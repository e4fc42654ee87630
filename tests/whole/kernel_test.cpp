// The simulation kernel seen through whole models: events at the same
// instant, cancelled, held by a block; messages moved between lists,
// ordered, sorted, synchronised, released early.  The order in which
// things happen must stay what it was with the plain event list (kept in
// tests/models/<model>.expect).
#include <gtest/gtest.h>
#include <cmath>
#include <regex>
#include <vector>
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

// Doors closed from 5.5 to 10.5 and from 17.75 to 22.75 block both the
// arrivals (one every time unit) and the desk (service 1.5).  What falls
// due while they are closed is held and happens when they open: time
// never goes back, a held arrival comes at the opening and the next one a
// time unit later, a held service ends at the opening; no message is lost
// or made up.
TEST(Kernel, DoorsHoldWhatFallsDueUntilTheyOpen) {
  std::string run = RUNMODEL("kern_doors.tlv");
  std::regex line(R"(^(ARRIVAL|OUT) +(\d+) AT +([0-9.]+)$)");
  std::regex doors(
      R"(^DOORS AT +([0-9.]+) OPEN (TRUE|FALSE) ARRIVED +(\d+) OUT +(\d+) IN +(\d+)$)");
  std::vector<double> arrivals, outs;
  std::vector<int> outids;
  std::vector<std::pair<double, double>> closed;
  double last = 0;
  int doorlines = 0;
  std::istringstream in(run);
  std::string text;
  std::smatch m;
  while (std::getline(in, text)) {
    double t;
    if (std::regex_match(text, m, line)) {
      t = std::stod(m[3]);
      if (m[1] == "ARRIVAL") {
        arrivals.push_back(t);
        EXPECT_EQ(std::stoi(m[2]), (int)arrivals.size()) << text;
      } else {
        outs.push_back(t);
        outids.push_back(std::stoi(m[2]));
      }
    } else if (std::regex_match(text, m, doors)) {
      t = std::stod(m[1]);
      ++doorlines;
      if (m[2] == "FALSE")
        closed.push_back({t, 1e9});
      else if (!closed.empty())
        closed.back().second = t;
      // what came in is what went out plus what is still inside
      EXPECT_EQ(std::stoi(m[3]) - std::stoi(m[4]), std::stoi(m[5])) << text;
    } else {
      continue;
    }
    EXPECT_GE(t, last) << "time went back: " << text;
    last = t;
  }
  ASSERT_EQ(doorlines, 5) << run;
  ASSERT_EQ(closed.size(), 3u);
  // nothing happens while the doors are closed
  for (const auto& c : closed)
    for (const std::vector<double>* v : {&arrivals, &outs})
      for (double t : *v) EXPECT_FALSE(t > c.first + 1e-9 && t < c.second - 1e-9) << t;
  // one arrival every time unit while open; one held, at each opening
  std::vector<double> expected;
  for (double t = 0; t < 30 - 1e-9; t += 1) {
    for (const auto& c : closed)
      if (t > c.first && t < c.second) t = c.second;
    if (t < 30 - 1e-9) expected.push_back(t);
  }
  ASSERT_EQ(arrivals.size(), expected.size()) << run;
  for (size_t i = 0; i < expected.size(); ++i) EXPECT_NEAR(arrivals[i], expected[i], 1e-9) << i;
  // one desk, first come first served; a service held ends at the opening
  for (size_t i = 0; i < outids.size(); ++i) {
    EXPECT_EQ(outids[i], (int)i + 1);
    double done = std::max(arrivals[i], i ? outs[i - 1] : 0.0) + 1.5;
    for (const auto& c : closed)
      if (done > c.first && done < c.second) done = c.second;
    EXPECT_NEAR(outs[i], done, 1e-9) << "message " << i + 1;
  }
  EXPECT_EQ(outids.size(), 13u);
}

}  // namespace
