// The user's own coordinate systems (坐标系参数): named ellipsoids that every
// datum list offers after the five built-in datums, as indices
// kDatumCount, kDatumCount + 1, ...
//
// The list file "datums.txt" lies in the folder of the format store (the
// user's settings folder, or beside the executable in a portable copy). It
// is UTF-8 text:
//   TerraX datums 1
//   # a comment; blank lines are ignored too
//   NAME<TAB>a<TAB>1/f
// one datum a line in list order: a in metres and 1/f as decimal numbers
// (the shortest text that reads back as the same double), the name without
// tabs, line breaks or other control characters. A file that does not read
// (another first line, a line without its three fields, a number that is not
// one, a value or name that 添加 would refuse) is damaged: the list stays
// empty and the file is never written over until the user mends or removes
// it. The file is written as every file of the program is, through a
// temporary file that takes its name when complete.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"

inline constexpr double kMinSemiMajorAxis = 6300000.0;
inline constexpr double kMaxSemiMajorAxis = 6400000.0;
inline constexpr double kMinInverseFlattening = 250.0;
inline constexpr double kMaxInverseFlattening = 350.0;
inline constexpr const char kUserDatumsFileName[] = "datums.txt";
inline constexpr const char kUserDatumsHeader[] = "TerraX datums 1";

struct UserDatum {
    std::string name;  // UTF-8
    double a = 0;      // semi-major axis, metres
    double rf = 0;     // inverse flattening 1/f
    bool operator==(const UserDatum&) const = default;
};

// The field a problem with a typed datum lies in.
enum class DatumField { Name, SemiMajorAxis, InverseFlattening };

struct DatumProblem {
    DatumField field = DatumField::Name;
    std::string message;  // for the user, naming the field
};

// The index 0..4 of a built-in datum named `name`: its list text ("北京-54坐标系"),
// short name ("北京-54") or command-line name ("beijing54", "beijing-54"),
// ignoring blanks around it and ASCII case; -1 for none.
int BuiltInDatumIndex(const std::string& name);

// A number as typed: blanks around it, then a whole decimal number (no
// trailing characters); false for anything else, and for inf and nan.
bool ReadDatumNumber(const std::string& text, double* value);
// The shortest decimal text that reads back as `value`.
std::string DatumNumberText(double value);

class UserDatumList {
public:
    const std::vector<UserDatum>& Datums() const { return m_datums; }
    int Count() const { return static_cast<int>(m_datums.size()); }
    // The datum of list index `index` (kDatumCount + position); null outside.
    const UserDatum* At(int index) const;
    // The list index of the datum named `name` (ignoring blanks around it and
    // ASCII case), -1 for none.
    int IndexOf(const std::string& name) const;

    // What 添加 would refuse in a datum: the first problem, field by field.
    std::optional<DatumProblem> Check(const UserDatum& datum) const;
    // The same on the texts of the three edits; on success *datum holds the
    // trimmed name and the two numbers.
    std::optional<DatumProblem> CheckTexts(const std::string& name, const std::string& aText,
                                           const std::string& rfText, UserDatum* datum) const;
    // Adds at the end when Check finds nothing; returns the new list index, or
    // -1 with the problem in *problem.
    int Add(const UserDatum& datum, DatumProblem* problem = nullptr);
    // Removes the datum of list index `index`; those after it move up by one.
    bool Remove(int index);

    // The file's text, and the list read from one: false with the line and
    // the cause in *error (the list untouched).
    std::string ToText() const;
    bool FromText(const std::string& text, std::string* error);

    bool operator==(const UserDatumList&) const = default;

private:
    std::vector<UserDatum> m_datums;
};

// The list file for an executable in `appDir`: beside its format store.
std::string UserDatumsPath(const std::string& appDir);
std::string UserDatumsPath(const std::string& appDir, const std::string& configFolder);

// The process's list: what LoadUserDatums read, with what the user and the
// project files added since. Changed by the window's main thread only, while
// no conversion runs.
UserDatumList& UserDatums();

// Reads the list file at `path` into UserDatums(): a missing file is an empty
// list. A damaged one empties the list, is remembered as such (SaveUserDatums
// refuses to write over it) and gives false with the message for the user.
// One that cannot be opened (no permission for it or its folder) empties the
// list and is remembered the same way, without a message here.
bool LoadUserDatums(const std::string& path, std::string* error);
// Writes UserDatums() to the file of the last LoadUserDatums, creating its
// folder; false with the message when it was damaged, or when it cannot be written.
bool SaveUserDatums(std::string* error);
// The file of the last LoadUserDatums; empty before the first.
const std::string& UserDatumsFile();

// Every datum index, built-in then the user's: the number of them, the
// ellipsoid (false and a, rf untouched outside), and the names.
int DatumCount();
bool DatumEllipsoid(int index, double* a, double* rf);
// The name of the datum lists ("北京-54坐标系", ... or the user's name); "?" outside.
std::string DatumListName(int index);
