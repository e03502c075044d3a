// The Linux backend's report of a value it was not made for.
#include "platform/linux/unsupported_linux.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(UnsupportedLinux, EachValueIsReportedOnceWithItsCallInHex) {
    testing::internal::CaptureStderr();
    platform::x11::reportUnsupported("BitBlt", "raster operation", 0x00EE0086);
    platform::x11::reportUnsupported("BitBlt", "raster operation", 0x00EE0086);
    platform::x11::reportUnsupported("BitBlt", "raster operation", 0x008800C6);
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "t462: BitBlt: unsupported raster operation 0xee0086\n"
              "t462: BitBlt: unsupported raster operation 0x8800c6\n");
}

}  // namespace
