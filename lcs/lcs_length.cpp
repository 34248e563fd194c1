// LCS length of two byte strings of any size: the common prefix and suffix
// matched at once, then the bit-vector passes of Allison and Dix (1986) along
// the longer string, restricted to a provably sufficient diagonal band when a
// cheap probe shows the strings are alike (Ukkonen, 1985). Time
// O(min·max/64) word steps, O(min·band/64) for alike strings; space O(max/64)
// words per distinct byte. On two threads the upper and lower halves of the
// rows run side by side and meet in the middle (Hirschberg, 1975).
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

#include "lcs/alignment.h"
#include "lcs/band.h"
#include "lcs/bit_vector.h"
#include "lcs/common_ends.h"
#include "lcs/side_by_side.h"

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
    DivisionSpace space;
    const bool share = thread_count(options.threads) > 1;
    const BandChoice choice =
        choose_band(rows, columns, space, share ? Probe::halves_side_by_side : Probe::one_pass);
    const std::uint64_t cost = pass_cost(rows.size(), columns.size(), choice.band);
    progress.expect(cost);
    if (choice.length) {
      middle = *choice.length;
    } else if (share && rows.size() > 1 && cost >= kParallelPassCost) {
      // The upper and lower halves of the rows side by side, met in the middle.
      const Crossing cross =
          divide(rows, columns, choice.band, space, progress, true, Middle::anywhere);
      middle = cross.upper + cross.lower;
    } else {
      middle = length_in_band(rows, columns, choice.band, space, progress);
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
