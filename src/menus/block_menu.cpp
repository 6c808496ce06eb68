// The block parameters menu: b1 to b6, the generic extension, restoring the defaults.
#include <cstdint>
#include <optional>
#include <string_view>

#include "core/setting_rules.h"
#include "menus/menu_common.h"
#include "menus/menus.h"

namespace selvane {

namespace {

using menu_detail::kNeedFile;
using menu_detail::kNotAllowed;
using menu_detail::toggle;

constexpr const char* kBiggerDecreases =
    "(BIGGER values DECREASE the selected number of positions)\n";

void show(const RunState& st, Writer& out) {
  menu_detail::blank_after_empty_choice(st, out);
  const bool have_file = !st.input.filename.empty();
  if (!have_file) {
    out.write("BLOCK PARAMETERS (Missing values will be set after opening a file)\n");
    out.write("\n1. Minimum Number Of Sequences For A Conserved Position: . ");
    out.write("\n2. Minimum Number Of Sequences For A Flank Position: ..... ");
  } else if (st.input.tog_sb && !st.input.tog_sub) {
    // Each alignment of the batch gets its own b1 and b2 until the user fixes them.
    out.write("BLOCK PARAMETERS\n");
    out.write("\n1. Minimum Number Of Sequences For A Conserved Position: . Default");
    out.write("\n2. Minimum Number Of Sequences For A Flank Position: ..... Default");
  } else {
    out.write("BLOCK PARAMETERS\n");
    out.printf("\n1. Minimum Number Of Sequences For A Conserved Position: . %i", st.params.negval);
    out.printf("\n2. Minimum Number Of Sequences For A Flank Position: ..... %i",
               st.params.flankval);
  }
  out.printf("\n3. Maximum Number Of Contiguous Nonconserved Positions: .. %i", st.params.negblen);
  out.printf("\n4. Minimum Length Of A Block: ............................ %i", st.params.posblen2);
  if (const std::string_view gaps = gap_policy_name(st.params.tog_gaps); !gaps.empty()) {
    out.write("\n5. Allowed Gap Positions: ................................ ");
    out.write(gaps);
  }
  if (st.session.tog_expmenb) {
    out.write("\n");
    // The similarity matrix only applies to proteins.
    if (st.params.seq_type == SeqType::kProtein) {
      out.write(st.params.tog_sim
                    ? "\n6. Use Similarity Matrix: ................................ Yes"
                    : "\n6. Use Similarity Matrix: ................................ No");
    }
    out.write("\ne. Generic File Extension: ............................... ");
    out.write(st.outputs.exten);
  }
  out.write("\n\nr. Restore Defaults");
  out.write(have_file ? "\ng. Get Blocks" : "\ng. (Get Blocks)");
  out.write("\n\nz. Extended Block Options");
  out.write("\nm. Go To Main Menu");
  out.write("\n\n\nYour Choice: ");
}

// b1 or b2 was set by hand: from now on it holds for every alignment of a batch.
void fix_sequence_counts(RunState& st, Writer& out) {
  st.input.tog_sub = true;
  if (st.session.warn) {
    st.session.warn = false;
    out.write(
        "\nWARNING: you have changed a parameter that is related to the number of sequences. ");
    out.write("You should be sure that all alignments have the same number of sequences \n\n");
  }
}

void set_b1(RunState& st, Writer& out, MenuInput& in) {
  if (st.input.filename.empty()) {
    out.write(kNeedFile);
    out.write("\n\n");
    return;
  }
  out.write(kBiggerDecreases);
  out.printf("Minimum Number Of Sequences For A Conserved Position [%i-%i]: ", st.params.initnegval,
             st.params.flankval);
  const std::optional<std::int32_t> v = in.number();
  const RangeVerdict verdict = v ? check_negval(*v, st.params, st.input.numseq) : RangeVerdict{};
  if (v && verdict.accepted()) {
    st.params.negval = *v;
    st.input.negval_set = true;
    fix_sequence_counts(st, out);
  } else {
    out.write(kNotAllowed);
    if (verdict.too_low) {
      out.printf(
          "\nThe minimum number of sequences for a conserved position must be bigger than or "
          "equal to %i (half the number of sequences + 1)",
          st.params.initnegval);
    }
    if (verdict.too_high) {
      out.write(
          "\nThe minimum number of sequences for a conserved position must be lower than or "
          "equal to the minimum number of sequences for a flank position");
      if (verdict.other_can_move) {
        out.write("\nTry increasing the Minimum Number Of Sequences For A Flank Position");
      }
    }
  }
  out.write("\n\n");
}

void set_b2(RunState& st, Writer& out, MenuInput& in) {
  if (st.input.filename.empty()) {
    out.write(kNeedFile);
    out.write("\n\n");
    return;
  }
  out.write(kBiggerDecreases);
  out.printf("Minimum Number Of Sequences For A Flank Position [%i-%i]: ", st.params.negval,
             st.input.numseq);
  const std::optional<std::int32_t> v = in.number();
  const RangeVerdict verdict = v ? check_flankval(*v, st.params, st.input.numseq) : RangeVerdict{};
  if (v && verdict.accepted()) {
    st.params.flankval = *v;
    st.input.flankval_set = true;
    fix_sequence_counts(st, out);
  } else {
    out.write(kNotAllowed);
    if (verdict.too_high) {
      out.printf(
          "\nThe minimum number of sequences for a flank position must be lower than or equal "
          "to %i (the number of sequences)",
          st.input.numseq);
    }
    if (verdict.too_low) {
      out.write(
          "\nThe minimum number of sequences for a flank position must be bigger than or equal "
          "to the minimum number of sequences for a conserved position");
      if (verdict.other_can_move) {
        out.write("\nTry decreasing the minimum number of sequences for a conserved position");
      }
    }
  }
  out.write("\n\n");
}

void set_b3(RunState& st, Writer& out, MenuInput& in) {
  out.write("(BIGGER values INCREASE the selected number of positions)\n");
  out.write("Maximum Number Of Contiguous Nonconserved Positions [0-32000]: ");
  const std::optional<std::int32_t> v = in.number();
  const RangeVerdict verdict = v ? check_negblen(*v) : RangeVerdict{};
  if (v && verdict.accepted()) {
    st.params.negblen = *v;
  } else {
    out.write(kNotAllowed);
    if (verdict.too_low) {
      out.write("\nThe maximum number of contiguous nonconserved positions must be positive");
    }
  }
  out.write("\n\n");
}

void set_b4(RunState& st, Writer& out, MenuInput& in) {
  if (st.params.seq_type != SeqType::kUnknown) {
    const bool codons = st.params.seq_type == SeqType::kCodons;
    out.write(kBiggerDecreases);
    out.write(codons ? "Minimum Length Of A Block [5 - 32000]: "
                     : "Minimum Length Of A Block [2 - 32000]: ");
    const std::optional<std::int32_t> v = in.number();
    const RangeVerdict verdict =
        v ? check_block_length(*v, menu_block_minimum(st.params.seq_type)) : RangeVerdict{};
    if (v && verdict.accepted()) {
      st.params.posblen = *v;
      st.params.posblen2 = *v;
    } else {
      out.write(kNotAllowed);
      if (verdict.too_low) {
        out.write(codons ? "The minimum length of a block after gap cleaning must be 5 or bigger "
                           "for codon sequences"
                         : "The minimum length of a block after gap cleaning must be 2 or bigger");
      }
    }
  } else {
    out.write("\n");
    out.write(kNeedFile);
  }
  out.write("\n\n");
}

// The block parameters as the program starts, b1 and b2 derived from the current alignment.
void restore_defaults(RunState& st) {
  const RunState start;
  st.params.negblen = start.params.negblen;
  st.params.posblen = start.params.posblen;
  st.params.posblen2 = start.params.posblen2;
  st.params.tog_gaps = start.params.tog_gaps;
  st.params.tog_sim = start.params.tog_sim;
  apply_sequence_count_defaults(st.params, st.input.numseq);
  st.input.negval_set = false;
  st.input.flankval_set = false;
}

}  // namespace

void menu_block_options(RunState& st, Writer& out, MenuInput& in) {
  do {
    show(st, out);
    menu_detail::read_choice(st, out, in);
    switch (st.session.menu) {
      case '1':
        set_b1(st, out, in);
        break;
      case '2':
        set_b2(st, out, in);
        break;
      case '3':
        set_b3(st, out, in);
        break;
      case '4':
        set_b4(st, out, in);
        break;
      case '5':
        st.params.tog_gaps = menu_detail::next_gap_policy(st.params.tog_gaps);
        break;
      case '6':
        toggle(st.params.tog_sim);
        break;
      case 'e':
        menu_detail::set_extension(st, out, in);
        break;
      case 'g':
        menu_detail::get_blocks(st, out);
        break;
      case 'r':
        restore_defaults(st);
        break;
      case 'z':
        toggle(st.session.tog_expmenb);
        break;
      case '\n':
      case 'm':
        break;
      default:
        out.write("* Unrecognized option *\n");
        break;
    }
  } while (st.session.menu != 'm');
}

}  // namespace selvane
