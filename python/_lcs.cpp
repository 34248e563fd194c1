// SPDX-License-Identifier: MIT
// The engine for Python: str by code point (its own 1-, 2- or 4-byte form,
// never UTF-8), buffers of one-byte items by byte in logical order, and any
// other sequence through dense ids made with Python's own hashing and
// equality. Long calls run on the calling thread with the GIL released; on
// the main thread a SIGINT handler put before Python's own stops them, so
// that Ctrl-C ends them within milliseconds.
#include <pybind11/pybind11.h>

#include <algorithm>
#include <atomic>
#include <climits>
#include <csignal>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "lcs/alignment.h"
#include "python/process.h"
#include "python/stoppable.h"

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

struct BufferRelease {
  void operator()(Py_buffer* view) const {
    PyBuffer_Release(view);
    delete view;  // NOLINT(cppcoreguidelines-owning-memory): the pair of make_buffer's new
  }
};
using Buffer = std::unique_ptr<Py_buffer, BufferRelease>;

struct Pair {
  std::variant<Bytes, Narrow, Wide> views;
  std::vector<std::uint16_t> narrow[2];  // a str widened to its partner's width
  std::vector<std::uint32_t> wide[2];    // the same, or dense ids
  Buffer buffers[2];
  std::string copies[2];  // a buffer's bytes in logical order, where they are not contiguous
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
      // An item's own exception goes on as it is; only "unhashable" is said again.
      if (PyErr_ExceptionMatches(PyExc_TypeError) == 0) {
        throw py::error_already_set();
      }
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

// The bytes of a buffer of one-byte items (format B, b or c) in logical order,
// as bytes(view) gives them: its own memory where that is contiguous, else a
// copy in `copy`. Nothing for a buffer of other items, which are compared one
// by one as its list() gives them.
std::optional<std::string_view> buffer_bytes(py::handle object, Buffer& held, std::string& copy) {
  Buffer view(new Py_buffer{});  // NOLINT(cppcoreguidelines-owning-memory): released by Buffer
  if (PyObject_GetBuffer(object.ptr(), view.get(), PyBUF_FULL_RO) != 0) {
    view.release();  // NOLINT(bugprone-unused-return-value): nothing was acquired to release
    throw py::error_already_set();
  }
  std::string_view format = view->format != nullptr ? view->format : "B";
  if (!format.empty() && std::string_view("@=<>!").find(format.front()) != std::string_view::npos) {
    format.remove_prefix(1);
  }
  if (view->itemsize != 1 || (format != "B" && format != "b" && format != "c")) {
    return std::nullopt;
  }
  const auto size = static_cast<std::size_t>(view->len);
  std::string_view bytes(static_cast<const char*>(view->buf), size);
  if (PyBuffer_IsContiguous(view.get(), 'C') == 0) {
    copy.resize(size);
    if (PyBuffer_ToContiguous(copy.data(), view.get(), view->len, 'C') != 0) {
      throw py::error_already_set();
    }
    bytes = copy;
  }
  held = std::move(view);
  return bytes;
}

void prepare(Pair& pair, const char* function, py::handle a, py::handle b) {
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
  std::optional<std::string_view> bytes[2];
  if (!a_text && !b_text && is_bytes_like(a) && is_bytes_like(b)) {
    for (int side = 0; side < 2; ++side) {
      bytes[side] = buffer_bytes(sides[side], pair.buffers[side], pair.copies[side]);
    }
  }
  if (a_text && b_text) {
    texts(pair, a.ptr(), b.ptr());
  } else if (bytes[0] && bytes[1]) {
    pair.views = Bytes{*bytes[0], *bytes[1]};
  } else {
    for (int side = 0; side < 2; ++side) {
      if (!bytes[side] && PySequence_Check(sides[side].ptr()) == 0) {
        throw py::type_error(std::string(function) + ": " + kNames[side] +
                             " is a buffer of items that is not a sequence (" +
                             type_name(sides[side]) + "): pass its tolist()");
      }
    }
    // A buffer of bytes against other items: its items are its bytes.
    py::object items[2] = {py::reinterpret_borrow<py::object>(a),
                           py::reinterpret_borrow<py::object>(b)};
    for (int side = 0; side < 2; ++side) {
      if (bytes[side]) {
        items[side] = py::bytes(bytes[side]->data(), bytes[side]->size());
      }
      pair.buffers[side].reset();
    }
    py::object fast[2];
    const std::vector<Item> a_items = hashed_items(function, 0, items[0], fast[0]);
    const std::vector<Item> b_items = hashed_items(function, 1, items[1], fast[1]);
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
}

// Runs `work(views, options)`: at once when it is quick, else stoppable
// with the GIL released.
template <class Work>
auto run(const Pair& pair, unsigned threads, Work work) {
  lcs::Options options;
  options.threads = threads;
  const double cells = static_cast<double>(pair.sizes[0]) * static_cast<double>(pair.sizes[1]);
  return lcs_python::run_released(cells < kQuickCells, options, [&](const lcs::Options& given) {
    return std::visit([&](const auto& views) { return work(views, given); }, pair.views);
  });
}

unsigned thread_count(const char* function, py::handle threads) {
  return lcs_python::thread_count(function, "threads", threads);
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

// One LCS; with `compact`, one whose edits form the fewest groups (lcs::compact_blocks).
std::vector<lcs::MatchingBlock> blocks_of(const Pair& pair, unsigned threads, bool compact) {
  return run(pair, threads, [compact](const auto& views, const lcs::Options& options) {
    std::vector<lcs::MatchingBlock> blocks =
        lcs::matching_blocks(views.first, views.second, options);
    return compact ? lcs::compact_blocks(blocks, views.first, views.second) : blocks;
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
      [](py::handle a, py::handle b, py::handle threads) {
        Pair pair;
        prepare(pair, "lcs.length", a, b);
        return run(pair, thread_count("lcs.length", threads),
                   [](const auto& views, const lcs::Options& options) {
                     return lcs::length(views.first, views.second, options);
                   });
      },
      py::arg("a"), py::arg("b"), py::kw_only(), py::arg("threads") = 1,
      "The length of a longest common subsequence of a and b.\n\n"
      "a and b: two str (compared by code point), two bytes-like objects (by byte), or\n"
      "any two sequences of hashable items (by hash and equality). threads: how many\n"
      "to use, 0 or -1 for every core; the result is the same for any number.");

  module.def(
      "matching_blocks",
      [](py::handle a, py::handle b, py::handle threads, bool compact) {
        Pair pair;
        prepare(pair, "lcs.matching_blocks", a, b);
        return blocks_list(blocks_of(pair, thread_count("lcs.matching_blocks", threads), compact));
      },
      py::arg("a"), py::arg("b"), py::kw_only(), py::arg("threads") = 1, py::arg("compact") = false,
      "One longest common subsequence of a and b as maximal runs of equal items:\n"
      "a list of Match(a, b, size), in order in both, sizes summing to length(a, b).\n"
      "Unlike difflib's get_matching_blocks, no Match(len(a), len(b), 0) at the end.\n"
      "compact: one whose edits form the fewest groups (what opcodes and\n"
      "SequenceMatcher show), matched again between runs of 4 or more.");

  module.def(
      "opcodes",
      [](py::handle a, py::handle b) {
        Pair pair;
        prepare(pair, "lcs.opcodes", a, b);
        const std::vector<lcs::MatchingBlock> blocks = blocks_of(pair, 1, true);
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
        Pair pair;
        prepare(pair, "lcs.similarity", a, b);
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

  lcs_python::add_process(module);
}
