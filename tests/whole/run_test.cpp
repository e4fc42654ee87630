// Whole runs through the command entry point, in a temporary directory:
// exit codes, messages, the witness file and the temporaries.
#include <gtest/gtest.h>
#include <algorithm>
#include "support/support.h"

namespace {

const char* TEMPORARIES[] = {"MODINI", "MODIN1", "MODPRO", "MODPRP",
                             "MODAUX", "MODLOG", "MODEDI"};

struct CmdRun {
  TempDir dir;
  std::ostringstream out, err;
  int code = -1;
  int operator()(std::vector<std::string> args, const std::string& input = "") {
    std::istringstream in(input);
    out.str("");
    err.str("");
    code = RUNTALVEN(args, out, err, in, dir.str());
    return code;
  }
  bool noTemporaries() const {
    for (const char* t : TEMPORARIES)
      if (dir.has(t)) return false;
    return true;
  }
};

TEST(WholeRun, MissingEndStopsWithTheMessageAndCode3) {
  CmdRun run;
  run.dir.write("bank.tlv", MODELTEXT("no_end.tlv"));
  EXPECT_EQ(run({"bank.tlv"}), 3);
  EXPECT_EQ(run.err.str(),
            "END: END. missing or misplaced Lin: 12 Col: 1\n"
            "bank.tlv:12:1: error: END. missing or misplaced\n");
  EXPECT_EQ(run.dir.read("Testigo.TLQ"), "Fin precompilacion\n");
  EXPECT_TRUE(run.noTemporaries());
  EXPECT_EQ(run.out.str(),
            "TALVEN Compiler. Castavel.\n"
            "  Windows 95/98/NT version 1.6.4, December 2003\n");
}

// A statement past column 80 is lost; the translation goes on, and says
// where, in the form editors read.
TEST(WholeRun, CutLineIsReportedWithTheFileLineAndColumn) {
  CmdRun run;
  std::string text = MODELTEXT("minimal.tlv");
  size_t eol = text.find('\n', text.find("NETWORK"));
  eol = text.find('\n', eol + 1);
  std::string line = "  " + std::string(78, ' ') + "X := 1;";
  text.insert(eol + 1, line + "\n");
  int n = 1 + static_cast<int>(std::count(text.begin(), text.begin() + eol + 1, '\n'));
  run.dir.write("bank.tlv", text);
  EXPECT_EQ(run({"bank.tlv"}), 0) << run.err.str();
  EXPECT_NE(run.err.str().find("bank.tlv:" + std::to_string(n) +
                               ":81: warning: line longer than 80 characters: the rest is "
                               "ignored\n"),
            std::string::npos)
      << run.err.str();
}

TEST(WholeRun, OnlyEndLineIsNoEnd) {
  CmdRun run;
  run.dir.write("one.tlv", "END.\n");
  EXPECT_EQ(run({"one.tlv"}), 3);
  EXPECT_EQ(run.err.str(),
            "END.: END. missing or misplaced Lin: 1 Col: 0\n"
            "one.tlv:1:0: error: END. missing or misplaced\n");
}

TEST(WholeRun, CompleteRunWritesTheWitnessAndErasesTemporaries) {
  CmdRun run;
  run.dir.write("bank.tlv", MODELTEXT("minimal.tlv"));
  EXPECT_EQ(run({"bank.tlv"}), 0);
  EXPECT_EQ(run.err.str(), "");
  EXPECT_EQ(run.dir.read("Testigo.TLQ"), "Fin precompilacion\n");
  EXPECT_TRUE(run.noTemporaries());
}

TEST(WholeRun, CrLfModelGivesTheSameOutcome) {
  std::string lf = MODELTEXT("no_end.tlv"), crlf;
  for (char ch : lf) crlf += ch == '\n' ? std::string("\r\n") : std::string(1, ch);
  CmdRun a, b;
  a.dir.write("bank.tlv", lf);
  b.dir.write("bank.tlv", crlf);
  EXPECT_EQ(a({"bank.tlv"}), b({"bank.tlv"}));
  EXPECT_EQ(a.err.str(), b.err.str());
  EXPECT_EQ(a.out.str(), b.out.str());
}

TEST(WholeRun, SourceInADirectoryKeepsFilesInTheWorkingDirectory) {
  CmdRun run;
  run.dir.write("models/bank.tlv", MODELTEXT("no_end.tlv"));
  EXPECT_EQ(run({"models/bank.tlv"}), 3);
  EXPECT_TRUE(run.dir.has("Testigo.TLQ"));  // before assembly: working dir
  EXPECT_FALSE(run.dir.has("models/Testigo.TLQ"));
  EXPECT_TRUE(run.noTemporaries());
}

TEST(WholeRun, TraceModeRunsThroughWithClosedInput) {
  CmdRun run;
  run.dir.write("bank.tlv", MODELTEXT("minimal.tlv"));
  EXPECT_EQ(run({"bank.tlv", "t"}), 0);
  const std::string out = run.out.str();
  EXPECT_NE(out.find("PROCESAR bank.tlv\n"), std::string::npos);
  EXPECT_NE(out.find("ENTRADA A CREALIN\n"), std::string::npos);
  EXPECT_NE(out.find(" CREADAS LINEAS\nA bank with one teller.\n"), std::string::npos);
  EXPECT_NE(out.find("END.\n$\n"), std::string::npos);
}

TEST(WholeRun, ThreeArgumentsDoNotTrace) {
  CmdRun run;
  run.dir.write("bank.tlv", MODELTEXT("minimal.tlv"));
  EXPECT_EQ(run({"bank.tlv", "a", "b"}), 0);
  EXPECT_EQ(run.out.str().find("PROCESAR"), std::string::npos);
}

TEST(WholeRun, UnreadableSourceIsAnIoFailure) {
  CmdRun run;
  EXPECT_EQ(run({"absent.tlv"}), 2);
  EXPECT_EQ(run.err.str(), "talven: absent.tlv: No such file or directory\n");
  EXPECT_FALSE(run.dir.has("Testigo.TLQ"));
}

// A file that fails in the middle of the run: no witness, and the
// temporaries already made are removed.
TEST(WholeRun, IoFailureAfterTheTemporariesRemovesThem) {
  CmdRun run;
  run.dir.write("m.tlv",
                "A model whose table is missing.\n"
                "NETWORK\n  A (I) ::\n     IT := 1;\n"
                "INIT\n  TSIM := 1;\n  ACT(A, 0);\n"
                "DECL\nDBTABLES (DATA/ CLIENTS);\nEND.\n");
  EXPECT_EQ(run({"m.tlv"}), 2);
  EXPECT_EQ(run.err.str(), "talven: DATA/CLIENTS.dbf: dBase table cannot be opened\n");
  EXPECT_FALSE(run.dir.has("Testigo.TLQ"));
  EXPECT_TRUE(run.noTemporaries());
}

// The witness cannot be written (a directory holds its name): the model
// error is still the outcome, and the temporaries are gone.
TEST(WholeRun, UnwritableWitnessAfterAModelError) {
  CmdRun run;
  run.dir.write("bank.tlv", MODELTEXT("no_end.tlv"));
  run.dir.write("Testigo.TLQ/x", "");
  EXPECT_EQ(run({"bank.tlv"}), 3);
  EXPECT_EQ(run.err.str(),
            "END: END. missing or misplaced Lin: 12 Col: 1\n"
            "bank.tlv:12:1: error: END. missing or misplaced\n");
  EXPECT_TRUE(run.noTemporaries());
}

TEST(WholeRun, CommandLineWithoutModel) {
  CmdRun run;
  EXPECT_EQ(run({}), 2);
  const std::string usage =
      "usage: talven build MODEL\n"
      "       talven run MODEL [--] [ARGS]\n"
      "       talven sweep MODEL --reps N [--design FILE] [--slurm [SBATCH OPTIONS]]\n"
      "       talven merge DIR\n"
      "       talven MODEL [TRACE]\n"
      "       talven help [COMMAND]\n"
      "       talven --version\n";
  EXPECT_EQ(run.err.str(), usage);
  EXPECT_EQ(run({"--frobnicate"}), 2);
  EXPECT_EQ(run.err.str(), "talven: unknown option --frobnicate\n" + usage);
  EXPECT_EQ(run.out.str(), "");
  EXPECT_EQ(run({"help", "sweep-nothing"}), 2);
  EXPECT_EQ(run.err.str(), "talven: no command sweep-nothing\n" + usage);
}

// Help names every form of the command line and every exit code, the
// word talven only where a form begins (the manual page's check reads
// the forms so); each spelling gives the same text; help COMMAND is the
// command's own.
TEST(WholeRun, HelpListsEveryCommand) {
  CmdRun run;
  EXPECT_EQ(run({"--help"}), 0);
  std::string help = run.out.str();
  EXPECT_EQ(run.err.str(), "");
  for (const char* form : {"\n  talven build MODEL ", "\n  talven run MODEL [--] [ARGS] ",
                           "\n  talven sweep MODEL --reps N [--design FILE] [--slurm [SBATCH "
                           "OPTIONS]]\n",
                           "\n  talven merge DIR ",
                           "\n  talven MODEL ", "\n  talven MODEL TRACE ",
                           "\n  talven help [COMMAND] ", "\n  talven --version "})
    EXPECT_NE(help.find(form), std::string::npos) << form << " in\n" << help;
  size_t forms = 0;
  for (size_t at = help.find("talven "); at != std::string::npos; at = help.find("talven ", at + 1)) {
    EXPECT_EQ(help.compare(at - 3, 3, "\n  "), 0) << help.substr(at - 3, 40);
    ++forms;
  }
  EXPECT_EQ(forms, 8u);
  for (const char* code : {"0 done", "2 bad argument", "3 model error", "4 a fault"})
    EXPECT_NE(help.find(code), std::string::npos) << code;
  for (const std::vector<std::string>& same : {std::vector<std::string>{"help"}, {"-h"}}) {
    EXPECT_EQ(run(same), 0);
    EXPECT_EQ(run.out.str(), help);
  }
  EXPECT_EQ(run({"help", "build"}), 0);
  EXPECT_EQ(run.out.str().rfind("usage: talven build MODEL\n", 0), 0u);
  EXPECT_EQ(run({"help", "run"}), 0);
  EXPECT_EQ(run.out.str().rfind("usage: talven run MODEL [--] [ARGS]\n", 0), 0u);
  EXPECT_EQ(run({"help", "sweep"}), 0);
  EXPECT_EQ(run.out.str().rfind("usage: talven sweep MODEL --reps N", 0), 0u);
  EXPECT_EQ(run({"help", "merge"}), 0);
  EXPECT_EQ(run.out.str().rfind("usage: talven merge DIR\n", 0), 0u);
  EXPECT_EQ(run({"--version"}), 0);
  EXPECT_EQ(run.out.str().rfind("talven 1.6.4\nruntime units: ", 0), 0u) << run.out.str();
}

TEST(WholeRun, RunsDoNotShareState) {
  CmdRun run;
  run.dir.write("bad.tlv", MODELTEXT("no_end.tlv"));
  run.dir.write("good.tlv", MODELTEXT("minimal.tlv"));
  EXPECT_EQ(run({"bad.tlv"}), 3);
  EXPECT_EQ(run({"good.tlv"}), 0);
  EXPECT_EQ(run({"bad.tlv"}), 3);
  EXPECT_EQ(run.err.str(), "END: END. missing or misplaced Lin: 12 Col: 1\n"
                           "bad.tlv:12:1: error: END. missing or misplaced\n");
}

TEST(DirectoryPrefix, UpToTheLastSeparator) {
  EXPECT_EQ(DIRPREFOF("bank.tlv"), "");
  EXPECT_EQ(DIRPREFOF("models/bank.tlv"), "models/");
  EXPECT_EQ(DIRPREFOF("c:\\models\\bank.tlv"), "c:\\models\\");
  EXPECT_EQ(DIRPREFOF("../models/bank.tlv"), "../models/");
  EXPECT_EQ(DIRPREFOF("a\\b/c.tlv"), "a\\b/");
}

}  // namespace
