// Dialog templates of the framework's tests (IDs 9000 and up), loaded into
// the process-wide resources once.
#pragma once

#include "tests/ui/support/UiTest.h"

enum TestTemplateId {
    kControlsDialog = 9001,   // one control of each kind, two radio groups
    kExchangeDialog = 9002,   // edits, radios, check box, combo, list for data exchange
    kDefButtonDialog = 9003,  // a DEFPUSHBUTTON that is not IDOK
    kResizableDialog = 9004,  // WS_THICKFRAME, no system menu
    kListViewDialog = 9005,   // an editable single-selection list view, a plain one, an edit
    kPageOne = 9010,          // property pages
    kPageTwo = 9011,
    kTestMenu = 9100,
};

void LoadTestTemplates();

// UiTest with the templates above.
class FrameworkTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        LoadTestTemplates();
    }
};
