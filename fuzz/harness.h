// One translation of a model's text for the fuzz targets, as the command
// runs it: on the translator's thread, read from no file. A model error is
// an answer, and so is a table file the model names that cannot be read;
// anything else thrown is a fault of the translator and stops the fuzzer.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <string_view>
#include "cli/cli.h"
#include "ground/compiler.h"

inline void FUZZTRANSLATE(std::string_view text) {
  auto c = std::make_unique<Compiler>();
  std::ostringstream out, err;
  std::istringstream in;
  c->drv.SRCPATH = "fuzz.tlv";
  c->drv.out = &out;
  c->drv.err = &err;
  c->drv.in = &in;
  c->drv.STACKROOM = NESTINGROOM;
  RUNONSTACK(TRANSLATORSTACK, [&] {
    try {
      TRANSLATETEXT(*c, text);
    } catch (const ModelError&) {
    } catch (const IoError& e) {
      if (e.reason == "file not open") {
        std::fprintf(stderr, "write to a closed channel: %s\n", e.file.c_str());
        std::abort();
      }
    }
  });
}
