// The pace of a long loop's side work.
#include "util/Pacer.h"

#include <gtest/gtest.h>

namespace yar {
namespace {

TEST(Pacer, DueOnceEachIntervalAndAtOnceAtTheStart) {
    TPacer pacer(50);
    EXPECT_TRUE(pacer.Due(1000)); // the first block serves the windows at once
    EXPECT_FALSE(pacer.Due(1000));
    EXPECT_FALSE(pacer.Due(1049));
    EXPECT_TRUE(pacer.Due(1050));
    // The interval counts from the last time it was due, not from a fixed grid.
    EXPECT_FALSE(pacer.Due(1099));
    EXPECT_TRUE(pacer.Due(1170));
    EXPECT_FALSE(pacer.Due(1219));
    EXPECT_TRUE(pacer.Due(1220));
}

TEST(Pacer, AClockStartingAtZeroIsDueAtOnce) {
    // A machine just started: the first call must not wait for the clock to pass the interval.
    TPacer pacer(50);
    EXPECT_TRUE(pacer.Due(0));
    EXPECT_FALSE(pacer.Due(10));
    EXPECT_TRUE(pacer.Due(60));
    // Every call is due with no interval.
    TPacer always(0);
    EXPECT_TRUE(always.Due(5));
    EXPECT_TRUE(always.Due(5));
}

} // namespace
} // namespace yar
