// Order and prefix tests of list entries (sorted lists, string search):
// byte order with ASCII letters compared without case.
#pragma once

#include <string>

int CompareListText(const std::string& a, const std::string& b);
bool ListTextStartsWith(const std::string& text, const std::string& prefix);
