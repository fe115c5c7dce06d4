#include "bench/sample_summary.h"

#include <gtest/gtest.h>

#include <vector>

namespace ndek::bench {
namespace {

TEST(SampleSummary, MediansRatiosOfPairsInOrderAndThreeSignificantDigits) {
  const SampleSummary odd = summarize({110, 90, 100});
  EXPECT_EQ(std::vector({odd.median, odd.min, odd.max}), std::vector({100.0, 90.0, 110.0}));
  EXPECT_DOUBLE_EQ(summarize({4, 1, 3, 2}).median, 2.5);  // the mean of the middle two
  EXPECT_THROW(summarize({}), SummaryError);
  // Sorted sides would pair 1 with 1 and 2 with 2 and give 1 throughout.
  const RatioSummary ratio = compare({1, 2, 6}, {2, 1, 2});
  EXPECT_EQ(std::vector({ratio.of_medians, ratio.pair_min, ratio.pair_max}),
            std::vector({1.0, 0.5, 3.0}));
  EXPECT_THROW(compare({1, 2}, {1, 0}), SummaryError);
  EXPECT_EQ(milliseconds_text(1234.4) + milliseconds_text(8.1234) + ratio_text(812.34),
            "1234 ms8.12 ms812");
}

}  // namespace
}  // namespace ndek::bench
