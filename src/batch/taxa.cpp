#include "batch/taxa.h"

#include <re2/re2.h>

#include <algorithm>

#include "core/diagnostics.h"

namespace selvane {
namespace {

bool is_blank(char c) {
  return c == ' ' || c == '\t';
}

// The first word of a name: leading blanks skipped, cut at the next blank.
std::string_view first_word(std::string_view name) {
  const auto begin = std::find_if_not(name.begin(), name.end(), is_blank);
  const auto end = std::find_if(begin, name.end(), is_blank);
  return name.substr(static_cast<std::size_t>(begin - name.begin()),
                     static_cast<std::size_t>(end - begin));
}

}  // namespace

TaxonRule TaxonRule::separator(char separator) {
  TaxonRule rule;
  rule.kind_ = Kind::kSeparator;
  rule.separator_ = separator;
  return rule;
}

TaxonRule TaxonRule::regex(const std::string& pattern) {
  TaxonRule rule;
  rule.kind_ = Kind::kRegex;
  RE2::Options options;
  options.set_log_errors(false);  // the caller words the error
  // Names are bytes, whatever their encoding: each byte is one character.
  options.set_encoding(RE2::Options::EncodingLatin1);
  auto compiled = std::make_shared<const RE2>(pattern, options);
  if (!compiled->ok()) {
    throw TaxonError(TaxonError::Kind::kBadPattern, pattern, "", compiled->error());
  }
  rule.regex_ = std::move(compiled);
  return rule;
}

std::string TaxonRule::key(std::string_view name) const {
  std::string_view key;
  switch (kind_) {
    case Kind::kFirstBlank:
      key = first_word(name);
      break;
    case Kind::kSeparator: {
      key = first_word(name);
      key = key.substr(0, key.find(separator_));
      break;
    }
    case Kind::kRegex: {
      // The first group, or the whole match without one.
      const int parts = regex_->NumberOfCapturingGroups() > 0 ? 2 : 1;
      re2::StringPiece match[2];
      if (!regex_->Match(re2::StringPiece(name.data(), name.size()), 0, name.size(),
                         RE2::UNANCHORED, match, parts)) {
        throw TaxonError(TaxonError::Kind::kNoMatch, std::string(name), "",
                         "the taxon pattern does not match the name " + in_quotes(name));
      }
      // A group that took no part in the match gives an empty key, reported below.
      const re2::StringPiece& part = match[parts - 1];
      key = std::string_view(part.data(), part.size());
      break;
    }
  }
  if (key.empty()) {
    throw TaxonError(TaxonError::Kind::kEmptyKey, std::string(name), "",
                     "the name " + in_quotes(name) + " gives an empty taxon");
  }
  return std::string(key);
}

std::size_t JoinPlan::add(const std::vector<std::string>& names) {
  ++calls_;
  const std::size_t taxa_before = keys_.size();
  const std::size_t rows_before = row_taxon_.size();
  try {
    for (std::size_t i = 1; i < names.size(); ++i) {
      const auto s = static_cast<std::int32_t>(i);
      std::string key;
      try {
        key = rule_.key(names[i]);
      } catch (TaxonError& e) {
        e.row = s;
        throw;
      }
      auto [it, inserted] = index_.try_emplace(key, static_cast<std::int32_t>(keys_.size()));
      const auto t = static_cast<std::size_t>(it->second);
      if (inserted) {
        keys_.push_back(std::move(key));
        seen_call_.push_back(0);
        seen_row_.push_back(0);
      } else if (seen_call_[t] == calls_) {
        throw TaxonError(TaxonError::Kind::kDuplicateKey, names[i], key,
                         "two sequences of one alignment belong to the taxon " + in_quotes(key) +
                             " (rows " + std::to_string(seen_row_[t]) + " and " +
                             std::to_string(s) + ")",
                         s, seen_row_[t]);
      }
      seen_call_[t] = calls_;
      seen_row_[t] = s;
      row_taxon_.push_back(static_cast<std::int32_t>(t));
    }
  } catch (...) {
    undo(taxa_before, rows_before);
    throw;
  }
  offsets_.push_back(row_taxon_.size());
  return offsets_.size() - 2;
}

void JoinPlan::undo(std::size_t taxa_before, std::size_t rows_before) {
  for (std::size_t t = taxa_before; t < keys_.size(); ++t) index_.erase(keys_[t]);
  keys_.resize(taxa_before);
  seen_call_.resize(taxa_before);
  seen_row_.resize(taxa_before);
  row_taxon_.resize(rows_before);
}

std::optional<NameMismatch> first_name_mismatch(const std::vector<std::string>& first,
                                                const std::vector<std::string>& later,
                                                const TaxonRule& rule) {
  const auto comparable = [&rule](const std::string& name) {
    try {
      return rule.key(name);
    } catch (const TaxonError&) {
      return name;
    }
  };
  const std::size_t rows = std::min(first.size(), later.size());
  for (std::size_t i = 1; i < rows; ++i) {
    if (first[i] != later[i] && comparable(first[i]) != comparable(later[i])) {
      return NameMismatch{static_cast<std::int32_t>(i), first[i], later[i]};
    }
  }
  return std::nullopt;
}

}  // namespace selvane
