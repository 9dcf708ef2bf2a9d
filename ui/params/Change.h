// CChange: the page of the level 1 (一级) local transform, template
// IDD_LOCAL_LEVEL1.
#pragma once

#include "params/LocalTransformPage.h"
#include "res/resource.h"

class CChange : public CLocalTransformPage {
public:
    CChange() : CLocalTransformPage(IDD_LOCAL_LEVEL1) {}
};
