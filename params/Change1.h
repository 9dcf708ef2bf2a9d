// CChange1: the page of the level 2 (二级) local transform, template 178.
#pragma once

#include "params/LocalTransformPage.h"

class CChange1 : public CLocalTransformPage {
public:
    CChange1() : CLocalTransformPage(178) {}
};
