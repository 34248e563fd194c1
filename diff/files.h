// SPDX-License-Identifier: MIT
// What lcs-diff needs of the file system: a path's kind, a file's bytes and
// modification time as diff prints it, and a directory's names.
#ifndef LCS_DIFF_FILES_H
#define LCS_DIFF_FILES_H

#include <cstdint>
#include <istream>
#include <stdexcept>
#include <string>
#include <vector>

namespace lcs_diff {

// A failure with one path, worded as the system words it: "PATH: No such file or directory".
struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Kind : std::uint8_t { missing, file, directory };

// What `path` is; "-" is standard input, a file. Throws FileError when it
// cannot be told (other than by its absence).
Kind kind_of(const std::string& path);

// The bytes of `path`, or of `standard_input` for "-", in one pass.
std::string read_file(const std::string& path, std::istream& standard_input);

// The modification time of `path` ("-": standard input) in local time, as
// "2026-12-08 19:07:40.296162040 +0000"; missing files have the epoch's.
std::string modification_time(const std::string& path, Kind kind);

// The names in a directory, sorted by their bytes; none for a missing one.
std::vector<std::string> directory_names(const std::string& path, Kind kind);

}  // namespace lcs_diff

#endif  // LCS_DIFF_FILES_H
