// The main window's command "格式": the file-format dialog over the store
// "Par.txt" (FormatStorePath of session/AppPaths.h, created with its folder on
// the first OK).
#pragma once

class ConversionSession;

namespace FormatCommand {

// Reads the store afresh, runs CFileFormatDlg opened at the session's
// naming choice and format index, and on OK writes the whole table back and
// copies the chosen format, its columns, the naming choice and the index
// into the session. Returns true when OK chose a format.
//
// Returns false and leaves the session as it was on Cancel, when OK found
// the table empty, and when the store cannot be read or written (the user
// is told why). Cancel writes nothing.
bool OnFormat(ConversionSession& s);

}  // namespace FormatCommand
