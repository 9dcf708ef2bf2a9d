#include "ui/framework/Fatal.h"

#include <QtGlobal>

void AfxFatal(const std::string& what) { qFatal("%s", what.c_str()); }
