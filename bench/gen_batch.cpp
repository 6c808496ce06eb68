// Generates a phylogenomic batch for benchmarks: many gene alignments over one set of taxa,
// each gene lacking a few taxa and listing the others in an order of its own, with names in
// the form orthology pipelines write ("TAXON@gene-row").
//
//   gen_batch --dir DIR --genes G --taxa T --length L [--missing PERCENT] [--seed S]
//
// Writes DIR/gNNNNN.fas for every gene and DIR/genes.txt listing them (relative to DIR's
// parent, where the batch is run). Each gene alternates conserved and variable stretches, with
// a few gaps, so that blocks are found. The same arguments always give the same files.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

struct Options {
  std::string dir;
  int genes = 10000;
  int taxa = 100;
  int length = 300;
  int missing = 5;  // percent of the taxa each gene lacks, on average
  unsigned seed = 1;
};

Options parse(int argc, char** argv) {
  Options o;
  if (argc % 2 == 0) throw std::invalid_argument("every option takes a value");
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string_view key = argv[i];
    const std::string value = argv[i + 1];
    if (key == "--dir") {
      o.dir = value;
    } else if (key == "--genes") {
      o.genes = std::stoi(value);
    } else if (key == "--taxa") {
      o.taxa = std::stoi(value);
    } else if (key == "--length") {
      o.length = std::stoi(value);
    } else if (key == "--missing") {
      o.missing = std::stoi(value);
    } else if (key == "--seed") {
      o.seed = static_cast<unsigned>(std::stoul(value));
    } else {
      throw std::invalid_argument("unknown argument " + std::string(key));
    }
  }
  if (o.dir.empty() || o.genes < 1 || o.taxa < 4 || o.length < 10) {
    throw std::invalid_argument("need --dir, 1 gene, 4 taxa and 10 positions");
  }
  return o;
}

void write(const std::string& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (f == nullptr || std::fwrite(text.data(), 1, text.size(), f) != text.size() ||
      std::fclose(f) != 0) {
    throw std::runtime_error("cannot write " + path);
  }
}

}  // namespace

int main(int argc, char** argv) try {
  const Options o = parse(argc, argv);
  std::filesystem::create_directories(o.dir);
  std::mt19937 rng(o.seed);
  constexpr std::string_view kResidues = "ACDEFGHIKLMNPQRSTVWY";
  const auto residue = [&] { return kResidues[rng() % kResidues.size()]; };
  std::vector<std::string> taxa;
  for (int t = 0; t < o.taxa; ++t) taxa.push_back("taxon_" + std::to_string(t + 1));

  const std::string folder = std::filesystem::path(o.dir).filename().string();
  std::string list;
  std::string text;
  for (int g = 0; g < o.genes; ++g) {
    // Stretches of 20 to 80 positions, conserved (2 % changed) and variable (40 % changed,
    // some gaps) in turn.
    std::vector<int> change(static_cast<std::size_t>(o.length));
    bool conserved = rng() % 2 == 0;
    for (std::size_t p = 0; p < change.size();) {
      const std::size_t end = std::min(change.size(), p + 20 + rng() % 61);
      for (; p < end; ++p) change[p] = conserved ? 2 : 40;
      conserved = !conserved;
    }
    std::string root(static_cast<std::size_t>(o.length), ' ');
    for (char& c : root) c = residue();

    std::vector<int> order(taxa.size());
    for (std::size_t t = 0; t < order.size(); ++t) order[t] = static_cast<int>(t);
    std::shuffle(order.begin(), order.end(), rng);
    text.clear();
    int row = 0;
    for (const int t : order) {
      if (static_cast<int>(rng() % 100) < o.missing) continue;
      std::string seq = root;
      for (std::size_t p = 0; p < seq.size(); ++p) {
        const int r = static_cast<int>(rng() % 1000);
        if (r < change[p] * 10) seq[p] = residue();
        if (change[p] > 2 && r < 8) seq[p] = '-';
      }
      text += ">" + taxa[static_cast<std::size_t>(t)] + "@g" + std::to_string(g + 1) + "-" +
              std::to_string(++row) + "\n";
      for (std::size_t p = 0; p < seq.size(); p += 60) text += seq.substr(p, 60) + "\n";
    }
    char name[32];
    std::snprintf(name, sizeof name, "g%05d.fas", g + 1);
    write(o.dir + "/" + name, text);
    list += folder + "/" + name + "\n";
  }
  write(o.dir + "/genes.txt", list);
  return 0;
} catch (const std::exception& e) {
  std::fprintf(stderr, "gen_batch: %s\n", e.what());
  return 2;
}
