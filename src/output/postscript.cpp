// The EPS block map: the alignment as one bar, the selected blocks as a second bar beside it.
#include <string_view>

#include "core/output_file.h"
#include "core/path_split.h"
#include "output/writers.h"

namespace selvane {
namespace {

// The drawing's fixed part: the two bar procedures, the shifts from positions to x, the font
// and the page turn that makes positions run up the page.
constexpr std::string_view kProcedures =
    "/seq {\nnewpath\n 25   moveto\n0  10   rlineto\n  35   lineto\n0 -10 rlineto\nclosepath\n"
    "fill\n} def\n\n"
    "/block {\nnewpath\n 10   moveto\n0  10   rlineto\n  20   lineto\n0 -10 rlineto\nclosepath\n"
    "fill\n} def\n\n"
    "/sh1 {\n30 add\n} def\n\n"
    "/sh2 {\n31 add\n} def\n\n"
    "/Helvetica findfont 12 scalefont setfont\n\n"
    "gsave\n180 0 translate\n90 rotate\n\n"
    "newpath\n30 100 moveto\n";

// Text inside a PostScript string: a parenthesis or backslash of a file name would end the
// string early or start an escape, so each is preceded by a backslash.
void write_ps_string_text(Writer& out, std::string_view text) {
  for (const char c : text) {
    if (c == '(' || c == ')' || c == '\\') out.put('\\');
    out.put(c);
  }
}

}  // namespace

void saveps(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
            std::string_view fichero1, std::int32_t nupo, const Blocks& blocks) {
  const PathParts parts = getpath(path);
  // Up to 400 positions the page keeps one height; longer alignments stretch it.
  const std::int64_t height = nupo <= 400 ? 450 : std::int64_t{nupo} + 50;

  Writer out = create_output_file(path, outputs);
  out.write("%!PS-Adobe-3.0 EPSF-3.0\n%%BoundingBox: 20 20 200 ");
  out.number(height);
  out.write(" \n%%Title: ");
  out.write(fichero1);
  out.write("\n%%Creator Selvane ");
  out.write(kVersion);
  out.write("\n%%Pages: 1\n\n");
  out.write(kProcedures);

  out.write("(Blocks found by Selvane version ");
  out.write(kVersion);
  out.write(" for the file ");
  write_ps_string_text(out, parts.name_file);
  out.write(") show\n30 80 moveto\n(Parameters used: ");
  for (const std::int32_t value :
       {params.negval, params.flankval, params.negblen, params.posblen2}) {
    out.number(value);
    out.put(' ');
  }
  out.number(static_cast<std::int32_t>(params.tog_gaps));
  out.write(") show\n\n1 sh1 ");
  out.number(nupo);
  out.write(" sh2 seq\n\n");

  for (const Span& block : blocks.newpos) {
    out.number(block.first);
    out.write(" sh1 ");
    out.number(block.last);
    out.write(" sh2 block\n");
  }
  out.write("\ngrestore\nshowpage\n%%EOF\n");
  out.close();
}

}  // namespace selvane
