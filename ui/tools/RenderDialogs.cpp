// Renders every dialog of the program to PNG files, on any Qt platform
// (offscreen included), for looking at layouts:
//     terrax-render-dialogs OUTPUT_DIR
// Each dialog is opened as the program opens it, photographed once its
// window is shown, and cancelled. The main window is also taken with a menu
// open, and with the file dialog of File Open over a folder of projects.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "params/CommonHeightFile.h"
#include "params/CommonPointFile.h"
#include "res/resource.h"
#include "session/GeoidFiles.h"
#include "session/Globals.h"
#include "session/UserDatums.h"
#include "ui/app/AboutDlg.h"
#include "ui/app/ConvertDlg.h"
#include "ui/batch/BatchProgressDlg.h"
#include "ui/batch/FileFormatDlg.h"
#include "ui/framework/ListBox.h"
#include "ui/framework/TabCtrl.h"
#include "ui/framework/UiSeam.h"
#include "ui/framework/WinApp.h"
#include "ui/framework/qt/QtGlue.h"
#include "ui/params/CalcHeightsDlg.h"
#include "ui/params/CalcMultiDlg.h"
#include "ui/params/ParamCommands.h"
#include "ui/params/ResidualPlotView.h"
#include "ui/prompts/QtUiSeam.h"

namespace {

// One picture: a name and what to do to the open dialog before it is taken;
// of the part of the dialog that `part` gives, when there is one.
struct Shot {
    std::string name;
    std::function<void(CWnd&)> prepare;
    std::function<QWidget*(CWnd&)> part = nullptr;
};

// Common points of National-80 and CGCS2000 (Gauss 3-degree zone at 117°);
// G07 carries a blunder, K01 is a check point.
constexpr char kCommonPoints[] =
    "G01 031:51:07.80586 116:42:42.90037 42.300 3525499.781 472960.052 85.495\n"
    "G02 031:54:25.89832 117:08:42.37878 38.900 3531574.432 513950.612 82.949\n"
    "G03 032:03:39.95021 116:57:29.51959 55.100 3548631.666 496278.177 98.942\n"
    "G04 032:07:58.58115 117:18:14.81907 61.700 3556637.948 528920.620 106.247\n"
    "G05 031:47:41.35016 117:23:52.54505 29.400 3519173.801 537910.515 73.816\n"
    "G06 032:14:48.52916 116:48:10.09826 73.000 3569241.803 481641.862 116.724\n"
    "G07 031:58:58.53140 116:37:11.47689 47.800 3540025.929 464297.664 90.945\n"
    "G08 032:12:36.30310 117:03:54.12175 66.200 3565153.752 506356.456 110.375\n"
    "K01 032:00:40.28357 117:13:34.25810 51.600 3543119.290 521595.434 95.893\n";

// The help page's example of height fitting: ten GNSS points levelled to
// normal heights (CGCS2000 B, L, h, H); J06 fails its test, K1 is a check point.
constexpr char kCommonHeights[] =
    "J01 036:04:18.5277 120:18:25.7503 57.041 48.358\n"
    "J02 036:06:20.6680 120:20:44.9664 20.272 11.596\n"
    "J03 036:01:33.5975 120:21:29.0024 20.941 12.331\n"
    "J04 036:05:16.5231 120:25:43.8002 24.268 15.676\n"
    "J05 036:07:13.4015 120:27:02.1154 52.377 43.780\n"
    "J06 036:10:34.3229 120:17:18.1856 70.058 61.225\n"
    "J07 036:02:35.0909 120:18:04.3294 35.799 27.126\n"
    "J08 036:02:56.0984 120:23:04.8769 56.217 47.613\n"
    "J09 036:06:27.5008 120:17:28.6873 20.417 11.695\n"
    "K1 036:07:43.9104 120:21:25.0798 36.160 27.477\n";

// The window as the screen shows it: with the popup menus open over it.
QImage WithPopups(QWidget* top) {
    const QPoint origin = top->mapToGlobal(QPoint(0, 0));
    QRect area(QPoint(0, 0), top->size());
    std::vector<QMenu*> popups;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* menu = qobject_cast<QMenu*>(w); menu != nullptr && menu->isVisible()) {
            popups.push_back(menu);
            area |= QRect(menu->pos() - origin, menu->size());
        }
    }
    QImage image(area.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.drawPixmap(-area.topLeft(), top->grab());
    for (QMenu* menu : popups) painter.drawPixmap(menu->pos() - origin - area.topLeft(), menu->grab());
    return image;
}

// Opens the menu of the window's menu bar with this title.
void OpenMenu(CWnd& window, const QString& title) {
    auto* bar = window.GetSafeHwnd()->window()->findChild<QMenuBar*>();
    if (bar == nullptr) return;
    for (QAction* action : bar->actions()) {
        if (action->text() == title) bar->setActiveAction(action);
    }
    QApplication::processEvents();
}

struct DialogEntry {
    std::vector<Shot> shots;
    std::function<void()> open;  // runs the dialog modally
};

void SelectTab(CWnd& window, int tabId, int index) {
    auto* tab = static_cast<CTabCtrl*>(window.GetDlgItem(tabId));
    tab->SetCurSel(index);
    NMHDR header;
    header.hwndFrom = tab->GetSafeHwnd();
    header.idFrom = static_cast<UINT_PTR>(tabId);
    header.code = TCN_SELCHANGE;
    window.SendMessage(WM_NOTIFY, static_cast<WPARAM>(tabId), reinterpret_cast<LPARAM>(&header));
}

std::vector<DialogEntry> AllDialogs() {
    std::vector<DialogEntry> dialogs;
    dialogs.push_back({{{"main-single-point", nullptr},
                        {"main-menu", [](CWnd& w) { OpenMenu(w, "坐标转换(&C)"); }},
                        {"file-dialog", [](CWnd& w) { w.SendMessage(WM_COMMAND, ID_FILE_OPEN); }},
                        {"main-file-conversion", [](CWnd& w) { SelectTab(w, IDC_MODE_TAB, 1); }}},
                       [] {
                           // National-80 to CGCS2000, the longest datum name.
                           CConvertDlg dlg;
                           dlg.m_session.m_params.m_savedSourceDatum = 1;
                           dlg.m_session.m_params.m_savedTargetDatum = 4;
                           dlg.DoModal();
                       }});
    // The status line of a project: seven parameters on, a zone change.
    dialogs.push_back({{{"main-window-status", nullptr}}, [] {
                           CConvertDlg dlg;
                           ConversionParams& p = dlg.m_session.m_params;
                           p.m_savedSourceDatum = 0;
                           p.m_savedTargetDatum = 4;
                           p.m_savedUseSeven = 1;
                           p.m_projBefore.centralMeridian = 117.0;
                           p.m_projBefore.zoneNumber = 39;
                           p.m_projAfter.centralMeridian = 120.0;
                           p.m_projAfter.zoneNumber = 40;
                           dlg.m_session.m_zoneChange = 2;
                           dlg.m_session.m_sourceKind = 1;
                           dlg.DoModal();
                       }});
    // The heights on: a plane model on EGM96, named in the status line.
    dialogs.push_back({{{"main-window-heights", nullptr}}, [] {
                           CConvertDlg dlg;
                           dlg.m_session.m_params.m_savedSourceDatum = 2;
                           dlg.m_session.m_params.m_savedTargetDatum = 4;
                           dlg.m_session.m_sourceKind = 1;
                           SessionHeights& heights = dlg.m_session.m_heights;
                           heights.enabled = true;
                           heights.model = HeightModel();
                           heights.model->surface = HeightSurface::Plane;
                           heights.model->onGeoid = true;
                           heights.geoid = kEgm96Name;
                           dlg.DoModal();
                       }});
    // A batch of three files of 400,000 points, taken part way through the second.
    dialogs.push_back({{{"batch-progress",
                         [](CWnd& w) {
                             auto& dlg = static_cast<CBatchProgressDlg&>(w);
                             QElapsedTimer timer;
                             timer.start();
                             while (w.ContinueModal() && timer.elapsed() < 60000 &&
                                    !(dlg.m_filesBar.GetPos() >= 1 &&
                                      dlg.m_linesBar.GetPos() >= 400)) {
                                 QApplication::processEvents(QEventLoop::AllEvents, 5);
                             }
                         }}},
                       [] {
                           const QString folder = QDir::tempPath() + "/terrax-render-batch";
                           QDir().mkpath(folder);
                           std::string text;
                           for (int i = 0; i < 400000; ++i) {
                               text += "P" + std::to_string(i) + ",3512345.000,512345.000,45.0,\r\n";
                           }
                           ConversionSession session;
                           session.m_sourceKind = 2;
                           session.m_targetKind = 1;
                           session.m_format.m_formatName = "坐标";
                           session.m_format.m_formatExtension = "txt";
                           session.m_format.m_formatSeparator = ",";
                           session.m_format.m_column[0] = 1;
                           session.m_format.m_column[1] = 2;
                           session.m_format.m_column[2] = 3;
                           session.m_format.m_naming = 2;
                           for (const char* name : {"测区A.txt", "测区B.txt", "控制网.txt"}) {
                               const std::string path = FromQString(folder) + "/" + name;
                               if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
                                   std::fwrite(text.data(), 1, text.size(), f);
                                   std::fclose(f);
                               }
                               session.m_sourceFiles.push_back(path);
                           }
                           session.m_sourceFileCount = 3;
                           session.PrepareConversion();
                           CBatchProgressDlg dlg(session);
                           dlg.DoModal();
                           QDir(folder).removeRecursively();
                       }});
    dialogs.push_back({{{"about", nullptr}}, [] {
                           CAboutDlg dlg;
                           dlg.DoModal();
                       }});
    dialogs.push_back({{{"file-format-list", nullptr},
                        {"file-format-new", [](CWnd& w) { SelectTab(w, IDC_FORMAT_TAB, 1); }},
                        {"file-format-naming", [](CWnd& w) { SelectTab(w, IDC_FORMAT_TAB, 2); }}},
                       [] {
                           CFileFormatDlg dlg;
                           dlg.m_formats = {{"坐标", "txt", ",", "点号,北方向X,东方向Y,水准高,"},
                                            {"大地", "geo", " ", "点号 纬度 经度 椭球高 "}};
                           dlg.DoModal();
                       }});
    // The parameter dialogs, opened by their commands on a fresh session.
    const std::pair<const char*, void (*)(ConversionSession&)> parameterDialogs[] = {
        {"projection", ParamCommands::OnProjectionSettings},
        {"seven-parameters", ParamCommands::OnSevenParamSettings},
        {"calc-three", ParamCommands::OnCalcThree},
        {"calc-four", ParamCommands::OnCalcFour},
        {"calc-seven", ParamCommands::OnCalcSeven},
    };
    // 坐标系参数 with two of the user's ellipsoids, the second one selected,
    // grown so that the list shows the constants whole.
    dialogs.push_back({{{"datum-list",
                         [](CWnd& w) {
                             w.GetSafeHwnd()->window()->resize(560, 260);
                             static_cast<CListBox*>(w.GetDlgItem(IDC_DATUMS))->SetCurSel(1);
                             w.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DATUMS, LBN_SELCHANGE));
                         }}},
                       [] {
                           const UserDatumList saved = UserDatums();
                           UserDatums() = UserDatumList();
                           UserDatums().Add({"工程独立坐标系", 6378160, 298.25});
                           UserDatums().Add({"高原工程椭球", 6379745, 298.3});
                           ConversionSession session;
                           ParamCommands::OnDatumList(session);  // ended with 取消: nothing saved
                           UserDatums() = saved;
                       }});
    for (const auto& [name, command] : parameterDialogs) {
        dialogs.push_back({{{name, nullptr}}, [command] {
                               ConversionSession session;
                               command(session);
                           }});
    }
    // Parameters from many points, with the example table computed.
    dialogs.push_back({{{"calc-multi-table", nullptr},
                        {"calc-multi",
                         [](CWnd& w) {
                             w.SendMessage(WM_COMMAND,
                                           MAKEWPARAM(IDC_CALC_MULTI_COMPUTE, BN_CLICKED));
                         }},
                        // Its residual plot in the dialog grown to 1280×800, G07
                        // selected in the table.
                        {"residual-plot",
                         [](CWnd& w) {
                             w.GetSafeHwnd()->window()->resize(1280, 800);
                             QApplication::processEvents();
                             auto& dlg = static_cast<CCalcMultiDlg&>(w);
                             dlg.m_table.SetItemState(6, LVIS_SELECTED | LVIS_FOCUSED,
                                                      LVIS_SELECTED | LVIS_FOCUSED);
                             dlg.PlotView()->SetSelection(6);
                         },
                         [](CWnd& w) -> QWidget* {
                             return static_cast<CCalcMultiDlg&>(w).PlotView();
                         }}},
                       [] {
                           ConversionParams settings;
                           settings.m_projBefore.centralMeridian = 117.0;
                           CCalcMultiDlg dlg(settings);
                           std::string error;
                           ParseCommonPoints(kCommonPoints, TextLanguage::Chinese, &dlg.m_points,
                                             &error);
                           dlg.m_points.back().used = false;
                           dlg.m_sourceDatum = 1;
                           dlg.m_targetDatum = 4;
                           dlg.DoModal();
                       }});
    // Forty points in the dialog grown to 1280×800: the example's points
    // again under other names, raised by some metres on both sides, with a few
    // millimetres of noise.
    dialogs.push_back({{{"many-points-1280x800",
                         [](CWnd& w) {
                             w.GetSafeHwnd()->window()->resize(1280, 800);
                             QApplication::processEvents();
                             w.SendMessage(WM_COMMAND,
                                           MAKEWPARAM(IDC_CALC_MULTI_COMPUTE, BN_CLICKED));
                         }}},
                       [] {
                           ConversionParams settings;
                           settings.m_projBefore.centralMeridian = 117.0;
                           CCalcMultiDlg dlg(settings);
                           std::string error;
                           std::vector<CommonPoint> base;
                           ParseCommonPoints(kCommonPoints, TextLanguage::Chinese, &base, &error);
                           auto shifted = [](const std::string& value, double by) {
                               char text[32];
                               std::snprintf(text, sizeof text, "%.3f", std::stod(value) + by);
                               return std::string(text);
                           };
                           for (int i = 0; i < 40; ++i) {
                               CommonPoint p = base[static_cast<std::size_t>(i) % base.size()];
                               if (i >= static_cast<int>(base.size())) {
                                   p.id = "P" + std::to_string(i + 1);
                                   const double rise = 5.0 * (i / static_cast<int>(base.size()));
                                   p.source[2] = shifted(p.source[2], rise);
                                   for (int k = 0; k < 3; ++k) {
                                       const double mm = ((i * 7 + k * 3) % 11 - 5) * 0.001;
                                       p.target[k] = shifted(p.target[k], (k == 2 ? rise : 0) + mm);
                                   }
                               }
                               dlg.m_points.push_back(p);
                           }
                           dlg.m_points[8].used = false;
                           dlg.m_sourceDatum = 1;
                           dlg.m_targetDatum = 4;
                           dlg.DoModal();
                       }});
    // Height fitting of the example, a plane, computed in the dialog grown to
    // 1280×800, J06 selected.
    dialogs.push_back({{{"height-fit",
                         [](CWnd& w) {
                             w.GetSafeHwnd()->window()->resize(1280, 800);
                             QApplication::processEvents();
                             w.SendMessage(WM_COMMAND,
                                           MAKEWPARAM(IDC_CALC_HEIGHTS_COMPUTE, BN_CLICKED));
                             auto& dlg = static_cast<CCalcHeightsDlg&>(w);
                             dlg.m_table.SetItemState(5, LVIS_SELECTED | LVIS_FOCUSED,
                                                      LVIS_SELECTED | LVIS_FOCUSED);
                             dlg.PlotView()->SetSelection(5);
                         }}},
                       [] {
                           CCalcHeightsDlg dlg{ConversionParams()};
                           std::vector<CommonHeight> points;
                           HeightPositions positions = HeightPositions::Plane;
                           std::string error;
                           ParseCommonHeights(kCommonHeights, TextLanguage::Chinese, &points,
                                              &positions, &error);
                           for (const CommonHeight& p : points) {
                               HeightRowText row;
                               row.id = p.id;
                               row.values[0] = p.position[0];
                               row.values[1] = p.position[1];
                               row.values[2] = p.h;
                               row.values[3] = p.H;
                               row.used = p.id != "K1";
                               dlg.m_inputs.rows.push_back(row);
                           }
                           dlg.m_inputs.kind = CCalcHeightsDlg::kGeodeticPositions;
                           dlg.DoModal();
                       }});
    dialogs.push_back(
        {{{"local-transform-level1", nullptr},
          {"local-transform-level2", [](CWnd& w) { SelectTab(w, AFX_IDC_TAB_CONTROL, 1); }}},
         [] {
             ConversionSession session;
             ParamCommands::OnFourParamSettings(session);
         }});
    return dialogs;
}

// Answers every question with Cancel and photographs each modal window.
class RenderSeam : public CUiSeam {
public:
    explicit RenderSeam(QString dir) : m_dir(std::move(dir)) {}
    std::deque<Shot> pending;
    int failures = 0;

    int ShowMessageBox(const MessageBoxRequest&) override { return IDCANCEL; }
    // Qt's file dialog, photographed once it lists its folder, and cancelled.
    bool ShowFileDialog(const FileDialogRequest& request, std::vector<std::string>*) override {
        QTimer::singleShot(500, [this] {
            if (QWidget* dialog = QApplication::activeModalWidget()) {
                Save(dialog->grab().toImage(), "file-dialog");
                dialog->close();
            }
        });
        std::vector<std::string> paths;
        CQtUiSeam().ShowFileDialog(request, &paths);
        m_fileDialogShown = true;
        return false;
    }
    void ModalStarted(CWnd& window) override {
        QWidget* top = window.GetSafeHwnd()->window();
        while (!pending.empty()) {
            Shot shot = std::move(pending.front());
            pending.pop_front();
            m_fileDialogShown = false;
            if (shot.prepare) shot.prepare(window);
            QApplication::processEvents();
            if (!m_fileDialogShown) {
                QWidget* part = shot.part ? shot.part(window) : nullptr;
                Save(part != nullptr ? part->grab().toImage() : WithPopups(top), shot.name);
            }
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* menu = qobject_cast<QMenu*>(w)) menu->close();
            }
        }
        window.EndModalLoop(IDCANCEL);
    }

private:
    void Save(const QImage& image, const std::string& name) {
        const QString file = m_dir + "/" + QString::fromStdString(name) + ".png";
        if (image.save(file)) {
            std::printf("%s\n", file.toLocal8Bit().constData());
        } else {
            std::fprintf(stderr, "cannot write %s\n", file.toLocal8Bit().constData());
            ++failures;
        }
    }

    QString m_dir;
    bool m_fileDialogShown = false;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
        return 2;
    }
    QApplication app(argc, argv);
    AfxInitUiPlatform();
    InitGlobals();
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    // File Open starts in the program's folder: one with a few projects.
    const QString projects = dir + "/projects";
    QDir().mkpath(projects + "/2024");
    for (const char* name : {"测区A.cod", "测区B.cod", "控制网.cod"}) {
        std::string error;
        ConversionSession().SaveProject(FromQString(projects) + "/" + name, &error);
    }
    g_appDir = FromQString(projects) + "/";
    RenderSeam seam(dir);
    AfxSetUiSeam(&seam);
    for (const DialogEntry& entry : AllDialogs()) {
        seam.pending.assign(entry.shots.begin(), entry.shots.end());
        entry.open();
    }
    AfxSetUiSeam(nullptr);
    QDir(projects).removeRecursively();
    return seam.failures == 0 ? 0 : 1;
}
