#include "core/output_file.h"

#include <filesystem>
#include <system_error>

#include "core/fatal.h"

namespace selvane {

namespace {

// Creates the output folder (and the folders above it) unless it exists.
void make_outdir(const std::string& outdir) {
  std::error_code ec;
  if (std::filesystem::is_directory(outdir, ec)) return;
  std::filesystem::create_directories(outdir, ec);
  if (ec) {
    fatal("\nFile not opened",
          "cannot create the output folder \"" + outdir + "\" (--outdir): " + ec.message());
  }
}

}  // namespace

std::string final_output_path(const std::string& path, const OutputSwitches& outputs) {
  if (outputs.outdir.empty() || path == outputs.out) return path;
  // The file keeps its name; only the folder changes.
  const std::size_t slash = path.rfind('/');
  std::string moved = outputs.outdir;
  if (moved.back() != '/') moved += '/';
  moved.append(path, slash == std::string::npos ? 0 : slash + 1, std::string::npos);
  return moved;
}

bool writes_standard_output(const std::string& path, const OutputSwitches& outputs) {
  return path == "-" && outputs.out == "-";
}

Writer create_output_file(const std::string& path, const OutputSwitches& outputs) {
  if (writes_standard_output(path, outputs)) return Writer::data_to_stdout();
  // DIR (and the folders above it) is made when the first file goes into it.
  if (!outputs.outdir.empty()) make_outdir(outputs.outdir);
  return Writer::create(final_output_path(path, outputs));
}

}  // namespace selvane
