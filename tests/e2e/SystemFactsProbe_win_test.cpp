// Not a test of its own: the fact printer that FreshSystemFacts::Read runs in
// a child process of this program.
#include "SystemFacts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

TEST(SystemFactsProbe, Print)
{
    if (std::getenv("VEXILON_PRINT_SYSTEM_FACTS") == nullptr) {
        GTEST_SKIP() << "runs only as the fact printer of FreshSystemFacts::Read";
    }
    std::cout << "<facts>\n" << testsupport::FreshSystemFacts::Print() << "</facts>" << std::endl;
}
