#include "AnswerFile.h"

#include <gtest/gtest.h>

TEST(StrToInt, ReadsPlainNumber)
{
    EXPECT_EQ(StrToInt(" 5"), 5);
}
