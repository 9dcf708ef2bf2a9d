// The conversion session of the main window: the selections bound to its
// controls, the settings record, the batch file lists, single-point
// conversion and the project file. Free of any user interface; the window
// reads its controls into these members before calling in (UpdateData) and
// shows them afterwards.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "geodesy/GeoCore.h"
#include "session/ProjectExtension.h"
#include "session/SessionHeights.h"

class CArchive;
class GeoidGrid;

// What the parameter-computing dialogs remember of their last inputs (kept in
// project files): the three common points of seven parameters, the two of
// four, the one of three, and the datums of the three-parameter dialog.
struct RememberedInputs {
    std::string m_calcSevenB[3] = {"000:00:00.000", "000:00:00.000", "000:00:00.000"};
    double m_calcSevenH[3] = {};
    std::string m_calcSevenL[3] = {"000:00:00.000", "000:00:00.000", "000:00:00.000"};
    double m_calcSevenX[3] = {};
    double m_calcSevenY[3] = {};
    double m_calcSevenZ[3] = {};
    double m_calcFour[8] = {};  // before X1, X2, Y1, Y2, after X1, X2, Y1, Y2
    int m_calcFourLevel = 0;    // 0 level 1, 1 level 2
    std::string m_calcThreeB = "000:00:00.000";
    std::string m_calcThreeL = "000:00:00.000";
    std::string m_calcThreeH = "0";
    double m_calcThreeX = 0;
    double m_calcThreeY = 0;
    double m_calcThreeZ = 0;
    int m_calcDatumGeo = 2;
    int m_calcDatumPlane = 0;
    bool operator==(const RememberedInputs&) const = default;
};

// The file format chosen for the batch and its naming choice (not in
// project files): the format's name, extension and separator as chosen, the
// columns of x, y, h (-1 for none) and the format's index in the store.
struct FormatChoice {
    int m_column[3] = {-1, -1, -1};
    std::string m_formatName;
    std::string m_formatExtension;
    std::string m_formatSeparator;
    int m_naming = 1;
    int m_formatIndex = 0;
};

// What the height fitting dialog (高程拟合) shows when it opens again: its
// last table and choices, for the session only (neither in project files nor
// undone). The rows as typed: name, x or B, y or L, h, H.
struct HeightRowText {
    std::string id;
    std::string values[4];
    bool used = true;  // "参与计算"
    int line = 0;      // line of the file it was read from; 0 when typed
};
struct HeightDialogInputs {
    std::vector<HeightRowText> rows;
    int kind = 0;      // 0 plane x, y; 1 geodetic B, L
    int surface = 1;   // a HeightSurface
    int geoid = 0;     // 0 none, 1 EGM96, 2 the file
    std::string geoidFile;
    std::string alpha = "0.1";  // per cent
    std::string tolerance;      // metres; empty: the test only
    int encoding = 0;           // of 导入: 0 by the content, 1 UTF-8, 2 GB18030
};

class ConversionSession {
public:
    ConversionSession();

    // Every value back to its default, except m_sourceDatum, m_targetDatum,
    // m_zoneChange, the two ellipsoids, the file lists and m_sourceFileCount.
    void ResetSession();
    // An untitled project: every value of the project file at its default,
    // the zone change off; the chosen format and the file lists stay.
    void NewProject();

    // Copies the datum selections and the two switches into the record and
    // fills the two ellipsoids from the datum lists (DatumEllipsoid: the five
    // built-in datums, then the user's); an index outside leaves its
    // ellipsoid as it was.
    void PrepareConversion();

    // The routine of each source kind: texts of the three source fields in,
    // three results out, their meaning by m_targetKind (0 X, Y, Z; 1 B, L in
    // radians, H; 2 x, y, h). A target kind outside 0..2 gives 0, 0, 0.
    // Call PrepareConversion first. With the heights on (HeightsChange) the
    // height takes ζ (SessionHeights.h); `height`, when given, tells what
    // it did. A point whose ζ is unknown (kHeightOutsideGeoid) gets a
    // height that is not a number, never a silent one.
    void ConvertFromPlane(const std::string& x, const std::string& y, const std::string& h,
                          double* out1, double* out2, double* out3,
                          PointHeight* height = nullptr) const;
    void ConvertFromGeodetic(const std::string& B, const std::string& L, const std::string& H,
                             double* out1, double* out2, double* out3,
                             PointHeight* height = nullptr) const;
    void ConvertFromSpace(const std::string& X, const std::string& Y, const std::string& Z,
                          double* out1, double* out2, double* out3,
                          PointHeight* height = nullptr) const;
    // The same routines on the values their texts read as: plane x, y, h;
    // geodetic B, L in radians, H; space X, Y, Z.
    void ConvertPlanePoint(double x, double y, double h, double* out1, double* out2, double* out3,
                           PointHeight* height = nullptr) const;
    void ConvertGeodeticPoint(double B, double L, double H, double* out1, double* out2,
                              double* out3, PointHeight* height = nullptr) const;
    void ConvertSpacePoint(double X, double Y, double Z, double* out1, double* out2, double* out3,
                           PointHeight* height = nullptr) const;

    // The switch 高程拟合 is on and one of the two kinds is plane
    // coordinates, the other not: the conversion changes heights.
    bool HeightsChange() const;
    enum class HeightsProblem {
        None,
        NothingGivesZeta,  // the switch on without a model or a geoid
        GridNotOpen,       // the grid the heights need is not open (OpenGeoidGrid)
    };
    // What keeps the heights from converting; None with the switch off.
    HeightsProblem CheckHeights() const;
    // Opens the grid m_heights.geoid names, for a program in `appDir`, unless
    // it is open already; drops it when none is named. False with the
    // message naming the file in *error, the grid then closed.
    bool OpenGeoidGrid(const std::string& appDir, std::string* error);
    // The open grid when it is the one m_heights.geoid names, else null.
    const GeoidGrid* Grid() const;

    // The kinds of the two radio groups. A number no radio button has (only a
    // project file brings one) is none of the three.
    CoordinateKind SourceKind() const { return static_cast<CoordinateKind>(m_sourceKind); }
    CoordinateKind TargetKind() const { return static_cast<CoordinateKind>(m_targetKind); }

    // True when both kinds are 0..2 and both datums in the lists (0..DatumCount() - 1).
    bool CanConvert() const;
    // A plane to plane conversion without zone change goes through local
    // level 1; with its K unset (0) every point would come out as Xo, Yo.
    bool LevelOneMissing() const;

    // Converts the source texts into the target texts ("%.6f", geodetic
    // angles as angle texts). Equal datums clear the record's seven switch.
    // A kind or datum that no control can show (only a project file brings
    // one) converts nothing, empties the target texts and returns false.
    // So do heights that cannot convert (CheckHeights) and a point outside
    // the geoid grid, with the message for the user in *heightMessage; a
    // point where the height model extrapolates converts, with the warning
    // there. *heightMessage is emptied otherwise.
    bool Convert(std::string* heightMessage = nullptr);

    // The 73 values of the project file in file order, storing or loading by
    // the archive's direction. Loading checks nothing. Storing does not call
    // PrepareConversion; the caller does.
    void Serialize(CArchive& ar);
    // The extension after the 73 values (ProjectExtension.h), storing or
    // loading by the archive's direction. Storing writes nothing when the
    // session holds nothing the 73 values cannot. Loading throws
    // CArchiveException for a damaged extension; sections of tags this
    // version does not know are kept and written back.
    void SerializeExtension(CArchive& ar);

    // Writes the project file as CAtomicFile writes: a failed save leaves the
    // old file as it was, and a file the user may not write is refused. On
    // failure returns false with the message for the user in *error.
    bool SaveProject(const std::string& path, std::string* error);
    // The same, letting the failure through as the framework's exception.
    void WriteProject(const std::string& path);
    // Reads the project file; the session takes the values only when all 73
    // were read. On failure the session is untouched and *error holds the
    // message for the user.
    bool LoadProject(const std::string& path, std::string* error);
    // The same, letting the failure through as the framework's exception
    // (CFileException, CArchiveException) for callers with their own words.
    void ReadProject(const std::string& path);

    int m_zoneChange = 0;                    // 2 when the zone change is configured
    int m_sourceFileCount = 0;               // number of chosen source files
    std::vector<std::string> m_outputFiles;  // written output files
    std::vector<std::string> m_sourceFiles;  // chosen source files
    int m_targetDatum = 0;                   // combo box IDC_TARGET_DATUM
    int m_targetKind = 2;                    // radio group IDC_TARGET_SPACE, a CoordinateKind
    int m_useFour = 1;                       // check box IDC_USE_FOUR
    int m_useSeven = 0;                      // check box IDC_USE_SEVEN
    int m_sourceDatum = 0;                   // combo box IDC_SOURCE_DATUM
    int m_sourceKind = 2;                    // radio group IDC_SOURCE_SPACE, a CoordinateKind
    std::string m_targetText[3];             // edits IDC_TARGET_X, _Y, _H
    std::string m_sourceText[3];             // edits IDC_SOURCE_X, _Y, _H
    ConversionParams m_params;
    RememberedInputs m_inputs;
    FormatChoice m_format;
    HeightDialogInputs m_heightInputs;
    CGeoCore m_geo;
    SessionHeights m_heights;
    // The grid opened for m_heights.geoid (OpenGeoidGrid) and the name it was
    // opened by; shared, read only, by copies of the session.
    std::shared_ptr<const GeoidGrid> m_geoidGrid;
    std::string m_geoidGridName;
    // Sections of a loaded project's extension with tags this version does
    // not know, written back unchanged.
    std::vector<ProjectSection> m_otherSections;
};
