#include "archive/Streams.h"

#include <gtest/gtest.h>

TEST(StreamErrors, CarryTheRuntimeMessages) {
    EXPECT_STREQ(yar::EReadError().what(), "Stream read error");
    EXPECT_STREQ(yar::EFOpenError("a.bin", "No such file").what(), "Cannot open file \"a.bin\". No such file");
}
