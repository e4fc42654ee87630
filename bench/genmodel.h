// The model generator of the benchmarks (genmodel, talven_bench).
//
// A model is a row of independent blocks, one MODULE each few blocks.
// A block is a small service network that uses every node type (I, L, R,
// G, D, O, E, A, C), message fields of its own, variables, an array, a
// record, a record type, constants, a valued function, a message type, a
// procedure with local names, statistics and a continuous node; its INIT
// lines start it. Every name of a block is either random (letters and
// digits, in no order) or numbered in the order it appears (N000001,
// N000002, ...), as people number similar nodes. Every model translates
// and its output builds with fpc.
#pragma once
#include <cstdio>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

namespace genmodel {

// Names of one block, by role.
enum Role {
  SRC, QUE, RES, GATE, DEC, ORD, EXIT, WATCH, CONT,  // nodes
  FIELD, COUNT, BIG, DONE, TOTAL, HIST, REC, LEVEL, RATE, NMAX, FN, PROC,
  MSG, MFIELD, TYPE, TVAR,
  NROLES
};

struct Namer {
  bool ordered;
  std::mt19937 rng;
  std::set<std::string> used;
  long next = 0;

  // Random names mix a digit in, so they never meet a word of the language.
  std::string make() {
    if (ordered) {
      char b[32];
      std::snprintf(b, sizeof b, "N%06ld", ++next);
      return b;
    }
    constexpr char AZ[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    constexpr char AZ09[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    for (;;) {
      std::string s(1, AZ[rng() % 26]);
      int len = 6 + static_cast<int>(rng() % 4);
      for (int i = 1; i < len; ++i) s += AZ09[rng() % 36];
      s[1 + rng() % (len - 1)] = static_cast<char>('0' + rng() % 10);
      if (used.insert(s).second) return s;
    }
  }
};

struct Block {
  std::string n[NROLES];
  int k;  // block number from 1
};

// The template t with {x} replaced by the name of role x (a letter a..
// in Role order) and {#} by the block number. Source lines are cut at 80
// characters, so a longer one would be a generator fault.
inline std::string fill(const char* t, const Block& b) {
  std::string out;
  size_t bol = 0;
  for (const char* p = t; *p; ++p) {
    if (*p == '\n') {
      if (out.size() - bol > 80)
        throw std::logic_error("genmodel: line too long: " + out.substr(bol));
      bol = out.size() + 1;
    }
    if (p[0] == '{' && p[1] && p[2] == '}') {
      if (p[1] == '#')
        out += std::to_string(b.k);
      else
        out += b.n[p[1] - 'a'];
      p += 2;
    } else {
      out += *p;
    }
  }
  return out;
}

// Roles as letters for the templates:
// a SRC  b QUE  c RES  d GATE  e DEC  f ORD  g EXIT  h WATCH  i CONT
// j FIELD  k COUNT  l BIG  m DONE  n TOTAL  o HIST  p REC  q LEVEL
// r RATE  s NMAX  t FN  u PROC  v MSG  w MFIELD  x TYPE  y TVAR
inline const char* const NETWORK_BLOCK =
    "  {a} (I) {b} ::\n"
    "     IT := EXPO(4);\n"
    "     PRIO := TRUNC(TIME) MOD 3;\n"
    "     SIZE := UNIF(1, 5);\n"
    "     {j} := RANDOM * 10;\n"
    "     {k} := {k} + 1;\n"
    "  {b} (L) {c} ::\n"
    "     ORDER(PRIO, D);\n"
    "  {c} (R) {d} ::\n"
    "     STAY := {t}(SIZE) + {j} / 10;\n"
    "  {d} (G) {e} VAR N : INTEGER; ::\n"
    "     N := PRIO + 1;\n"
    "     IF N > 2 THEN {l} := {l} + 1;\n"
    "     SENDTO({e});\n"
    "  {e} (D) {f}, {g} ::\n"
    "     IF PRIO = 0 THEN SENDTO({f}) ELSE SENDTO({g});\n"
    "  {f} (O) {g} ::\n"
    "     IF LL(EL_{f}) > 0 THEN EXTR(EL_{f}, FIRST) SENDTO({g});\n"
    "  {g} (E) ::\n"
    "     {m} := {m} + 1;\n"
    "     {n} := {n} + SIZE;\n"
    "     {u}(SIZE);\n"
    "  {h} (A) ::\n"
    "     {p}.LO := {q};\n"
    "     {p}.HI := {p}.LO + {n};\n"
    "     {y}.N := {y}.N + 1;\n"
    "     FOR I := 1 TO {s} DO {o}[I] := {o}[I] * 0.5;\n"
    "     {o}[1] := {o}[1] + {m};\n"
    "     IF {m} > 0 THEN BEGIN\n"
    "        {o}[2] := {n} / {m};\n"
    "        {o}[3] := {l} / {m}\n"
    "     END\n"
    "     ELSE {o}[2] := 0;\n"
    "     CASE {k} MOD 4 OF\n"
    "        0 : {o}[4] := {q};\n"
    "        1, 2 : {o}[4] := {o}[4] + 1;\n"
    "        3 : {o}[4] := 0\n"
    "     END;\n"
    "     WHILE {o}[5] > 100 DO {o}[5] := {o}[5] / 2;\n"
    "     IF {k} MOD 50 = 1 THEN\n"
    "        CREATE({v}) BEGIN {w} := {k}; SENDTO({g}) END;\n"
    "     IF {q} > 1E6 THEN ENDSIMUL;\n"
    "     ACT({h}, 10);\n"
    "  {i} (C) ::\n"
    "     {q}' = {r} * (5 - {q});\n";

inline const char* const INIT_BLOCK =
    "  {c} := 2;\n"
    "  {m} := 0; {n} := 0; {k} := 0; {l} := 0;\n"
    "  {r} := 0.{#}1; {q} := 1;\n"
    "  DT_{i} := 0.5;\n"
    "  {t} := 0, 1 / 5, 2 / 10, 4;\n"
    "  ACT({a}, 0); ACT({h}, 1); ACT({i}, 0);\n";

inline const char* const DECL_BLOCK =
    "CONST {s} = 5;\n"
    "TYPE {x} = RECORD LO, HI : REAL; N : INTEGER END;\n"
    "VAR {k}, {l}, {m} : INTEGER;\n"
    "    {n}, {r} : REAL;\n"
    "    {o} : ARRAY[1..5] OF REAL;\n"
    "    {p} : RECORD LO, HI : REAL END;\n"
    "    {y} : {x};\n"
    "GFUNCTIONS {t} : POLYG (REAL) : REAL : 3;\n"
    "NODES {a} (PRIO : INTEGER; SIZE, {j} : REAL);\n"
    "      {f} (EL);\n"
    "MESSAGES {v} (PRIO : INTEGER; SIZE, {w} : REAL);\n";

inline const char* const PROC_BLOCK =
    "PROCEDURE {u}(X : REAL);\n"
    "VAR Y : REAL;\n"
    "    I : INTEGER;\n"
    "BEGIN\n"
    "  Y := X * 2;\n"
    "  FOR I := 1 TO 2 DO Y := Y + I;\n"
    "  {n} := {n} + Y / 100\n"
    "END;\n";

inline int lines(const char* t) {
  int n = 0;
  for (const char* p = t; *p; ++p) n += *p == '\n';
  return n;
}


// A model of about `want` lines (never less than one block).
inline std::string MODEL(long want, bool ordered, unsigned seed = 1) {
  Namer namer{ordered, std::mt19937(seed), {}, 0};
  // Lines of one block in all sections, its CONT and STATISTICS lines,
  // and a MODULE line now and then; the fixed frame takes about 12.
  int per = lines(NETWORK_BLOCK) + lines(INIT_BLOCK) + lines(DECL_BLOCK) +
            lines(PROC_BLOCK) + 2;
  constexpr int BLOCKSPERMODULE = 4;
  long nblocks = static_cast<long>((want - 12) / (per + 1.0 / BLOCKSPERMODULE));
  if (nblocks < 1) nblocks = 1;

  std::vector<Block> blocks(nblocks);
  for (long k = 0; k < nblocks; ++k) {
    blocks[k].k = static_cast<int>(k + 1);
    for (int r = 0; r < NROLES; ++r) blocks[k].n[r] = namer.make();
  }

  std::string out;
  out.reserve(static_cast<size_t>(want) * 40);
  out += ordered ? "A generated model: blocks of every node type, names numbered in order.\n"
                 : "A generated model: blocks of every node type, random names.\n";
  out += "NETWORK\n";
  for (long k = 0; k < nblocks; ++k) {
    if (k > 0 && k % BLOCKSPERMODULE == 0) out += "MODULE\n";
    out += fill(NETWORK_BLOCK, blocks[k]);
  }
  out += "INIT\n  TSIM := 50;\n";
  for (const Block& b : blocks) out += fill(INIT_BLOCK, b);
  // Continuous variables are laid out together, before any other.
  out += "DECL\nVAR\n";
  for (const Block& b : blocks) out += fill("    {q} : CONT;\n", b);
  out += "    I : INTEGER;\n";
  for (const Block& b : blocks) out += fill(DECL_BLOCK, b);
  for (const Block& b : blocks) out += fill("STATISTICS {c}, {n};\n", b);
  out += "PROCEDURES\n";
  for (const Block& b : blocks) out += fill(PROC_BLOCK, b);
  out += "END.\n";
  return out;
}

}  // namespace genmodel
