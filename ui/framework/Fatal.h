// A programming error of the program's use of the framework (a control the
// template lacks, a call on a window that does not exist): fatal at once.
#pragma once

#include <string>

// Reports what went wrong, and where, and aborts.
[[noreturn]] void AfxFatal(const std::string& what);
