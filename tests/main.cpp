// The test programs' entry point: the toolkit is set up once, before the
// first window, and lives until the last test has run.

#include "platform/testing.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const platform::testing::Session session(argc, argv);
    return RUN_ALL_TESTS();
}
