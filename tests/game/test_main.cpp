// Every game test runs on the headless backend.
#include <gtest/gtest.h>

#include "test_support.h"

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
