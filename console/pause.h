// SPDX-License-Identifier: MIT
// The pause at the end of a run, as the Windows console program has it.
#ifndef LCS_CONSOLE_PAUSE_H
#define LCS_CONSOLE_PAUSE_H

// On Windows, runs the command interpreter's "pause". Elsewhere, when standard
// input and output are both terminals, prints "Press any key to continue . . ."
// and waits for one key press (any key, Ctrl-C included) with the terminal's
// settings restored afterwards; otherwise returns at once.
void pause_for_key();

#endif  // LCS_CONSOLE_PAUSE_H
