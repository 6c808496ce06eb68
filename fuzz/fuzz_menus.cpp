// The menus' standard input: arbitrary bytes typed at the three menus, with the alignments and
// the paths file of the scratch folder to open. Runs may be started under any settings; none may
// change an input or write a file not named after one.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>

#include "core/fatal.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "menus/menu_input.h"
#include "menus/menus.h"
#include "scratch.h"

using namespace selvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  fuzz::enter_scratch();
  fuzz::reset_scratch();
  if (size == 0) return 0;  // a closed input: the menus end at once
  std::string typed = fuzz::without_slashes(data, size);
  std::FILE* keys = fmemopen(typed.data(), typed.size(), "r");
  if (keys == nullptr) return 0;
  RunState st;
  apply_startup_defaults(st);
  {
    Writer out = Writer::to_stream(sink);
    MenuInput in(keys, out);
    try {
      do {
        menu_main(st, out, in);
      } while (st.session.menu != 'q');
    } catch (const ExitRequest&) {
    } catch (const FatalError&) {
    } catch (const std::bad_alloc&) {
    }
  }
  std::fclose(keys);
  fuzz::check_scratch({}, false);
  return 0;
}
