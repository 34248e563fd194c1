// SPDX-License-Identifier: MIT
// Fuzzes lcs-diff's line splitter, minimal changes, their placement and the
// unified writer: the diff must apply to the old text (every context and
// deleted line checked), give the new text back when lines compare exactly,
// and change exactly |A| + |B| - 2·LCS lines. Byte 0 chooses the context
// (0 to 3 lines) and what counts as equal; byte 1 where the texts split.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <sstream>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "diff/lines.h"
#include "diff/unified.h"
#include "lcs/alignment.h"
#include "tests/unified_applier.h"

namespace {

void require(bool condition) {
  if (!condition) {
    __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  const std::size_t context = data[0] % 4;
  const lcs_diff::Equality equality{.ignore_case = (data[0] & 4) != 0,
                                    .ignore_tab_expansion = (data[0] & 32) != 0,
                                    .ignore_trailing_space = (data[0] & 64) != 0,
                                    .blanks = static_cast<lcs_diff::Blanks>((data[0] >> 3) % 3)};
  const std::string_view texts(reinterpret_cast<const char*>(data + 2), size - 2);
  const std::size_t split = data[1] * texts.size() / 255;
  const std::string_view a = texts.substr(0, split);
  const std::string_view b = texts.substr(split);

  const std::vector<std::string_view> a_lines = lcs::split_lines(a);
  const std::vector<std::string_view> b_lines = lcs::split_lines(b);
  const lcs::DenseIds ids = lcs_diff::line_ids(a_lines, b_lines, equality);
  lcs_diff::Changes changes = lcs_diff::minimal_changes(ids, {});
  lcs_diff::place_readably(changes, ids, a_lines, b_lines);
  std::ostringstream out;
  lcs_diff::write_header(out, "a", "b", {});
  lcs_diff::write_hunks(out, lcs_diff::hunks(changes, context), a_lines, b_lines, changes, {});

  const std::optional<Applied> applied = apply_unified(a, out.str());
  require(applied.has_value());
  require(equality != lcs_diff::Equality{} || applied->text == b);
  const std::size_t common =
      lcs::length(std::span<const std::uint32_t>(ids.a), std::span<const std::uint32_t>(ids.b));
  require(applied->removed + applied->added == ids.a.size() + ids.b.size() - 2 * common);
  return 0;
}
