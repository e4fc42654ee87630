// talven sweep, talven merge and talven task: a study split into tasks
// that run on this machine's cores or as a Slurm job array, into one
// shared directory, and merged there.
//
// The directory of a sweep holds sweep.txt (what every task runs, written
// once), task.K/ for each task (its files, log.txt, and status when it has
// ended: "exit CODE"), sweep.sbatch for Slurm, and what the merge writes:
// replications.csv, summary.csv and summary.json of all the replications,
// or results.csv and results.json with one row per point and figure.
//
// Without a design the replications are shared among the tasks in blocks;
// the merged files are those one run of them all writes, byte for byte.
// With a design every point is a task running the same replications
// (common random numbers), through the parameter file when every column is
// a factor of the model, else as experiment values (--exper).
#include <unistd.h>
#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>
#include <thread>
#include "cli/sweep.h"
#include "ground/text.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* SWEEPUSAGE =
    "usage: talven sweep MODEL --reps N [--design FILE] [--out DIR] [--seed S]\n"
    "                    [--tasks T] [--jobs J] [--quiet] [--no-wait]\n"
    "                    [--slurm [SBATCH OPTIONS]]\n"
    "Builds MODEL and runs N replications as T tasks (default: a task per\n"
    "core), J at once on this machine, or as a Slurm job array with --slurm\n"
    "(the options after it go to sbatch); then merges them into DIR\n"
    "(default MODEL-sweep beside the model).  With a design (CSV: a column\n"
    "per factor or experiment variable, a row per point) each point is a\n"
    "task of N replications, and results.csv/results.json hold every\n"
    "point's figures with their confidence intervals.";
constexpr const char* MERGEUSAGE =
    "usage: talven merge DIR\n"
    "Merges the finished tasks of the sweep in DIR into its summary files;\n"
    "tasks missing or failed are named and the exit code is 1.";

std::string SLASHES(std::string p) {
  std::replace(p.begin(), p.end(), '\\', '/');
  return p;
}

fs::path ABSOLUTE(const std::string& p, const std::string& root) {
  fs::path f(SLASHES(p));
  if (f.is_relative() && !root.empty()) f = fs::path(root) / f;
  return fs::absolute(f).lexically_normal();
}

std::string READFILE(const fs::path& f) {
  std::ifstream in(f, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

bool WRITEFILE(const fs::path& f, const std::string& text) {
  fs::path tmp = f;
  tmp += ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) return false;
  }
  std::error_code ec;
  fs::rename(tmp, f, ec);
  return !ec;
}

std::vector<std::string> SPLIT(const std::string& s, char sep) {
  std::vector<std::string> v;
  std::string cur;
  std::istringstream in(s);
  while (std::getline(in, cur, sep)) v.push_back(cur);
  if (!s.empty() && s.back() == sep) v.push_back("");
  return v;
}

std::vector<std::string> LINESOF(const std::string& text) {
  std::vector<std::string> v;
  std::istringstream in(text);
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    v.push_back(l);
  }
  return v;
}

std::string JOIN(const std::vector<std::string>& v, const std::string& sep) {
  std::string s;
  for (size_t i = 0; i < v.size(); ++i) s += (i ? sep : "") + v[i];
  return s;
}

// A word for sh, whatever it holds.
std::string SHQUOTE(const std::string& s) {
  std::string r = "'";
  for (char ch : s) r += ch == '\'' ? std::string("'\\''") : std::string(1, ch);
  return r + "'";
}

std::string SELF() {
  std::error_code ec;
  fs::path p = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string("talven") : p.string();
}

// A whole number from lo to hi, or false.
bool NUMBER(const std::string& s, long long lo, long long hi, long long& v) {
  if (s.empty()) return false;
  char* end = nullptr;
  errno = 0;
  v = std::strtoll(s.c_str(), &end, 10);
  return errno == 0 && *end == '\0' && v >= lo && v <= hi;
}

// ---- the sweep's own file

enum class Mode { BLOCKS, EXPER, FACTORS };

struct Sweep {
  fs::path dir;
  std::string program;  // the simulation program, absolute
  std::string name;     // the model's file name (the parameter file's stem)
  long long reps = 1, seed = 29999;
  Mode mode = Mode::BLOCKS;
  std::vector<std::pair<long long, long long>> blocks;  // first, count
  std::vector<std::string> columns, responses;
  std::vector<std::vector<std::string>> points;

  size_t tasks() const { return mode == Mode::BLOCKS ? blocks.size() : points.size(); }
  fs::path taskdir(size_t k) const { return dir / ("task." + std::to_string(k)); }
};

const char* MODENAME(Mode m) {
  return m == Mode::BLOCKS ? "blocks" : m == Mode::EXPER ? "exper" : "factors";
}

bool SAVESWEEP(const Sweep& s, std::string& why) {
  std::ostringstream o;
  o << "talven sweep 1\n"
    << "program\t" << s.program << "\n"
    << "name\t" << s.name << "\n"
    << "reps\t" << s.reps << "\n"
    << "seed\t" << s.seed << "\n"
    << "mode\t" << MODENAME(s.mode) << "\n";
  for (auto& b : s.blocks) o << "block\t" << b.first << "\t" << b.second << "\n";
  if (!s.columns.empty()) o << "columns\t" << JOIN(s.columns, "\t") << "\n";
  if (!s.responses.empty()) o << "responses\t" << JOIN(s.responses, "\t") << "\n";
  for (auto& p : s.points) o << "point\t" << JOIN(p, "\t") << "\n";
  if (!WRITEFILE(s.dir / "sweep.txt", o.str())) {
    why = (s.dir / "sweep.txt").string() + ": cannot be written";
    return false;
  }
  return true;
}

bool LOADSWEEP(const fs::path& dir, Sweep& s, std::string& why) {
  s = Sweep();
  s.dir = dir;
  fs::path f = dir / "sweep.txt";
  std::ifstream in(f, std::ios::binary);
  if (!in) {
    why = dir.string() + ": not the directory of a sweep (no sweep.txt)";
    return false;
  }
  std::vector<std::string> lines = LINESOF(READFILE(f));
  if (lines.empty() || lines[0] != "talven sweep 1") {
    why = f.string() + ": not written by talven sweep";
    return false;
  }
  for (size_t i = 1; i < lines.size(); ++i) {
    std::vector<std::string> v = SPLIT(lines[i], '\t');
    if (v.empty()) continue;
    std::vector<std::string> rest(v.begin() + 1, v.end());
    const std::string& k = v[0];
    long long a = 0, b = 0;
    bool ok = true;
    if (k == "program" && rest.size() == 1)
      s.program = rest[0];
    else if (k == "name" && rest.size() == 1)
      s.name = rest[0];
    else if (k == "reps" && rest.size() == 1)
      ok = NUMBER(rest[0], 1, 1000000000, s.reps);
    else if (k == "seed" && rest.size() == 1)
      ok = NUMBER(rest[0], 0, INT64_MAX, s.seed);
    else if (k == "mode" && rest.size() == 1)
      ok = (rest[0] == "blocks" && ((s.mode = Mode::BLOCKS), true)) ||
           (rest[0] == "exper" && ((s.mode = Mode::EXPER), true)) ||
           (rest[0] == "factors" && ((s.mode = Mode::FACTORS), true));
    else if (k == "block" && rest.size() == 2 && NUMBER(rest[0], 1, 1000000000, a) &&
             NUMBER(rest[1], 1, 1000000000, b))
      s.blocks.emplace_back(a, b);
    else if (k == "columns")
      s.columns = rest;
    else if (k == "responses")
      s.responses = rest;
    else if (k == "point" && rest.size() == s.columns.size())
      s.points.push_back(rest);
    else
      ok = false;
    if (!ok) {
      why = f.string() + ":" + std::to_string(i + 1) + ": not understood";
      return false;
    }
  }
  if (s.program.empty() || s.tasks() == 0) {
    why = f.string() + ": incomplete";
    return false;
  }
  return true;
}

// ---- running the program

// Runs argv in cwd with its output in log; the exit code, or -1 with why.
int RUN(const std::vector<std::string>& argv, const fs::path& cwd, const fs::path& log,
        std::string& why) {
  long pid = STARTPROGRAM(argv, cwd.string(), log.string(), why);
  if (pid < 0) return -1;
  return WAITPROGRAM(pid);
}

std::string PARAMFILE(const Sweep& s) { return PARAMFILENAME(s.name); }

// The factors and responses of the program: it writes them into its
// parameter file when run with I (in dir). False when the generated
// program has none.
bool PROGRAMFACTORS(const std::string& program, const std::string& name, const fs::path& dir,
                    std::vector<std::string>& factors, std::vector<std::string>& responses,
                    std::string& why) {
  // only a model with FACTORS opens the parameter file; the others would
  // take I for a run
  bool has = false;
  std::error_code ec;
  for (const auto& e : fs::directory_iterator(fs::path(program).parent_path(), ec)) {
    std::string ext = UPPER(e.path().extension().string());
    if (ext != ".DPR" && ext != ".PAS") continue;
    if (READFILE(e.path()).find("_pfopen(") != std::string::npos) {
      has = true;
      break;
    }
  }
  if (!has) return false;
  fs::path pf = dir / PARAMFILENAME(name);
  fs::remove(pf, ec);
  int code = RUN({program, "I"}, dir, dir / "factors.log", why);
  ParamFile p;
  if (code != 0 || !p.load(pf.string(), why)) {
    if (code != 0) why = "the program run with I ended with exit code " + std::to_string(code);
    return false;
  }
  factors = p.names(PF_FACTORS);
  responses = p.names(PF_RESPONSENAMES);
  return !factors.empty();
}

// ---- one task

// The replications of point k through the parameter file: one run with D
// each, the responses added to the row it writes; the rows are merged by
// the program into the point's files.
int FACTORSTASK(const Sweep& s, size_t k, const fs::path& td, std::ostream& log) {
  std::string why;
  ParamFile base;
  if (!base.load((s.dir / PARAMFILE(s)).string(), why)) {
    log << why << '\n';
    return 2;
  }
  std::vector<double> values;
  for (size_t i = 0; i < s.columns.size(); ++i) {
    const std::string& v = s.points[k - 1][i];
    char* end = nullptr;
    double x = std::strtod(v.c_str(), &end);
    if (v.empty() || *end != '\0') {
      log << s.columns[i] << ": '" << v << "' is not a number\n";
      return 2;
    }
    values.push_back(x);
  }
  base.setnames(PF_ASKEDFACTORS, s.columns);
  base.setnames(PF_ASKEDRESPONSES, s.responses);
  base.setvalues(PF_VALUES, values);
  fs::path pf = td / PARAMFILE(s);
  std::string header, rows;
  for (long long r = 1; r <= s.reps; ++r) {
    if (!base.save(pf.string(), why)) {
      log << why << '\n';
      return 2;
    }
    std::string out = "rep." + std::to_string(r);
    // Run with I the program writes the seeds of replication r into the
    // file, which D then reads: the run draws what replication r of any
    // run draws (other seeds there would start the streams again).
    int code = 0;
    for (const char* step : {"I", "D"}) {
      code = RUN({s.program, step, "--rep", std::to_string(r), "--seed", std::to_string(s.seed),
                  "--out", out, "--quiet"},
                 td, td / (out + ".log"), why);
      if (code != 0) break;
    }
    if (code != 0) {
      log << READFILE(td / (out + ".log"));
      log << "replication " << r << ": " << (code < 0 ? why : "exit code " + std::to_string(code))
          << '\n';
      return code < 0 ? 2 : code;
    }
    ParamFile done;
    std::vector<std::string> csv = LINESOF(READFILE(td / out / "replications.csv"));
    if (!done.load(pf.string(), why) || csv.size() < 2) {
      log << (csv.size() < 2 ? out + "/replications.csv: no row" : why) << '\n';
      return 2;
    }
    std::vector<double> resp = done.values(PF_RESPONSES, s.responses.size());
    if (header.empty()) {
      header = csv[0];
      for (const std::string& n : s.responses) header += "," + n;
      header += "\n";
    }
    std::string row = csv[1];
    for (double x : resp) row += "," + SHORTEST(x);
    rows += row + "\n";
  }
  if (!WRITEFILE(td / "rows.csv", header + rows)) {
    log << "rows.csv: cannot be written\n";
    return 2;
  }
  int code = RUN({s.program, "--merge", "rows.csv", "--seed", std::to_string(s.seed), "--out", ".",
                  "--quiet"},
                 td, td / "merge.log", why);
  if (code != 0) log << READFILE(td / "merge.log");
  return code < 0 ? 2 : code;
}

int RUNTASK(const Sweep& s, size_t k, std::ostream& log) {
  fs::path td = s.taskdir(k);
  std::error_code ec;
  fs::create_directories(td, ec);
  fs::remove(td / "status", ec);
  std::string why;
  std::vector<std::string> argv{s.program};
  if (s.mode == Mode::FACTORS) return FACTORSTASK(s, k, td, log);
  if (s.mode == Mode::BLOCKS) {
    argv.insert(argv.end(), {"--rep", std::to_string(s.blocks[k - 1].first), "--reps",
                             std::to_string(s.blocks[k - 1].second)});
  } else {
    // the point as a data file of experiment values; its title heads
    // the point's report
    std::string dat = "point " + std::to_string(k) + "\n";
    for (size_t i = 0; i < s.columns.size(); ++i)
      dat += s.columns[i] + " = " + s.points[k - 1][i] + "\n";
    dat += "END\n";
    if (!WRITEFILE(td / "point.dat", dat)) {
      log << "point.dat: cannot be written\n";
      return 2;
    }
    argv.insert(argv.end(), {"--exper", "point.dat", "--reps", std::to_string(s.reps)});
  }
  argv.insert(argv.end(), {"--seed", std::to_string(s.seed), "--out", ".", "--quiet"});
  int code = RUN(argv, td, td / "run.log", why);
  log << READFILE(td / "run.log");
  if (code < 0) log << why << '\n';
  return code < 0 ? 2 : code;
}

// ---- state of the tasks and the merge

struct TaskState {
  bool ended = false;
  int code = 0;
};

TaskState STATEOF(const Sweep& s, size_t k) {
  TaskState t;
  std::string st = READFILE(s.taskdir(k) / "status");
  long long c = 0;
  if (st.rfind("exit ", 0) == 0) {
    while (!st.empty() && (st.back() == '\n' || st.back() == '\r')) st.pop_back();
    if (NUMBER(st.substr(5), 0, 255, c)) {
      t.ended = true;
      t.code = static_cast<int>(c);
    }
  }
  return t;
}

std::string TASKNAME(const Sweep& s, size_t k) {
  std::string n = "task " + std::to_string(k);
  if (s.mode == Mode::BLOCKS) {
    auto b = s.blocks[k - 1];
    n += " (replications " + std::to_string(b.first) + " to " +
         std::to_string(b.first + b.second - 1) + ")";
  } else {
    std::vector<std::string> v;
    for (size_t i = 0; i < s.columns.size(); ++i) v.push_back(s.columns[i] + "=" + s.points[k - 1][i]);
    n += " (" + JOIN(v, " ") + ")";
  }
  return n;
}

bool JSONNUMBER(const std::string& v) {
  if (v.empty()) return false;
  char* end = nullptr;
  std::strtod(v.c_str(), &end);
  return *end == '\0' && v.find_first_of("xXnNiI") == std::string::npos && v[0] != '+' &&
         v[0] != '.' && !(v.size() > 1 && v[0] == '0' && std::isdigit(static_cast<unsigned char>(v[1])));
}

std::string QUOTE(const std::string& s) {
  std::string r = "\"";
  for (char ch : s) {
    if (ch == '"' || ch == '\\')
      r += std::string("\\") + ch;
    else if (static_cast<unsigned char>(ch) < 32) {
      char b[8];
      std::snprintf(b, sizeof b, "\\u%04x", ch);
      r += b;
    } else
      r += ch;
  }
  return r + "\"";
}

std::string JSONVALUE(const std::string& v) { return JSONNUMBER(v) ? v : v.empty() ? "null" : QUOTE(v); }

// results.csv and results.json of the points done.
bool WRITERESULTS(const Sweep& s, const std::vector<size_t>& done, std::string& why) {
  std::string csv = "point";
  for (const std::string& c : s.columns) csv += "," + c;
  csv += ",figure,n,mean,sd,half_width,low,high\n";
  std::ostringstream js;
  js << "{\n  \"model\": " << QUOTE(s.name) << ",\n  \"seed\": " << s.seed
     << ",\n  \"replications\": " << s.reps << ",\n  \"confidence\": 0.95,\n  \"variables\": [";
  for (size_t i = 0; i < s.columns.size(); ++i) js << (i ? ", " : "") << QUOTE(s.columns[i]);
  js << "],\n  \"points\": [";
  bool firstpoint = true;
  for (size_t k : done) {
    std::vector<std::string> lines = LINESOF(READFILE(s.taskdir(k) / "summary.csv"));
    if (lines.empty() || lines[0] != "figure,n,mean,sd,half_width,low,high") {
      why = (s.taskdir(k) / "summary.csv").string() + ": missing or not a summary";
      return false;
    }
    std::string prefix = std::to_string(k);
    for (const std::string& v : s.points[k - 1]) prefix += "," + v;
    js << (firstpoint ? "\n" : ",\n") << "    {\"point\": " << k << ", \"values\": {";
    firstpoint = false;
    for (size_t i = 0; i < s.columns.size(); ++i)
      js << (i ? ", " : "") << QUOTE(s.columns[i]) << ": " << JSONVALUE(s.points[k - 1][i]);
    js << "}, \"figures\": [";
    bool firstfig = true;
    for (size_t l = 1; l < lines.size(); ++l) {
      if (lines[l].empty()) continue;
      std::vector<std::string> f = SPLIT(lines[l], ',');
      if (f.size() != 7) continue;
      csv += prefix + "," + lines[l] + "\n";
      js << (firstfig ? "\n" : ",\n") << "      {\"name\": " << QUOTE(f[0]) << ", \"n\": " << f[1]
         << ", \"mean\": " << JSONVALUE(f[2]) << ", \"sd\": " << JSONVALUE(f[3])
         << ", \"half_width\": " << JSONVALUE(f[4]) << ", \"low\": " << JSONVALUE(f[5])
         << ", \"high\": " << JSONVALUE(f[6]) << "}";
      firstfig = false;
    }
    js << "\n    ]}";
  }
  js << "\n  ]\n}\n";
  if (!WRITEFILE(s.dir / "results.csv", csv) || !WRITEFILE(s.dir / "results.json", js.str())) {
    why = s.dir.string() + ": results cannot be written";
    return false;
  }
  return true;
}

// Merges the tasks done into out (the blocks) or the results (a design).
bool MERGEDONE(const Sweep& s, const std::vector<size_t>& done, const fs::path& out,
               std::string& why) {
  if (s.mode != Mode::BLOCKS) return WRITERESULTS(s, done, why);
  std::vector<std::string> argv{s.program};
  for (size_t k : done)
    argv.insert(argv.end(), {"--merge", (s.taskdir(k) / "replications.csv").string()});
  argv.insert(argv.end(), {"--seed", std::to_string(s.seed), "--out", out.string(), "--quiet"});
  std::error_code ec;
  fs::create_directories(out, ec);
  int code = RUN(argv, s.dir, s.dir / "merge.log", why);
  if (code != 0) {
    why = code < 0 ? why : "merge failed: " + READFILE(s.dir / "merge.log");
    return false;
  }
  return true;
}

// Figures worth a line while a sweep runs: utilisations and responses,
// else the first three.
std::vector<std::vector<std::string>> HEADLINES(const Sweep& s, const fs::path& summary) {
  std::vector<std::vector<std::string>> all, chosen;
  std::vector<std::string> lines = LINESOF(READFILE(summary));
  for (size_t l = 1; l < lines.size(); ++l) {
    std::vector<std::string> f = SPLIT(lines[l], ',');
    if (f.size() == 7) all.push_back(f);
  }
  for (auto& f : all) {
    bool util = f[0].size() > 12 && f[0].compare(f[0].size() - 12, 12, "_utilisation") == 0;
    bool resp = std::find(s.responses.begin(), s.responses.end(), f[0]) != s.responses.end();
    if (util || resp) chosen.push_back(f);
  }
  if (chosen.empty())
    for (size_t i = 0; i < all.size() && i < 3; ++i) chosen.push_back(all[i]);
  return chosen;
}

void SAYFIGURES(const std::vector<std::vector<std::string>>& figs, std::ostream& err) {
  for (auto& f : figs)
    err << "  " << f[0] << " " << f[2] << (f[4].empty() ? "" : " +- " + f[4]) << '\n';
}

// The progress of a sweep: tasks done of all, and the summary so far.
struct Progress {
  const Sweep& s;
  std::ostream& err;
  bool quiet;
  std::vector<bool> said;
  size_t done = 0;
  Progress(const Sweep& sw, std::ostream& e, bool q) : s(sw), err(e), quiet(q), said(sw.tasks() + 1) {}

  void update() {
    std::vector<size_t> fresh;
    for (size_t k = 1; k <= s.tasks(); ++k)
      if (!said[k] && STATEOF(s, k).ended) fresh.push_back(k);
    if (fresh.empty()) return;
    std::vector<size_t> ok;
    for (size_t k : fresh) {
      said[k] = true;
      ++done;
      TaskState t = STATEOF(s, k);
      if (quiet) continue;
      err << "tasks " << done << "/" << s.tasks() << " done: " << TASKNAME(s, k);
      if (t.code != 0) {
        err << " failed (exit code " << t.code << ", see "
            << (s.taskdir(k) / "log.txt").string() << ")\n";
        continue;
      }
      err << '\n';
      if (s.mode != Mode::BLOCKS) SAYFIGURES(HEADLINES(s, s.taskdir(k) / "summary.csv"), err);
      ok.push_back(k);
    }
    if (quiet || s.mode != Mode::BLOCKS || ok.empty() || done == s.tasks()) return;
    // the blocks merged so far
    std::vector<size_t> all;
    for (size_t k = 1; k <= s.tasks(); ++k)
      if (said[k] && STATEOF(s, k).code == 0) all.push_back(k);
    std::string why;
    if (MERGEDONE(s, all, s.dir / "sofar", why)) {
      long long n = 0;
      for (size_t k : all) n += s.blocks[k - 1].second;
      err << "  so far, " << n << " of " << s.reps << " replications:\n";
      SAYFIGURES(HEADLINES(s, s.dir / "sofar" / "summary.csv"), err);
    }
  }
};

int MERGE(const Sweep& s, std::ostream& out, std::ostream& err) {
  std::vector<size_t> done;
  int bad = 0;
  for (size_t k = 1; k <= s.tasks(); ++k) {
    TaskState t = STATEOF(s, k);
    if (!t.ended) {
      err << "talven: " << TASKNAME(s, k) << ": missing (not run, or still running; no "
          << (s.taskdir(k) / "status").string() << ")\n";
      ++bad;
    } else if (t.code != 0) {
      err << "talven: " << TASKNAME(s, k) << ": failed with exit code " << t.code << " (see "
          << (s.taskdir(k) / "log.txt").string() << ")\n";
      ++bad;
    } else {
      done.push_back(k);
    }
  }
  if (done.empty()) {
    err << "talven: " << s.dir.string() << ": no task has ended well; nothing merged\n";
    return 1;
  }
  std::string why;
  if (!MERGEDONE(s, done, s.dir, why)) {
    err << "talven: " << why << '\n';
    return 2;
  }
  std::error_code ec;
  fs::remove_all(s.dir / "sofar", ec);
  out << "merged " << done.size() << " of " << s.tasks() << " tasks into "
      << (s.mode == Mode::BLOCKS ? (s.dir / "summary.csv").string()
                                 : (s.dir / "results.csv").string())
      << '\n';
  if (bad) {
    err << "talven: " << bad << " of " << s.tasks() << " tasks missing or failed\n";
    return 1;
  }
  return 0;
}

// ---- the sweep

struct Options {
  std::string model, design, out;
  long long reps = 0, seed = 29999, tasks = 0, jobs = 0;
  bool slurm = false, quiet = false, nowait = false;
  std::vector<std::string> sbatch;
};

bool PARSE(const std::vector<std::string>& args, Options& o, std::string& why) {
  bool repsgiven = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) {
        why = a + " needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    auto number = [&](long long lo, long long hi, long long& v) {
      std::string t;
      if (!value(t)) return false;
      if (!NUMBER(t, lo, hi, v)) {
        why = a + " needs a whole number from " + std::to_string(lo) + " to " +
              std::to_string(hi) + ", not '" + t + "'";
        return false;
      }
      return true;
    };
    bool ok = true;
    if (a == "--slurm") {
      o.slurm = true;
      o.sbatch.assign(args.begin() + static_cast<long>(i) + 1, args.end());
      break;
    } else if (a == "--reps") {
      ok = number(1, 1000000000, o.reps);
      repsgiven = true;
    } else if (a == "--seed")
      ok = number(0, INT64_MAX, o.seed);
    else if (a == "--tasks")
      ok = number(1, 100000, o.tasks);
    else if (a == "--jobs")
      ok = number(1, 4096, o.jobs);
    else if (a == "--design")
      ok = value(o.design);
    else if (a == "--out")
      ok = value(o.out);
    else if (a == "--quiet")
      o.quiet = true;
    else if (a == "--no-wait")
      o.nowait = true;
    else if (!a.empty() && a[0] == '-') {
      why = "unknown option '" + a + "'";
      return false;
    } else if (o.model.empty())
      o.model = a;
    else {
      why = "one model only ('" + a + "')";
      return false;
    }
    if (!ok) return false;
  }
  if (o.model.empty()) {
    why = "no model";
    return false;
  }
  if (!repsgiven) {
    why = "--reps N is needed";
    return false;
  }
  if (o.tasks && !o.design.empty()) {
    why = "--tasks is for replications alone: with a design every point is a task";
    return false;
  }
  if (o.nowait && !o.slurm) {
    why = "--no-wait is for --slurm";
    return false;
  }
  return true;
}

// The program of the model, built by `talven build` when it changed.
bool BUILDPROGRAM(const fs::path& model, const fs::path& dir, std::string& program,
                  std::ostream& err) {
  std::string why;
  fs::path log = dir / "build.log";
  int code = RUN({SELF(), "build", model.string()}, "", log, why);
  std::vector<std::string> lines = LINESOF(READFILE(log));
  if (code != 0 || lines.empty()) {
    err << READFILE(log);
    if (code < 0) err << "talven: " << why << '\n';
    return false;
  }
  program = lines.back();
  return true;
}

int SUBMIT(const Sweep& s, const Options& o, std::string& jobid, std::ostream& err) {
  std::ostringstream sh;
  sh << "#!/bin/sh\n"
     << "#SBATCH --job-name=talven-sweep\n"
     << "#SBATCH --array=1-" << s.tasks() << "\n"
     << "#SBATCH --ntasks=1\n"
     << "exec " << SHQUOTE(SELF()) << " task " << SHQUOTE(s.dir.string())
     << " \"$SLURM_ARRAY_TASK_ID\"\n";
  fs::path script = s.dir / "sweep.sbatch";
  if (!WRITEFILE(script, sh.str())) {
    err << "talven: " << script.string() << ": cannot be written\n";
    return 2;
  }
  // the log of each task beside its files (given here: a path in the
  // script would need Slurm's quoting)
  std::vector<std::string> argv{"sbatch", "--parsable",
                                "--output=" + (s.dir / "task.%a" / "slurm.log").string()};
  argv.insert(argv.end(), o.sbatch.begin(), o.sbatch.end());
  argv.push_back(script.string());
  std::string why;
  fs::path log = s.dir / "sbatch.log";
  int code = RUN(argv, s.dir, log, why);
  std::vector<std::string> lines = LINESOF(READFILE(log));
  if (code != 0 || lines.empty()) {
    err << READFILE(log) << "talven: sbatch "
        << (code < 0 ? why : "ended with exit code " + std::to_string(code)) << '\n';
    return 2;
  }
  // "JOBID" or "JOBID;CLUSTER"
  jobid = lines.back().substr(0, lines.back().find(';'));
  long long n;
  if (!NUMBER(jobid, 1, INT64_MAX, n)) {
    err << READFILE(log) << "talven: sbatch gave no job id\n";
    return 2;
  }
  return 0;
}

// Waits until the job has left Slurm's queue, showing progress.
int WAITSLURM(const Sweep& s, const std::string& jobid, Progress& p, std::ostream& err) {
  std::string why;
  fs::path log = s.dir / "squeue.log";
  int failures = 0;
  for (;;) {
    int code = RUN({"squeue", "-h", "-j", jobid, "-o", "%i"}, s.dir, log, why);
    p.update();
    if (code == 0) {
      failures = 0;
      if (LINESOF(READFILE(log)).empty()) break;
    } else if (++failures >= 5) {
      // a job Slurm no longer knows ends squeue with an error too
      if (p.done == s.tasks()) break;
      err << READFILE(log) << "talven: squeue failed " << failures << " times; merge with 'talven merge "
          << s.dir.string() << "' when the job has ended\n";
      return 2;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  p.update();
  return 0;
}

int RUNLOCAL(const Sweep& s, long long jobs, Progress& p, std::ostream& err) {
  std::string self = SELF();
  size_t next = 1, running = 0;
  std::map<long, size_t> pids;
  while (next <= s.tasks() || running > 0) {
    while (next <= s.tasks() && running < static_cast<size_t>(jobs)) {
      std::string why;
      std::error_code ec;
      fs::create_directories(s.taskdir(next), ec);
      long pid = STARTPROGRAM({self, "task", s.dir.string(), std::to_string(next)}, "",
                              (s.taskdir(next) / "task.log").string(), why);
      if (pid < 0) {
        err << "talven: " << why << '\n';
        break;
      }
      pids[pid] = next++;
      ++running;
    }
    if (running == 0) break;
    int code = 0;
    long pid = WAITANY(code);
    if (pid < 0) break;
    if (pids.erase(pid)) --running;
    p.update();
  }
  return 0;
}

}  // namespace

int SWEEPCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& root) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << SWEEPUSAGE << '\n';
    return 0;
  }
  Options o;
  std::string why;
  if (!PARSE(args, o, why)) {
    err << "talven sweep: " << why << '\n' << SWEEPUSAGE << '\n';
    return 2;
  }
  fs::path model = ABSOLUTE(o.model, root);
  std::string stem = model.filename().string();
  if (stem.rfind('.') != std::string::npos && stem.rfind('.') > 0) stem.resize(stem.rfind('.'));
  Sweep s;
  s.dir = o.out.empty() ? model.parent_path() / (stem + "-sweep") : ABSOLUTE(o.out, root);
  s.name = model.filename().string();
  s.reps = o.reps;
  s.seed = o.seed;
  std::error_code ec;
  fs::create_directories(s.dir, ec);
  if (ec) {
    err << "talven: " << s.dir.string() << ": " << ec.message() << '\n';
    return 2;
  }
  if (fs::exists(s.dir / "sweep.txt")) {
    // a sweep of other tasks must not be merged with these
    for (const auto& e : fs::directory_iterator(s.dir, ec))
      if (e.path().filename().string().rfind("task.", 0) == 0) fs::remove_all(e.path(), ec);
  }
  if (!BUILDPROGRAM(model, s.dir, s.program, err)) return 3;
  long long cores = std::max(1u, std::thread::hardware_concurrency());
  if (!o.design.empty()) {
    Design d;
    if (!READDESIGN(ABSOLUTE(o.design, root).string(), d, why)) {
      err << "talven: " << why << '\n';
      return 2;
    }
    s.columns = d.columns;
    s.points = d.points;
    std::vector<std::string> factors;
    s.mode = Mode::EXPER;
    if (PROGRAMFACTORS(s.program, s.name, s.dir, factors, s.responses, why)) {
      bool all = true;
      for (const std::string& c : s.columns) {
        std::string key = PARAMKEY(c);
        key.erase(key.find_last_not_of(' ') + 1);
        all = all && std::find(factors.begin(), factors.end(), key) != factors.end();
      }
      if (all) s.mode = Mode::FACTORS;
    } else if (!why.empty()) {
      err << "talven: " << why << '\n';
      return 2;
    }
    if (s.mode != Mode::FACTORS) s.responses.clear();
  } else {
    long long t = o.tasks ? o.tasks : (o.slurm ? 8 : cores);
    t = std::min(t, o.reps);
    for (long long b = 0, first = 1; b < t; ++b) {
      long long n = o.reps / t + (b < o.reps % t ? 1 : 0);
      s.blocks.emplace_back(first, n);
      first += n;
    }
  }
  if (!SAVESWEEP(s, why)) {
    err << "talven: " << why << '\n';
    return 2;
  }
  for (size_t k = 1; k <= s.tasks(); ++k) fs::create_directories(s.taskdir(k), ec);
  Progress p(s, err, o.quiet);
  if (o.slurm) {
    std::string jobid;
    if (int code = SUBMIT(s, o, jobid, err)) return code;
    if (!o.quiet)
      err << "submitted Slurm job " << jobid << ": " << s.tasks() << " tasks into "
          << s.dir.string() << '\n';
    if (o.nowait) {
      out << jobid << '\n';
      return 0;
    }
    if (int code = WAITSLURM(s, jobid, p, err)) return code;
  } else {
    RUNLOCAL(s, o.jobs ? o.jobs : cores, p, err);
  }
  return MERGE(s, out, err);
}

int MERGECOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& root) {
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << MERGEUSAGE << '\n';
    return 0;
  }
  if (args.size() != 1) {
    err << MERGEUSAGE << '\n';
    return 2;
  }
  Sweep s;
  std::string why;
  if (!LOADSWEEP(ABSOLUTE(args[0], root), s, why)) {
    err << "talven: " << why << '\n';
    return 2;
  }
  return MERGE(s, out, err);
}

int TASKCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& root) {
  long long k = 0;
  Sweep s;
  std::string why;
  if (!args.empty() && (args[0] == "--help" || args[0] == "-h")) {
    out << "usage: talven task DIR K\nRuns task K of the sweep in DIR (each task of a Slurm "
           "job array runs this).\n";
    return 0;
  }
  if (args.size() != 2 || !NUMBER(args[1], 1, 100000, k)) {
    err << "usage: talven task DIR K (task K of the sweep in DIR)\n";
    return 2;
  }
  if (!LOADSWEEP(ABSOLUTE(args[0], root), s, why)) {
    err << "talven: " << why << '\n';
    return 2;
  }
  if (static_cast<size_t>(k) > s.tasks()) {
    err << "talven: the sweep in " << s.dir.string() << " has " << s.tasks() << " tasks, not "
        << k << '\n';
    return 2;
  }
  std::ostringstream log;
  int code = RUNTASK(s, static_cast<size_t>(k), log);
  fs::path td = s.taskdir(static_cast<size_t>(k));
  WRITEFILE(td / "log.txt", log.str());
  if (!WRITEFILE(td / "status", "exit " + std::to_string(code) + "\n")) {
    err << "talven: " << (td / "status").string() << ": cannot be written\n";
    return 2;
  }
  if (code != 0) err << log.str();
  out.flush();
  return code;
}
