#include "menus/menu_common.h"

#include "core/setting_rules.h"
#include "driver/run.h"

namespace selvane::menu_detail {

void read_choice(RunState& st, Writer& out, MenuInput& in) {
  char c = in.choice();
  if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  st.session.menu = c;
  if (c != '\n') out.write("\n\n");
}

void set_extension(RunState& st, Writer& out, MenuInput& in) {
  out.write("(Five Characters Maximum)\n");
  out.write("File Extension: ");
  std::string word = in.word();
  // A word is empty only when the user typed a NUL byte; an empty extension would make the
  // selected blocks the input itself.
  if (check_extension(word) == ExtensionVerdict::kTooLong) {
    out.write("\n* String too long *");
  } else if (extension_is_blank(word)) {
    out.write("\n* Value not allowed *");
  } else {
    st.outputs.exten = std::move(word);
  }
  out.write("\n\n");
}

void get_blocks(RunState& st, Writer& out) {
  if (!st.input.filename.empty()) {
    calculate(st, out);
  } else {
    out.write(kNeedFile);
    st.session.menu = '\n';
  }
}

void blank_after_empty_choice(const RunState& st, Writer& out) {
  if (st.session.menu == '\n') out.write("\n\n");
}

}  // namespace selvane::menu_detail
