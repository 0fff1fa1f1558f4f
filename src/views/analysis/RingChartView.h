#pragma once

#include "geometry/RingGeometry.h"
#include "models/ColorToken.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace plenvo {

// The ring of the categories view: one stroked arc per segment, clockwise from the top, in the
// category's colour, the selected category's wider than the others; in its hole a small stack
// of an icon, a size and a caption. A click on a segment reports its category.
//
// The ring is inscribed in a kBoxSize square; the widget leaves room around that square for
// the part of the stroke that reaches beyond it (RingGeometry::overhang()).
class RingChartView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBoxSize = 180;

    // What the hole shows: an optional icon over a value and a caption.
    struct Center {
        QString icon; // a symbol name; empty for none
        ColorToken iconColor = ColorToken::secondary;
        QString value;
        QString caption;
    };

    explicit RingChartView(QWidget* parent = nullptr);

    void setSlices(std::vector<RingSlice> slices);
    const std::vector<RingSlice>& slices() const { return m_slices; }
    // The category whose segment is drawn wide; none for none.
    void setSelectedCategory(std::optional<FileCategory> category);
    std::optional<FileCategory> selectedCategory() const { return m_selected; }
    // Also the widget's accessible name: the value and the caption.
    void setCenter(const Center& center);
    const Center& center() const { return m_center; }

    // The square the ring is inscribed in, in the widget's coordinates.
    QRectF ringBox() const;
    // The category of the segment under `point` (widget coordinates), if any.
    std::optional<FileCategory> categoryAt(const QPointF& point) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void categoryClicked(FileCategory category);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void paintCenter(QPainter& painter);

    std::vector<RingSlice> m_slices;
    std::optional<FileCategory> m_selected;
    Center m_center;
    std::optional<FileCategory> m_pressed;
};

} // namespace plenvo
