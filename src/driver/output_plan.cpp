#include "driver/output_plan.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <unordered_map>

#include "core/fatal.h"
#include "core/file_identity.h"
#include "core/output_file.h"
#include "core/path_split.h"

namespace selvane {

namespace {

// Batch files get kinds of their own, apart from those of an alignment's files.
constexpr int kBatchKinds = 100;
constexpr int kPartitionKinds = 200;
constexpr int kOccupancyKinds = 300;
constexpr int kSummaryKind = 400;

[[noreturn]] void overwrites_input(const std::string& output, const std::string& input,
                                   bool paths_file) {
  fatal("\nOutput file would overwrite an input file\nOutput file: " + output +
            "\nInput file:  " + input,
        output + ": the output would overwrite " +
            (paths_file ? "the paths file " : "the input alignment ") + input +
            "; no file was written");
}

[[noreturn]] void written_twice(const std::string& first, const std::string& second) {
  fatal("\nTwo output files would be the same file\nOutput file: " + first +
            "\nOutput file: " + second,
        second + ": two outputs of this run would be written to this file" +
            (first == second ? std::string() : " (also named " + first + ")") +
            "; no file was written");
}

// A file written once the whole run is done (--summary) whose folder is missing would end a run
// that wrote everything else: it is told before anything is written.
void check_folder_of(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return;
  const std::string folder = slash == 0 ? "/" : path.substr(0, slash);
  struct stat info;
  const int error = ::stat(folder.c_str(), &info) != 0 ? errno : S_ISDIR(info.st_mode) ? 0 : ENOTDIR;
  if (error != 0) {
    fatal("\nFile not opened",
          path + ": cannot create the output file: " + std::strerror(error) +
              "; no file was written");
  }
}

}  // namespace

RunPlan plan_run(const Request& request, const std::vector<std::string>& alignments) {
  RunPlan plan;
  if (request.tog_sb) plan.paths_file = request.filename;
  plan.alignments = alignments;
  for (std::size_t i = 0; i < alignments.size(); ++i) {
    for (auto& [kind, name] : alignment_outputs(alignments[i], request.outputs)) {
      plan.outputs.push_back(
          {std::move(name), static_cast<std::int32_t>(i), static_cast<int>(kind)});
    }
  }
  if (request.tog_sb && !alignments.empty()) {
    plan.path_fichero1 = getpath(alignments.back()).path_file;
    plan.name_pathsfile = getpath(output_stem(request.filename)).name_file;
    plan.concatenations =
        batch_outputs(plan.path_fichero1, plan.name_pathsfile, request.outputs, request.tog_sub);
  }
  const JoinSwitches& join = request.outputs.join;
  for (const auto& [kind, name] : plan.concatenations) {
    if (join.partitions != PartitionForm::kNone && kind != BatchFile::kBlocksOverview) {
      plan.outputs.push_back({partitions_name(name), -1, kPartitionKinds + static_cast<int>(kind)});
    }
    if (join.occupancy && join.by_name && kind != BatchFile::kBlocksOverview) {
      plan.outputs.push_back({occupancy_name(name), -1, kOccupancyKinds + static_cast<int>(kind)});
    }
    plan.outputs.push_back({name, -1, kBatchKinds + static_cast<int>(kind)});
  }
  // Written once the run is done, where it was typed.
  if (!request.outputs.summary.empty()) {
    plan.outputs.push_back({request.outputs.summary, -1, kSummaryKind, true});
  }
  return plan;
}

void guard_outputs(const RunPlan& plan, const OutputSwitches& outputs) {
  // Files read: identity -> its path, and whether it is the paths file.
  std::unordered_map<std::string, std::pair<std::string, bool>> read;
  if (!plan.paths_file.empty())
    read.emplace(file_identity(plan.paths_file), std::pair(plan.paths_file, true));
  // Alignments listed twice (under any name) are one alignment: `same[i]` is its first entry.
  std::vector<std::int32_t> same(plan.alignments.size());
  std::unordered_map<std::string, std::int32_t> first_entry;
  for (std::size_t i = 0; i < plan.alignments.size(); ++i) {
    const std::string id = file_identity(plan.alignments[i]);
    same[i] = first_entry.emplace(id, static_cast<std::int32_t>(i)).first->second;
    read.emplace(id, std::pair(plan.alignments[i], false));
  }

  const auto where = [&](const PlannedOutput& o) {
    return o.as_typed ? o.path : final_output_path(o.path, outputs);
  };
  // Files written: identity -> the output that writes it first.
  std::unordered_map<std::string, std::size_t> written;
  for (std::size_t k = 0; k < plan.outputs.size(); ++k) {
    const PlannedOutput& o = plan.outputs[k];
    const std::string path = where(o);
    if (o.as_typed) check_folder_of(path);
    // Standard output (--out=-) is no file: it replaces none.
    if (!o.as_typed && writes_standard_output(path, outputs)) continue;
    const std::string target = write_target(path);
    // Several outputs may go to /dev/null; no input is a device (none is read).
    if (!replaceable(target)) continue;
    const std::string id = file_identity(target);
    if (const auto input = read.find(id); input != read.end()) {
      overwrites_input(path, input->second.first, input->second.second);
    }
    const auto [earlier, added] = written.emplace(id, k);
    if (added) continue;
    const PlannedOutput& p = plan.outputs[earlier->second];
    const bool same_file_again =
        p.source >= 0 && o.source >= 0 && p.kind == o.kind &&
        same[static_cast<std::size_t>(p.source)] == same[static_cast<std::size_t>(o.source)];
    if (!same_file_again) written_twice(where(p), path);
  }
}

}  // namespace selvane
