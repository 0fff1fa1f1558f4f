#pragma once

#include "models/ColorToken.h"

#include <QWidget>

namespace plenvo {

// A horizontal bar that shows a share: a rounded track (gray at 12 %) and, anchored at its
// leading edge, a fill of the same shape in a colour, as wide as the track times the fraction.
// The fill is never narrower than `minimumFill` points and never wider than the track.
class ProportionBar : public QWidget {
    Q_OBJECT

public:
    ProportionBar(int height, qreal radius, ColorToken color, qreal minimumFill = 0,
                  QWidget* parent = nullptr);

    void setFraction(double fraction);
    double fraction() const { return m_fraction; }
    void setColor(ColorToken color);
    ColorToken color() const { return m_color; }
    // The fill's width for the current width and fraction.
    qreal fillWidth() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_height;
    qreal m_radius;
    ColorToken m_color;
    qreal m_minimumFill;
    double m_fraction = 0;
};

} // namespace plenvo
