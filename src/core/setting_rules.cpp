#include "core/setting_rules.h"

namespace selvane {

namespace {

RangeVerdict in_range(std::int32_t v, std::int32_t low, std::int32_t high) {
  return RangeVerdict{v<low, v> high, false};
}

}  // namespace

RangeVerdict check_negval(std::int32_t v, const BlockParams& params, std::int32_t numseq) {
  RangeVerdict verdict = in_range(v, params.initnegval, params.flankval);
  verdict.other_can_move = verdict.too_high && params.flankval < numseq;
  return verdict;
}

RangeVerdict check_flankval(std::int32_t v, const BlockParams& params, std::int32_t numseq) {
  RangeVerdict verdict = in_range(v, params.negval, numseq);
  verdict.other_can_move = verdict.too_low && params.initnegval < params.negval;
  return verdict;
}

RangeVerdict check_negblen(std::int32_t v) {
  return in_range(v, 0, kMaxParameter);
}

RangeVerdict check_block_length(std::int32_t v, std::int32_t minimum) {
  return in_range(v, minimum, kMaxParameter);
}

std::int32_t menu_block_minimum(SeqType seq_type) {
  return seq_type == SeqType::kCodons ? kMinCodonBlockLength : kMinBlockLength;
}

RangeVerdict check_breakcount(std::int32_t v) {
  return in_range(v, 50, kMaxParameter);
}

ExtensionVerdict check_extension(std::string_view exten) {
  if (exten.empty()) return ExtensionVerdict::kEmpty;
  return exten.size() <= kMaxExtension ? ExtensionVerdict::kAccepted : ExtensionVerdict::kTooLong;
}

bool extension_is_blank(std::string_view exten) {
  for (const char c : exten) {
    const auto u = static_cast<unsigned char>(c);
    if (u > ' ' && u != 0x7f) return false;
  }
  return true;
}

std::optional<SeqType> seq_type_from_letter(char letter) {
  switch (letter) {
    case 'P':
      return SeqType::kProtein;
    case 'D':
      return SeqType::kDna;
    case 'C':
      return SeqType::kCodons;
    default:
      return std::nullopt;
  }
}

std::optional<GapPolicy> gap_policy_from_letter(char letter) {
  switch (letter) {
    case 'N':
      return GapPolicy::kNone;
    case 'H':
      return GapPolicy::kWithHalf;
    case 'A':
      return GapPolicy::kAll;
    default:
      return std::nullopt;
  }
}

std::optional<ResultsForm> results_form_from_letter(char letter) {
  switch (letter) {
    case 'Y':
      return ResultsForm::kHtml;
    case 'N':
      return ResultsForm::kNone;
    case 'T':
      return ResultsForm::kText;
    case 'S':
      return ResultsForm::kShort;
    default:
      return std::nullopt;
  }
}

std::optional<bool> yes_no_from_letter(char letter) {
  if (letter == 'Y') return true;
  if (letter == 'N') return false;
  return std::nullopt;
}

char gap_policy_letter(GapPolicy tog_gaps) {
  switch (tog_gaps) {
    case GapPolicy::kWithHalf:
      return 'H';
    case GapPolicy::kAll:
      return 'A';
    case GapPolicy::kNone:
      break;
  }
  return 'N';
}

char results_form_letter(ResultsForm form) {
  switch (form) {
    case ResultsForm::kNone:
      return 'N';
    case ResultsForm::kText:
      return 'T';
    case ResultsForm::kShort:
      return 'S';
    case ResultsForm::kHtml:
      break;
  }
  return 'Y';
}

char yes_no_letter(bool on) {
  return on ? 'Y' : 'N';
}

}  // namespace selvane
