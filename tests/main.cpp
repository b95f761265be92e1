// The test programs' entry point: the toolkit is set up once, before the
// first window, and lives until the last test has run.

#include "platform/testing.h"

#include <cstdlib>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        const platform::testing::Session session(argc, argv);
        status = RUN_ALL_TESTS();
    }
    // A program that paused for the browser's input on the way no longer
    // ends when main returns; exit ends it everywhere.
    std::exit(status);
}
