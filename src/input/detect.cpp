#include "input/detect.h"

#include <optional>

#include "core/fatal.h"

namespace selvane {

namespace {

// The first line of a file that is not blank, without its line end; empty when the file holds
// none. Detection looks at this line only.
std::string first_nonblank_line(BlockReader& in) {
  std::string line;
  next_path(in, line);  // a path is a non-blank line too; at the end of the file it is empty
  return line;
}

}  // namespace

bool next_path(BlockReader& paths, std::string& path) {
  while (paths.read_line(path)) {
    if (!path.empty()) return true;
  }
  return false;
}

void checkformat(std::string_view line, RunState& st) {
  if (line.empty() || line[0] != '>') fatal("\nSequence not in NBRF/PIR or FASTA format");
  if (line.size() >= 4 && line[3] == ';') {
    // Only the letter after '>' tells the type; the one before ';' is never looked at.
    if (line[1] != 'P' && line[1] != 'D') {
      fatal(
          "\nSequence not in correct NBRF/PIR format: a D (for DNA or rRNA sequences) or a P "
          "(for protein sequences) is missing after the symbol > in the name line");
    }
    st.input.fileformat = InputFormat::kPir;
    st.params.seq_type = static_cast<SeqType>(line[1]);
    return;
  }
  // A FASTA header names no type: protein until the user says otherwise.
  st.input.fileformat = InputFormat::kFasta;
  st.params.seq_type = SeqType::kProtein;
}

void checkfiletype(RunState& st, Writer& out) {
  std::optional<BlockReader> input = BlockReader::open(st.input.filename);
  if (!input) {
    out.write("\n* File not opened *\n");
    st.input.filename.clear();
    return;
  }
  const std::string line = first_nonblank_line(*input);
  input.reset();

  // An alignment's first line never names a file; a paths file's first line does.
  std::optional<BlockReader> first_alignment = BlockReader::open(line);
  if (!first_alignment) {
    checkformat(line, st);
    st.input.tog_sb = false;
    st.input.numal = 1;
    st.input.fichero1 = st.input.filename;
    return;
  }

  st.input.fichero1 = line;
  st.input.tog_sb = true;
  // A new batch starts with b1 and b2 following each alignment and with no concatenation.
  st.input.tog_sub = false;
  st.session.warn = true;
  st.outputs.tog_allfile = false;
  st.outputs.tog_allfile_init = false;
  st.outputs.tog_allungfile = false;

  const std::string header = first_nonblank_line(*first_alignment);
  first_alignment.reset();
  checkformat(header, st);

  std::optional<BlockReader> paths = BlockReader::open(st.input.filename);
  if (!paths) fatal("\nFile not opened");
  std::int32_t count = 0;
  std::string path;
  while (next_path(*paths, path)) ++count;
  st.input.numal = count;

  PathParts parts = getpath(st.input.filename);
  st.input.path_file = std::move(parts.path_file);
  st.input.name_file = std::move(parts.name_file);
  st.input.name_pathsfile = st.input.name_file;
}

}  // namespace selvane
