// CChange: the page of the level 1 (一级) local transform, template 133.
#pragma once

#include "params/LocalTransformPage.h"

class CChange : public CLocalTransformPage {
public:
    CChange() : CLocalTransformPage(133) {}
};
