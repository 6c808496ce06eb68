// The rules of the settings, which the command line and the menus share.
#include "core/setting_rules.h"

#include <gtest/gtest.h>

namespace selvane {
namespace {

// With 10 sequences: b1 may be 6..8 (b2 is 8), b2 may be 6..10.
TEST(SettingRules, SequenceCountsBoundEachOther) {
  BlockParams params;
  apply_sequence_count_defaults(params, 10);
  struct Case {
    bool b1;  // the check of b1, else of b2
    std::int32_t v;
    bool too_low, too_high, other_can_move;
  };
  const Case cases[] = {
      {true, 5, true, false, false},    {true, 6, false, false, false},
      {true, 8, false, false, false},   {true, 9, false, true, true},
      {false, 5, true, false, false},   {false, 6, false, false, false},
      {false, 10, false, false, false}, {false, 11, false, true, false},
  };
  for (const Case& c : cases) {
    const RangeVerdict v = c.b1 ? check_negval(c.v, params, 10) : check_flankval(c.v, params, 10);
    EXPECT_EQ(v.too_low, c.too_low) << c.b1 << " " << c.v;
    EXPECT_EQ(v.too_high, c.too_high) << c.b1 << " " << c.v;
    EXPECT_EQ(v.other_can_move, c.other_can_move) << c.b1 << " " << c.v;
  }
  // With b2 at the number of sequences there is no room left to suggest.
  params.flankval = 10;
  EXPECT_FALSE(check_negval(11, params, 10).other_can_move);
  // With b1 above its lowest value, a b2 below it can be had by lowering b1.
  params.negval = 7;
  EXPECT_TRUE(check_flankval(6, params, 10).other_can_move);
}

TEST(SettingRules, LengthsExtensionAndLetters) {
  EXPECT_TRUE(check_block_length(2).accepted());
  EXPECT_TRUE(check_block_length(4, menu_block_minimum(SeqType::kCodons)).too_low);
  EXPECT_TRUE(check_block_length(32001).too_high);
  EXPECT_EQ(menu_block_minimum(SeqType::kDna), 2);
  EXPECT_EQ(check_extension(""), ExtensionVerdict::kEmpty);
  EXPECT_EQ(check_extension("12345"), ExtensionVerdict::kAccepted);
  EXPECT_EQ(check_extension("123456"), ExtensionVerdict::kTooLong);
  // The menus refuse extensions that name outputs like the input, or unreadably.
  for (const std::string_view blank :
       {std::string_view(""), std::string_view(" \t"), std::string_view("\x01\x7f", 2)}) {
    EXPECT_TRUE(extension_is_blank(blank));
  }
  for (const char* shown : {"-sv", " x", "\x01.", "\xe9"}) EXPECT_FALSE(extension_is_blank(shown));
  for (const GapPolicy g : {GapPolicy::kNone, GapPolicy::kWithHalf, GapPolicy::kAll}) {
    EXPECT_EQ(gap_policy_from_letter(gap_policy_letter(g)), g);
  }
  for (const ResultsForm f :
       {ResultsForm::kNone, ResultsForm::kHtml, ResultsForm::kText, ResultsForm::kShort}) {
    EXPECT_EQ(results_form_from_letter(results_form_letter(f)), f);
  }
  EXPECT_EQ(seq_type_from_letter('p'), std::nullopt);
}

}  // namespace
}  // namespace selvane
