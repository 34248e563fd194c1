// SPDX-License-Identifier: MIT
// The many-pair calls for Python: sequences of str (by code point) or bytes
// in, None items left out, the strings read where Python keeps them (a str of
// one byte a code point, and bytes, as they are; wider str as code points),
// the engine run with the GIL released and Ctrl-C stopping it; lists and
// numpy arrays out.
#include "python/process.h"

#include <pybind11/numpy.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "lcs/many.h"
#include "python/stoppable.h"

namespace lcs_python {

namespace {

// Below this many symbol pairs in all, a call runs at once with the GIL held.
constexpr double kQuickWork = 1 << 20;

// Ctrl-C while a long list is read (with the GIL held) ends the call too.
void check_signals_every(std::size_t k) {
  constexpr std::size_t kItems = 1 << 16;
  if (k % kItems == kItems - 1 && PyErr_CheckSignals() != 0) {
    throw py::error_already_set();
  }
}

std::string type_name(py::handle object) {
  return py::str(py::type::handle_of(object).attr("__name__"));
}

// The strings of one argument, in our own list, with their positions there.
struct Side {
  py::list items;
  std::vector<std::size_t> positions;  // of the items that are not None
  bool any_text = false;
  bool any_bytes = false;
  bool any_wide = false;  // a str with code points above 255
  double symbols = 0;
};

Side read_side(const std::string& function, const char* argument, py::handle sequence) {
  if (PyUnicode_Check(sequence.ptr()) != 0 || PyBytes_Check(sequence.ptr()) != 0) {
    throw py::type_error(function + ": " + argument + " must be a sequence of strings, not one " +
                         type_name(sequence));
  }
  Side side;
  PyObject* list = PySequence_List(sequence.ptr());
  if (list == nullptr) {
    if (PyErr_ExceptionMatches(PyExc_TypeError) == 0) {
      throw py::error_already_set();
    }
    PyErr_Clear();
    throw py::type_error(function + ": " + argument + " must be a sequence of str or bytes, not " +
                         type_name(sequence));
  }
  side.items = py::reinterpret_steal<py::list>(list);
  for (std::size_t k = 0; k < side.items.size(); ++k) {
    check_signals_every(k);
    PyObject* item = PyList_GET_ITEM(list, static_cast<Py_ssize_t>(k));
    if (item == Py_None) {
      continue;
    }
    if (PyUnicode_Check(item) != 0) {
      side.any_text = true;
      side.any_wide = side.any_wide || PyUnicode_KIND(item) != PyUnicode_1BYTE_KIND;
      side.symbols += static_cast<double>(PyUnicode_GET_LENGTH(item));
    } else if (PyBytes_Check(item) != 0) {
      side.any_bytes = true;
      side.symbols += static_cast<double>(PyBytes_GET_SIZE(item));
    } else {
      throw py::type_error(function + ": " + argument + "[" + std::to_string(k) +
                           "] must be str, bytes or None, not " + type_name(item));
    }
    side.positions.push_back(k);
  }
  return side;
}

// Both sides as the engine reads them: bytes, or code points.
struct Strings {
  bool wide = false;
  std::vector<std::string_view> bytes[2];
  std::vector<std::uint32_t> pool;  // the code points of every str, when wide
  std::vector<std::span<const std::uint32_t>> points[2];
  double work = 0;
};

std::string_view bytes_of(PyObject* item) {
  if (PyUnicode_Check(item) != 0) {  // one byte a code point: the code points are the bytes
    return {static_cast<const char*>(PyUnicode_DATA(item)),
            static_cast<std::size_t>(PyUnicode_GET_LENGTH(item))};
  }
  return {PyBytes_AS_STRING(item), static_cast<std::size_t>(PyBytes_GET_SIZE(item))};
}

Strings strings_of(const std::string& function, const Side* sides[2]) {
  const bool text = sides[0]->any_text || sides[1]->any_text;
  if (text && (sides[0]->any_bytes || sides[1]->any_bytes)) {
    throw py::type_error(function +
                         ": cannot compare str with bytes: decode the bytes or "
                         "encode the str first");
  }
  Strings strings;
  strings.wide = sides[0]->any_wide || sides[1]->any_wide;
  // Within one side (no second), its pairs with each other.
  strings.work =
      sides[0]->symbols * (sides[1]->items.empty() ? sides[0]->symbols : sides[1]->symbols);
  if (!strings.wide) {
    for (int s = 0; s < 2; ++s) {
      strings.bytes[s].reserve(sides[s]->positions.size());
      for (const std::size_t k : sides[s]->positions) {
        check_signals_every(k);
        strings.bytes[s].push_back(
            bytes_of(PyList_GET_ITEM(sides[s]->items.ptr(), static_cast<Py_ssize_t>(k))));
      }
    }
    return strings;
  }
  std::vector<std::size_t> lengths[2];
  for (int s = 0; s < 2; ++s) {
    for (const std::size_t k : sides[s]->positions) {
      check_signals_every(k);
      PyObject* item = PyList_GET_ITEM(sides[s]->items.ptr(), static_cast<Py_ssize_t>(k));
      const int kind = PyUnicode_KIND(item);
      const void* data = PyUnicode_DATA(item);
      lengths[s].push_back(static_cast<std::size_t>(PyUnicode_GET_LENGTH(item)));
      for (Py_ssize_t t = 0; t < PyUnicode_GET_LENGTH(item); ++t) {
        strings.pool.push_back(PyUnicode_READ(kind, data, t));
      }
    }
  }
  const std::uint32_t* at = strings.pool.data();
  for (int s = 0; s < 2; ++s) {
    for (const std::size_t length : lengths[s]) {
      strings.points[s].emplace_back(at, length);
      at += length;
    }
  }
  return strings;
}

double checked_cutoff(const std::string& function, double cutoff) {
  if (!(cutoff >= 0.0 && cutoff <= 1.0)) {
    throw py::value_error(function + ": score_cutoff is a similarity from 0 to 1, not " +
                          std::string(py::str(py::float_(cutoff))));
  }
  return cutoff;
}

// Runs call(first_side_views, second_side_views, options) on the chosen form.
template <class Call>
auto run_on(const Strings& strings, unsigned workers, const Call& call) {
  lcs::Options options;
  options.threads = workers;
  return run_released(strings.work < kQuickWork, options, [&](const lcs::Options& given) {
    return strings.wide ? call(std::span(std::as_const(strings.points[0])),
                               std::span(std::as_const(strings.points[1])), given)
                        : call(std::span(std::as_const(strings.bytes[0])),
                               std::span(std::as_const(strings.bytes[1])), given);
  });
}

// The most choices a query keeps: `limit`, or all of them for None.
std::size_t most_kept(const std::string& function, py::handle limit, std::size_t choices) {
  if (limit.is_none()) {
    return choices;
  }
  if (PyLong_Check(limit.ptr()) == 0 || PyBool_Check(limit.ptr()) != 0 ||
      limit.cast<long long>() < 0) {
    throw py::type_error(function + ": limit must be None or an int >= 0, not " +
                         std::string(py::repr(limit)));
  }
  return std::min<std::size_t>(choices, limit.cast<std::size_t>());
}

// The best `most` choices of each query, the choices read once for all.
template <class Views>
std::vector<std::vector<lcs::ScoredChoice>> best_of_each(Views queries, Views choices,
                                                         std::size_t most, double cutoff,
                                                         const lcs::Options& options) {
  std::vector<std::vector<lcs::ScoredChoice>> best;
  best.reserve(queries.size());
  for (const auto& query : queries) {
    best.push_back(lcs::extract(query, choices, most, cutoff, options));
  }
  return best;
}

std::vector<std::vector<lcs::ScoredChoice>> extract_all(const std::string& function,
                                                        const Side& query_side,
                                                        const Side& choice_side, py::handle limit,
                                                        double cutoff, py::handle workers) {
  const Side* sides[2] = {&query_side, &choice_side};
  const Strings strings = strings_of(function, sides);
  const std::size_t most = most_kept(function, limit, choice_side.positions.size());
  checked_cutoff(function, cutoff);
  const unsigned threads = thread_count(function.c_str(), "workers", workers);
  if (query_side.positions.empty()) {
    return {};
  }
  return run_on(strings, threads, [&](auto queries, auto items, const lcs::Options& options) {
    return best_of_each(queries, items, most, cutoff, options);
  });
}

py::list extract(py::handle query, py::handle choices, py::handle limit, double cutoff,
                 py::handle workers) {
  const std::string function = "lcs.process.extract";
  py::list query_list;
  query_list.append(query);
  const Side query_side = read_side(function, "query", query_list);
  const Side choice_side = read_side(function, "choices", choices);
  py::list out;
  for (const auto& best : extract_all(function, query_side, choice_side, limit, cutoff, workers)) {
    for (const lcs::ScoredChoice& found : best) {
      out.append(py::make_tuple(choice_side.positions[found.index], found.score));
    }
  }
  return out;
}

// extract for many queries at once: (query, rank, choice, score) arrays,
// by query then rank, the choices read once.
py::tuple extract_each(py::handle queries, py::handle choices, py::handle limit, double cutoff,
                       py::handle workers) {
  const std::string function = "lcs.process.extract";
  const Side query_side = read_side(function, "queries", queries);
  const Side choice_side = read_side(function, "choices", choices);
  const auto all = extract_all(function, query_side, choice_side, limit, cutoff, workers);
  std::size_t rows = 0;
  for (const auto& best : all) {
    rows += best.size();
  }
  py::array_t<std::int64_t> query_index(static_cast<py::ssize_t>(rows));
  py::array_t<std::int64_t> rank(static_cast<py::ssize_t>(rows));
  py::array_t<std::int64_t> choice_index(static_cast<py::ssize_t>(rows));
  py::array_t<double> score(static_cast<py::ssize_t>(rows));
  auto q = query_index.mutable_unchecked<1>();
  auto r = rank.mutable_unchecked<1>();
  auto c = choice_index.mutable_unchecked<1>();
  auto s = score.mutable_unchecked<1>();
  py::ssize_t at = 0;
  for (std::size_t k = 0; k < all.size(); ++k) {
    for (std::size_t place = 0; place < all[k].size(); ++place, ++at) {
      q(at) = static_cast<std::int64_t>(query_side.positions[k]);
      r(at) = static_cast<std::int64_t>(place + 1);
      c(at) = static_cast<std::int64_t>(choice_side.positions[all[k][place].index]);
      s(at) = all[k][place].score;
    }
  }
  return py::make_tuple(query_index, rank, choice_index, score);
}

py::array_t<float> cdist(py::handle queries, py::handle choices, double cutoff,
                         py::handle workers) {
  const std::string function = "lcs.process.cdist";
  checked_cutoff(function, cutoff);
  const Side query_side = read_side(function, "queries", queries);
  const Side choice_side = read_side(function, "choices", choices);
  const Side* sides[2] = {&query_side, &choice_side};
  const Strings strings = strings_of(function, sides);
  const unsigned threads = thread_count(function.c_str(), "workers", workers);
  const std::size_t rows = query_side.items.size();
  const std::size_t columns = choice_side.items.size();
  py::array_t<float> scores({rows, columns});
  float* out = scores.mutable_data();
  const bool complete =
      query_side.positions.size() == rows && choice_side.positions.size() == columns;
  std::vector<float> compact(complete ? 0
                                      : query_side.positions.size() * choice_side.positions.size());
  const std::span<float> target =
      complete ? std::span<float>(out, rows * columns) : std::span<float>(compact);
  run_on(strings, threads, [&](auto left, auto right, const lcs::Options& options) {
    lcs::cdist(left, right, target, cutoff, options);
    return 0;
  });
  if (!complete) {  // None items score 0 against everything
    std::fill_n(out, rows * columns, 0.0F);
    for (std::size_t q = 0; q < query_side.positions.size(); ++q) {
      for (std::size_t c = 0; c < choice_side.positions.size(); ++c) {
        out[query_side.positions[q] * columns + choice_side.positions[c]] =
            compact[q * choice_side.positions.size() + c];
      }
    }
  }
  return scores;
}

py::tuple similar_pairs(py::handle queries, py::handle choices, double cutoff, py::handle workers) {
  const std::string function = "lcs.process.similar_pairs";
  checked_cutoff(function, cutoff);
  const bool within = choices.is_none();
  const Side query_side = read_side(function, "queries", queries);
  const Side choice_side = within ? Side() : read_side(function, "choices", choices);
  const Side* sides[2] = {&query_side, &choice_side};
  const Strings strings = strings_of(function, sides);
  const unsigned threads = thread_count(function.c_str(), "workers", workers);
  const std::vector<lcs::SimilarPair> pairs =
      run_on(strings, threads, [&](auto left, auto right, const lcs::Options& options) {
        return within ? lcs::similar_pairs(left, cutoff, options)
                      : lcs::similar_pairs(left, right, cutoff, options);
      });
  const std::vector<std::size_t>& choice_positions =
      within ? query_side.positions : choice_side.positions;
  py::array_t<std::int64_t> query_index(static_cast<py::ssize_t>(pairs.size()));
  py::array_t<std::int64_t> choice_index(static_cast<py::ssize_t>(pairs.size()));
  py::array_t<float> score(static_cast<py::ssize_t>(pairs.size()));
  auto q = query_index.mutable_unchecked<1>();
  auto c = choice_index.mutable_unchecked<1>();
  auto s = score.mutable_unchecked<1>();
  for (std::size_t k = 0; k < pairs.size(); ++k) {
    const auto at = static_cast<py::ssize_t>(k);
    q(at) = static_cast<std::int64_t>(query_side.positions[pairs[k].query]);
    c(at) = static_cast<std::int64_t>(choice_positions[pairs[k].choice]);
    s(at) = static_cast<float>(pairs[k].score);
  }
  return py::make_tuple(query_index, choice_index, score);
}

}  // namespace

void add_process(py::module_& module) {
  module.def("_extract", &extract, py::arg("query"), py::arg("choices"), py::arg("limit"),
             py::arg("score_cutoff"), py::arg("workers"),
             "[(position, score)] of the best choices, best first; lcs.process.extract wraps it.");
  module.def("_extract_each", &extract_each, py::arg("queries"), py::arg("choices"),
             py::arg("limit"), py::arg("score_cutoff"), py::arg("workers"),
             "(query, rank, choice, score) arrays of each query's best choices, the choices "
             "read once; lcs.dask and lcs-match use it.");
  module.def("_cdist", &cdist, py::arg("queries"), py::arg("choices"), py::arg("score_cutoff"),
             py::arg("workers"), "The float32 matrix of similarities; see lcs.process.cdist.");
  module.def("_similar_pairs", &similar_pairs, py::arg("queries"), py::arg("choices"),
             py::arg("score_cutoff"), py::arg("workers"),
             "(query, choice, score) arrays of the pairs above the cut-off; see "
             "lcs.process.similar_pairs.");
}

}  // namespace lcs_python
