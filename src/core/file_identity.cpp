#include "core/file_identity.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>
#include <vector>

namespace selvane {

namespace {

// What the kernel allows in one path lookup (Linux's MAXSYMLINKS).
constexpr int kMaxLinks = 40;

}  // namespace

std::string write_target(const std::string& path) {
  std::string current = path;
  for (int hop = 0; hop < kMaxLinks; ++hop) {
    struct stat info;
    if (::lstat(current.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return current;
    std::vector<char> link(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 255) + 2);
    const ssize_t length = ::readlink(current.c_str(), link.data(), link.size());
    if (length < 0 || static_cast<std::size_t>(length) >= link.size()) return current;
    std::string next(link.data(), static_cast<std::size_t>(length));
    // A relative link is read from the folder that holds the link.
    if (!next.empty() && next.front() != '/') {
      const std::size_t slash = current.rfind('/');
      if (slash != std::string::npos) next = current.substr(0, slash + 1) + next;
    }
    current = std::move(next);
  }
  return path;
}

bool replaceable(const std::string& target) {
  struct stat info;
  return ::stat(target.c_str(), &info) != 0 || S_ISREG(info.st_mode);
}

std::string file_identity(const std::string& path) {
  struct stat info;
  if (::stat(path.c_str(), &info) == 0) {
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino);
  }
  // A file yet to be created is its folder (known by identity, so "d/../d" and a link to "d"
  // are "d") and its name.
  const std::size_t slash = path.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : path.substr(0, slash);
  const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!name.empty() && name != "." && name != ".." && ::stat(folder.c_str(), &info) == 0) {
    return std::to_string(info.st_dev) + ':' + std::to_string(info.st_ino) + '/' + name;
  }
  std::error_code ec;
  const std::filesystem::path absolute = std::filesystem::absolute(path, ec);
  if (ec) return path;
  const std::filesystem::path normal = std::filesystem::weakly_canonical(absolute, ec);
  return (ec ? absolute.lexically_normal() : normal).generic_string();
}

}  // namespace selvane
