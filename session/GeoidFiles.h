// Finding and reading geoid grid files (GeoidGrid) for the window and the
// command line.
//
// EGM96: "egm96_15.gtx" beside the executable (a portable copy, the Windows
// package), else in PROJ's data folder ($PROJ_DATA, then /usr/share/proj,
// where Debian's proj-data puts it).
#pragma once

#include <memory>
#include <string>

#include "geodesy/GeoidGrid.h"

// The name a height model stores for the EGM96 grid; any other name is a path.
inline constexpr const char kEgm96Name[] = "egm96";

// The EGM96 file for an executable in `appDir` (ending with "/"); "" when
// none of the places holds it.
std::string FindEgm96(const std::string& appDir);

// Reads a grid file. False with a message naming the file.
bool LoadGeoidFile(const std::string& path, GeoidGrid* grid, std::string* error);

// A grid by the name a height model stores: kEgm96Name (searched as
// FindEgm96 does) or a path. Null with the message in *error.
std::shared_ptr<const GeoidGrid> OpenGeoid(const std::string& name, const std::string& appDir,
                                           std::string* error);
