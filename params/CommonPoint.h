// CommonPoint: one row of a common-point table, as typed or read from a file.
#pragma once

#include <string>

struct CommonPoint {
    std::string id;         // point name, UTF-8
    std::string source[3];  // the three source values as text: X Y Z, B L H or x y h
    std::string target[3];  // the three target values, the same way
    bool used = true;       // "参与计算": false makes it a check point
    int line = 0;           // line of the file it was read from; 0 when typed
};
