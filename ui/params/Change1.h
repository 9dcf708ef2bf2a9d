// CChange1: the page of the level 2 (二级) local transform, template
// IDD_LOCAL_LEVEL2.
#pragma once

#include "res/resource.h"
#include "ui/params/LocalTransformPage.h"

class CChange1 : public CLocalTransformPage {
public:
    CChange1() : CLocalTransformPage(IDD_LOCAL_LEVEL2) {}
};
