// The block parameters menu: b1 to b6, the generic extension, restoring the defaults.
#include <cstdint>
#include <optional>
#include <string_view>

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
  const bool have_file = !st.filename.empty();
  if (!have_file) {
    out.write("BLOCK PARAMETERS (Missing values will be set after opening a file)\n");
    out.write("\n1. Minimum Number Of Sequences For A Conserved Position: . ");
    out.write("\n2. Minimum Number Of Sequences For A Flank Position: ..... ");
  } else if (st.tog_sb == 1 && st.tog_sub == 0) {
    // Each alignment of the batch gets its own b1 and b2 until the user fixes them.
    out.write("BLOCK PARAMETERS\n");
    out.write("\n1. Minimum Number Of Sequences For A Conserved Position: . Default");
    out.write("\n2. Minimum Number Of Sequences For A Flank Position: ..... Default");
  } else {
    out.write("BLOCK PARAMETERS\n");
    out.printf("\n1. Minimum Number Of Sequences For A Conserved Position: . %i", st.negval);
    out.printf("\n2. Minimum Number Of Sequences For A Flank Position: ..... %i", st.flankval);
  }
  out.printf("\n3. Maximum Number Of Contiguous Nonconserved Positions: .. %i", st.negblen);
  out.printf("\n4. Minimum Length Of A Block: ............................ %i", st.posblen2);
  if (const std::string_view gaps = gap_policy_name(st.tog_gaps); !gaps.empty()) {
    out.write("\n5. Allowed Gap Positions: ................................ ");
    out.write(gaps);
  }
  if (st.tog_expmenb == 1) {
    out.write("\n");
    // The similarity matrix only applies to proteins.
    if (st.seq_type == 'P') {
      out.write(st.tog_sim == 0
                    ? "\n6. Use Similarity Matrix: ................................ No"
                    : "\n6. Use Similarity Matrix: ................................ Yes");
    }
    out.write("\ne. Generic File Extension: ............................... ");
    out.write(st.exten);
  }
  out.write("\n\nr. Restore Defaults");
  out.write(have_file ? "\ng. Get Blocks" : "\ng. (Get Blocks)");
  out.write("\n\nz. Extended Block Options");
  out.write("\nm. Go To Main Menu");
  out.write("\n\n\nYour Choice: ");
}

// b1 or b2 was set by hand: from now on it holds for every alignment of a batch.
void fix_sequence_counts(RunState& st, Writer& out) {
  st.tog_sub = 1;
  if (st.warn == 1) {
    st.warn = 0;
    out.write(
        "\nWARNING: you have changed a parameter that is related to the number of sequences. ");
    out.write("You should be sure that all alignments have the same number of sequences \n\n");
  }
}

void set_b1(RunState& st, Writer& out, MenuInput& in) {
  if (st.filename.empty()) {
    out.write(kNeedFile);
    out.write("\n\n");
    return;
  }
  out.write(kBiggerDecreases);
  out.printf("Minimum Number Of Sequences For A Conserved Position [%i-%i]: ", st.initnegval,
             st.flankval);
  const std::optional<std::int32_t> v = in.number();
  if (v && *v >= st.initnegval && *v <= st.flankval) {
    st.negval = *v;
    fix_sequence_counts(st, out);
  } else {
    out.write(kNotAllowed);
    if (v && *v < st.initnegval) {
      out.printf(
          "\nThe minimum number of sequences for a conserved position must be bigger than or "
          "equal to %i (half the number of sequences + 1)",
          st.initnegval);
    }
    if (v && *v > st.flankval) {
      out.write(
          "\nThe minimum number of sequences for a conserved position must be lower than or "
          "equal to the minimum number of sequences for a flank position");
      if (st.flankval < st.numseq) {
        out.write("\nTry increasing the Minimum Number Of Sequences For A Flank Position");
      }
    }
  }
  out.write("\n\n");
}

void set_b2(RunState& st, Writer& out, MenuInput& in) {
  if (st.filename.empty()) {
    out.write(kNeedFile);
    out.write("\n\n");
    return;
  }
  out.write(kBiggerDecreases);
  out.printf("Minimum Number Of Sequences For A Flank Position [%i-%i]: ", st.negval, st.numseq);
  const std::optional<std::int32_t> v = in.number();
  if (v && *v >= st.negval && *v <= st.numseq) {
    st.flankval = *v;
    fix_sequence_counts(st, out);
  } else {
    out.write(kNotAllowed);
    if (v && *v > st.numseq) {
      out.printf(
          "\nThe minimum number of sequences for a flank position must be lower than or equal "
          "to %i (the number of sequences)",
          st.numseq);
    }
    if (v && *v < st.negval) {
      out.write(
          "\nThe minimum number of sequences for a flank position must be bigger than or equal "
          "to the minimum number of sequences for a conserved position");
      if (st.initnegval < st.negval) {
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
  if (v && *v >= 0 && *v <= 32000) {
    st.negblen = *v;
  } else {
    out.write(kNotAllowed);
    if (v && *v < 0) {
      out.write("\nThe maximum number of contiguous nonconserved positions must be positive");
    }
  }
  out.write("\n\n");
}

void set_b4(RunState& st, Writer& out, MenuInput& in) {
  if (st.seq_type == 'P' || st.seq_type == 'D' || st.seq_type == 'C') {
    // Codon blocks are snapped to whole codons; below 5 positions one may vanish.
    const bool codons = st.seq_type == 'C';
    const std::int32_t minimum = codons ? 5 : 2;
    out.write(kBiggerDecreases);
    out.write(codons ? "Minimum Length Of A Block [5 - 32000]: "
                     : "Minimum Length Of A Block [2 - 32000]: ");
    const std::optional<std::int32_t> v = in.number();
    if (v && *v >= minimum && *v <= 32000) {
      st.posblen = *v;
      st.posblen2 = *v;
    } else {
      out.write(kNotAllowed);
      if (v && *v < minimum) {
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
  st.negblen = start.negblen;
  st.posblen = start.posblen;
  st.posblen2 = start.posblen2;
  st.tog_gaps = start.tog_gaps;
  st.tog_sim = start.tog_sim;
  apply_sequence_count_defaults(st, st.numseq);
}

}  // namespace

void menu_block_options(RunState& st, Writer& out, MenuInput& in) {
  do {
    show(st, out);
    menu_detail::read_choice(st, out, in);
    switch (st.menu) {
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
        st.tog_gaps = st.tog_gaps % 3 + 1;
        break;
      case '6':
        toggle(st.tog_sim);
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
        toggle(st.tog_expmenb);
        break;
      case '\n':
      case 'm':
        break;
      default:
        out.write("* Unrecognized option *\n");
        break;
    }
  } while (st.menu != 'm');
}

}  // namespace selvane
