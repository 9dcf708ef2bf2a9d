// CChange: the page of the level 1 (一级) local transform, template
// IDD_LOCAL_LEVEL1.
#pragma once

#include "res/resource.h"
#include "ui/params/LocalTransformPage.h"

class CChange : public CLocalTransformPage {
public:
    CChange() : CLocalTransformPage(IDD_LOCAL_LEVEL1) {}
};
