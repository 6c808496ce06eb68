// The partition file of a concatenation: where each alignment's positions lie in it, one line
// per gene, in the RAxML-NG form ("MODEL, NAME = FIRST-LAST") that both common
// maximum-likelihood tree builders read, or as a NEXUS sets block (IQ-TREE, PAUP*, MrBayes).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
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

// The forms of --partitions=FORM, one row each, in the order --help lists them.
struct PartitionFormRow {
  PartitionForm form;
  std::string_view name;   // as --partitions spells it
  std::string_view about;  // what --help says of it
};
std::span<const PartitionFormRow> partition_forms();

// The whole file text. DNA and codons get GTR+G, proteins LG+G. Codons get three parts per gene,
// NAME_codon1..3, with the ranges FIRST-LAST\3, FIRST+1-LAST\3 and FIRST+2-LAST\3 counted from the
// gene's first position; a gene shorter than three positions gets only the parts of the positions
// it has. Genes of width 0 get no part; the ranges of the others follow one another from
// position 1. kRaxml: a line "MODEL, NAME = RANGE" per part. kNexus: "#nexus", then a sets block
// of a line "charset NAME = RANGE;" per part (the name quoted where NEXUS needs it) and a
// charpartition giving each part its model, the form IQ-TREE reads.
std::string partition_text(const std::vector<PartitionGene>& genes, SeqType seq_type,
                           PartitionForm form);

// Creates the partition file `path` (an output file like the others) and writes the text.
void save_partitions(const std::string& path, const OutputSwitches& outputs,
                     const std::vector<PartitionGene>& genes, SeqType seq_type, PartitionForm form);

}  // namespace selvane
