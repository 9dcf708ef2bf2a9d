#include "ui/framework/DialogLayout.h"

#include <algorithm>

namespace {

int Start(const LayoutRect& r, bool horizontal) { return horizontal ? r.x : r.y; }
int End(const LayoutRect& r, bool horizontal) { return horizontal ? r.x + r.cx : r.y + r.cy; }

bool Overlap(const LayoutRect& r, const LayoutRect& s, bool horizontal) {
    return Start(r, horizontal) < End(s, horizontal) && Start(s, horizontal) < End(r, horizontal);
}

bool Overlap(const LayoutRect& r, const LayoutRect& s) {
    return Overlap(r, s, true) && Overlap(r, s, false);
}

bool Contains(const LayoutRect& outer, const LayoutRect& inner) {
    return outer.x <= inner.x && outer.y <= inner.y && End(outer, true) >= End(inner, true) &&
           End(outer, false) >= End(inner, false);
}

long Area(const LayoutRect& r) { return static_cast<long>(r.cx) * r.cy; }

// Span k's part of `extra`, the parts adding up to it.
int Share(int extra, std::size_t k, std::size_t n) {
    return static_cast<int>(static_cast<long>(extra) * static_cast<long>(k + 1) /
                                static_cast<long>(n) -
                            static_cast<long>(extra) * static_cast<long>(k) / static_cast<long>(n));
}

}  // namespace

CDialogLayout::CDialogLayout(std::vector<LayoutItem> items)
    : m_items(std::move(items)), m_stretches(m_items.size(), false), m_box(m_items.size(), -1) {
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        if (m_items[i].role != LayoutItem::Role::List) continue;
        bool under = false;
        for (std::size_t j = 0; j < m_items.size() && !under; ++j) {
            if (j == i || m_items[j].role != LayoutItem::Role::List) continue;
            const long ai = Area(m_items[i].rect), aj = Area(m_items[j].rect);
            under = Overlap(m_items[i].rect, m_items[j].rect) && (aj > ai || (aj == ai && j < i));
        }
        if (under) continue;
        m_stretches[i] = true;
        m_lists.push_back(m_items[i].rect);
    }
    // Group boxes that grow take no children along; the others do.
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        long best = -1;
        for (std::size_t j = 0; j < m_items.size(); ++j) {
            const LayoutItem& box = m_items[j];
            if (j == i || box.role != LayoutItem::Role::Frame) continue;
            if (!Contains(box.rect, m_items[i].rect) || Area(box.rect) == Area(m_items[i].rect))
                continue;
            bool grows = false;
            for (const LayoutRect& list : m_lists) grows = grows || Overlap(box.rect, list);
            if (grows) continue;
            if (best < 0 || Area(box.rect) < best) {
                best = Area(box.rect);
                m_box[i] = static_cast<int>(j);
            }
        }
    }
}

std::vector<CDialogLayout::Span> CDialogLayout::Spans(const std::vector<LayoutRect>& lists,
                                                      bool horizontal) {
    std::vector<Span> spans;
    for (const LayoutRect& r : lists) spans.push_back({Start(r, horizontal), End(r, horizontal)});
    std::sort(spans.begin(), spans.end(), [](const Span& p, const Span& q) { return p.a < q.a; });
    std::vector<Span> merged;
    for (const Span& s : spans) {
        if (!merged.empty() && s.a < merged.back().b) {
            merged.back().b = std::max(merged.back().b, s.b);
        } else {
            merged.push_back(s);
        }
    }
    return merged;
}

void CDialogLayout::PlaceAxis(std::size_t index, bool horizontal, int extra,
                              const std::vector<Span>& spans, int* start, int* end) const {
    const LayoutItem& item = m_items[index];
    const int l = Start(item.rect, horizontal), r = End(item.rect, horizontal);
    bool grows = m_stretches[index];
    if (item.role == LayoutItem::Role::Frame) {
        for (const LayoutRect& list : m_lists) grows = grows || Overlap(item.rect, list);
    }
    if (grows) {
        // Both edges mapped through the stretches.
        auto map = [&](int x) {
            int moved = x;
            for (std::size_t k = 0; k < spans.size(); ++k) {
                const int d = Share(extra, k, spans.size());
                const Span& s = spans[k];
                if (x >= s.b) {
                    moved += d;
                } else if (x > s.a) {
                    moved += static_cast<int>(static_cast<long>(d) * (x - s.a) / (s.b - s.a));
                }
            }
            return moved;
        };
        *start = map(l);
        *end = map(r);
        return;
    }
    if (m_box[index] >= 0) {
        int boxStart = 0, boxEnd = 0;
        PlaceAxis(static_cast<std::size_t>(m_box[index]), horizontal, extra, spans, &boxStart,
                  &boxEnd);
        const int shift = boxStart - Start(m_items[static_cast<std::size_t>(m_box[index])].rect,
                                           horizontal);
        *start = l + shift;
        *end = r + shift;
        return;
    }
    bool clear = true;  // above or below every list
    for (const LayoutRect& list : m_lists) clear = clear && !Overlap(item.rect, list, false);
    int shift = 0, growth = 0;
    for (std::size_t k = 0; k < spans.size(); ++k) {
        const int d = Share(extra, k, spans.size());
        const Span& s = spans[k];
        if (l >= s.b) {
            shift += d;
        } else if (r <= s.a) {
            continue;
        } else if (l <= s.a && r >= s.b) {
            growth += d;
        } else if (horizontal && clear && l + r > s.a + s.b) {
            shift += d;
        }
    }
    *start = l + shift;
    *end = r + shift + growth;
}

std::vector<LayoutRect> CDialogLayout::Place(int dx, int dy) const {
    dx = std::max(dx, 0);
    dy = std::max(dy, 0);
    const std::vector<Span> columns = Spans(m_lists, true);
    const std::vector<Span> rows = Spans(m_lists, false);
    std::vector<LayoutRect> placed;
    placed.reserve(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
        int x0 = 0, x1 = 0, y0 = 0, y1 = 0;
        PlaceAxis(i, true, dx, columns, &x0, &x1);
        PlaceAxis(i, false, dy, rows, &y0, &y1);
        placed.push_back({x0, y0, x1 - x0, y1 - y0});
    }
    return placed;
}
