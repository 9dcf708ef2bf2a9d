#include "ui/params/ResidualPlotView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

constexpr double kPickDistance = 4;  // pixels beyond a mark that still pick it
constexpr unsigned kHintColour = 0x707070;

QColor ColourOf(unsigned rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xff), static_cast<int>((rgb >> 8) & 0xff),
                  static_cast<int>(rgb & 0xff));
}

PlotItem Line(double x1, double y1, double x2, double y2, double width, unsigned pen, int point) {
    PlotItem item;
    item.kind = PlotItem::Kind::Line;
    item.x1 = x1, item.y1 = y1, item.x2 = x2, item.y2 = y2;
    item.width = width;
    item.pen = pen;
    item.point = point;
    return item;
}

// A line with the plot's arrow head at its end, when it has a length.
void Arrow(std::vector<PlotItem>* items, const ResidualPlot& plot, double x1, double y1, double x2,
           double y2, unsigned pen, int point) {
    items->push_back(Line(x1, y1, x2, y2, plot.lineWidth, pen, point));
    if (x1 == x2 && y1 == y2) return;
    PlotItem head = items->back();
    head.kind = PlotItem::Kind::Head;
    head.r = plot.headLength;
    head.filled = true;
    head.fill = pen;
    items->push_back(head);
}

PlotItem Text(double x, double y, const std::string& text, double size, unsigned pen, int point) {
    PlotItem item;
    item.kind = PlotItem::Kind::Text;
    item.x1 = x, item.y1 = y;
    item.text = text;
    item.fontSize = size;
    item.pen = pen;
    item.point = point;
    return item;
}

}  // namespace

std::vector<PlotItem> PlotItems(const ResidualPlot& plot, int selected,
                                const std::string& caption) {
    std::vector<PlotItem> items;
    const int n = static_cast<int>(plot.points.size());
    // As the SVG: the arrows beneath the marks, then the marks and names.
    for (int i = 0; i < n; ++i) {
        const PlotPoint& p = plot.points[static_cast<std::size_t>(i)];
        Arrow(&items, plot, p.x, p.y, p.arrowX, p.arrowY, p.colour, i);
    }
    for (int i = 0; i < n; ++i) {
        const PlotPoint& p = plot.points[static_cast<std::size_t>(i)];
        PlotItem mark;
        mark.kind = PlotItem::Kind::Mark;
        mark.x1 = p.x, mark.y1 = p.y;
        mark.r = plot.pointRadius;
        mark.width = plot.lineWidth;
        mark.pen = p.colour;
        mark.filled = true;
        mark.fill = p.used ? p.colour : kPlotPaper;
        mark.point = i;
        items.push_back(mark);
        if (p.named || i == selected) {
            items.push_back(Text(p.nameX, p.nameY, p.name, plot.fontSize, p.colour, i));
        }
    }
    if (selected >= 0 && selected < n) {
        const PlotPoint& p = plot.points[static_cast<std::size_t>(selected)];
        PlotItem ring;
        ring.kind = PlotItem::Kind::Mark;
        ring.x1 = p.x, ring.y1 = p.y;
        ring.r = plot.pointRadius + kSelectionGap;
        ring.width = 2;
        ring.pen = kSelectionColour;
        ring.point = selected;
        ring.selection = true;
        items.push_back(ring);
    }
    if (n > 0) {
        items.push_back(Line(plot.barX, plot.barY, plot.barX + plot.barLength, plot.barY,
                             plot.barWidth, kPlotInk, -1));
        items.push_back(
            Text(plot.barLabelX, plot.barLabelY, plot.barLabel, plot.fontSize, kPlotInk, -1));
        Arrow(&items, plot, plot.northX, plot.northBottom, plot.northX, plot.northTop, kPlotInk,
              -1);
        items.push_back(Text(plot.northLabelX, plot.northLabelY, "N", plot.fontSize, kPlotInk, -1));
    }
    if (!caption.empty()) {
        items.push_back(Text(plot.pointRadius, plot.fontSize + plot.pointRadius, caption,
                             plot.fontSize, kPlotInk, -1));
    }
    return items;
}

CResidualPlotView::CResidualPlotView(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    setMinimumSize(120, 120);
    Clear();
}

void CResidualPlotView::SetPlot(Layout layout) {
    m_layout = std::move(layout);
    LayOut();
}

void CResidualPlotView::Clear(const std::string& hint) {
    m_layout = nullptr;
    m_hint = hint;
    m_selected = -1;
    LayOut();
}

void CResidualPlotView::LayOut() {
    if (m_layout) {
        m_plot = m_layout(width(), height());
    } else {
        m_plot = ResidualPlot();
        m_plot.width = width();
        m_plot.height = height();
    }
    if (m_selected >= static_cast<int>(m_plot.points.size())) m_selected = -1;
    update();
}

void CResidualPlotView::SetSelection(int point) {
    m_selected = point >= 0 && point < static_cast<int>(m_plot.points.size()) ? point : -1;
    update();
}

void CResidualPlotView::SetCaption(const std::string& caption) {
    m_caption = caption;
    update();
}

int CResidualPlotView::PointAt(double x, double y) const {
    int best = -1;
    double bestDistance = m_plot.pointRadius + kPickDistance;
    for (std::size_t i = 0; i < m_plot.points.size(); ++i) {
        const PlotPoint& p = m_plot.points[i];
        const double d = std::hypot(p.x - x, p.y - y);
        if (d <= bestDistance) {
            bestDistance = d;
            best = static_cast<int>(i);
        }
    }
    return best;
}

std::vector<PlotItem> CResidualPlotView::Items() const {
    std::vector<PlotItem> items = PlotItems(m_plot, m_selected, m_caption);
    if (!m_layout && !m_hint.empty()) {
        items.push_back(Text(m_plot.pointRadius * 2, m_plot.height / 2, m_hint, m_plot.fontSize,
                             kHintColour, -1));
    }
    return items;
}

void CResidualPlotView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), ColourOf(kPlotPaper));
    painter.setPen(QPen(palette().mid().color(), 1));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    for (const PlotItem& item : Items()) {
        QPen pen(ColourOf(item.pen), item.width);
        pen.setCapStyle(Qt::FlatCap);
        painter.setPen(pen);
        painter.setBrush(item.filled ? QBrush(ColourOf(item.fill)) : Qt::NoBrush);
        switch (item.kind) {
            case PlotItem::Kind::Line:
                painter.drawLine(QPointF(item.x1, item.y1), QPointF(item.x2, item.y2));
                break;
            case PlotItem::Kind::Head: {
                const double dx = item.x2 - item.x1, dy = item.y2 - item.y1;
                const double length = std::hypot(dx, dy);
                const double ux = dx / length, uy = dy / length;
                const double bx = item.x2 - ux * item.r, by = item.y2 - uy * item.r;
                const double h = item.r / 2;
                QPainterPath path;
                path.moveTo(item.x2, item.y2);
                path.lineTo(bx - uy * h, by + ux * h);
                path.lineTo(bx + uy * h, by - ux * h);
                path.closeSubpath();
                painter.setPen(Qt::NoPen);
                painter.drawPath(path);
                break;
            }
            case PlotItem::Kind::Mark:
                painter.drawEllipse(QPointF(item.x1, item.y1), item.r, item.r);
                break;
            case PlotItem::Kind::Text: {
                QFont font = this->font();
                font.setPixelSize(static_cast<int>(item.fontSize));
                painter.setFont(font);
                painter.drawText(QPointF(item.x1, item.y1), QString::fromStdString(item.text));
                break;
            }
        }
    }
}

void CResidualPlotView::resizeEvent(QResizeEvent*) { LayOut(); }

void CResidualPlotView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    const int point = PointAt(event->position().x(), event->position().y());
    if (point < 0) return;
    SetSelection(point);
    if (m_picker) m_picker(point);
}
