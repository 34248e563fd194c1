// LCS length of two byte strings of any size: the common prefix and suffix
// matched at once, then the bit-vector passes of Allison and Dix (1986) along
// the longer string, restricted to a provably sufficient diagonal band when a
// cheap probe shows the strings are alike (Ukkonen, 1985). Time
// O(min·max/64) word steps, O(min·band/64) for alike strings; space O(max/64)
// words per distinct byte.
#include <cstddef>
#include <string_view>
#include <utility>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/band.h"
#include "lcs/bit_vector.h"
#include "lcs/common_ends.h"

namespace lcs {

std::size_t length(std::string_view a, std::string_view b, const Options& options) {
  using namespace lcs_detail;
  const CommonEnds ends = common_ends(a, b);
  std::string_view rows = ends.a;
  std::string_view columns = ends.b;
  if (rows.size() > columns.size()) {
    std::swap(rows, columns);  // the bit vector runs along the longer string
  }
  std::size_t middle = 0;
  Progress progress(options.progress);
  if (!rows.empty()) {
    MatchMasks masks;
    masks.build(columns, false);
    std::vector<Word> V;
    const BandChoice choice = choose_band(rows, columns.size(), masks, V);
    if (choice.length) {
      middle = *choice.length;
    } else {
      progress.expect(pass_cost(rows.size(), columns.size(), choice.band));
      middle = length_in_band(rows, columns.size(), masks, choice.band, V, progress);
    }
  }
  progress.finish();
  return ends.prefix + middle + ends.suffix;
}

double similarity(std::string_view a, std::string_view b) {
  if (a.empty() && b.empty()) {
    return 1.0;
  }
  return 2.0 * static_cast<double>(length(a, b)) /
         (static_cast<double>(a.size()) + static_cast<double>(b.size()));
}

}  // namespace lcs
