// SPDX-License-Identifier: MIT
// The file system through std::filesystem and the C library, with the POSIX
// or Windows call for what those lack (nanoseconds, the time of a pipe).
#include "diff/files.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <system_error>

#include <sys/stat.h>
#include <sys/types.h>

namespace lcs_diff {

namespace {

FileError failure(const std::string& path, const std::error_code& error) {
  return FileError{path + ": " + error.message()};
}

// Days from 1970-01-01 to a civil date (Howard Hinnant's algorithm).
std::int64_t days_from_civil(std::int64_t year, unsigned month, unsigned day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const auto year_of_era = static_cast<unsigned>(year - era * 400);
  const unsigned day_of_year = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const unsigned day_of_era = year_of_era * 365 + year_of_era / 4 - year_of_era / 100 + day_of_year;
  return era * 146097 + static_cast<std::int64_t>(day_of_era) - 719468;
}

std::int64_t seconds_of(const std::tm& time) {
  return days_from_civil(time.tm_year + 1900LL, static_cast<unsigned>(time.tm_mon + 1),
                         static_cast<unsigned>(time.tm_mday)) *
             86400 +
         time.tm_hour * 3600LL + time.tm_min * 60LL + time.tm_sec;
}

std::string format_time(std::int64_t since_epoch, long nanoseconds) {
  const auto seconds = static_cast<std::time_t>(since_epoch);  // 32 bits on some systems
  std::tm local{};
#ifdef _WIN32
  localtime_s(&local, &seconds);
#else
  localtime_r(&seconds, &local);
#endif
  const std::int64_t offset = (seconds_of(local) - static_cast<std::int64_t>(seconds)) / 60;
  const std::int64_t offset_size = offset < 0 ? -offset : offset;
  char text[80];
  (void)std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d.%09ld %c%02d%02d",
                      local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                      local.tm_min, local.tm_sec, nanoseconds, offset < 0 ? '-' : '+',
                      static_cast<int>(offset_size / 60), static_cast<int>(offset_size % 60));
  return text;
}

}  // namespace

Status status_of(const std::string& path, bool follow_links) {
  Status out;
  if (path == "-") {
    out.kind = Kind::file;
    return out;
  }
#ifndef _WIN32
  // One stat call tells the kind, the identity and the size.
  struct stat details {};
  const int result = follow_links ? stat(path.c_str(), &details) : lstat(path.c_str(), &details);
  if (result != 0) {
    if (errno == ENOENT || errno == ENOTDIR) {
      return out;
    }
    throw failure(path, std::error_code(errno, std::generic_category()));
  }
  const auto type = details.st_mode & S_IFMT;
  out.kind = type == S_IFDIR    ? Kind::directory
             : type == S_IFIFO  ? Kind::fifo
             : type == S_IFSOCK ? Kind::socket
             : type == S_IFCHR  ? Kind::character_device
             : type == S_IFBLK  ? Kind::block_device
             : type == S_IFLNK  ? Kind::symbolic_link
                                : Kind::file;
  out.device = static_cast<std::uint64_t>(details.st_dev);
  out.inode = static_cast<std::uint64_t>(details.st_ino);
  out.has_identity = true;
  out.sized = type == S_IFREG;
  out.size = static_cast<std::uint64_t>(details.st_size);
  out.empty = out.sized && details.st_size == 0;
#else
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::file_status status =
      follow_links ? fs::status(path, error) : fs::symlink_status(path, error);
  if (status.type() == fs::file_type::not_found) {
    return out;
  }
  if (error) {
    throw failure(path, error);
  }
  switch (status.type()) {
    case fs::file_type::directory:
      out.kind = Kind::directory;
      break;
    case fs::file_type::fifo:
      out.kind = Kind::fifo;
      break;
    case fs::file_type::socket:
      out.kind = Kind::socket;
      break;
    case fs::file_type::character:
      out.kind = Kind::character_device;
      break;
    case fs::file_type::block:
      out.kind = Kind::block_device;
      break;
    case fs::file_type::symlink:
      out.kind = Kind::symbolic_link;
      break;
    default:
      out.kind = Kind::file;
      break;
  }
  out.empty = out.kind == Kind::file && fs::file_size(path, error) == 0 && !error;
#endif
  return out;
}

std::string_view kind_name(const Status& status) {
  switch (status.kind) {
    case Kind::directory:
      return "a directory";
    case Kind::fifo:
      return "a fifo";
    case Kind::socket:
      return "a socket";
    case Kind::character_device:
      return "a character special file";
    case Kind::block_device:
      return "a block special file";
    case Kind::symbolic_link:
      return "a symbolic link";
    default:
      return status.empty ? "a regular empty file" : "a regular file";
  }
}

bool same_file(const Status& a, const Status& b) {
  return a.has_identity && b.has_identity && a.device == b.device && a.inode == b.inode;
}

Reader::Reader(const std::string& path, std::istream& standard_input)
    : path_(path), file_(nullptr, &std::fclose) {
  if (path == "-") {
    stream_ = &standard_input;
    return;
  }
  file_.reset(std::fopen(path.c_str(), "rb"));
  if (!file_) {
    throw failure(path, std::error_code(errno, std::generic_category()));
  }
}

std::size_t Reader::read(std::string& bytes, std::size_t size) {
  // Through a buffer of our own, so that the string grows only by what comes.
  char chunk[1 << 16];
  size = std::min(size, sizeof chunk);
  std::size_t got = 0;
  if (stream_ != nullptr) {
    stream_->read(chunk, static_cast<std::streamsize>(size));
    got = static_cast<std::size_t>(stream_->gcount());
    if (stream_->bad()) {
      throw FileError("-: cannot read standard input");
    }
  } else {
    got = std::fread(chunk, 1, size, file_.get());
    if (got < size && std::ferror(file_.get()) != 0) {
      throw failure(path_, std::error_code(errno, std::generic_category()));
    }
  }
  bytes.append(chunk, got);
  return got;
}

void Reader::read_all(std::string& bytes) {
  constexpr std::size_t kBlock = 1 << 16;
  while (read(bytes, kBlock) != 0) {
  }
}

std::string link_target(const std::string& path) {
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(path, error);
  if (error) {
    throw failure(path, error);
  }
  return target.string();
}

bool matches_pattern(std::string_view pattern, std::string_view name) {
  if (pattern.empty()) {
    return name.empty();
  }
  if (pattern.front() == '*') {
    for (std::size_t skip = 0; skip <= name.size(); ++skip) {
      if (matches_pattern(pattern.substr(1), name.substr(skip))) {
        return true;
      }
    }
    return false;
  }
  if (name.empty()) {
    return false;
  }
  if (pattern.front() == '[') {
    std::size_t k = 1;
    const bool negated = k < pattern.size() && (pattern[k] == '!' || pattern[k] == '^');
    k += negated ? 1 : 0;
    bool found = false;
    for (bool first = true; k < pattern.size() && (first || pattern[k] != ']');
         ++k, first = false) {
      if (k + 2 < pattern.size() && pattern[k + 1] == '-' && pattern[k + 2] != ']') {
        found = found || (name.front() >= pattern[k] && name.front() <= pattern[k + 2]);
        k += 2;
      } else {
        found = found || name.front() == pattern[k];
      }
    }
    if (k < pattern.size()) {  // a closed class
      return found != negated && matches_pattern(pattern.substr(k + 1), name.substr(1));
    }
  }
  const bool escaped = pattern.front() == '\\' && pattern.size() > 1;
  const char wanted = escaped ? pattern[1] : pattern.front();
  if ((pattern.front() == '?' && !escaped) || wanted == name.front()) {
    return matches_pattern(pattern.substr(escaped ? 2 : 1), name.substr(1));
  }
  return false;
}

std::string modification_time(const std::string& path, Kind kind) {
  if (kind == Kind::missing) {
    return format_time(0, 0);
  }
#ifdef _WIN32
  struct _stat64 status {};
  const int result = path == "-" ? _fstat64(0, &status) : _stat64(path.c_str(), &status);
  const long nanoseconds = 0;
#else
  struct stat status {};
  const int result = path == "-" ? fstat(0, &status) : stat(path.c_str(), &status);
  const long nanoseconds = result == 0 ? status.st_mtim.tv_nsec : 0;
#endif
  const std::int64_t seconds = result == 0 ? static_cast<std::int64_t>(status.st_mtime)
                                           : static_cast<std::int64_t>(std::time(nullptr));
  return format_time(seconds, nanoseconds);
}

std::vector<std::string> directory_names(const std::string& path, Kind kind) {
  std::vector<std::string> names;
  if (kind == Kind::missing) {
    return names;
  }
  std::error_code error;
  for (std::filesystem::directory_iterator entry(path, error), end; !error && entry != end;
       entry.increment(error)) {
    names.push_back(entry->path().filename().string());
  }
  if (error) {
    throw failure(path, error);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace lcs_diff
