#include "enumeration/GPUFactory.h"

#include "FakeGPU.h"
#include "FakeGPUFactory.h"

#include <gtest/gtest.h>

#include <boost/make_shared.hpp>

#include <stdexcept>

using testsupport::FakeGPU;
using testsupport::FakeGPUFactory;

TEST(GPUFactory, NonEmptyListIsBuiltOnceButAnEmptyOrFailedOneIsTriedAgain)
{
    struct FlakyFactory : FakeGPUFactory {
        bool fail = true;
        GPUList CreateGPUs() override
        {
            if (fail) {
                throw std::runtime_error("pSvc->ExecQuery");
            }
            return FakeGPUFactory::CreateGPUs();
        }
    } factory;
    EXPECT_THROW(GPUFactory::Instance().GetGPUs(), std::runtime_error);
    factory.fail = false;
    EXPECT_TRUE(GPUFactory::Instance().GetGPUs().empty());
    EXPECT_TRUE(GPUFactory::Instance().GetGPUs().empty());
    EXPECT_EQ(2, factory.creations());

    const boost::shared_ptr<GPU> gpu = boost::make_shared<FakeGPU>();
    factory.setGPUs({gpu});
    GPUList one = GPUFactory::Instance().GetGPUs();
    EXPECT_EQ(one, GPUFactory::Instance().GetGPUs());
    EXPECT_EQ(3, factory.creations());
    ASSERT_EQ(1u, one.size());
    EXPECT_EQ(gpu, one[0]);
    // The factory's own copy keeps the GPUs alive when the callers drop theirs.
    one.clear();
    factory.setGPUs({});
    EXPECT_GE(gpu.use_count(), 2);
}
