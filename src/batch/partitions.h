// The partition file of a concatenation: where each alignment's positions lie in it, one line
// per gene ("MODEL, NAME = FIRST-LAST"), in the form both common maximum-likelihood tree
// builders read.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/run_state.h"

namespace selvane {

// One alignment of the batch, in concatenation order: its file name (without directory) and
// the number of positions it adds to this concatenation.
struct PartitionGene {
  std::string file;
  std::int64_t width = 0;
};

// Partition names for the files, in order: each reduced to letters, digits, '_', '-' and '.'
// (any other character becomes one '_'), then made unique by a suffix _2, _3, ... Every file
// gets a name, contributing or not, so one alignment keeps one name in the partition files of
// all concatenations of a batch.
std::vector<std::string> partition_names(const std::vector<std::string>& files);

// The whole file text. DNA and codons get GTR+G, proteins LG+G. Codons get three lines per gene,
// NAME_codon1..3, with the ranges FIRST-LAST\3, FIRST+1-LAST\3 and FIRST+2-LAST\3 counted from the
// gene's first position; a gene shorter than three positions gets only the lines of the positions
// it has. Genes of width 0 get no line; the ranges of the others follow one another from
// position 1.
std::string partition_text(const std::vector<PartitionGene>& genes, SeqType seq_type);

// Creates the partition file `path` (an output file like the others) and writes the text.
void save_partitions(const std::string& path, const OutputSwitches& outputs,
                     const std::vector<PartitionGene>& genes, SeqType seq_type);

}  // namespace selvane
