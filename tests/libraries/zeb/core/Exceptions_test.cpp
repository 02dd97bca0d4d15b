#include "zeb/core/exception/InternalException.h"
#include "zeb/core/exception/RuntimeException.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

TEST(ZebExceptions, InternalExceptionIsCaughtAsEveryAncestor)
{
    const auto thrower = [] { throw ZEB::InternalException("source/x", 1265, "Enforce p != NULL"); };
    EXPECT_THROW(thrower(), ZEB::LogicalException);
    EXPECT_THROW(thrower(), ZEB::ExceptionBase);
    EXPECT_THROW(thrower(), std::exception);
}

TEST(ZebExceptions, InternalExceptionTextNamesFileLineAndMessage)
{
    const ZEB::InternalException exception("source/applications/vexilon_gpu/main", 1052,
                                           "Error determining GL version.");
    EXPECT_STREQ("source/applications/vexilon_gpu/main(1052): Error determining GL version.", exception.what());
    EXPECT_EQ("source/applications/vexilon_gpu/main", exception.file());
    EXPECT_EQ(1052, exception.line());
    EXPECT_EQ("Error determining GL version.", exception.message());

    std::ostringstream printed;
    printed << static_cast<const ZEB::ExceptionBase&>(exception);
    EXPECT_EQ(exception.what(), printed.str());
}

TEST(ZebExceptions, RuntimeExceptionIsAFrameworkButNotALogicalException)
{
    try {
        throw ZEB::RuntimeException("wglCreateContext failed");
    } catch (const ZEB::LogicalException&) {
        FAIL() << "a failing system call is no logical error";
    } catch (const ZEB::ExceptionBase& exception) {
        EXPECT_STREQ("wglCreateContext failed", exception.what());
    }
}
