// The format store "Par.txt": the table of file formats, kept as GB18030
// text with CR LF line ends (where it lies: session/AppPaths.h).
//
// Layout: the count line "文件类型数:%d", then four lines per format: name,
// extension, separator, item line.
#pragma once

#include <string>
#include <vector>

#include "batch/FileFormat.h"

// Reads the store from its GB18030 bytes. The count is read from line 1
// after its first 11 bytes, as atoi reads it (no digits give 0, a negative
// count is 0). Lines end with LF or CR LF; a line missing at the end of the
// file reads as "", but a format none of whose lines is in the file is not
// made.
std::vector<FileFormat> ParseFormatStore(const std::string& bytes);

// The GB18030 bytes of the store for `formats`. The texts hold no line ends.
std::string FormatStoreBytes(const std::vector<FileFormat>& formats);

enum class StoreStatus { Loaded, Missing, Failed };

// Reads the store at `path` into `formats`. A file that does not exist gives
// Missing and an empty table; a file that cannot be read gives Failed with
// the user's message in `error` (and the system's error number in
// `osError`) and leaves `formats` as it was.
StoreStatus LoadFormatStore(const std::string& path, std::vector<FileFormat>* formats,
                            std::string* error, int* osError = nullptr);

// Writes the whole table to `path` through a temporary file renamed over the
// old store, so a failed write keeps the old store. Returns false with the
// user's message in `error`.
bool SaveFormatStore(const std::string& path, const std::vector<FileFormat>& formats,
                     std::string* error);
