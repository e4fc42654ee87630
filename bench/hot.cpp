// talven_bench: the translator's hot routines under Google Benchmark, each
// over a growing table so that the fitted complexity shows how its cost
// grows: declaring and looking up names (in random and in sorted order),
// local names of many units, node names, packing output pieces, and the
// whole translation of generated models in process.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "ground/compiler.h"
#include "model/model.h"
#include "symbols/names.h"
#include "genmodel.h"

namespace {

// A compiler as a run starts it, its streams captured.
struct Run {
  std::ostringstream out, err;
  std::istringstream in;
  Compiler c;
  Run() {
    c.drv.out = &out;
    c.drv.err = &err;
    c.drv.in = &in;
    INITSTATE(c);
  }
};

// n distinct names, sorted (as numbered nodes are) or shuffled.
std::vector<std::string> NAMES(int n, bool sorted) {
  std::vector<std::string> v;
  char b[16];
  for (int i = 1; i <= n; ++i) {
    std::snprintf(b, sizeof b, "B%06d", i);
    v.push_back(b);
  }
  if (!sorted) std::shuffle(v.begin(), v.end(), std::mt19937(1));
  return v;
}

void DECLARE(Run& r, const std::vector<std::string>& names) {
  for (const std::string& n : names) STVNAME(r.c, true, n);
}

void BM_DeclareNames(benchmark::State& state, bool sorted) {
  std::vector<std::string> names = NAMES(static_cast<int>(state.range(0)), sorted);
  for (auto _ : state) {
    Run r;
    DECLARE(r, names);
    benchmark::DoNotOptimize(r.c.names.ROOT);
  }
  state.SetComplexityN(state.range(0));
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_LookUpNames(benchmark::State& state, bool sorted) {
  std::vector<std::string> names = NAMES(static_cast<int>(state.range(0)), sorted);
  Run r;
  DECLARE(r, names);
  Source& s = r.c.src;
  size_t i = 0;
  for (auto _ : state) {
    s.IDENT = names[i++ % names.size()];
    s.CH = ' ';
    BUSIDAR1(r.c);
    benchmark::DoNotOptimize(r.c.names.CURENT);
  }
  state.SetComplexityN(state.range(0));
}

// The same local name in every unit, looked up from each in turn.
void BM_LocalNames(benchmark::State& state) {
  std::vector<std::string> units;
  for (int u = 0; u < state.range(0); ++u) units.push_back("P" + std::to_string(u));
  Run r;
  r.c.src.INPROC = true;
  for (const std::string& u : units) {
    r.c.names.SCOPE = u;
    STVNAME(r.c, true, "I");
  }
  r.c.src.INPROC = false;
  r.c.src.IDENT = "I";
  size_t u = 0;
  for (auto _ : state) {
    r.c.names.SCOPE = units[u++ % units.size()];
    BUSIDAR1(r.c);
    benchmark::DoNotOptimize(r.c.names.CURENT);
  }
  state.SetComplexityN(state.range(0));
}

void BM_LookUpNodes(benchmark::State& state) {
  std::vector<std::string> names = NAMES(static_cast<int>(state.range(0)), false);
  Run r;
  for (const std::string& n : names) {
    NodeRecord x;
    x.NOM = n;
    ADDNODE(r.c.model, x);
  }
  size_t i = 0;
  for (auto _ : state) {
    r.c.src.IDENT = names[i++ % names.size()];
    BUSNODE(r.c);
    benchmark::DoNotOptimize(r.c.model.NODEIDX);
  }
  state.SetComplexityN(state.range(0));
}

// Pieces packed into lines of one channel, the file thrown away.
void BM_PackPieces(benchmark::State& state) {
  Run r;
  BINDCH(r.c, CH_PRU, "/dev/null");
  CREATECH(r.c, CH_PRU);
  const std::string pieces[] = {"_px:=_fl[12];", "while _px<>nil do begin ", "x:=x+1;",
                                "_afel(3,ino,evp,blck[3],time+stay) end else xt:=-1; "};
  size_t i = 0;
  for (auto _ : state) SENDPIECE(r.c, CH_PRU, pieces[i++ % 4], false);
  state.SetItemsProcessed(state.iterations());
}

// A generated model translated in process, in a directory of its own.
void BM_Translate(benchmark::State& state, bool ordered) {
  std::string model = genmodel::MODEL(state.range(0), ordered);
  long lines = std::count(model.begin(), model.end(), '\n');
  // A memory file system, when there is one, keeps disk waits out.
  std::filesystem::path base = access("/dev/shm", W_OK) == 0
                                   ? std::filesystem::path("/dev/shm")
                                   : std::filesystem::temp_directory_path();
  std::filesystem::path dir = base / ("talven-bench-" + std::to_string(getpid()));
  std::filesystem::create_directories(dir);
  std::ofstream(dir / "m.tlv", std::ios::binary) << model;
  for (auto _ : state) {
    std::ostringstream out, err;
    std::istringstream in;
    int code = RUNTALVEN({"m.tlv"}, out, err, in, dir.string());
    if (code != 0) state.SkipWithError(err.str().c_str());
  }
  std::filesystem::remove_all(dir);
  state.SetComplexityN(lines);
  state.counters["lines"] = static_cast<double>(lines);
  state.SetItemsProcessed(state.iterations() * lines);
}

}  // namespace

BENCHMARK_CAPTURE(BM_DeclareNames, random, false)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK_CAPTURE(BM_DeclareNames, sorted, true)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK_CAPTURE(BM_LookUpNames, random, false)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK_CAPTURE(BM_LookUpNames, sorted, true)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK(BM_LocalNames)->RangeMultiplier(4)->Range(1 << 6, 1 << 12)->Complexity();
BENCHMARK(BM_LookUpNodes)->RangeMultiplier(4)->Range(1 << 10, 1 << 16)->Complexity();
BENCHMARK(BM_PackPieces);
// The translation runs on a thread of its own: its CPU time is the
// process's.
BENCHMARK_CAPTURE(BM_Translate, random, false)->RangeMultiplier(4)->Range(1000, 64000)
    ->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
BENCHMARK_CAPTURE(BM_Translate, ordered, true)->RangeMultiplier(4)->Range(1000, 64000)
    ->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);

BENCHMARK_MAIN();
