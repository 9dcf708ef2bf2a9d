// Sets (or, with nullptr, unsets) an environment variable for one scope and
// puts the old value back afterwards. Values are UTF-8.
#pragma once

#include <optional>
#include <string>

#include "platform/Platform.h"
#include "tests/support/TestPlatform.h"

class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value)
        : m_name(name), m_old(Platform::EnvironmentVariable(name)) {
        TestPlatform::SetEnvironment(m_name, value);
    }
    ScopedEnv(const char* name, const std::string& value) : ScopedEnv(name, value.c_str()) {}
    ~ScopedEnv() { TestPlatform::SetEnvironment(m_name, m_old ? m_old->c_str() : nullptr); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    std::string m_name;
    std::optional<std::string> m_old;
};
