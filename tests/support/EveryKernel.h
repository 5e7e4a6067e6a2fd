#pragma once
// Runs a check with every kernel variant of every instruction set the
// kernel was built for and this processor runs, that instruction set forced.

#include "render/FastKernel.h"

#include <gtest/gtest.h>
#include <hwy/targets.h>

#include <functional>
#include <string>

namespace quorrel::test {

// Returns the pairs checked ("i64x8/AVX3 f64x4/AVX2 ..."); the test fails
// when there are none.
inline std::string ForEachKernel(const std::function<void(render::KernelVariant)>& check)
{
    std::string checked;
    for (int64_t target : render::KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        for (render::KernelVariant variant : render::AvailableKernelVariants()) {
            const std::string name = std::string(render::KernelVariantName(variant)) + "/" + hwy::TargetName(target);
            SCOPED_TRACE(name);
            check(variant);
            checked += name + " ";
        }
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_FALSE(checked.empty());
    return checked;
}

} // namespace quorrel::test

namespace quorrel::test {

// Runs `check` once with each instruction set the kernels were built for and
// this processor runs, that instruction set forced; returns their names.
// The test fails when there are none.
inline std::string ForEachTarget(const std::function<void()>& check)
{
    std::string checked;
    for (int64_t target : render::KernelTargets()) {
        hwy::SetSupportedTargetsForTest(target);
        SCOPED_TRACE(hwy::TargetName(target));
        check();
        checked += std::string(hwy::TargetName(target)) + " ";
    }
    hwy::SetSupportedTargetsForTest(0);
    EXPECT_FALSE(checked.empty());
    return checked;
}

} // namespace quorrel::test
