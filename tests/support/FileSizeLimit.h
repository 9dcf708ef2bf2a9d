// Fault injection for tests: while the object lives, writing a regular file
// beyond `bytes` fails with EFBIG. Tests that need it skip, saying so, on a
// system that cannot limit file sizes.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/support/TestPlatform.h"

class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(std::uint64_t bytes) : m_old(TestPlatform::LimitFileSize(bytes)) {}
    ~ScopedFileSizeLimit() { TestPlatform::RestoreFileSize(m_old); }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    TestPlatform::FileSizeLimitState m_old;
};

#define SKIP_UNLESS_FILE_SIZE_CAN_BE_LIMITED()                                    \
    if (!TestPlatform::CanLimitFileSize())                                        \
    GTEST_SKIP() << "this system cannot limit the size of a file, so no failing " \
                    "write can be injected"
