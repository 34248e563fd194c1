// SPDX-License-Identifier: MIT
// Long engine calls from Python: the GIL released, Ctrl-C on the main thread
// stopping them within milliseconds, and counts of threads as Python callers
// give them.
#ifndef LCS_PYTHON_STOPPABLE_H
#define LCS_PYTHON_STOPPABLE_H

#include <pybind11/pybind11.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <optional>
#include <string>
#include <utility>

#include "lcs/alignment.h"

namespace lcs_python {

namespace py = pybind11;

// Ctrl-C during a long call on the main thread: the handler put before
// Python's own sets the flag that stops the engine, then lets Python's run,
// which asks for KeyboardInterrupt (or the user's handler) once the GIL is
// taken again. Calls on other threads are not stopped, as Python code there
// is not. Only POSIX signals: elsewhere long calls run to their end.
inline std::atomic<bool> g_main_stop{false};

#if defined(__unix__) || defined(__APPLE__)
inline struct sigaction g_python_handler {};

extern "C" inline void on_interrupt(int signal_number, siginfo_t* info, void* context) {
  g_main_stop.store(true);
  const struct sigaction& python = g_python_handler;
  if ((python.sa_flags & SA_SIGINFO) != 0) {
    python.sa_sigaction(signal_number, info, context);
  } else if (python.sa_handler != SIG_DFL && python.sa_handler != SIG_IGN) {
    python.sa_handler(signal_number);
  }
}

// Puts on_interrupt before the handler Python has for SIGINT, while it lives;
// nothing when SIGINT is ignored or left to the system.
class InterruptWatch {
 public:
  InterruptWatch() {
    struct sigaction current {};
    if (sigaction(SIGINT, nullptr, &current) != 0 ||
        ((current.sa_flags & SA_SIGINFO) == 0 &&
         (current.sa_handler == SIG_DFL || current.sa_handler == SIG_IGN))) {
      return;
    }
    g_python_handler = current;
    struct sigaction ours = current;
    ours.sa_flags |= SA_SIGINFO;
    ours.sa_sigaction = on_interrupt;
    g_main_stop.store(false);
    active_ = sigaction(SIGINT, &ours, nullptr) == 0;
  }
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
  ~InterruptWatch() {
    if (active_) {
      sigaction(SIGINT, &g_python_handler, nullptr);
    }
  }
  [[nodiscard]] bool active() const { return active_; }

 private:
  bool active_ = false;
};
#else
struct InterruptWatch {
  [[nodiscard]] static bool active() { return false; }
};
#endif

inline bool on_main_thread() {
  const py::object main_thread = py::module_::import("threading").attr("main_thread")();
  return main_thread.attr("ident").cast<unsigned long>() == PyThread_get_thread_ident();
}

// A count of threads as the engine takes it: 0 or -1 for every core, else a
// positive count; `argument` names it in errors.
inline unsigned thread_count(const char* function, const char* argument, py::handle threads) {
  if (PyLong_Check(threads.ptr()) == 0 || PyBool_Check(threads.ptr()) != 0) {
    throw py::type_error(std::string(function) + ": " + argument + " must be an int, not " +
                         std::string(py::str(py::type::handle_of(threads).attr("__name__"))));
  }
  int overflow = 0;
  const long long count = PyLong_AsLongLongAndOverflow(threads.ptr(), &overflow);
  if (overflow != 0 || count < -1 || count > UINT_MAX) {
    throw py::value_error(std::string(function) + ": " + argument +
                          " must be 0 or -1 (every core) or a number of threads, not " +
                          std::string(py::str(threads)));
  }
  return count == -1 ? 0U : static_cast<unsigned>(count);
}

// Runs call(options): at once with the GIL held when it is quick, else with
// the GIL released; on the main thread, Ctrl-C stops it and Python's
// handler runs (its exception, usually KeyboardInterrupt, goes on).
template <class Call>
auto run_released(bool quick, lcs::Options options, const Call& call) {
  if (quick) {
    return call(options);
  }
  if (!on_main_thread()) {
    const py::gil_scoped_release release;
    return call(options);
  }
  for (;;) {
    std::optional<decltype(call(options))> result;
    {
      const InterruptWatch watch;
      if (watch.active()) {
        options.stop = &g_main_stop;
      }
      const py::gil_scoped_release release;
      try {
        result = call(options);
      } catch (const lcs::Stopped&) {
      }
    }
    if (PyErr_CheckSignals() != 0) {
      throw py::error_already_set();
    }
    if (result) {
      return std::move(*result);
    }
    // The handler raised nothing: the work goes on, from the start.
  }
}

}  // namespace lcs_python

#endif  // LCS_PYTHON_STOPPABLE_H
