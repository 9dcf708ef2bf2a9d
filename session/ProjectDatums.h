// Section "ELL1" of the project file's extension: the user's datums that the
// project refers to, so that it opens on a machine whose list lacks them.
//
// Written only when one of the file's datum values (saved source and target
// datum, items 25 and 26; the computing dialogs' datums, items 43 and 44)
// is a datum of the user's list. Content, in the archive's encoding:
//   int32  number of datums, 1..64
//   per datum: int32 its index in the file's values (5 and up),
//              text name, double a (m), double 1/f
// Indices and names (ignoring ASCII case) are each used once; every datum
// is one that 添加 accepts. Anything else is a damaged extension.
//
// On loading, each datum that a file value refers to is looked up (others
// are skipped): one of the local list with the same name and the same
// constants keeps the project's meaning under its local index; one the list
// lacks is added to the list at its end; one whose name the list holds with
// other constants is added as "NAME (2)" (or the first free number, or the
// first "NAME (n)" holding these constants). The file's datum values are
// then mapped to those indices; a value no entry describes is kept as it is.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "session/ProjectExtension.h"
#include "session/UserDatums.h"

class CArchive;

inline constexpr char kUserDatumTag[] = "ELL1";

// The file's index of each datum, with the datum.
using ProjectDatums = std::vector<std::pair<int, UserDatum>>;

// The section for the file's datum values `values` (items 25, 26, 43, 44);
// none when they refer to no user datum.
std::optional<ProjectSection> UserDatumSection(const std::vector<int>& values);
// Reads a section's content; a damaged one throws as ThrowDamagedExtension.
ProjectDatums ReadUserDatumSection(const CArchive& ar, const std::string& bytes);
// Adds to UserDatums() what the file's datum values refer to and it lacks,
// and maps those values.
void ResolveProjectDatums(const std::vector<int*>& values, const ProjectDatums& datums);
