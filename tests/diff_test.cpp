// SPDX-License-Identifier: MIT
// lcs-diff's pieces: the unified format with GNU diff's conventions, the
// minimal count and the placement of changes, and what -i, -b and -w make equal.
#include <gtest/gtest.h>

#include <random>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "diff/changes.h"
#include "diff/lines.h"
#include "diff/unified.h"
#include "lcs/alignment.h"
#include "tests/unified_applier.h"

namespace {

using lcs_diff::Blanks;
using lcs_diff::Equality;

struct Diff {
  std::string text;
  std::vector<lcs_diff::Hunk> hunks;
  lcs_diff::Changes changes;
  lcs::DenseIds ids;
};

Diff unified(std::string_view a, std::string_view b, std::size_t context,
             const Equality& equality = {}) {
  const std::vector<std::string_view> a_lines = lcs::split_lines(a);
  const std::vector<std::string_view> b_lines = lcs::split_lines(b);
  Diff diff;
  diff.ids = lcs_diff::line_ids(a_lines, b_lines, equality);
  diff.changes = lcs_diff::minimal_changes(diff.ids, {});
  lcs_diff::place_readably(diff.changes, diff.ids, a_lines, b_lines);
  diff.hunks = lcs_diff::hunks(diff.changes, context);
  std::ostringstream out;
  lcs_diff::write_header(out, "a", "b", {});
  lcs_diff::write_hunks(out, diff.hunks, a_lines, b_lines, diff.changes, {});
  diff.text = out.str();
  return diff;
}

struct FormatCase {
  const char* name;
  const char* a;
  const char* b;
  std::size_t context;
  const char* hunks;  // after the two header lines
};

TEST(Unified, FollowsGnuDiffsConventions) {
  const FormatCase cases[] = {
      {"into an empty file", "", "x\ny\n", 3, "@@ -0,0 +1,2 @@\n+x\n+y\n"},
      {"a range of one line is its number", "x\ny\n", "x\n", 3, "@@ -1,2 +1 @@\n x\n-y\n"},
      {"an empty range names the line before", "a\nb\nc\n", "a\nc\n", 0, "@@ -2 +1,0 @@\n-b\n"},
      {"a last line without its line feed", "x\ny", "x\ny\n", 3,
       "@@ -1,2 +1,2 @@\n x\n-y\n\\ No newline at end of file\n+y\n"},
      {"changes 2·NUM apart share a hunk", "1\n2\n3\n4\n5\n6\n", "x\n2\n3\ny\n5\n6\n", 1,
       "@@ -1,5 +1,5 @@\n-1\n+x\n 2\n 3\n-4\n+y\n 5\n"},
      {"changes further apart do not", "1\n2\n3\n4\n5\n6\n", "x\n2\n3\n4\ny\n6\n", 1,
       "@@ -1,2 +1,2 @@\n-1\n+x\n 2\n@@ -4,3 +4,3 @@\n 4\n-5\n+y\n 6\n"},
      {"a new function ends after its blank line", "f\n{\n}\n\ng\n{\n}\n",
       "f\n{\n}\n\nh\n{\n}\n\ng\n{\n}\n", 1, "@@ -4,2 +4,6 @@\n \n+h\n+{\n+}\n+\n g\n"},
      {"a repeated block is added after the first", "a {\n  x\n}\n", "a {\n  x\n}\na {\n  x\n}\n",
       0, "@@ -3,0 +4,3 @@\n+a {\n+  x\n+}\n"},
  };
  for (const FormatCase& c : cases) {
    EXPECT_EQ(unified(c.a, c.b, c.context).text, std::string("--- a\n+++ b\n") + c.hunks) << c.name;
  }
}

// Each hunk starts and ends with NUM unchanged lines where the file has
// them, holds no run of more than 2·NUM, and hunks do not touch.
void expect_hunk_structure(const Diff& diff, std::size_t context) {
  const lcs_diff::Changes& changes = diff.changes;
  std::size_t previous_end = 0;
  for (const lcs_diff::Hunk& hunk : diff.hunks) {
    EXPECT_TRUE(hunk.a_begin == 0 || hunk.a_begin > previous_end);
    std::vector<std::size_t> runs{0};  // unchanged lines before, between and after changes
    for (std::size_t i = hunk.a_begin, j = hunk.b_begin; i < hunk.a_end || j < hunk.b_end;) {
      if (i < hunk.a_end && j < hunk.b_end && !changes.a[i] && !changes.b[j]) {
        ++runs.back();
        ++i;
        ++j;
        continue;
      }
      for (runs.push_back(0); i < hunk.a_end && changes.a[i]; ++i) {
      }
      for (; j < hunk.b_end && changes.b[j]; ++j) {
      }
    }
    ASSERT_GE(runs.size(), 2U);
    EXPECT_TRUE(runs.front() == context || hunk.a_begin == 0);
    EXPECT_TRUE(runs.back() == context || hunk.a_end == changes.a.size());
    for (std::size_t k = 1; k + 1 < runs.size(); ++k) {
      EXPECT_LE(runs[k], 2 * context);
    }
    previous_end = hunk.a_end;
  }
}

TEST(Unified, RandomPairsPatchBackWithTheFewestChangedLines) {
  // Few distinct lines, so that many diffs are equally short; CRLF, blank,
  // indented and non-ASCII lines, and last lines without a line feed.
  const std::vector<std::string> vocabulary = {
      "x\n", "x\r\n", "\n", "  x\n", "}\n", "y\n", "\xff\x80\n", std::string("\0z\n", 3)};
  std::mt19937 rng(2026);
  std::uniform_int_distribution<std::size_t> word(0, vocabulary.size() - 1);
  std::uniform_int_distribution<std::size_t> size(0, 40);
  const auto text = [&](std::size_t lines) {
    std::string out;
    for (std::size_t k = 0; k < lines; ++k) {
      out += vocabulary[word(rng)];
    }
    if (!out.empty() && rng() % 4 == 0) {
      out.pop_back();
    }
    return out;
  };
  for (int round = 0; round < 300; ++round) {
    const std::string a = text(size(rng));
    const std::string b = rng() % 2 == 0 ? text(size(rng)) : a.substr(0, a.size() / 2) + text(3);
    for (const std::size_t context : {0U, 1U, 3U}) {
      const Diff diff = unified(a, b, context);
      const std::optional<Applied> applied = apply_unified(a, diff.text);
      ASSERT_TRUE(applied.has_value()) << diff.text;
      ASSERT_EQ(applied->text, b) << diff.text;
      const std::size_t common = lcs::length(std::span<const std::uint32_t>(diff.ids.a),
                                             std::span<const std::uint32_t>(diff.ids.b));
      EXPECT_EQ(applied->removed + applied->added,
                diff.ids.a.size() + diff.ids.b.size() - 2 * common);
      expect_hunk_structure(diff, context);
    }
  }
}

TEST(Lines, CountAsEqualAsGnuDiffsOptionsSay) {
  const Equality exact;
  const Equality no_case{.ignore_case = true};
  const Equality amount{.blanks = Blanks::amount};
  const Equality none{.blanks = Blanks::none};
  const Equality tabs{.ignore_tab_expansion = true};
  const Equality trailing{.ignore_trailing_space = true};
  struct Case {
    const char* a;
    const char* b;
    Equality equality;
    bool equal;
  };
  const Case cases[] = {
      {"a\n", "a", exact, false},
      {"a\r\n", "a\n", exact, false},
      {"A b\n", "a B\n", no_case, true},
      {"\xc3\x84\n", "\xc3\xa4\n", no_case, false},
      {"a  b\n", "a\tb \n", amount, true},
      {"a b\n", "ab\n", amount, false},
      {"a\r\n", "a", amount, true},
      {" a\n", "a\n", amount, false},
      {"a b\n", "ab\n", none, true},
      {"\n", " \t\n", none, true},
      {"a\tb\n", "a       b\n", tabs, true},
      {"ab\tc\n", "ab c\n", tabs, false},
      {"a \r\n", "a", trailing, true},
      {" a\n", "a\n", trailing, false},
  };
  for (const Case& c : cases) {
    const std::string_view a = c.a;
    const std::string_view b = c.b;
    const lcs::DenseIds ids = lcs_diff::line_ids({&a, 1}, {&b, 1}, c.equality);
    EXPECT_EQ(ids.a == ids.b, c.equal) << c.a << " / " << c.b;
  }
}

}  // namespace
