// SPDX-License-Identifier: MIT
// What lcs-diff needs of the file system: a path's kind and identity, a
// file's bytes as a stream or whole, its modification time as diff prints it,
// and a directory's names.
#ifndef LCS_DIFF_FILES_H
#define LCS_DIFF_FILES_H

#include <cstdint>
#include <cstdio>
#include <istream>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lcs_diff {

// A failure with one path, worded as the system words it: "PATH: No such file or directory".
struct FileError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

enum class Kind : std::uint8_t {
  missing,
  file,
  directory,
  fifo,
  socket,
  character_device,
  block_device,
  symbolic_link,  // only when links are not followed
};

struct Status {
  Kind kind = Kind::missing;
  bool empty = false;  // a regular file of no bytes
  bool sized = false;  // a regular file whose size is known
  std::uint64_t size = 0;
  std::uint64_t device = 0;  // with `inode`, the file's identity where the system has one
  std::uint64_t inode = 0;
  bool has_identity = false;
};

// What `path` is; "-" is standard input, a file. With `follow_links` false a
// symbolic link is itself. Throws FileError when it cannot be told (other
// than by its absence).
Status status_of(const std::string& path, bool follow_links = true);

// The kind as diff names it in "File X is a fifo while file Y is a directory".
std::string_view kind_name(const Status& status);

// Whether two statuses are one file (same device and inode).
bool same_file(const Status& a, const Status& b);

// A file read in blocks, or standard input for "-".
class Reader {
 public:
  Reader(const std::string& path, std::istream& standard_input);
  // Up to `size` more bytes appended to `bytes`; 0 at the end. Throws FileError.
  std::size_t read(std::string& bytes, std::size_t size);
  // Everything left, appended to `bytes`.
  void read_all(std::string& bytes);

 private:
  std::string path_;
  std::istream* stream_ = nullptr;
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file_;
};

// The modification time of `path` ("-": standard input) in local time, as
// "2026-12-08 19:07:40.296162040 +0000"; missing files have the epoch's.
std::string modification_time(const std::string& path, Kind kind);

// The target of a symbolic link.
std::string link_target(const std::string& path);

// The names in a directory, sorted by their bytes; none for a missing one.
std::vector<std::string> directory_names(const std::string& path, Kind kind);

// Whether a name matches a shell pattern: *, ? and [...] (with ! or ^ to negate).
bool matches_pattern(std::string_view pattern, std::string_view name);

}  // namespace lcs_diff

#endif  // LCS_DIFF_FILES_H
