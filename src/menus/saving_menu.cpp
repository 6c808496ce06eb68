// The saving options menu: which files a run writes, and how.
#include <cstdint>
#include <optional>

#include "core/setting_rules.h"
#include "menus/menu_common.h"
#include "menus/menus.h"

namespace selvane {

namespace {

using menu_detail::toggle;

// One "Don't Save" / "Save" item; `label` holds everything before the state.
void item(Writer& out, const char* label, bool on) {
  out.write(label);
  out.write(on ? "Save" : "Don't Save");
}

void show(const RunState& st, Writer& out) {
  menu_detail::blank_after_empty_choice(st, out);
  out.write("SAVING OPTIONS\n");
  item(out, "\ns. Selected Blocks: ...................................... ",
       st.outputs.tog_seqfile);
  out.write("\np. Results And Parameters File: .......................... ");
  switch (st.outputs.tog_viewfile) {
    case ResultsForm::kNone:
      out.write("Don't Save");
      break;
    case ResultsForm::kHtml:
      out.write("Save");
      break;
    case ResultsForm::kText:
      out.write("Save Text");
      break;
    case ResultsForm::kShort:
      out.write("Save Short");
      break;
  }
  out.write("\ne. Generic File Extension: ............................... ");
  out.write(st.outputs.exten);
  if (st.session.tog_expmen) {
    out.printf("\n\nv. Characters Per Line In Results And Parameters File: ... %i",
               st.outputs.breakcount);
    item(out, "\nn. Nonconserved Blocks: .................................. ",
         st.outputs.tog_ncbfile);
    item(out, "\nu. Ungapped Alignment: ................................... ",
         st.outputs.tog_ungappedfile);
    item(out, "\nk. Mask File With The Selected Blocks: ................... ",
         st.outputs.tog_maskfile);
    item(out, "\nd. Postscript File With The Selected Blocks: ............. ",
         st.outputs.tog_psfile);
  }
  if (st.input.tog_sb) {
    item(out, "\n\na. Concatenated Blocks From Alignments In Batch: ......... ",
         st.outputs.tog_allfile);
    item(out, "\nc. Concatenated Input Alignments In Batch: ............... ",
         st.outputs.tog_allfile_init);
    item(out, "\nw. Concatenated Ungapped Alignments In Batch: ............ ",
         st.outputs.tog_allungfile);
  }
  out.write("\n\nz. Extended Saving Options");
  out.write("\nm. Go To Main Menu");
  out.write("\n\n\nYour Choice: ");
}

void set_breakcount(RunState& st, Writer& out, MenuInput& in) {
  out.write("Characters Per Line In Results And Parameters File [50-32000]: ");
  const std::optional<std::int32_t> v = in.number();
  if (v && check_breakcount(*v).accepted()) {
    st.outputs.breakcount = *v;
  } else {
    out.write(menu_detail::kNotAllowed);
  }
  out.write("\n\n");
}

// Concatenated files need one b1 and b2 for the whole batch and the same sequences in the
// same order in every alignment; the user is told so once per paths file.
void after_concatenation_switch(RunState& st, Writer& out) {
  st.input.tog_sub = true;
  if (st.session.warn) {
    st.session.warn = false;
    out.write("\nWARNING: You have selected to concatenate the input files. ");
    out.write(
        "You should be sure that all files have sequences in correlated order and that your "
        "alignment program didn't change the order of the sequences. ");
    out.write(
        "Sequence names of the last file in the paths file will be used for the concatenated "
        "files \n\n");
  }
}

}  // namespace

void menu_saving_options(RunState& st, Writer& out, MenuInput& in) {
  do {
    show(st, out);
    menu_detail::read_choice(st, out, in);
    switch (st.session.menu) {
      case 's':
        toggle(st.outputs.tog_seqfile);
        break;
      case 'p':
        st.outputs.tog_viewfile = menu_detail::next_results_form(st.outputs.tog_viewfile);
        break;
      case 'e':
        menu_detail::set_extension(st, out, in);
        break;
      case 'v':
        set_breakcount(st, out, in);
        break;
      case 'n':
        toggle(st.outputs.tog_ncbfile);
        break;
      case 'u':
        toggle(st.outputs.tog_ungappedfile);
        break;
      case 'k':
        toggle(st.outputs.tog_maskfile);
        break;
      case 'd':
        toggle(st.outputs.tog_psfile);
        break;
      case 'a':
        toggle(st.outputs.tog_allfile);
        after_concatenation_switch(st, out);
        break;
      case 'c':
        toggle(st.outputs.tog_allfile_init);
        after_concatenation_switch(st, out);
        break;
      case 'w':
        toggle(st.outputs.tog_allungfile);
        after_concatenation_switch(st, out);
        break;
      case 'z':
        toggle(st.session.tog_expmen);
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
