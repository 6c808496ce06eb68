// The results and parameters file: the run's report as an HTML page, plain text or short text.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/bulk_memory.h"
#include "core/fatal.h"
#include "core/output_file.h"
#include "core/path_split.h"
#include "core/writer.h"
#include "output/conserved.h"
#include "output/naming.h"
#include "output/parameter_names.h"
#include "output/writers.h"

namespace selvane {
namespace {

constexpr std::size_t kLabelWidth = 15;

struct ClassColour {
  char letter;
  std::string_view colour;
};

constexpr ClassColour kNucleotideColours[] = {
    {'A', "red"}, {'C', "aqua"}, {'G', "lime"}, {'T', "orange"}, {'U', "orange"}};

constexpr ClassColour kProteinColours[] = {
    {'A', "lime"},   {'G', "lime"},    {'S', "lime"},    {'T', "lime"},    {'C', "orange"},
    {'P', "aqua"},   {'D', "white"},   {'E', "white"},   {'Q', "white"},   {'N', "white"},
    {'F', "yellow"}, {'W', "yellow"},  {'Y', "yellow"},  {'H', "red"},     {'K', "red"},
    {'R', "red"},    {'I', "fuchsia"}, {'L', "fuchsia"}, {'M', "fuchsia"}, {'V', "fuchsia"}};

// The entity that stands for a byte in HTML text, or an empty view when the byte stands for
// itself. Names, residues and paths come from the user's files and may hold any of these.
constexpr std::string_view html_entity(char c) {
  switch (c) {
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '&':
      return "&amp;";
    default:
      return {};
  }
}

void write_html_text(Writer& out, std::string_view text) {
  std::size_t run = 0;  // start of the pending run of bytes that need no entity
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string_view entity = html_entity(text[i]);
    if (entity.empty()) continue;
    out.write(text.substr(run, i - run));
    out.write(entity);
    run = i + 1;
  }
  out.write(text.substr(run));
}

// "%10i": the number right-aligned in ten characters.
void write_right_aligned(Writer& out, std::int64_t value, std::size_t width) {
  char digits[24];
  const auto result = std::to_chars(digits, digits + sizeof digits, value);
  const auto length = static_cast<std::size_t>(result.ptr - digits);
  if (length < width) out.fill(' ', width - length);
  out.write(std::string_view(digits, length));
}

// The first 15 characters of every name, padded with blanks; in HTML with the special
// characters replaced afterwards, so the cut and the padding count the name's own characters.
std::vector<std::string> make_labels(const Alignment& aln, bool html) {
  return allocating("newname", [&] {
    std::vector<std::string> labels(static_cast<std::size_t>(aln.numseq) + 1);
    for (std::int32_t n = 1; n <= aln.numseq; ++n) {
      const std::string& name = aln.name[static_cast<std::size_t>(n)];
      std::string label = name.substr(0, kLabelWidth);
      label.resize(kLabelWidth, ' ');
      if (html) {
        std::string escaped;
        for (const char c : label) {
          const std::string_view entity = html_entity(c);
          if (entity.empty()) {
            escaped.push_back(c);
          } else {
            escaped.append(entity);
          }
        }
        label = std::move(escaped);
      }
      labels[static_cast<std::size_t>(n)] = std::move(label);
    }
    return labels;
  });
}

// What one residue of a sequence line becomes in HTML: itself, the entity that stands for it,
// or, for a conserved residue, a span of its class (its letter as stored, so a lower-case
// residue names a lower-case class). A line is written by copying one cell per residue, with
// no branch on what the residue is.
constexpr std::size_t kCellText = 24;  // "<span class=X1>X</span>" is 23 bytes
struct HtmlCell {
  std::array<char, kCellText> text{};
  std::uint64_t size = 0;  // a 32-byte cell: its place in the table is a shift of the byte
};
// kHtmlCells[conserved][byte]
using HtmlCells = std::array<std::array<HtmlCell, 256>, 2>;

constexpr HtmlCell make_cell(std::initializer_list<std::string_view> parts) {
  HtmlCell cell;
  for (const std::string_view part : parts) {
    for (const char c : part) cell.text[cell.size++] = c;
  }
  return cell;
}

constexpr HtmlCells make_html_cells() {
  HtmlCells cells;
  for (int i = 0; i < 256; ++i) {
    const char c = static_cast<char>(i);
    const std::string_view self(&c, 1);
    const std::string_view entity = html_entity(c);
    cells[0][static_cast<std::size_t>(i)] = make_cell({entity.empty() ? self : entity});
    cells[1][static_cast<std::size_t>(i)] =
        make_cell({"<span class=", self, "1>", self, "</span>"});
  }
  return cells;
}

constexpr HtmlCells kHtmlCells = make_html_cells();

// Residues s..e of one row in HTML.
void write_html_residues(Writer& out, const char* row, std::int64_t s, std::int64_t e,
                         const std::vector<char>& conserved) {
  // Positions whose cells are given room in the writer's buffer at once.
  constexpr std::int64_t kPiece = 1024;
  const char* const letters = conserved.data();
  for (std::int64_t from = s; from <= e; from += kPiece) {
    const std::int64_t to = std::min(e, from + kPiece - 1);
    char* const start = out.space(static_cast<std::size_t>(to - from + 1) * kCellText);
    char* at = start;
    for (std::int64_t p = from; p <= to; ++p) {
      const char c = row[p];
      const bool span = is_conserved(letters, c, static_cast<std::size_t>(p));
      const HtmlCell& cell = kHtmlCells[span][static_cast<unsigned char>(c)];
      std::memcpy(at, cell.text.data(), kCellText);
      at += cell.size;
    }
    out.commit(static_cast<std::size_t>(at - start));
  }
}

void write_heading(Writer& out, ResultsForm form, SeqType seq_type, const Alignment& aln,
                   const Blocks& blocks, std::string_view shown_name) {
  const std::string_view type = type_name(seq_type);

  if (form == ResultsForm::kHtml) {
    out.write(
        "<html>\n<head>\n<meta http-equiv=content-type content=text/html;charset=ISO-8859-1>\n"
        "<title>");
    write_html_text(out, shown_name);
    out.write("</title>\n<style media=screen type=text/css><!--\n");
    out.write(".BL {background-color:navy;color:navy}\n");
    const bool protein = seq_type == SeqType::kProtein;
    for (const ClassColour& cc : protein ? std::span<const ClassColour>(kProteinColours)
                                         : std::span<const ClassColour>(kNucleotideColours)) {
      out.put('.');
      out.put(cc.letter);
      out.write("1 {background-color:black;color:");
      out.write(cc.colour);
      out.write("}\n");
    }
    out.write("--></style>\n</head>\n\n<body bgcolor=#f5f5a3>\n<h2>Selvane ");
    out.write(kVersion);
    out.write(" Results</h2>\n<p>\nProcessed file: <b>");
    write_html_text(out, shown_name);
    out.write("</b><br>\nNumber of sequences: <b>");
    out.number(aln.numseq);
    out.write("</b><br>");
    if (!type.empty()) {
      out.write("Alignment assumed to be: <b>");
      out.write(type);
      out.write("</b><br>\n");
    }
    out.write("New number of positions: <b>");
    out.number(blocks.nupo3());
    out.write("</b> (selected positions are underlined in blue)\n</p>\n<pre>\n");
    return;
  }

  out.write("Selvane ");
  out.write(kVersion);
  out.write(" Results\n\n\nProcessed file: ");
  out.write(shown_name);
  out.write("\nNumber of sequences: ");
  out.number(aln.numseq);
  if (!type.empty()) {
    out.write("\nAlignment assumed to be: ");
    out.write(type);
  }
  if (form != ResultsForm::kShort) {
    out.write("\nNew number of positions: ");
    out.number(blocks.nupo3());
    out.write(" (selected positions are underlined in blue)\n\n\n");
  }
}

constexpr std::int32_t kRowsAhead = 8;

// The alignment in display rows of breakcount positions, each with its position numbers, tick
// marks, one line per sequence and the selection markers.
void write_display(Writer& out, bool html, std::int32_t negval, std::int32_t breakcount,
                   const Alignment& aln, const Classification& cls, const std::string& letselvane,
                   const std::vector<std::string>& labels) {
  const std::vector<char> conserved =
      html ? conserved_letters(cls, aln.nupo, negval) : std::vector<char>();
  const std::string_view selection(letselvane);
  // The settings keep breakcount in 50..32000; the guard only stops a bad value from looping.
  // Wide counters: the last row's end may lie past what a 32-bit position can hold.
  const std::int64_t width = breakcount > 0 ? breakcount : 1;
  const std::int64_t nupo = aln.nupo;

  for (std::int64_t s = 1; s <= nupo; s += width) {
    const std::int64_t e = std::min(nupo, s + width - 1);

    out.fill(' ', 17);
    for (std::int64_t m = (s + 9) / 10 * 10; m <= e; m += 10) write_right_aligned(out, m, 10);
    out.put('\n');

    out.fill(' ', 17);
    for (std::int64_t p = s; p <= e; ++p) out.put(p % 10 == 0 ? '+' : '=');
    out.put('\n');

    for (std::int32_t n = 1; n <= aln.numseq; ++n) {
      // The rows lie far apart: the stripe of a row a few lines down is asked for now, so that
      // it is in the cache when its turn comes.
      if (n + kRowsAhead <= aln.numseq) {
        const char* ahead = aln.let.row(n + kRowsAhead);
        prefetch(ahead + s);
        prefetch(ahead + e);
      }
      out.write(labels[static_cast<std::size_t>(n)]);
      out.write("  ");
      const char* row = aln.let.row(n);
      if (html) {
        write_html_residues(out, row, s, e, conserved);
      } else {
        out.write(std::string_view(row + s, static_cast<std::size_t>(e - s + 1)));
      }
      out.put('\n');
    }

    if (html) {
      out.fill(' ', 17);
      for (std::int64_t p = s; p <= e; ++p) {
        const auto i = static_cast<std::size_t>(p);
        if (i < selection.size() && selection[i] == '#') {
          out.write("<span class=BL>#</span>");
        } else {
          out.put(' ');
        }
      }
    } else {
      out.write("Selvane          ");  // the label "Selvane" in 15 characters, two blanks
      out.write(selection.substr(std::min(selection.size(), static_cast<std::size_t>(s)),
                                 static_cast<std::size_t>(e - s + 1)));
    }
    out.write("\n\n\n");
  }
}

// "\nName: " of a parameter line.
void write_parameter_name(Writer& out, const ParameterName& parameter) {
  out.put('\n');
  out.write(parameter.name);
  out.write(": ");
}

void write_parameters(Writer& out, ResultsForm form, const BlockParams& params) {
  out.write(form == ResultsForm::kHtml ? "\n</pre>\n<pre>\n\n\n<br><b>Parameters used</b>"
                                       : "\n\nParameters used");
  write_parameter_name(out, kConservedName);
  out.number(params.negval);
  write_parameter_name(out, kFlankName);
  out.number(params.flankval);
  write_parameter_name(out, kNonconservedName);
  out.number(params.negblen);
  if (form == ResultsForm::kShort) {
    write_parameter_name(out, kInitialBlockName);
    out.number(params.posblen);
  }
  write_parameter_name(out, kBlockName);
  out.number(params.posblen2);
  if (const std::string_view gaps = gap_policy_name(params.tog_gaps); !gaps.empty()) {
    write_parameter_name(out, kGapsName);
    out.write(gaps);
  }
  if (params.seq_type == SeqType::kProtein) {
    write_parameter_name(out, kSimilarityName);
    out.write(params.tog_sim ? "Yes" : "No");
  }
}

void write_flank_pairs(Writer& out, const std::vector<Span>& blocks) {
  for (const Span& block : blocks) {
    out.put('[');
    out.number(block.first);
    out.write("  ");
    out.number(block.last);
    out.write("]  ");
  }
}

void write_flanks(Writer& out, ResultsForm form, const Blocks& blocks) {
  const std::int32_t count = blocks.count();
  if (form == ResultsForm::kHtml) {
    out.write("\n\n</pre><pre><b>Flank positions of the ");
    out.number(count);
    out.write(" selected block(s)</b>\n");
  } else {
    out.write("\n\nFlank positions of the ");
    out.number(count);
    out.write(" selected block(s)\n");
  }
  out.write("Flanks: ");
  write_flank_pairs(out, blocks.newpos);

  if (form == ResultsForm::kShort && count >= 1) {
    out.write("\n\nFlank positions of the ");
    out.number(count);
    out.write(
        " selected block(s) with respect to the first sequence of the alignment:\nFlanks_1: ");
    write_flank_pairs(out, blocks.newposseq);
  }
}

// `selected`: the path of the selected blocks' file, as the naming rules give it.
void write_closing(Writer& out, bool html, std::string_view selected, std::int32_t nupo,
                   const Blocks& blocks) {
  out.write("\n\nNew number of positions in ");
  if (html) {
    write_html_text(out, selected);
    out.write(": <b> ");
  } else {
    out.write(selected);
    out.write(": *** ");
  }
  out.number(blocks.nupo3());
  out.write(html ? " </b> (" : " *** (");
  out.number(blocks.nupo3per());
  out.write("% of the original ");
  out.number(nupo);
  out.write(" positions)\n");
  if (html) out.write("\n\n</body>\n</html>\n");
}

}  // namespace

void saveviewfile(const std::string& path, const BlockParams& params, const OutputSwitches& outputs,
                  std::string_view fichero1, const Alignment& aln, const Classification& cls,
                  const Blocks& blocks, const std::string& letselvane) {
  const ResultsForm form = outputs.tog_viewfile;
  const bool html = form == ResultsForm::kHtml;
  const bool display = form != ResultsForm::kShort;
  // Labels first: running out of memory for them must leave no file behind.
  const std::vector<std::string> labels =
      display ? make_labels(aln, html) : std::vector<std::string>();
  const std::string shown_name = getpath(fichero1).name_file;

  Writer out = create_output_file(path, outputs);
  write_heading(out, form, params.seq_type, aln, blocks, shown_name);
  if (display) {
    write_display(out, html, params.negval, outputs.breakcount, aln, cls, letselvane, labels);
  }
  write_parameters(out, form, params);
  write_flanks(out, form, blocks);
  // The file the selected blocks go to, where it really lands.
  std::string selected = final_output_path(selected_blocks_name(fichero1, outputs), outputs);
  // --out=-: no file, and "-" would read as one.
  if (writes_standard_output(selected, outputs)) selected = "standard output";
  write_closing(out, html, selected, aln.nupo, blocks);
  out.close();
}

}  // namespace selvane
