// Replications and experiments over many processes: the tasks of a sweep
// run on this machine's cores or as a Slurm job array, each into its own
// directory of one shared output directory, and are merged into the
// summary files. Commands above the translator core; the core knows
// nothing of processes.
#pragma once
#include <cstdint>
#include <iosfwd>
#include <string>
#include <vector>

// ---- the parameter file of FACTORS and RESPONSES (paramfile.cpp)
constexpr size_t PARAMRECORD = 128, PARAMRECORDS = 13;
constexpr int PARAMMAX = 10;  // names of each kind the file holds
// Records: the caller's factor names, its response names, the factor
// values; the run's responses; the program's own factor and response names.
constexpr int PF_ASKEDFACTORS = 0, PF_ASKEDRESPONSES = 1, PF_VALUES = 2, PF_RESPONSES = 3,
              PF_FACTORS = 5, PF_RESPONSENAMES = 6;

// "bank.tlv" -> "bank.D01": the name the generated program opens, relative
// to its working directory.
std::string PARAMFILENAME(const std::string& modelfile);
// A name as the file compares it: upper case, cut or padded to 8.
std::string PARAMKEY(const std::string& name);

// The file's bytes (little-endian, as the program on this machine writes).
struct ParamFile {
  std::string bytes;
  ParamFile();
  bool load(const std::string& path, std::string& why);
  bool save(const std::string& path, std::string& why) const;
  void setnames(int record, const std::vector<std::string>& names);
  std::vector<std::string> names(int record) const;  // without the padding
  void setvalues(int record, const std::vector<double>& values);
  std::vector<double> values(int record, size_t n) const;
};

// ---- design files (design.cpp)
// One column per variable, one row per point, values as written.
struct Design {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> points;
};
bool READDESIGN(const std::string& path, Design& d, std::string& why);
// The shortest text that reads back as x.
std::string SHORTEST(double x);
// A CSV line split at its commas (double quotes honoured), fields trimmed.
std::vector<std::string> CSVFIELDS(const std::string& line);

// ---- other programs, several at once (spawn.cpp)
// Starts argv in cwd ("" = here), its output into log ("" = ours); the
// process id, or -1 with why.
long STARTPROGRAM(const std::vector<std::string>& argv, const std::string& cwd,
                  const std::string& log, std::string& why);
// Waits for that process: its exit code, 128 + signal when killed.
int WAITPROGRAM(long pid);
// Waits for any started process: its id and code; -1 when none is left.
long WAITANY(int& code);

// ---- sweeps (sweep.cpp)
// talven sweep MODEL --reps N [--design FILE] [...] [--slurm [SBATCH ...]]
int SWEEPCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& root);
// talven merge DIR
int MERGECOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                 const std::string& root);
// talven task DIR K: task K of a sweep (what each Slurm array task runs).
int TASKCOMMAND(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
                const std::string& root);
