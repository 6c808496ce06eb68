// The rule of every setting, written once: which values it accepts in the state the program is
// in. Each check is a pure function that returns a verdict; the command line and the menus turn
// a verdict into their own texts, which differ between the two.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "core/run_state.h"

namespace selvane {

// A number checked against its range.
struct RangeVerdict {
  bool too_low = false;
  bool too_high = false;
  // b1 and b2 bound each other. When b1 is refused as too high, whether b2 could still rise
  // (b2 < numseq); when b2 is refused as too low, whether b1 could still fall
  // (initnegval < b1). The menus then suggest moving the other parameter.
  bool other_can_move = false;

  bool accepted() const { return !too_low && !too_high; }
};

// Largest value of b3, b4 and b0.
inline constexpr std::int32_t kMaxParameter = 32000;
// Smallest block length b4 and b0; the menus ask for more in codon alignments, where blocks
// are snapped to whole codons and a shorter one may vanish.
inline constexpr std::int32_t kMinBlockLength = 2;
inline constexpr std::int32_t kMinCodonBlockLength = 5;
// Longest generic file extension.
inline constexpr std::size_t kMaxExtension = 5;

// b1: from initnegval up to the b2 in force.
RangeVerdict check_negval(std::int32_t v, const BlockParams& params, std::int32_t numseq);
// b2: from the b1 in force up to the number of sequences.
RangeVerdict check_flankval(std::int32_t v, const BlockParams& params, std::int32_t numseq);
// b3: 0 to 32000.
RangeVerdict check_negblen(std::int32_t v);
// b4 and b0: `minimum` to 32000.
RangeVerdict check_block_length(std::int32_t v, std::int32_t minimum = kMinBlockLength);
// The minimum block length the menus ask for a sequence type.
std::int32_t menu_block_minimum(SeqType seq_type);
// Positions per display row of the results file: 50 to 32000.
RangeVerdict check_breakcount(std::int32_t v);

enum class ExtensionVerdict { kAccepted, kEmpty, kTooLong };
// The generic file extension: 1 to 5 characters.
ExtensionVerdict check_extension(std::string_view exten);
// An extension that is empty or made only of blanks and control characters (a NUL byte typed at
// the menus gives an empty one) names outputs that cannot be told from the input by eye, or are
// the input: the menus refuse it. The command line keeps its own rule above.
bool extension_is_blank(std::string_view exten);

// The letters of the letter options, upper case; nullopt for a letter the option refuses.
std::optional<SeqType> seq_type_from_letter(char letter);          // -t: P, D, C
std::optional<GapPolicy> gap_policy_from_letter(char letter);      // -b5: N, H, A
std::optional<ResultsForm> results_form_from_letter(char letter);  // -p: Y, N, T, S
std::optional<bool> yes_no_from_letter(char letter);               // Y, N

// The letter that gives a value, the other way round (the usage shows defaults with them).
char gap_policy_letter(GapPolicy tog_gaps);
char results_form_letter(ResultsForm form);
char yes_no_letter(bool on);

}  // namespace selvane
