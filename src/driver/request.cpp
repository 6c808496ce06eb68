#include "driver/request.h"

#include <utility>

#include "core/fatal.h"
#include "output/alignment_formats.h"
#include "output/naming.h"

namespace selvane {

namespace {

UserCounts user_counts(const BlockParams& params, const CurrentInput& input) {
  UserCounts user;
  if (input.negval_set) user.negval = params.negval;
  if (input.flankval_set) user.flankval = params.flankval;
  user.flankval_lowest = input.flankval_lowest;
  user.refused_negval = input.refused_negval;
  user.refused_flankval = input.refused_flankval;
  return user;
}

}  // namespace

Request make_request(const RunState& st) {
  const CurrentInput& input = st.input;
  Request request;
  request.params = st.params;
  request.outputs = st.outputs;
  request.filename = input.filename;
  request.typed = input.typed;
  request.first_path = input.first_path;
  request.fileformat = input.fileformat;
  request.tog_sb = input.tog_sb;
  request.numal = input.numal;
  request.long_names = input.long_names;
  request.type_chosen = input.type_chosen;
  request.typed_by_letters = input.typed_by_letters;
  request.read_once = input.read_once;
  request.tog_sub = input.tog_sub;
  request.user = user_counts(st.params, input);
  return request;
}

BlockParams block_params(const Request& request, bool joined_by_name, std::int32_t numseq) {
  BlockParams params = request.params;
  if (!request.tog_sb) return params;
  // What a user value out of this alignment's range means was settled by plan_join before the
  // batch started.
  if (joined_by_name) {
    apply_join_counts(params, numseq, request.user);
  } else if (!request.tog_sub) {
    apply_sequence_count_defaults(params, numseq);
  }
  return params;
}

bool concatenates(const Request& request) {
  const OutputSwitches& o = request.outputs;
  return request.tog_sub && (o.tog_allfile || o.tog_allfile_init || o.tog_allungfile);
}

bool writes_alignment_files(const Request& request) {
  const OutputSwitches& o = request.outputs;
  return o.tog_seqfile || o.tog_ncbfile || o.tog_ungappedfile ||
         (request.tog_sb && concatenates(request));
}

std::vector<IdleSwitch> idle_switches(const Request& request) {
  const OutputSwitches& o = request.outputs;
  const JoinSwitches& join = o.join;
  const bool batch = request.tog_sb;
  const bool concatenating = batch && concatenates(request);
  std::vector<IdleSwitch> idle;
  // Why a switch of the concatenations does nothing here, or nothing when it does something.
  const auto without_concatenation = [&]() -> std::string {
    if (!batch) return "the input is one alignment, not a paths file";
    if (!concatenating) return "no concatenation is written (-a=y, -c=y or -w=y)";
    return {};
  };
  if (alignment_outputs("x", o).empty() && !concatenating && !o.outdir.empty()) {
    idle.push_back({"--outdir=" + o.outdir, "the run writes no file"});
  }
  if (o.out_format != OutputFormat::kSameAsInput && !writes_alignment_files(request)) {
    idle.push_back({"--out-format=" + std::string(alignment_writer(o.out_format).name),
                    "the run writes no alignment file (-s=y, -n=y, -u=y or a "
                    "concatenation)"});
  }
  const std::string no_join = without_concatenation();
  if (join.by_name && !no_join.empty()) idle.push_back({"--by-name", no_join});
  if (join.taxon_sep && !no_join.empty()) {
    idle.push_back({"--taxon-sep=" + *join.taxon_sep, no_join});
  }
  if (join.taxon_regex && !no_join.empty()) {
    idle.push_back({"--taxon-regex=" + *join.taxon_regex, no_join});
  }
  // The switches of a join by taxon alone.
  const std::string no_taxa = !no_join.empty() ? no_join
                              : !join.by_name
                                  ? "the concatenations join by position (--by-name joins by taxon)"
                                  : "";
  for (const auto& [minimum, name] :
       {std::pair(join.min_taxa, "--min-taxa="), std::pair(join.min_genes, "--min-genes=")}) {
    if (minimum != 0 && !no_taxa.empty()) idle.push_back({name + std::to_string(minimum), no_taxa});
  }
  if (join.partitions != PartitionForm::kNone && !no_join.empty()) {
    idle.push_back(
        {join.partitions == PartitionForm::kNexus ? "--partitions=nexus" : "--partitions",
         no_join});
  }
  if (join.occupancy && !no_taxa.empty()) idle.push_back({"--occupancy", no_taxa});
  return idle;
}

void strict_stop(const std::string& filename, const std::string& because) {
  // Nothing has been written yet: a pipeline that asked for strictness gets no output made
  // with settings it did not mean.
  fatal_raw("", filename + ": --strict: stopping before any file is written, because " + because);
}

EntryFormat entry_format(const Request& request) {
  return {request.outputs.out_format, request.fileformat, request.params.seq_type};
}

}  // namespace selvane
