// How the controls of a dialog follow its window when it grows beyond its
// template. Lists, tables and panes (ViewPane, a view of the dialog's own)
// take the room, all three called lists below; the rest keeps its place:
//
// - The extra width (height) is shared equally by the stretches: the spans
//   of the lists and tables along that axis, overlapping spans taken as one.
//   A list that lies on a larger one (another page's list) does not stretch.
// - A control after a stretch moves by its share, one before it stays.
// - A group box or tab control that overlaps a list, and a control that
//   covers a stretch's whole span, grow with it.
// - Any other control within a stretch's span keeps its place, except a
//   control above or below every list, which goes with the nearer end of
//   the span horizontally (the buttons under a table), and a control in a
//   group box that does not grow, which moves with its box.
#pragma once

#include <vector>

struct LayoutRect {
    int x = 0, y = 0, cx = 0, cy = 0;
    bool operator==(const LayoutRect&) const = default;
};

struct LayoutItem {
    enum class Role { Fixed, List, Frame };  // Frame: a group box or tab control
    LayoutRect rect;
    Role role = Role::Fixed;
};

class CDialogLayout {
public:
    explicit CDialogLayout(std::vector<LayoutItem> items);

    // Whether any list stretches: only then does the dialog grow.
    bool Stretches() const { return !m_lists.empty(); }
    // Every item's rectangle when the window is `dx` wider and `dy` taller
    // than its template (negative values count as 0).
    std::vector<LayoutRect> Place(int dx, int dy) const;

private:
    struct Span {
        int a, b;
    };
    // The spans of the stretching lists along one axis, merged.
    static std::vector<Span> Spans(const std::vector<LayoutRect>& lists, bool horizontal);
    // The item's [start, end] along one axis after the growth.
    void PlaceAxis(std::size_t index, bool horizontal, int extra, const std::vector<Span>& spans,
                   int* start, int* end) const;

    std::vector<LayoutItem> m_items;
    std::vector<LayoutRect> m_lists;
    std::vector<bool> m_stretches;  // by item
    std::vector<int> m_box;         // the group box an item lies in, -1 when none
};
