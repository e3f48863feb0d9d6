#include <gtest/gtest.h>
#include "build_config.h"
#include <string>
TEST(BuildConfig, TestUrlLivesUnderUpdateServer) {
    std::string base = SULVANTIX_UPDATE_BASE_URL;
    std::string test = SULVANTIX_TEST_URL;
    EXPECT_EQ(test.substr(test.size() - 9), "/test.txt");
    EXPECT_NE(base.back(), '/');
}
