// SPDX-License-Identifier: MIT
// Inputs of the batch calls turned into the sides of the pairs engine.
#include "lcs/many/sides.h"

#include <algorithm>
#include <unordered_map>

namespace lcs_detail {

namespace {

// Symbols up to this value index the tables of the masks directly (a table
// of 2^21 entries holds every Unicode code point).
constexpr std::uint32_t kDirectSymbols = 1U << 21;

template <class Symbol, class Input, class Convert>
std::vector<Text<Symbol>> texts_of(std::span<const Input> inputs, Convert&& convert) {
  std::vector<Text<Symbol>> texts;
  texts.reserve(inputs.size());
  for (const Input& input : inputs) {
    texts.push_back(convert(input));
  }
  return texts;
}

// Dense ids for both sides, in one pool of symbols.
void renumber(Sides<std::uint32_t>& sides) {
  std::size_t total = 0;
  for (const Side<std::uint32_t>* side : {&sides.queries, &sides.choices}) {
    for (const Text<std::uint32_t> text : side->texts) {
      total += text.size();
    }
  }
  sides.ids.resize(total);
  std::unordered_map<std::uint32_t, std::uint32_t> id_of;
  std::size_t at = 0;
  for (Side<std::uint32_t>* side : {&sides.queries, &sides.choices}) {
    for (Text<std::uint32_t>& text : side->texts) {
      const std::size_t start = at;
      for (const std::uint32_t symbol : text) {
        sides.ids[at++] =
            id_of.try_emplace(symbol, static_cast<std::uint32_t>(id_of.size())).first->second;
      }
      text = Text<std::uint32_t>(sides.ids.data() + start, text.size());
    }
  }
  sides.alphabet = id_of.size();
}

}  // namespace

Sides<unsigned char> sides_of(std::span<const std::string_view> queries,
                              std::span<const std::string_view> choices) {
  const auto bytes = [](std::string_view s) {
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast): the same bytes, unsigned
    return Text<unsigned char>(reinterpret_cast<const unsigned char*>(s.data()), s.size());
  };
  Sides<unsigned char> sides;
  sides.queries.texts = texts_of<unsigned char>(queries, bytes);
  sides.choices.texts = texts_of<unsigned char>(choices, bytes);
  sides.alphabet = 256;
  return sides;
}

Sides<std::uint32_t> sides_of(std::span<const std::span<const std::uint32_t>> queries,
                              std::span<const std::span<const std::uint32_t>> choices) {
  const auto same = [](std::span<const std::uint32_t> s) { return s; };
  Sides<std::uint32_t> sides;
  sides.queries.texts = texts_of<std::uint32_t>(queries, same);
  sides.choices.texts = texts_of<std::uint32_t>(choices, same);
  std::uint32_t largest = 0;
  for (const Side<std::uint32_t>* side : {&sides.queries, &sides.choices}) {
    for (const Text<std::uint32_t> text : side->texts) {
      for (const std::uint32_t symbol : text) {
        largest = std::max(largest, symbol);
      }
    }
  }
  if (largest < kDirectSymbols) {
    sides.alphabet = std::size_t{largest} + 1;
  } else {
    renumber(sides);
  }
  return sides;
}

}  // namespace lcs_detail
