// Drives one menu function over a scripted standard input and captures what it prints.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

#include "core/fatal.h"
#include "core/run_state.h"
#include "core/writer.h"
#include "menus/menu_input.h"

namespace selvane::testing {

struct MenuSession {
  std::string output;
  bool exited = false;  // the menu ended the process (ExitRequest)
  int status = 0;       // the status it asked for
  std::string fatal;    // the text of a fatal error that ended the session, if one did
};

template <class Menu>
MenuSession run_menu(Menu menu, RunState& st, const std::string& input) {
  std::string input_copy = input;
  std::FILE* in = fmemopen(input_copy.data(), input_copy.size(), "r");
  char* buffer = nullptr;
  std::size_t size = 0;
  std::FILE* mem = open_memstream(&buffer, &size);
  MenuSession session;
  {
    Writer out = Writer::to_stream(mem);
    MenuInput reader(in, out);
    try {
      menu(st, out, reader);
    } catch (const ExitRequest& request) {
      session.exited = true;
      session.status = request.status;
    } catch (const FatalError& error) {
      session.fatal = error.text();
    }
    out.flush();
  }
  std::fclose(mem);
  session.output.assign(buffer, size);
  std::free(buffer);
  std::fclose(in);
  return session;
}

}  // namespace selvane::testing
