#include "gpu/GPUFactory.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <stdexcept>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;

TEST(GPUFactory, NonEmptyListIsBuiltOnceAndHandedOutAsCopies)
{
    const boost::shared_ptr<GPU> first = boost::make_shared<FakeGPU>();
    const boost::shared_ptr<GPU> second = boost::make_shared<FakeGPU>();
    FakeGPUFactory factory({first, second});

    GPUList one = GPUFactory::Instance().GetGPUs();
    GPUList two = GPUFactory::Instance().GetGPUs();
    EXPECT_EQ(1, factory.creations());
    ASSERT_EQ(2u, one.size());
    EXPECT_EQ(first, one[0]);
    EXPECT_EQ(second, one[1]);
    EXPECT_EQ(one, two);

    // The factory's own copy keeps the GPUs alive when the callers drop theirs.
    const long before = first.use_count();
    one.clear();
    EXPECT_EQ(before - 1, first.use_count());
    EXPECT_GE(first.use_count(), 2);
}

TEST(GPUFactory, EmptyListIsEnumeratedAgainOnEveryCall)
{
    FakeGPUFactory factory;
    EXPECT_TRUE(GPUFactory::Instance().GetGPUs().empty());
    EXPECT_TRUE(GPUFactory::Instance().GetGPUs().empty());
    EXPECT_EQ(2, factory.creations());

    factory.setGPUs({boost::make_shared<FakeGPU>()});
    EXPECT_EQ(1u, GPUFactory::Instance().GetGPUs().size());
    EXPECT_EQ(1u, GPUFactory::Instance().GetGPUs().size());
    EXPECT_EQ(3, factory.creations());
}

TEST(GPUFactory, FailedEnumerationLeavesTheCacheEmpty)
{
    class FlakyFactory : public FakeGPUFactory {
    public:
        bool fail = true;

    protected:
        GPUList CreateGPUs() override
        {
            if (fail) {
                throw std::runtime_error("pSvc->ExecQuery");
            }
            return FakeGPUFactory::CreateGPUs();
        }
    } factory;
    factory.setGPUs({boost::make_shared<FakeGPU>()});

    EXPECT_THROW(GPUFactory::Instance().GetGPUs(), std::runtime_error);
    factory.fail = false;
    EXPECT_EQ(1u, GPUFactory::Instance().GetGPUs().size());
}
