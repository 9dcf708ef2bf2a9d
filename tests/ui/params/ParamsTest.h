// Fixture of the parameter-dialog tests: a session at its defaults, and the
// dialogs of a command driven through the scripted seam in the order they open.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

#include "geodesy/Constants.h"
#include "res/resource.h"
#include "session/ConversionSession.h"
#include "tests/ui/support/DialogDriver.h"
#include "tests/ui/support/UiTest.h"
#include "ui/framework/PropertyPage.h"
#include "ui/framework/Wnd.h"

inline constexpr double kArcSecond = kDegToRad / 3600.0;

class ParamsTest : public UiTest {
protected:
    // The next modal dialog or sheet; `act` runs once it is on the screen.
    std::shared_ptr<const ModalRun> Next(std::function<void(CWnd&)> act) {
        return Prompts().ArmModal(std::move(act));
    }
    // The next dialog is checked for its caption and ended with OK or Cancel.
    std::shared_ptr<const ModalRun> NextAnswer(const std::string& caption, int button) {
        return Next([caption, button](CWnd& w) {
            EXPECT_EQ(w.GetWindowText(), caption);
            Click(w, button);
        });
    }

    ConversionSession s;
};
