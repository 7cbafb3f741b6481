#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "batch/RemainingTime.h"
#include "ui/FitRect.h"

namespace {

TEST(FitRect, KeepsProportionsAndRoundsMarginsHalfToEven) {
  const QRect box(0, 0, 388, 199);
  struct Case {
    QSize picture;
    QRect expected;
  } cases[] = {
      {{400, 300}, QRect(61, 0, 266, 199)},   // x 61..327, full height
      {{800, 300}, QRect(0, 27, 388, 145)},   // wider than the box: full width, margin 26.75
      {{103, 199}, QRect(142, 0, 104, 199)},  // margin 142.5 goes to the even 142
      {{105, 199}, QRect(142, 0, 104, 199)},  // 141.5 goes to 142
      {{388, 199}, box},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FitRect(QRect(QPoint(), c.picture), box), c.expected) << c.picture.width() << "x" << c.picture.height();
  // The box's own position carries over.
  EXPECT_EQ(FitRect(QRect(0, 0, 400, 300), QRect(10, 20, 388, 199)), QRect(71, 20, 266, 199));
  // No area: nothing to fit, and no division by zero.
  EXPECT_EQ(FitRect(QRect(0, 0, 0, 300), box), box);
}

constexpr std::int64_t kSecond = 1'000'000;

// Progress reports as the engine sends them: about every half second, the
// position advancing at `speed` times real time with some jitter.
class Recorder {
 public:
  Recorder(TRemainingTime& estimate, std::int64_t totalUs) : estimate_(estimate), total_(totalUs) {}
  void run(int task, double speed, std::int64_t wallUs) {
    const std::int64_t end = now_ + wallUs;
    for (int i = 0; now_ < end; ++i) {
      const std::int64_t step = kSecond / 2 + (i % 3 - 1) * 80'000;
      now_ += step;
      current_ += std::int64_t(step * speed * (i % 2 ? 1.1 : 0.9));
      estimate_.Add(task, current_, total_, now_);
    }
  }
  void nextTask(std::int64_t totalUs) { current_ = 0, total_ = totalUs; }
  void wait(std::int64_t wallUs) { now_ += wallUs; }
  std::int64_t current() const { return current_; }

 private:
  TRemainingTime& estimate_;
  std::int64_t total_, current_ = 0, now_ = 0;
};

// Within a tenth of the expected value.
void expectNear(std::optional<std::int64_t> value, double expectedUs) {
  ASSERT_TRUE(value.has_value());
  EXPECT_NEAR(double(*value), expectedUs, expectedUs / 10);
}

TEST(RemainingTime, HiddenForThreeSecondsThenTaskAndBatchEstimates) {
  TRemainingTime estimate;
  estimate.Start({60 * kSecond, 30 * kSecond, 90 * kSecond});
  Recorder progress(estimate, 60 * kSecond);
  progress.run(0, 2.0, 2'500'000);
  EXPECT_FALSE(estimate.TaskRemainingUs());
  EXPECT_FALSE(estimate.BatchRemainingUs());

  progress.run(0, 2.0, 3 * kSecond);
  const double left = double(60 * kSecond - progress.current());
  expectNear(estimate.TaskRemainingUs(), left / 2);
  expectNear(estimate.BatchRemainingUs(), (left + 120 * kSecond) / 2);

  // The second task: its own length, and the first no longer counts.
  progress.nextTask(30 * kSecond);
  progress.run(1, 2.0, 5 * kSecond);
  const double leftOfSecond = double(30 * kSecond - progress.current());
  expectNear(estimate.TaskRemainingUs(), leftOfSecond / 2);
  expectNear(estimate.BatchRemainingUs(), (leftOfSecond + 90 * kSecond) / 2);
}

TEST(RemainingTime, FollowsASpeedChangeAndIgnoresAPause) {
  TRemainingTime estimate;
  estimate.Start({600 * kSecond});
  Recorder progress(estimate, 600 * kSecond);
  progress.run(0, 4.0, 10 * kSecond);
  expectNear(estimate.TaskRemainingUs(), double(600 * kSecond - progress.current()) / 4);

  // A paused minute is no conversion time.
  estimate.Interrupt();
  progress.wait(60 * kSecond);
  progress.run(0, 4.0, kSecond);
  expectNear(estimate.TaskRemainingUs(), double(600 * kSecond - progress.current()) / 4);

  // Slower from here on: after a while the estimate follows.
  progress.run(0, 1.0, 25 * kSecond);
  expectNear(estimate.TaskRemainingUs(), double(600 * kSecond - progress.current()));
}

TEST(RemainingTime, UnknownLengthsHideWhatTheyWouldFalsify) {
  TRemainingTime estimate;
  estimate.Start({40 * kSecond, 0, 20 * kSecond});
  Recorder progress(estimate, -1);  // the engine does not know the first task's length
  progress.run(0, 2.0, 5 * kSecond);
  // The probed duration stands in for it.
  expectNear(estimate.TaskRemainingUs(), double(40 * kSecond - progress.current()) / 2);
  // A later task of unknown length: no batch estimate.
  EXPECT_FALSE(estimate.BatchRemainingUs());

  // A new batch forgets the old speed.
  estimate.Start({40 * kSecond});
  EXPECT_FALSE(estimate.TaskRemainingUs());
}

}  // namespace
