// Base fixture of tests that open windows: makes the Qt application (on the
// offscreen platform unless QT_QPA_PLATFORM says otherwise), sets it up as
// the program does, and installs ScriptedPrompts for the test. At the end
// every queued answer and armed callback must have been used.
#pragma once

#include <gtest/gtest.h>

#include "tests/ui/support/ScriptedPrompts.h"

class UiTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    ScriptedPrompts& Prompts() { return m_prompts; }

    // Makes the Qt application once per process.
    static void EnsureApplication();

private:
    ScriptedPrompts m_prompts;
    CUiSeam* m_previous = nullptr;
};
