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

Kind kind_of(const std::string& path) {
  if (path == "-") {
    return Kind::file;
  }
  std::error_code error;
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found) {
    return Kind::missing;
  }
  if (error) {
    throw failure(path, error);
  }
  return std::filesystem::is_directory(status) ? Kind::directory : Kind::file;
}

std::string read_file(const std::string& path, std::istream& standard_input) {
  std::string bytes;
  char chunk[1 << 16];
  if (path == "-") {
    while (standard_input.read(chunk, sizeof chunk) || standard_input.gcount() > 0) {
      bytes.append(chunk, static_cast<std::size_t>(standard_input.gcount()));
    }
    if (standard_input.bad()) {
      throw FileError("-: cannot read standard input");
    }
    return bytes;
  }
  const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                             &std::fclose);
  if (!file) {
    throw failure(path, std::error_code(errno, std::generic_category()));
  }
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0) {
    bytes.append(chunk, got);
  }
  if (std::ferror(file.get()) != 0) {
    throw failure(path, std::error_code(errno, std::generic_category()));
  }
  return bytes;
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
