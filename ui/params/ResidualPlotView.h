// CResidualPlotView: the window's residual plot. It draws the core's plot
// description (params/ResidualPlot) with QPainter, laid out anew for its
// size, and keeps a selected point, highlighted; a click on a point picks it.
// Not tied to one dialog: whoever shows residuals hands it a layout.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "params/ResidualPlot.h"

// One thing the view paints, in painting order.
struct PlotItem {
    enum class Kind { Line, Head, Mark, Text };
    Kind kind = Kind::Line;
    // Line: from (x1, y1) to (x2, y2). Head: a triangle with its tip at
    // (x2, y2) pointing from (x1, y1). Mark: a circle at (x1, y1), radius r.
    // Text: from (x1, y1), the start of its baseline.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0, r = 0;
    double width = 0;          // of the pen
    unsigned pen = kPlotInk;   // 0xRRGGBB
    bool filled = false;       // Head and Mark
    unsigned fill = kPlotInk;  // when filled
    std::string text;          // Text, UTF-8
    double fontSize = 0;       // Text, pixels
    int point = -1;            // the plot's point it belongs to; -1 none
    bool selection = false;    // the ring around the selected point
};

// The highlight of the selected point: a ring this much outside its mark.
inline constexpr double kSelectionGap = 4;
inline constexpr unsigned kSelectionColour = 0x0060d0;

// What the view paints for `plot` with point `selected` (-1: none)
// highlighted; `caption` in the top left corner when not empty.
std::vector<PlotItem> PlotItems(const ResidualPlot& plot, int selected, const std::string& caption);

class CResidualPlotView : public QWidget {
public:
    // The plot for a picture of width × height pixels.
    using Layout = std::function<ResidualPlot(double width, double height)>;

    explicit CResidualPlotView(QWidget* parent = nullptr);

    // Shows what `layout` makes for the view's size, again after each resize;
    // the selection is kept when it is a point of the new plot.
    void SetPlot(Layout layout);
    // Shows no plot, only `hint` (e.g. that 计算 makes one); no selection.
    void Clear(const std::string& hint = std::string());
    bool HasPlot() const { return static_cast<bool>(m_layout); }
    // The plot as laid out for the view's present size; empty when cleared.
    const ResidualPlot& Plot() const { return m_plot; }

    // The point highlighted, -1 for none. Setting it does not call the picker.
    void SetSelection(int point);
    int Selection() const { return m_selected; }
    // Called with a point's index when the user clicks on it; the view has
    // selected it already.
    void SetPicker(std::function<void(int point)> picker) { m_picker = std::move(picker); }
    // The point whose mark lies nearest to (x, y) within a few pixels, else -1.
    int PointAt(double x, double y) const;

    void SetCaption(const std::string& caption);
    // What paintEvent paints now.
    std::vector<PlotItem> Items() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void LayOut();

    Layout m_layout;
    ResidualPlot m_plot;
    int m_selected = -1;
    std::string m_caption;
    std::string m_hint;
    std::function<void(int)> m_picker;
};
