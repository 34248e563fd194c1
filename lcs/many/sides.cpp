// SPDX-License-Identifier: MIT
// Inputs of the batch calls turned into the sides of the pairs engine.
#include "lcs/many/sides.h"

#include <algorithm>
#include <unordered_map>

namespace lcs_detail {

namespace {

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

std::uint32_t largest_symbol(std::span<const std::span<const std::uint32_t>> texts) {
  std::uint32_t largest = 0;
  for (const std::span<const std::uint32_t> text : texts) {
    for (const std::uint32_t symbol : text) {
      largest = std::max(largest, symbol);
    }
  }
  return largest;
}

Sides<unsigned char> sides_of(std::span<const std::string_view> queries,
                              std::span<const std::string_view> choices) {
  Sides<unsigned char> sides;
  sides.queries.texts = texts_of<unsigned char>(queries, bytes_of);
  sides.choices.texts = texts_of<unsigned char>(choices, bytes_of);
  sides.alphabet = 256;
  return sides;
}

Sides<std::uint32_t> sides_of(std::span<const std::span<const std::uint32_t>> queries,
                              std::span<const std::span<const std::uint32_t>> choices) {
  const auto same = [](std::span<const std::uint32_t> s) { return batch_text(s); };
  Sides<std::uint32_t> sides;
  sides.queries.texts = texts_of<std::uint32_t>(queries, same);
  sides.choices.texts = texts_of<std::uint32_t>(choices, same);
  const std::uint32_t largest = std::max(largest_symbol(queries), largest_symbol(choices));
  if (largest < kDirectSymbols) {
    sides.alphabet = std::size_t{largest} + 1;
  } else {
    renumber(sides);
  }
  return sides;
}

}  // namespace lcs_detail
