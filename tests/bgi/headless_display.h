// Windows of the BGI tests open on an invisible display of a fixed size
// (natively); the Windows build uses the real display Wine gives it.
#pragma once

#include <gtest/gtest.h>

#ifndef _WIN32
#include "platform_testing.h"

namespace {

struct HeadlessDisplay : ::testing::Environment {
    void SetUp() override { win32::testing::use_headless_display(1280, 800); }
};
const auto *const headless_display = ::testing::AddGlobalTestEnvironment(new HeadlessDisplay);

} // namespace
#endif
