// In-process test helpers: a compiler with captured streams, built on
// a model text without touching the file system.
#pragma once
#include <sstream>
#include <string>
#include "driver/compiler.h"

struct TestRun {
  std::ostringstream out, err;
  std::istringstream in;
  Compiler c;

  explicit TestRun(bool trace = false) {
    c.drv.out = &out;
    c.drv.err = &err;
    c.drv.in = &in;
    c.drv.TRACE = trace;
    INITSTATE(c);
  }
  // Builds the line store from the text, as the first pass would.
  void load(const std::string& text) { CREALINFROM(c, text); }
  // Runs f and returns the message of the model error it raises ("" if none).
  template <class F>
  std::string error(F f) {
    try {
      f();
    } catch (const ModelError& e) {
      lastError = e;
      return e.message;
    }
    return "";
  }
  ModelError lastError;
};

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

// A fresh directory under the system's temporary directory, removed after.
struct TempDir {
  std::filesystem::path path;
  TempDir() {
    std::random_device rd;
    path = std::filesystem::temp_directory_path() /
           ("talven-test-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path, ec);
  }
  std::string str() const { return path.string(); }
  std::string file(const std::string& name) const { return (path / name).string(); }
  bool has(const std::string& name) const { return std::filesystem::exists(path / name); }
  void write(const std::string& name, const std::string& text) const {
    std::filesystem::create_directories((path / name).parent_path());
    std::ofstream(path / name, std::ios::binary) << text;
  }
  std::string read(const std::string& name) const {
    std::ifstream f(path / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
};

// Reads a model file of tests/models.
inline std::string MODELTEXT(const std::string& name) {
  std::ifstream f(std::string(TALVEN_TEST_MODELS) + "/" + name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), {});
}
