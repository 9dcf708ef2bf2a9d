// Failure of an archive: reading past the end of its file, or using it in the
// wrong direction.
#pragma once

#include <string>

#include "io/Exception.h"

class CArchiveException : public CException {
public:
    enum Cause {
        none,
        genericException,
        readOnly,   // writing to a loading archive
        endOfFile,  // reading past the end
        writeOnly,  // reading from a storing archive
        badSchema,  // content of a layout this reader does not know or cannot accept
    };

    CArchiveException() = default;
    CArchiveException(Cause cause, std::string fileName);

    Cause m_cause = none;
    std::string m_strFileName;
};
