// Names of the program's resource IDs, shared by the templates (res/*.rc,
// through #include "resource.h") and the code.
//
// Only "#define NAME number" lines and comments: the template loader reads
// this file as well as the compiler. The framework's own names (IDOK,
// IDCANCEL, IDC_STATIC and the standard commands ID_FILE_NEW, ID_FILE_OPEN,
// ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_APP_ABOUT, ID_APP_EXIT) are known to both
// already and are not repeated here.
//
// Control IDs are unique within their template only: the controls are listed
// by template, and where two templates use one number for different things,
// each has its own name with that number. A new template, control or command
// gets its name here before a template or the code uses it.
#pragma once

// Dialog templates.
#define IDD_ABOUTBOX 100
#define IDD_CONVERT 102
#define IDD_CALC_SEVEN 131
#define IDD_PROJECTION 132
#define IDD_LOCAL_LEVEL1 133
#define IDD_FILE_FORMAT 134
#define IDD_SEVEN_PARAMS 136
#define IDD_CALC_FOUR 137
#define IDD_LOCAL_LEVEL2 178
#define IDD_DATUM_LIST 240
#define IDD_CALC_THREE 247
#define IDD_CALC_MULTI 250
#define IDD_CALC_HEIGHTS 251
#define IDD_BATCH_PROGRESS 260

// The main window's menu and the program's icon (res/icon128.png).
#define IDR_MAIN_MENU 128
#define IDI_APP 128

// Commands of the menu "坐标转换(&C)" and the help page of "帮助(&A)".
#define IDM_PROJECTION 32771
#define IDM_FOUR_PARAMS 32772
#define IDM_SEVEN_PARAMS 32773
#define IDM_CALC_FOUR 32774
#define IDM_DATUM_LIST 32775
#define IDM_CALC_THREE 32776
#define IDM_CALC_SEVEN 32777
#define IDM_ZONE_CHANGE 32781
#define IDM_HELP_PAGE 32782
#define IDM_CALC_MULTI 32783
#define IDM_CALC_HEIGHTS 32784

// IDD_CONVERT: the main window. The labels in front of the point fields
// read X=/B=/x= and so on by coordinate kind.
#define IDC_SOURCE_X 1002
#define IDC_SOURCE_Y 1003
#define IDC_SOURCE_H 1004
#define IDC_USE_SEVEN 1007
#define IDC_USE_FOUR 1009
#define IDC_USE_HEIGHTS 1340
#define IDC_SOURCE_DATUM 1011
#define IDC_SOURCE_X_LABEL 1012
#define IDC_SOURCE_Y_LABEL 1013
#define IDC_SOURCE_H_LABEL 1014
#define IDC_CONVERT 1015
#define IDC_TARGET_X_LABEL 1016
#define IDC_TARGET_X 1017
#define IDC_TARGET_Y_LABEL 1018
#define IDC_TARGET_Y 1019
#define IDC_TARGET_H_LABEL 1020
#define IDC_TARGET_H 1021
#define IDC_SOURCE_SPACE 1022
#define IDC_TARGET_DATUM 1023
#define IDC_SOURCE_GEODETIC 1024
#define IDC_TARGET_SPACE 1025
#define IDC_TARGET_GEODETIC 1026
#define IDC_SOURCE_PLANE 1027
#define IDC_TARGET_PLANE 1028
#define IDC_MODE_TAB 1032
#define IDC_BROWSE 1033
#define IDC_FORMAT 1034
#define IDC_SOURCE_FILES 1037
#define IDC_OUTPUT_FILES 1038
#define IDC_CONVERT_FILES 1039
#define IDC_SOURCE_FILES_LABEL 1040
#define IDC_INPUT_GROUP 1041
#define IDC_OUTPUT_GROUP 1042
#define IDC_FORMAT_LABEL 1043
#define IDC_OPEN_FILE_HINT 1062

// IDD_PROJECTION: projection settings.
#define IDC_GAUSS_3_DEGREE 1012
#define IDC_GAUSS_6_DEGREE 1013
#define IDC_GAUSS_CUSTOM 1014
#define IDC_MERCATOR 1015
#define IDC_UTM 1016
#define IDC_X_CONSTANT 1019
#define IDC_Y_CONSTANT 1020
#define IDC_BASE_LATITUDE 1021
#define IDC_CENTRAL_MERIDIAN 1059
#define IDC_PROJECTION_SCALE 1060
#define IDC_PROJECTION_GROUP 1061

// IDD_SEVEN_PARAMS: the seven parameters.
#define IDC_SCALE_CHANGE 1060
#define IDC_SHIFT_DX 1075
#define IDC_SHIFT_DY 1076
#define IDC_SHIFT_DZ 1077
#define IDC_ROTATION_X 1078
#define IDC_ROTATION_Y 1079
#define IDC_ROTATION_Z 1080

// IDD_LOCAL_LEVEL1 and IDD_LOCAL_LEVEL2: one local four-parameter level.
#define IDC_LOCAL_X0 1019
#define IDC_LOCAL_Y0 1020
#define IDC_LOCAL_ROTATION 1064
#define IDC_LOCAL_SCALE 1065

// IDD_CALC_THREE: one common point, geodetic and plane.
#define IDC_CALC_THREE_X 1002
#define IDC_CALC_THREE_Y 1003
#define IDC_CALC_THREE_H 1008
#define IDC_CALC_THREE_PLANE_H 1009
#define IDC_CALC_THREE_GEODETIC_DATUM 1011
#define IDC_CALC_THREE_PLANE_DATUM 1012
#define IDC_CALC_THREE_B 1206
#define IDC_CALC_THREE_L 1207

// IDD_CALC_FOUR: two common points after and before the transform, and the
// level that receives the result.
#define IDC_CALC_FOUR_LEVEL2 1027
#define IDC_CALC_FOUR_AFTER_X1 1067
#define IDC_CALC_FOUR_AFTER_Y1 1068
#define IDC_CALC_FOUR_AFTER_X2 1069
#define IDC_CALC_FOUR_AFTER_Y2 1070
#define IDC_CALC_FOUR_BEFORE_X1 1071
#define IDC_CALC_FOUR_BEFORE_Y1 1072
#define IDC_CALC_FOUR_BEFORE_X2 1073
#define IDC_CALC_FOUR_BEFORE_Y2 1074
#define IDC_CALC_FOUR_LEVEL1 1140

// IDD_CALC_SEVEN: three common points, geodetic (B, L, H) and plane (X, Y,
// plane H).
#define IDC_CALC_SEVEN_X1 1004
#define IDC_CALC_SEVEN_Y1 1005
#define IDC_CALC_SEVEN_X2 1006
#define IDC_CALC_SEVEN_Y2 1007
#define IDC_CALC_SEVEN_X3 1008
#define IDC_CALC_SEVEN_Y3 1009
#define IDC_CALC_SEVEN_H1 1010
#define IDC_CALC_SEVEN_PLANE_H1 1011
#define IDC_CALC_SEVEN_H2 1012
#define IDC_CALC_SEVEN_PLANE_H2 1013
#define IDC_CALC_SEVEN_H3 1014
#define IDC_CALC_SEVEN_PLANE_H3 1015
#define IDC_CALC_SEVEN_GEODETIC_DATUM 1016
#define IDC_CALC_SEVEN_PLANE_DATUM 1017
#define IDC_CALC_SEVEN_B1 1208
#define IDC_CALC_SEVEN_L1 1209
#define IDC_CALC_SEVEN_B2 1210
#define IDC_CALC_SEVEN_L2 1211
#define IDC_CALC_SEVEN_B3 1212
#define IDC_CALC_SEVEN_L3 1213

// IDD_CALC_MULTI: parameters from a table of common points. The kind and
// datum of each side, the model, the level of four parameters, the
// tolerance; the table (a list view); the buttons under it; σ0 and the
// parameters of the last computation.
#define IDC_CALC_MULTI_SOURCE_KIND 1301
#define IDC_CALC_MULTI_SOURCE_DATUM 1302
#define IDC_CALC_MULTI_TARGET_KIND 1303
#define IDC_CALC_MULTI_TARGET_DATUM 1304
#define IDC_CALC_MULTI_SEVEN 1305
#define IDC_CALC_MULTI_FOUR 1306
#define IDC_CALC_MULTI_THREE 1307
#define IDC_CALC_MULTI_LEVEL1 1308
#define IDC_CALC_MULTI_LEVEL2 1309
#define IDC_CALC_MULTI_TOLERANCE 1310
#define IDC_CALC_MULTI_POINTS 1311
#define IDC_CALC_MULTI_IMPORT 1312
#define IDC_CALC_MULTI_SAVE_POINTS 1313
#define IDC_CALC_MULTI_ADD_ROW 1314
#define IDC_CALC_MULTI_DELETE_ROW 1315
#define IDC_CALC_MULTI_COMPUTE 1316
#define IDC_CALC_MULTI_SAVE_REPORT 1317
#define IDC_CALC_MULTI_APPLY 1318
#define IDC_CALC_MULTI_SIGMA 1319
#define IDC_CALC_MULTI_PARAMETERS 1320
#define IDC_CALC_MULTI_PLOT 1321
#define IDC_CALC_MULTI_ALPHA 1322
#define IDC_CALC_MULTI_ENCODING 1323

// IDD_CALC_HEIGHTS: the height anomaly from common points with both heights.
// The horizontal kind of the table, the surface, the geoid it stands on (a
// file by its edit and browse button), α and the tolerance; the table; the
// buttons under it; σ0, the report and the residual plot (a pane beside the
// table) of the last computation; the encoding of 导入.
#define IDC_CALC_HEIGHTS_KIND 1400
#define IDC_CALC_HEIGHTS_CONSTANT 1401
#define IDC_CALC_HEIGHTS_PLANE 1402
#define IDC_CALC_HEIGHTS_QUADRIC 1403
#define IDC_CALC_HEIGHTS_GEOID 1404
#define IDC_CALC_HEIGHTS_GEOID_FILE 1405
#define IDC_CALC_HEIGHTS_BROWSE 1406
#define IDC_CALC_HEIGHTS_ALPHA 1407
#define IDC_CALC_HEIGHTS_TOLERANCE 1408
#define IDC_CALC_HEIGHTS_POINTS 1409
#define IDC_CALC_HEIGHTS_IMPORT 1410
#define IDC_CALC_HEIGHTS_SAVE_POINTS 1411
#define IDC_CALC_HEIGHTS_ADD_ROW 1412
#define IDC_CALC_HEIGHTS_DELETE_ROW 1413
#define IDC_CALC_HEIGHTS_COMPUTE 1414
#define IDC_CALC_HEIGHTS_SAVE_REPORT 1415
#define IDC_CALC_HEIGHTS_APPLY 1416
#define IDC_CALC_HEIGHTS_SIGMA 1417
#define IDC_CALC_HEIGHTS_REPORT 1418
#define IDC_CALC_HEIGHTS_ENCODING 1419
#define IDC_CALC_HEIGHTS_PLOT 1420

// IDD_DATUM_LIST: the coordinate-system list.
#define IDC_INVERSE_FLATTENING 1002
#define IDC_DATUM_NAME 1174
#define IDC_DATUMS 1177
#define IDC_ADD_DATUM 1178
#define IDC_DELETE_DATUM 1179
#define IDC_SEMI_MAJOR_AXIS 1187

// IDD_FILE_FORMAT: the file formats, on three tabs.
#define IDC_FORMAT_TAB 1042
#define IDC_NEW_FORMAT 1057
#define IDC_FINISH_FORMAT 1058
#define IDC_DELETE_FORMAT 1179
// Tab 0: the stored formats.
#define IDC_FORMAT_LIST 1043
#define IDC_SELECTED_ITEMS 1060
// Tab 1: a new format.
#define IDC_FORMAT_NAME_LABEL 1045
#define IDC_FORMAT_NAME 1046
#define IDC_DATA_ITEMS 1047
#define IDC_DATA_ITEMS_LABEL 1048
#define IDC_DESCRIPTION_LABEL 1049
#define IDC_DESCRIPTION 1050
#define IDC_CLEAR_ITEMS 1051
#define IDC_EXTENSION 1052
#define IDC_SEPARATOR 1053
#define IDC_ITEM_LINE 1054
#define IDC_SEPARATOR_LABEL 1055
#define IDC_EXTENSION_LABEL 1056
#define IDC_ADD_ITEM 1178
// Tab 2: how output files are named.
#define IDC_NAMING_EXTENSION 1024
#define IDC_NAMING_FILE_NAME 1027
#define IDC_NAMING_OVERWRITE 1061

// IDD_BATCH_PROGRESS: a batch conversion under way, files and lines.
#define IDC_PROGRESS_FILES_TEXT 1330
#define IDC_PROGRESS_FILES 1331
#define IDC_PROGRESS_LINES_TEXT 1332
#define IDC_PROGRESS_LINES 1333
