// Detection and every reader of the table of input formats on arbitrary file contents; what
// loads is classified and its blocks selected, as a run would. The same contents compressed
// with gzip (in members of a size the data chooses) must give the same outcome, and contents
// that begin like gzip data go through the decompressor as they are.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <optional>
#include <string>

#include "core/fatal.h"
#include "core/run_state.h"
#include "input/detect.h"
#include "input/formats.h"
#include "input/gzip_source.h"
#include "input/readers.h"
#include "scratch.h"
#include "selection/blocks.h"
#include "selection/classify.h"
#include "selection/derived.h"
#include "support/compress.h"

namespace {

using namespace selvane;

// Runs `step`; a fatal error is an answer like any other, anything else escapes to the fuzzer.
template <class F>
void answer(F&& step) {
  try {
    step();
  } catch (const FatalError&) {
  } catch (const std::bad_alloc&) {
  }
}

void select(const Alignment& aln, SeqType type, GapPolicy gaps) {
  BlockParams params;
  params.seq_type = type;
  params.tog_gaps = gaps;
  apply_sequence_count_defaults(params, aln.numseq);
  const Classification cls = assignval(aln, params);
  const Blocks blocks = getpos(cls, aln, params);
  makeletselvane(blocks, aln.nupo);
  ungap(aln);
}

void write(const char* name, const std::string& content) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

// What detection and the load that follows make of `name` (with `in_format` as --in-format):
// the rows read, or the message that ended the run (its detail names the file, so it is left
// out).
std::string outcome(const char* name, std::optional<InputFormat> in_format) {
  try {
    Detection found = checkfiletype(name, in_format);
    if (!found.opened) return "not opened";
    if (found.paths_file) return "paths " + std::to_string(found.count) + " " + found.first_path;
    const Alignment aln = load(std::move(*found.first_alignment), found.format.format);
    std::string rows;
    for (std::int32_t s = 1; s <= aln.numseq; ++s) {
      rows += aln.name[static_cast<std::size_t>(s)] + '=';
      rows.append(aln.let.row(s) + 1, static_cast<std::size_t>(aln.nupo));
      rows += ';';
    }
    return rows;
  } catch (const FatalError& error) {
    return error.text();
  } catch (const std::bad_alloc&) {
    return "out of memory";
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::enter_scratch();
  const std::string text = fuzz::without_slashes(data, size);
  write("in", text);
  const SeqType types[] = {SeqType::kProtein, SeqType::kDna, SeqType::kCodons};
  const GapPolicy gaps[] = {GapPolicy::kNone, GapPolicy::kWithHalf, GapPolicy::kAll};
  int turn = size > 0 ? data[0] : 0;
  // As a run does: detection, then the load that reads on from the bytes it looked at; without
  // --in-format and with --in-format=auto, which tries every row of the table.
  for (const std::optional<InputFormat> in_format :
       {std::optional<InputFormat>(), std::optional(InputFormat::kNone)}) {
    answer([&] {
      Detection found = checkfiletype("in", in_format);
      if (!found.opened || found.paths_file) return;
      const Alignment aln = load(std::move(*found.first_alignment), found.format.format);
      select(aln, found.format.type == SeqType::kUnknown ? SeqType::kProtein : found.format.type,
             gaps[turn % 3]);
    });
  }
  answer([] { read_paths("in", 1000); });
  for (const InputFormatRow* row : input_formats()) {
    answer([&] {
      Alignment aln = load("in", row->format);
      // Codons keep their frame, as a run on codons does.
      if (types[turn % 3] == SeqType::kCodons) keep_codon_frame(aln);
      select(aln, types[turn % 3], gaps[(turn / 3) % 3]);
      ++turn;
    });
    answer([&] { read_names("in", row->format); });
  }
  // Compressed, the same text must read the same (text that itself begins like gzip data would
  // be decompressed once more from "in" alone).
  if (!GzipSource::sniff(text)) {
    const std::size_t piece = size > 1 ? data[1] * 7 + 1 : 0;
    write("in.gz", testing::gzip(text, piece, size > 2 && data[2] % 2 == 1));
    for (const std::optional<InputFormat> in_format :
         {std::optional<InputFormat>(), std::optional(InputFormat::kNone)}) {
      const std::string plain = outcome("in", in_format);
      const std::string compressed = outcome("in.gz", in_format);
      if (plain != compressed) {
        std::fprintf(stderr, "fuzz check failed: gzip gives\n%s\ninstead of\n%s\n",
                     compressed.c_str(), plain.c_str());
        std::abort();
      }
    }
  }
  // Bytes that begin like gzip data, as they are (slashes and all: no path is followed here).
  std::string raw(reinterpret_cast<const char*>(data), size);
  if (GzipSource::sniff(raw)) {
    write("raw", raw);
    answer([&] {
      const Alignment aln = load("raw", InputFormat::kFasta);
      select(aln, types[turn % 3], gaps[turn % 3]);
    });
    answer([] { read_names("raw", InputFormat::kPir); });
  }
  fuzz::check_scratch({"in", "in.gz", "raw"}, true);
  return 0;
}
