#include "ProgressMeter.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

using SevenZCore::CProgressMeter;

namespace {

typedef std::vector<std::pair<unsigned long long, unsigned long long>> Calls;

UnzipProgress Recorder(Calls* calls)
{
    return [calls](unsigned long long done, unsigned long long total) { calls->emplace_back(done, total); };
}

} // namespace

TEST(ProgressMeter, NothingToUnpackReportsZeroOfZeroOnce)
{
    Calls calls;
    UnzipProgress callback = Recorder(&calls);
    CProgressMeter meter(callback, 0);
    meter.Start();
    meter.Advance(0);
    meter.Finish();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(std::make_pair(0ULL, 0ULL), calls[0]);
}

TEST(ProgressMeter, HugePayloadIsReportedAtMostTwoHundredAndOneTimes)
{
    Calls calls;
    UnzipProgress callback = Recorder(&calls);
    const unsigned long long total = 5000000000000ULL;  // ~5 TB: done * 200 would not overflow, but steps are many
    CProgressMeter meter(callback, total);
    meter.Start();
    for (int i = 0; i < 100000; ++i) meter.Advance(total / 100000);
    meter.Finish();
    EXPECT_LE(calls.size(), 201u);
    EXPECT_GE(calls.size(), 150u);
    unsigned equal = 0;
    for (size_t i = 0; i < calls.size(); ++i) {
        EXPECT_EQ(total, calls[i].second);
        if (i > 0) {
            EXPECT_GE(calls[i].first, calls[i - 1].first);
        }
        if (calls[i].first == total) ++equal;
    }
    EXPECT_EQ(1u, equal);
    EXPECT_EQ(total, calls.back().first);
}

TEST(ProgressMeter, ReachingTheTotalEarlyWaitsForFinish)
{
    Calls calls;
    UnzipProgress callback = Recorder(&calls);
    CProgressMeter meter(callback, 10);
    meter.Start();
    meter.Advance(4);
    meter.Advance(6);   // all bytes written, but the run is not over yet
    meter.Advance(50);  // more data than the header promised
    ASSERT_FALSE(calls.empty());
    for (const auto& call : calls) EXPECT_LT(call.first, 10u);
    meter.Finish();
    EXPECT_EQ(std::make_pair(10ULL, 10ULL), calls.back());
}

TEST(ProgressMeter, SmallTotalsStillAdvance)
{
    Calls calls;
    UnzipProgress callback = Recorder(&calls);
    CProgressMeter meter(callback, 3);
    meter.Start();
    meter.Advance(1);
    meter.Advance(1);
    meter.Finish();
    Calls expected = {{0, 3}, {1, 3}, {2, 3}, {3, 3}};
    EXPECT_EQ(expected, calls);
}

TEST(ProgressMeter, EmptyCallbackIsAllowed)
{
    UnzipProgress none;
    CProgressMeter meter(none, 100);
    meter.Start();
    meter.Advance(100);
    meter.Finish();
    EXPECT_EQ(100u, meter.Done());
}
