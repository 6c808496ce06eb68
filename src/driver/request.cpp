#include "driver/request.h"

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
  request.first_path = input.first_path;
  request.fileformat = input.fileformat;
  request.tog_sb = input.tog_sb;
  request.numal = input.numal;
  request.long_names = input.long_names;
  request.type_chosen = input.type_chosen;
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

EntryFormat entry_format(const Request& request) {
  const SeqType type = request.params.seq_type;
  switch (request.outputs.out_format) {
    case OutputFormat::kFasta:
      return {AlignmentFormat::kFasta, type};
    case OutputFormat::kPir:
      return {AlignmentFormat::kPir, type};
    case OutputFormat::kPhylip:
      return {AlignmentFormat::kPhylip, type};
    case OutputFormat::kSameAsInput:
      break;
  }
  return {request.fileformat, type};
}

}  // namespace selvane
