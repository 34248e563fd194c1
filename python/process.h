// SPDX-License-Identifier: MIT
// The many-pair calls of lcs.process, added to the engine module.
#ifndef LCS_PYTHON_PROCESS_H
#define LCS_PYTHON_PROCESS_H

#include <pybind11/pybind11.h>

namespace lcs_python {

// Adds _extract, _cdist and _similar_pairs, which lcs/process.py wraps.
void add_process(pybind11::module_& module);

}  // namespace lcs_python

#endif  // LCS_PYTHON_PROCESS_H
