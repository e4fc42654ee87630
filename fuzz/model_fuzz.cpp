// Fuzz target: the input's bytes choose a model, which is then translated.
// The models are large and structured where byte mutation alone stays
// small: nesting far past the limit, lines far past 80 characters,
// thousands of nodes and modules, declarations of thousands of names,
// long names, records in records. Every choice reads the input, so the
// fuzzer steers the model as it mutates the bytes.
#include <fuzzer/FuzzedDataProvider.h>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>
#include "harness.h"

namespace {

constexpr size_t MAXTEXT = size_t(4) << 20;  // a model's text is cut off here

class ModelGen {
 public:
  explicit ModelGen(FuzzedDataProvider& in) : in(in) {}

  std::string MODEL() {
    LINE(TEXT(60));
    LINE("NETWORK");
    NODES();
    LINE("INIT");
    LINE("  TSIM := " + std::to_string(in.ConsumeIntegralInRange(0, 1000)) + ";");
    LINE("  ACT(" + NODE() + ", 0);");
    for (int i = SMALL(4); i > 0; --i) STMT(0);
    BREAK();
    LINE("DECL");
    DECLS();
    if (!in.ConsumeBool() || in.ConsumeBool()) LINE("END.");
    if (in.ConsumeBool()) out += in.ConsumeRemainingBytesAsString();
    return out;
  }

 private:
  FuzzedDataProvider& in;
  std::string out;
  size_t col = 0;         // characters on the current line
  size_t width = 78;      // lines are broken past this
  int nodes = 1;          // nodes named N1..Nnodes
  std::vector<std::string> vars{"X", "Y", "I"};

  bool FULL() const { return out.size() > MAXTEXT; }
  int SMALL(int n) { return in.ConsumeIntegralInRange(0, n); }
  // A count that is mostly small and sometimes huge.
  int COUNT(int small, int huge) {
    return in.ConsumeIntegralInRange(0, 7) == 0 ? in.ConsumeIntegralInRange(0, huge) : SMALL(small);
  }

  void BREAK() {
    if (col > 0) out += '\n';
    col = 0;
  }
  void LINE(const std::string& t) {
    BREAK();
    out += t;
    out += '\n';
  }
  // A word of the model, on the current line while it fits.
  void W(const std::string& w) {
    if (col > 0 && col + w.size() + 1 > width) BREAK();
    if (col == 0) {
      out += "     ";
      col = 5;
    } else {
      out += ' ';
      ++col;
    }
    out += w;
    col += w.size();
  }
  std::string TEXT(size_t n) { return in.ConsumeRandomLengthString(n); }

  std::string NAME(const std::string& stem) {
    std::string n = stem;
    if (in.ConsumeIntegralInRange(0, 15) == 0) n += std::string(SMALL(60), 'Q');
    return n;
  }
  std::string NODE() { return "N" + std::to_string(in.ConsumeIntegralInRange(1, nodes)); }
  std::string VAR() { return vars[in.ConsumeIntegralInRange<size_t>(0, vars.size() - 1)]; }

  void NODES() {
    nodes = 1 + COUNT(8, 5000);
    const char* kinds = "IGRLEDACOSB";
    for (int i = 1; i <= nodes && !FULL(); ++i) {
      if (i > 1 && in.ConsumeIntegralInRange(0, 20) == 0) LINE("MODULE");
      std::string h = "  N" + std::to_string(i);
      if (in.ConsumeIntegralInRange(0, 10) == 0) h += "[" + std::to_string(1 + SMALL(5)) + "]";
      h += std::string(" (") + kinds[in.ConsumeIntegralInRange(0, 10)] + ")";
      for (int s = SMALL(3), k = 0; k < s; ++k) h += (k ? ", " : " ") + NODE();
      LINE(h + " ::");
      width = in.ConsumeIntegralInRange(0, 15) == 0 ? 80 + SMALL(4000) : 78;
      for (int k = SMALL(3); k > 0; --k) STMT(0);
      BREAK();
      width = 78;
    }
  }

  void EXPR(int depth) {
    if (FULL() || depth > 12) {
      W(VAR());
      return;
    }
    switch (in.ConsumeIntegralInRange(0, 11)) {
      case 0: W(std::to_string(SMALL(1000))); break;
      case 1: W("("); EXPR(depth + 1); W(")"); break;
      case 2: W("ABS("); EXPR(depth + 1); W(")"); break;
      case 3: EXPR(depth + 1); W(in.ConsumeBool() ? "+" : "*"); EXPR(depth + 1); break;
      case 4: W(VAR() + "["); EXPR(depth + 1); W("]"); break;
      case 5: W("EXPO("); EXPR(depth + 1); W(")"); break;
      case 6: W("MAX("); EXPR(depth + 1); W(","); EXPR(depth + 1); W(")"); break;
      case 7: EXPR(depth + 1); W(in.ConsumeBool() ? ">" : "<="); EXPR(depth + 1); break;
      case 8: {  // a chain far deeper than the translator takes
        int n = COUNT(50, 20000);
        const char* open = in.ConsumeBool() ? "(" : "ABS(";
        for (int i = 0; i < n && !FULL(); ++i) W(open);
        W(VAR());
        for (int i = 0; i < n && !FULL(); ++i) W(")");
        break;
      }
      case 9: W("'" + TEXT(20) + "'"); break;
      case 10: W(TEXT(12)); break;
      default: W(VAR());
    }
  }

  // A chain of one statement kind nested n deep around one assignment.
  void CHAIN() {
    int n = COUNT(50, 20000);
    int kind = in.ConsumeIntegralInRange(0, 5);
    static const char* const OPEN[] = {"IF X > 0 THEN", "WHILE X > 0 DO", "BEGIN", "REPEAT",
                                       "FOR I := 1 TO 2 DO", "CASE I OF 1:"};
    static const char* const CLOSE[] = {"", "", "END", "UNTIL X > 0", "", "END"};
    for (int i = 0; i < n && !FULL(); ++i) W(OPEN[kind]);
    W("X := 1");
    for (int i = 0; i < n && !FULL(); ++i)
      if (*CLOSE[kind]) W(CLOSE[kind]);
    W(";");
  }

  void STMT(int depth) {
    if (FULL()) return;
    if (depth > 10) {
      W("X := 1;");
      return;
    }
    switch (in.ConsumeIntegralInRange(0, 13)) {
      case 0: W("IF"); EXPR(0); W("THEN"); STMT(depth + 1); break;
      case 1: W("WHILE"); EXPR(0); W("DO"); STMT(depth + 1); break;
      case 2:
        W("BEGIN");
        for (int k = SMALL(3); k > 0; --k) STMT(depth + 1);
        W("END;");
        break;
      case 3: W("REPEAT"); STMT(depth + 1); W("UNTIL"); EXPR(0); W(";"); break;
      case 4: W("FOR I := 1 TO"); EXPR(0); W("DO"); STMT(depth + 1); break;
      case 5: W("CASE I OF 1:"); STMT(depth + 1); W("END;"); break;
      case 6: CHAIN(); break;
      case 7: W("SENDTO(" + NODE() + ");"); break;
      case 8: W("ACT(" + NODE() + ","); EXPR(0); W(");"); break;
      case 9: W(in.ConsumeBool() ? "STAY :=" : "IT :="); EXPR(0); W(";"); break;
      case 10: W("WRITELN("); EXPR(0); W(");"); break;
      case 11: W(TEXT(30)); break;
      default: W(VAR() + " :="); EXPR(0); W(";");
    }
  }

  // TYPE, VAR, CONST and MESSAGES of any size and depth.
  void DECLS() {
    LINE("VAR X, Y : REAL; I : INTEGER;");
    for (int n = SMALL(6); n > 0 && !FULL(); --n) {
      switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {  // thousands of names in one list
          int m = COUNT(20, 20000);
          BREAK();
          W("VAR");
          for (int i = 0; i < m && !FULL(); ++i) {
            std::string v = NAME("V" + std::to_string(vars.size()));
            vars.push_back(v);
            W(v + (i + 1 < m ? "," : ""));
          }
          W(": REAL;");
          break;
        }
        case 1: {  // records in records
          int d = COUNT(5, 20000);
          BREAK();
          W(in.ConsumeBool() ? "TYPE T" + std::to_string(n) + " =" : "VAR R" + std::to_string(n) + " :");
          for (int i = 0; i < d && !FULL(); ++i) W("RECORD A :");
          W("REAL;");
          for (int i = 0; i < d && !FULL(); ++i) W("END;");
          break;
        }
        case 2: {  // arrays of arrays
          int d = COUNT(5, 20000);
          BREAK();
          W("TYPE A" + std::to_string(n) + " =");
          for (int i = 0; i < d && !FULL(); ++i) W("ARRAY[1..2] OF");
          W("REAL;");
          break;
        }
        case 3: {  // constant lists in lists
          int d = COUNT(5, 20000);
          BREAK();
          W("CONST C" + std::to_string(n) + " : ARRAY[1..1] OF REAL =");
          for (int i = 0; i < d && !FULL(); ++i) W("(");
          W("1");
          for (int i = 0; i < d && !FULL(); ++i) W(")");
          W(";");
          break;
        }
        case 4: {  // a message of many fields
          int m = COUNT(10, 5000);
          BREAK();
          W("MESSAGES M" + std::to_string(n) + " (");
          for (int i = 0; i < m && !FULL(); ++i) W(NAME("F" + std::to_string(i)) + " : REAL;");
          W("K : INTEGER);");
          break;
        }
        case 5: {  // a procedure with statements
          BREAK();
          LINE("PROCEDURES");
          LINE("PROCEDURE P" + std::to_string(n) + ";");
          W("BEGIN");
          for (int k = SMALL(4); k > 0; --k) STMT(0);
          W("END;");
          break;
        }
        default:
          BREAK();
          LINE(TEXT(200));
      }
    }
    BREAK();
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider in(data, size);
  std::string model = ModelGen(in).MODEL();
  // TALVEN_FUZZ_SHOW=1: the model of each input on standard error, to
  // see what a finding translated.
  if (const char* show = std::getenv("TALVEN_FUZZ_SHOW"); show && *show == '1')
    std::fwrite(model.data(), 1, model.size(), stderr);
  FUZZTRANSLATE(model);
  return 0;
}
