// End-to-end cases kept as data: one folder per case under tests/cases (its README gives the
// format), each run as a test of its own; tests/support/expected.cpp runs and checks them.
#include <gtest/gtest.h>

#include <string>

#include "support/expected.h"

namespace selvane {
namespace {

class Cases : public ::testing::TestWithParam<std::string> {};

TEST_P(Cases, Run) {
  testing::check_case(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Folders, Cases, ::testing::ValuesIn(testing::case_names()),
                         [](const ::testing::TestParamInfo<std::string>& case_info) {
                           return case_info.param;
                         });

}  // namespace
}  // namespace selvane
