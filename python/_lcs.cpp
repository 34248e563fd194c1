// SPDX-License-Identifier: MIT
// The engine for Python: str by code point (its own 1-, 2- or 4-byte form,
// never UTF-8), bytes-like objects by byte, and any other sequence through
// dense ids made with Python's own hashing and equality. Long calls run with
// the GIL released on a thread of their own, while the calling thread keeps
// watching for signals, so that Ctrl-C stops them within 50 ms.
#include <pybind11/pybind11.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <future>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "lcs/alignment.h"

#ifndef LCS_VERSION
#define LCS_VERSION "unknown"
#endif

namespace py = pybind11;

namespace {

// Calls below this many table cells take microseconds: they run at once,
// with the GIL held, without a thread.
constexpr double kQuickCells = 1 << 22;

// Two sequences of the same kind, ready for the engine; they refer to the
// Python objects, which `keep` holds.
using Bytes = std::pair<std::string_view, std::string_view>;
using Narrow = std::pair<std::span<const std::uint16_t>, std::span<const std::uint16_t>>;
using Wide = std::pair<std::span<const std::uint32_t>, std::span<const std::uint32_t>>;

struct Pair {
  std::variant<Bytes, Narrow, Wide> views;
  std::vector<std::uint16_t> narrow[2];  // a str widened to its partner's width
  std::vector<std::uint32_t> wide[2];    // the same, or dense ids
  py::buffer_info buffers[2];
  std::size_t sizes[2] = {0, 0};
};

const char* const kNames[2] = {"a", "b"};

std::string type_name(py::handle object) {
  return py::str(py::type::handle_of(object).attr("__name__"));
}

// A str's code points at a given width (1, 2 or 4 bytes), copied when wider than its own.
template <class Symbol>
std::span<const Symbol> code_points(PyObject* text, std::vector<Symbol>& widened) {
  const Py_ssize_t size = PyUnicode_GET_LENGTH(text);
  const unsigned kind = PyUnicode_KIND(text);
  if (kind == sizeof(Symbol)) {
    return {static_cast<const Symbol*>(PyUnicode_DATA(text)), static_cast<std::size_t>(size)};
  }
  widened.resize(static_cast<std::size_t>(size));
  for (Py_ssize_t k = 0; k < size; ++k) {
    widened[static_cast<std::size_t>(k)] =
        static_cast<Symbol>(PyUnicode_READ(kind, PyUnicode_DATA(text), k));
  }
  return {widened.data(), widened.size()};
}

void texts(Pair& pair, PyObject* a, PyObject* b) {
  if (PyUnicode_READY(a) != 0 || PyUnicode_READY(b) != 0) {
    throw py::error_already_set();
  }
  const unsigned width = std::max(PyUnicode_KIND(a), PyUnicode_KIND(b));
  if (width == PyUnicode_1BYTE_KIND) {
    const auto view = [](PyObject* text) {
      return std::string_view(static_cast<const char*>(PyUnicode_DATA(text)),
                              static_cast<std::size_t>(PyUnicode_GET_LENGTH(text)));
    };
    pair.views = Bytes{view(a), view(b)};
  } else if (width == PyUnicode_2BYTE_KIND) {
    pair.views = Narrow{code_points(a, pair.narrow[0]), code_points(b, pair.narrow[1])};
  } else {
    pair.views = Wide{code_points(a, pair.wide[0]), code_points(b, pair.wide[1])};
  }
}

// An item of a sequence with its Python hash, for dense ids.
struct Item {
  PyObject* object;
  Py_hash_t hash;
};

struct ItemHash {
  std::size_t operator()(const Item& item) const { return static_cast<std::size_t>(item.hash); }
};

struct ItemEqual {
  bool operator()(const Item& x, const Item& y) const {
    const int equal =
        x.object == y.object ? 1 : PyObject_RichCompareBool(x.object, y.object, Py_EQ);
    if (equal < 0) {
      throw py::error_already_set();
    }
    return equal == 1;
  }
};

std::vector<Item> hashed_items(const char* function, int side, py::handle sequence,
                               py::object& fast) {
  // A list of our own: an item's __hash__ or __eq__ may change the caller's.
  fast = py::reinterpret_steal<py::object>(PySequence_List(sequence.ptr()));
  if (!fast) {
    throw py::error_already_set();
  }
  const Py_ssize_t size = PyList_GET_SIZE(fast.ptr());
  std::vector<Item> items(static_cast<std::size_t>(size));
  for (Py_ssize_t k = 0; k < size; ++k) {
    PyObject* object = PyList_GET_ITEM(fast.ptr(), k);
    const Py_hash_t hash = PyObject_Hash(object);
    if (hash == -1 && PyErr_Occurred() != nullptr) {
      PyErr_Clear();
      throw py::type_error(std::string(function) + ": item " + std::to_string(k) + " of " +
                           kNames[side] + " is unhashable (" + type_name(object) +
                           "): items are compared by hash and equality");
    }
    items[static_cast<std::size_t>(k)] = {object, hash};
  }
  return items;
}

bool is_bytes_like(py::handle object) {
  return PyObject_CheckBuffer(object.ptr()) != 0 && !PyUnicode_Check(object.ptr());
}

Pair prepare(const char* function, py::handle a, py::handle b) {
  Pair pair;
  const py::handle sides[2] = {a, b};
  for (int side = 0; side < 2; ++side) {
    const py::handle object = sides[side];
    if (!PyUnicode_Check(object.ptr()) && !is_bytes_like(object) &&
        PySequence_Check(object.ptr()) == 0) {
      throw py::type_error(std::string(function) + ": " + kNames[side] +
                           " must be a sequence (str, bytes or a sequence of hashable items), "
                           "not " +
                           type_name(object));
    }
  }
  const bool a_text = PyUnicode_Check(a.ptr()) != 0;
  const bool b_text = PyUnicode_Check(b.ptr()) != 0;
  if ((a_text && is_bytes_like(b)) || (b_text && is_bytes_like(a))) {
    throw py::type_error(std::string(function) + ": cannot compare str with " +
                         type_name(a_text ? b : a) + ": decode the bytes or encode the str first");
  }
  if (a_text && b_text) {
    texts(pair, a.ptr(), b.ptr());
  } else if (is_bytes_like(a) && is_bytes_like(b) &&
             (pair.buffers[0] = py::reinterpret_borrow<py::buffer>(a).request()).itemsize == 1 &&
             (pair.buffers[1] = py::reinterpret_borrow<py::buffer>(b).request()).itemsize == 1) {
    const auto view = [](const py::buffer_info& info) {
      return std::string_view(static_cast<const char*>(info.ptr),
                              static_cast<std::size_t>(info.size * info.itemsize));
    };
    pair.views = Bytes{view(pair.buffers[0]), view(pair.buffers[1])};
  } else {
    py::object fast[2];
    const std::vector<Item> a_items = hashed_items(function, 0, a, fast[0]);
    const std::vector<Item> b_items = hashed_items(function, 1, b, fast[1]);
    lcs::DenseIds ids = lcs::dense_ids(a_items, b_items, ItemHash{}, ItemEqual{});
    pair.wide[0] = std::move(ids.a);
    pair.wide[1] = std::move(ids.b);
    pair.views = Wide{pair.wide[0], pair.wide[1]};
  }
  std::visit(
      [&](const auto& views) {
        pair.sizes[0] = views.first.size();
        pair.sizes[1] = views.second.size();
      },
      pair.views);
  return pair;
}

// Runs `work(views, options)`: at once when it is quick, else on a thread of
// its own with the GIL released, checking for signals every 50 ms and
// stopping the work when a handler raised (KeyboardInterrupt for Ctrl-C).
template <class Work>
auto run(const Pair& pair, unsigned threads, Work work) {
  lcs::Options options;
  options.threads = threads;
  const double cells = static_cast<double>(pair.sizes[0]) * static_cast<double>(pair.sizes[1]);
  const auto call = [&] {
    return std::visit([&](const auto& views) { return work(views, options); }, pair.views);
  };
  if (cells < kQuickCells) {
    return call();
  }
  std::atomic<bool> stop{false};
  options.stop = &stop;
  bool interrupted = false;
  auto result = [&] {
    py::gil_scoped_release release;
    auto done = std::async(std::launch::async, call);
    while (done.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
      const py::gil_scoped_acquire acquire;
      if (!interrupted && PyErr_CheckSignals() != 0) {
        interrupted = true;
        stop = true;
      }
    }
    try {
      return done.get();
    } catch (const lcs::Stopped&) {
      return decltype(done.get()){};
    }
  }();
  if (interrupted) {
    throw py::error_already_set();
  }
  return result;
}

// similarity of two short str of one byte a code point, without preparing
// a pair: the fixed cost of a call is what counts to those who make millions.
std::optional<double> quick_similarity(PyObject* a, PyObject* b) {
  if (!PyUnicode_CheckExact(a) || !PyUnicode_CheckExact(b) || PyUnicode_READY(a) != 0 ||
      PyUnicode_READY(b) != 0 || PyUnicode_KIND(a) != PyUnicode_1BYTE_KIND ||
      PyUnicode_KIND(b) != PyUnicode_1BYTE_KIND) {
    PyErr_Clear();
    return std::nullopt;
  }
  const auto view = [](PyObject* text) {
    return std::string_view(static_cast<const char*>(PyUnicode_DATA(text)),
                            static_cast<std::size_t>(PyUnicode_GET_LENGTH(text)));
  };
  const std::string_view x = view(a);
  const std::string_view y = view(b);
  if (static_cast<double>(x.size()) * static_cast<double>(y.size()) >= kQuickCells) {
    return std::nullopt;
  }
  return lcs::similarity(x, y);
}

py::object g_match;  // lcs.Match, made at import

py::list blocks_list(const std::vector<lcs::MatchingBlock>& blocks) {
  py::list out(blocks.size());
  for (std::size_t k = 0; k < blocks.size(); ++k) {
    out[k] = g_match(blocks[k].a, blocks[k].b, blocks[k].size);
  }
  return out;
}

std::vector<lcs::MatchingBlock> blocks_of(const Pair& pair, unsigned threads) {
  return run(pair, threads, [](const auto& views, const lcs::Options& options) {
    return lcs::matching_blocks(views.first, views.second, options);
  });
}

}  // namespace

PYBIND11_MODULE(_lcs, module) {
  module.doc() = "The engine of the lcs package; use lcs, not lcs._lcs.";
  g_match = py::module_::import("collections")
                .attr("namedtuple")("Match", "a b size", py::arg("module") = "lcs");
  g_match.attr("__doc__") = "A run of equal items: a[a:a+size] == b[b:b+size], as difflib's Match.";
  module.attr("Match") = g_match;
  module.attr("__version__") = LCS_VERSION;

  module.def(
      "length",
      [](py::handle a, py::handle b, unsigned threads) {
        const Pair pair = prepare("lcs.length", a, b);
        return run(pair, threads, [](const auto& views, const lcs::Options& options) {
          return lcs::length(views.first, views.second, options);
        });
      },
      py::arg("a"), py::arg("b"), py::kw_only(), py::arg("threads") = 1,
      "The length of a longest common subsequence of a and b.\n\n"
      "a and b: two str (compared by code point), two bytes-like objects (by byte), or\n"
      "any two sequences of hashable items (by hash and equality). threads: how many\n"
      "to use, 0 for all cores; the result is the same for any number.");

  module.def(
      "matching_blocks",
      [](py::handle a, py::handle b, unsigned threads) {
        return blocks_list(blocks_of(prepare("lcs.matching_blocks", a, b), threads));
      },
      py::arg("a"), py::arg("b"), py::kw_only(), py::arg("threads") = 1,
      "One longest common subsequence of a and b as maximal runs of equal items:\n"
      "a list of Match(a, b, size), in order in both, sizes summing to length(a, b).\n"
      "Unlike difflib's get_matching_blocks, no Match(len(a), len(b), 0) at the end.");

  module.def(
      "opcodes",
      [](py::handle a, py::handle b) {
        const Pair pair = prepare("lcs.opcodes", a, b);
        const std::vector<lcs::MatchingBlock> blocks = blocks_of(pair, 1);
        py::list out;
        for (const lcs::Opcode& edit : lcs::opcodes(blocks, pair.sizes[0], pair.sizes[1])) {
          out.append(py::make_tuple(py::str(std::string(lcs::tag_name(edit.tag))), edit.a_begin,
                                    edit.a_end, edit.b_begin, edit.b_end));
        }
        return out;
      },
      py::arg("a"), py::arg("b"),
      "The edits that turn a into b around a longest common subsequence, as difflib's\n"
      "get_opcodes: (tag, i1, i2, j1, j2) with tags 'equal', 'replace', 'delete' and\n"
      "'insert', ranges that tile both sequences.");

  module.def(
      "similarity",
      [](py::handle a, py::handle b) {
        if (const std::optional<double> quick = quick_similarity(a.ptr(), b.ptr())) {
          return *quick;
        }
        const Pair pair = prepare("lcs.similarity", a, b);
        const std::size_t total = pair.sizes[0] + pair.sizes[1];
        if (total == 0) {
          return 1.0;
        }
        const std::size_t common = run(pair, 1, [](const auto& views, const lcs::Options& options) {
          return lcs::length(views.first, views.second, options);
        });
        return 2.0 * static_cast<double>(common) / static_cast<double>(total);
      },
      py::arg("a"), py::arg("b"),
      "2 * length(a, b) / (len(a) + len(b)), from 0.0 to 1.0; 1.0 when both are empty.");
}
