#include "batch/concat.h"

#include <cstring>

#include "core/fatal.h"

namespace selvane {

Concatenation::Concatenation(std::string_view buffer) : buffer_(buffer) {}

Rows& Concatenation::add_piece(std::int32_t numseq, std::int32_t width) {
  allocating(buffer_, [&] { pieces_.emplace_back(numseq, width); });
  length_ += width;
  return pieces_.back();
}

void Concatenation::append_blocks(const Alignment& aln, const Blocks& blocks) {
  Rows& piece = add_piece(aln.numseq, blocks.nupo3());
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    char* to = piece.row(n) + 1;
    for (const Span& block : blocks.newpos) {
      if (block.empty()) continue;  // a codon block left without a whole codon
      const auto width = static_cast<std::size_t>(block.length());
      std::memcpy(to, aln.let.row(n) + block.first, width);
      to += width;
    }
  }
}

void Concatenation::append_alignment(const Alignment& aln) {
  Rows& piece = add_piece(aln.numseq, aln.nupo);
  for (std::int32_t n = 1; n <= aln.numseq; ++n) {
    std::memcpy(piece.row(n) + 1, aln.let.row(n) + 1, static_cast<std::size_t>(aln.nupo));
  }
}

void Concatenation::append_rows(const Rows& newlet) {
  Rows& piece = add_piece(newlet.numseq(), newlet.width());
  for (std::int32_t n = 1; n <= newlet.numseq(); ++n) {
    std::memcpy(piece.row(n) + 1, newlet.row(n) + 1, static_cast<std::size_t>(newlet.width()));
  }
}

std::vector<PartitionGene> Concatenation::genes(const std::vector<std::string>& files) const {
  std::vector<PartitionGene> genes;
  for (std::size_t a = 0; a < pieces_.size() && a < files.size(); ++a) {
    genes.push_back({files[a], pieces_[a].width()});
  }
  return genes;
}

void Concatenation::save(const std::string& path, const OutputSwitches& outputs,
                         const EntryFormat& format, std::span<const std::string> names,
                         const RowIndex* rows_of) const {
  AlignmentContent content{static_cast<std::int32_t>(names.size()) - 1, names, {}, rows_of};
  for (const Rows& piece : pieces_) content.ranges.push_back({&piece, 1, piece.width()});
  write_alignment(path, outputs, format, content);
}

}  // namespace selvane
