// The main menu: the front door of an interactive session.
#include <string>
#include <string_view>

#include "core/fatal.h"
#include "core/setting_rules.h"
#include "driver/run.h"
#include "input/byte_source.h"
#include "menus/menu_common.h"
#include "menus/menus.h"

namespace selvane {

namespace {

using menu_detail::kNeedFile;

void show(const RunState& st, Writer& out) {
  menu_detail::blank_after_empty_choice(st, out);
  out.write("******************************************************\n");
  out.printf("                    SELVANE %s                     \n", kVersion);
  out.write("SELECTION OF CONSERVED BLOCKS FROM MULTIPLE ALIGNMENTS\n");
  out.write("        FOR THEIR USE IN PHYLOGENETIC ANALYSIS        \n");
  out.write("******************************************************\n");
  const bool have_file = !st.input.filename.empty();
  if (have_file) {
    out.write(st.input.tog_sb ? "\nCURRENT FILE (paths file): " : "\nCURRENT FILE: ");
    out.write(st.input.filename);
    out.write("\n");
    if (const std::string_view type = type_name(st.params.seq_type); !type.empty()) {
      out.write("t. Type Of Sequence: ");
      out.write(type);
      out.put('\n');
    }
  }
  out.write("\no. Open File");
  out.write("\n\nb. Block Parameters");
  out.write("\n\ns. Saving Options");
  out.write(have_file ? "\n\ng. Get Blocks" : "\n\ng. (Get Blocks)");
  out.write("\n\nq. Quit");
  out.write("\n\n\nYour Choice: ");
}

// Asks for a new input. A name that cannot be opened leaves the previous input current; an
// input in no known format ends the process inside open_input.
void open_file(RunState& st, Writer& out, MenuInput& in) {
  std::string previous = st.input.filename;
  out.write(
      "Please enter a DNA or protein alignment in NBRF/PIR or FASTA format or a paths file.\n");
  out.write("File Name: ");
  st.input.filename = input_path(in.line());
  st.input.typed.clear();
  // The alignment read for the report is not kept: every run reads its input again (but for an
  // input that can be read only once, which open_input keeps).
  open_input(st, out, InputUse::kMenus);
  if (st.input.filename.empty()) st.input.filename = std::move(previous);
}

// DNA -> protein -> codons -> DNA. Codon blocks are snapped to whole codons, which needs a
// minimum block length of 5.
void cycle_type(RunState& st, Writer& out) {
  st.input.type_chosen = true;
  switch (st.params.seq_type) {
    case SeqType::kDna:
      st.params.seq_type = SeqType::kProtein;
      break;
    case SeqType::kProtein:
      st.params.seq_type = SeqType::kCodons;
      if (st.params.posblen2 < kMinCodonBlockLength) {
        st.params.posblen2 = kMinCodonBlockLength;
        st.params.posblen = kMinCodonBlockLength;
        out.write("\nWarning: Minimum Length Of A Block changed to 5 for codon alignments\n");
      }
      break;
    case SeqType::kCodons:
      st.params.seq_type = SeqType::kDna;
      break;
    case SeqType::kUnknown:
      break;
  }
}

}  // namespace

void menu_main(RunState& st, Writer& out, MenuInput& in) {
  do {
    show(st, out);
    menu_detail::read_choice(st, out, in);
    switch (st.session.menu) {
      case '\n':
        break;
      case 'o':
        open_file(st, out, in);
        break;
      case 'b':
        menu_block_options(st, out, in);
        break;
      case 's':
        menu_saving_options(st, out, in);
        break;
      case 't':
        cycle_type(st, out);
        break;
      case 'g':
        menu_detail::get_blocks(st, out);
        break;
      case 'q':
        throw ExitRequest{1};
      default:
        out.write("* Unrecognized option *\n");
        break;
    }
  } while (st.session.menu != 'g');
}

}  // namespace selvane
