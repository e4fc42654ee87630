// A thread with a stack of a chosen size for the translator: the passes
// recurse once per nesting level, and the room for MAXNESTING levels must
// not depend on how the process was started (ulimit -s, a sanitizer's
// larger frames, a fuzzer's main thread). POSIX threads are the one way
// to choose a stack size.
#include <pthread.h>
#include <exception>
#include <functional>
#include <stdexcept>
#include "cli/cli.h"

namespace {
struct Job {
  const std::function<void()>* f;
  std::exception_ptr thrown;
};

void* RUNJOB(void* p) {
  Job* j = static_cast<Job*>(p);
  try {
    (*j->f)();
  } catch (...) {
    j->thrown = std::current_exception();
  }
  return nullptr;
}
}  // namespace

void RUNONSTACK(size_t bytes, const std::function<void()>& f) {
  Job job{&f, nullptr};
  pthread_attr_t attr;
  pthread_t thread;
  bool made = pthread_attr_init(&attr) == 0;
  made = made && pthread_attr_setstacksize(&attr, bytes) == 0 &&
         pthread_create(&thread, &attr, RUNJOB, &job) == 0;
  pthread_attr_destroy(&attr);
  if (!made) throw std::runtime_error("no thread for the translation");
  pthread_join(thread, nullptr);
  if (job.thrown) std::rethrow_exception(job.thrown);
}
