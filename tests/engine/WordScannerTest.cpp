#include "NcMirror.h"
#include <gtest/gtest.h>
TEST(Tmp, X) { EXPECT_EQ(1, 1); }
