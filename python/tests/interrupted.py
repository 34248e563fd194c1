# SPDX-License-Identifier: MIT
"""Ctrl-C in a child process during a long call: what the tests of both
modules check the same way."""
import os
import signal
import subprocess
import sys
import time


def assert_ctrl_c_stops(child_source, within_seconds, ready_seconds=0.3):
    """Runs child_source, which prints "ready", starts a long call, and on
    KeyboardInterrupt prints "interrupted" and exits 3; sends SIGINT once it
    is ready and checks that it ended so within_seconds."""
    child = subprocess.Popen([sys.executable, "-c", child_source], stdout=subprocess.PIPE,
                             text=True, env=os.environ)
    assert child.stdout.readline() == "ready\n"
    time.sleep(ready_seconds)
    sent = time.monotonic()
    child.send_signal(signal.SIGINT)
    assert child.wait(timeout=60) == 3
    assert time.monotonic() - sent < within_seconds
    assert child.stdout.read() == "interrupted\n"
