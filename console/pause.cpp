// SPDX-License-Identifier: MIT
// The pause at the end of a run.
#include "console/pause.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>

#ifndef _WIN32
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#endif

#ifdef _WIN32

void pause_for_key() {
  static_cast<void>(std::fflush(stdout));
  static_cast<void>(std::system("pause"));  // NOLINT(concurrency-mt-unsafe): one thread
}

#else

namespace {

constexpr int kStoppingSignals[] = {SIGINT, SIGTERM, SIGHUP, SIGQUIT};

// Signals that would end the process while the terminal is in raw mode. They
// are held back during the wait and delivered once the terminal is restored.
sigset_t stopping_signals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : kStoppingSignals) {
    sigaddset(&set, signal);
  }
  return set;
}

bool any_pending(const sigset_t& watched) {
  sigset_t pending;
  sigpending(&pending);
  for (const int signal : kStoppingSignals) {
    if (sigismember(&watched, signal) == 1 && sigismember(&pending, signal) == 1) {
      return true;
    }
  }
  return false;
}

// Waits until one byte can be read from standard input or a watched signal is
// pending, looking for the signal ten times a second.
void wait_for_key(const sigset_t& watched) {
  for (;;) {
    pollfd input{STDIN_FILENO, POLLIN, 0};
    const int ready = poll(&input, 1, 100);
    if (ready > 0) {
      char key = 0;
      static_cast<void>(read(STDIN_FILENO, &key, 1));
      return;
    }
    if (any_pending(watched) || ready < 0) {
      return;
    }
  }
}

}  // namespace

void pause_for_key() {
  if (isatty(STDIN_FILENO) == 0 || isatty(STDOUT_FILENO) == 0) {
    return;
  }
  termios saved{};
  if (tcgetattr(STDIN_FILENO, &saved) != 0) {
    return;
  }
  static_cast<void>(std::fputs("Press any key to continue . . .", stdout));
  static_cast<void>(std::fflush(stdout));

  const sigset_t watched = stopping_signals();
  sigset_t before;
  pthread_sigmask(SIG_BLOCK, &watched, &before);
  termios raw = saved;
  raw.c_lflag &= ~static_cast<tcflag_t>(ICANON | ECHO | ISIG);  // Ctrl-C is a key like any other
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &raw) == 0) {
    wait_for_key(watched);
    tcsetattr(STDIN_FILENO, TCSANOW, &saved);
  }
  static_cast<void>(std::fputs("\n", stdout));
  static_cast<void>(std::fflush(stdout));
  pthread_sigmask(SIG_SETMASK, &before, nullptr);
}

#endif
