// Failure of an operation on a file: open, read, write, flush, close.
#pragma once

#include <string>

#include "io/Exception.h"

class CFileException : public CException {
public:
    enum Cause {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        isDirectory,
        hardIO,
        diskFull,
        fileTooLarge,
    };

    CFileException() = default;
    CFileException(Cause cause, std::string fileName, int osError = 0);

    // The cause of an errno value; `creating` maps ENOENT to badPath, since a
    // missing file cannot be the reason when the file is being created.
    static Cause CauseFromErrno(int err, bool creating = false);
    [[noreturn]] static void ThrowOsError(int err, const std::string& fileName,
                                          bool creating = false);

    Cause m_cause = none;
    std::string m_strFileName;
    int m_lOsError = 0;
};
