// How an output file is replaced: whole or not at all.
//
// The text goes to a temporary file in the output's own folder, which is renamed over the final
// name once it is complete and flushed. A run killed at any moment therefore leaves each output
// either as it was or complete and new, and a write error leaves the old file untouched.
#pragma once

#include <cstdio>
#include <string>

namespace selvane {

class Replacement {
 public:
  // Opens the temporary file for the output `path` (the name the user knows). When `path` is a
  // symbolic link, the file it points to is the one replaced, as writing through the link would.
  // Fatal "\nFile not opened" when the output cannot be created.
  //
  // When the output exists and its temporary file cannot be created for any reason but the
  // folder's permissions (no inode or quota left, ...), the run ends with "\nFile not written"
  // and the old file stays as it was.
  //
  // Two kinds of outputs are written in place, as a plain open for writing would: one that is
  // not a regular file (a device such as /dev/null, a named pipe read by another program), which
  // cannot be replaced; and an existing file we may write but not replace, because its folder
  // refuses new files. The latter gets its text only at commit(), gathered until then in an
  // unnamed temporary file, and only once there is room for all of it: a run stopped on the way
  // or a full disk leaves it as it was, and a stop asked for during the copy waits for its end.
  static Replacement open(const std::string& path);

  Replacement(Replacement&& other) noexcept;
  Replacement& operator=(Replacement&&) = delete;
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;
  // Removes the temporary file when commit() was not reached (an error on the way).
  ~Replacement();

  std::FILE* file() const { return file_; }
  const std::string& path() const { return path_; }

  // Closes the file and, when `write_error` is 0 and closing went well, renames it over the
  // final name. Otherwise the temporary file is removed and the run ends with "\nFile not
  // written", the detail saying that the old file stays as it was or that none is created.
  // `write_error` is the errno of the first write that failed, or 0.
  void commit(int write_error);

 private:
  Replacement(std::string path, std::FILE* file, std::string temp, std::string target, int slot);
  static Replacement overwrite(const std::string& path, const std::string& target);
  // Copies the gathered text over the old file; `kept` is cleared once the old file is touched.
  // Returns 0 or the errno of what failed.
  int copy_staged(bool& kept);
  void abandon() noexcept;

  std::string path_;      // the output's name, for messages
  std::FILE* file_;       // open until commit
  std::string temp_;      // the temporary file; empty when written in place
  std::string target_;    // what the temporary file replaces
  int slot_;              // its place among the pending files
  int overwritten_ = -1;  // an old file overwritten at commit, its text gathered in file_
  bool existed_ = false;  // a file stood under the name before
};

}  // namespace selvane
