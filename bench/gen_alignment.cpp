// Generates a large, realistic-looking multiple sequence alignment for benchmarks.
//
// A random root sequence is evolved down a random binary tree: every branch substitutes
// residues at a per-site rate and deletes short runs of residues. The alignment is cut into
// segments that alternate between conserved (slow, never deleted) and variable (fast, with
// deletions), so conservation varies along the alignment and selvane finds blocks in it.
//
//   gen_alignment --type protein|dna --seqs N --length L --format fasta|pir [--seed S]
//
// The alignment goes to standard output. The same arguments always give the same alignment,
// so one alignment can be written in both formats by two runs.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
  bool protein = true;
  int seqs = 100;
  int length = 1000;
  bool pir = false;
  std::uint64_t seed = 1;
};

// Residues with their rough frequencies in real proteins (percent).
constexpr std::string_view kAminoAcids = "ARNDCQEGHILKMFPSTWYV";
constexpr double kAminoFreq[] = {8.3, 5.5, 4.1, 5.5, 1.4, 3.9, 6.8, 7.1, 2.3, 5.9,
                                 9.7, 5.8, 2.4, 3.9, 4.7, 6.6, 5.3, 1.1, 2.9, 6.9};
constexpr std::string_view kBases = "ACGT";
constexpr double kBaseFreq[] = {29, 21, 21, 29};

// Per-site rate classes: the first three for conserved segments, the rest for variable ones.
constexpr double kRates[] = {0.02, 0.05, 0.12, 0.6, 1.2, 2.5};
constexpr int kConservedClasses = 3;
constexpr int kClasses = 6;

// Expected substitutions per site (at rate 1) from the root to a leaf.
constexpr double kTreeDepth = 1.0;
// Deletion events per variable site per unit of branch length, and their mean length.
constexpr double kDeletionRate = 0.02;
constexpr double kMeanDeletion = 4.0;

Options parse(int argc, char** argv) {
  Options o;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view key = argv[i];
    const std::string value = argv[i + 1];
    if (key == "--type") {
      o.protein = value == "protein";
      if (!o.protein && value != "dna") throw std::invalid_argument("--type protein|dna");
    } else if (key == "--seqs") {
      o.seqs = std::stoi(value);
    } else if (key == "--length") {
      o.length = std::stoi(value);
    } else if (key == "--format") {
      o.pir = value == "pir";
      if (!o.pir && value != "fasta") throw std::invalid_argument("--format fasta|pir");
    } else if (key == "--seed") {
      o.seed = std::stoull(value);
    } else {
      throw std::invalid_argument("unknown argument " + std::string(key));
    }
  }
  if (argc % 2 == 0) throw std::invalid_argument("every option takes a value");
  if (o.seqs < 2 || o.length < 2) throw std::invalid_argument("need 2 sequences and 2 positions");
  return o;
}

class Generator {
 public:
  explicit Generator(const Options& o)
      : o_(o),
        rng_(o.seed),
        residues_(o.protein ? kAminoAcids : kBases),
        background_(
            o.protein
                ? std::discrete_distribution<int>(std::begin(kAminoFreq), std::end(kAminoFreq))
                : std::discrete_distribution<int>(std::begin(kBaseFreq), std::end(kBaseFreq))) {
    lay_out_segments();
    // A random split of k leaves into 1..k-1 and the rest gives leaves about 2 ln N
    // branches below the root.
    mean_branch_ = kTreeDepth / (2.0 * std::log(static_cast<double>(o.seqs)) + 1.0);
    out_.reserve(1 << 22);
  }

  void run() {
    std::string root(static_cast<std::size_t>(o_.length), ' ');
    for (char& c : root) c = residue();
    descend(root, o_.seqs);
    flush();
  }

 private:
  void lay_out_segments() {
    site_class_.resize(static_cast<std::size_t>(o_.length));
    variable_.resize(site_class_.size());
    bool conserved = std::bernoulli_distribution(0.5)(rng_);
    std::size_t start = 0;
    while (start < site_class_.size()) {
      const int len = conserved ? std::uniform_int_distribution<int>(15, 120)(rng_)
                                : std::uniform_int_distribution<int>(10, 200)(rng_);
      const std::size_t end = std::min(site_class_.size(), start + static_cast<std::size_t>(len));
      std::uniform_int_distribution<int> pick =
          conserved ? std::uniform_int_distribution<int>(0, kConservedClasses - 1)
                    : std::uniform_int_distribution<int>(kConservedClasses, kClasses - 1);
      for (std::size_t i = start; i < end; ++i) {
        site_class_[i] = static_cast<std::uint8_t>(pick(rng_));
        variable_[i] = !conserved;
        if (!conserved) variable_sites_.push_back(i);
      }
      start = end;
      conserved = !conserved;
    }
  }

  char residue() { return residues_[static_cast<std::size_t>(background_(rng_))]; }

  // Evolves `parent` along one branch.
  std::string evolve(const std::string& parent) {
    const double branch = std::exponential_distribution<double>(1.0 / mean_branch_)(rng_);
    double change[kClasses];
    for (int k = 0; k < kClasses; ++k) change[k] = 1.0 - std::exp(-branch * kRates[k]);
    std::string child = parent;
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (std::size_t i = 0; i < child.size(); ++i) {
      if (child[i] != '-' && unit(rng_) < change[site_class_[i]]) child[i] = residue();
    }
    if (!variable_sites_.empty()) {
      const double expected = branch * kDeletionRate * static_cast<double>(variable_sites_.size());
      const int events = std::poisson_distribution<int>(expected)(rng_);
      std::uniform_int_distribution<std::size_t> where(0, variable_sites_.size() - 1);
      std::geometric_distribution<int> extra(1.0 / kMeanDeletion);
      for (int e = 0; e < events; ++e) {
        // A deletion stays inside its variable segment: conserved segments keep no gaps.
        std::size_t i = variable_sites_[where(rng_)];
        for (int n = 1 + extra(rng_); n > 0 && i < child.size() && variable_[i]; --n, ++i) {
          child[i] = '-';
        }
      }
    }
    return child;
  }

  void descend(const std::string& seq, int leaves) {
    if (leaves == 1) {
      emit(seq);
      return;
    }
    const int left = std::uniform_int_distribution<int>(1, leaves - 1)(rng_);
    descend(evolve(seq), left);
    descend(evolve(seq), leaves - left);
  }

  void emit(const std::string& seq) {
    char name[32];
    std::snprintf(name, sizeof name, "taxon%06d", ++emitted_);
    if (o_.pir) {
      out_ += o_.protein ? ">P1;" : ">DL;";
      out_ += name;
      out_ += "\nsynthetic sequence\n";
    } else {
      out_ += '>';
      out_ += name;
      out_ += '\n';
    }
    for (std::size_t i = 0; i < seq.size(); i += 60) {
      out_.append(seq, i, 60);
      out_ += '\n';
    }
    if (o_.pir) out_ += "*\n";
    if (out_.size() > (1u << 22)) flush();
  }

  void flush() {
    std::fwrite(out_.data(), 1, out_.size(), stdout);
    out_.clear();
  }

  Options o_;
  std::mt19937_64 rng_;
  std::string_view residues_;
  std::discrete_distribution<int> background_;
  std::vector<std::uint8_t> site_class_;
  std::vector<bool> variable_;
  std::vector<std::size_t> variable_sites_;
  double mean_branch_ = 0.1;
  int emitted_ = 0;
  std::string out_;
};

}  // namespace

int main(int argc, char** argv) {
  try {
    Generator(parse(argc, argv)).run();
  } catch (const std::exception& e) {
    std::fprintf(stderr,
                 "gen_alignment: %s\nusage: gen_alignment --type protein|dna --seqs N "
                 "--length L --format fasta|pir [--seed S]\n",
                 e.what());
    return 2;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
