#include <gtest/gtest.h>

#include "plugin/qvmtsfrs.h"

TEST(PlugIn, MarksItselfAsPlugIn) { EXPECT_EQ(PlugInQuarvel() & 0xFF, 1); }
