#pragma once

#include "models/ColorToken.h"

#include <QWidget>

namespace plenvo {

// A container drawn as a rounded rectangle filled with one colour at an opacity (by default
// gray at 12 %, radius 10: the cards and panels of the analysis views). Lay its content out
// with an ordinary layout. The fill follows the palette.
class RoundedPanel : public QWidget {
    Q_OBJECT

public:
    explicit RoundedPanel(QWidget* parent = nullptr, qreal radius = 10,
                          ColorToken fill = ColorToken::gray, qreal opacity = 0.12);

    // Changes the fill (a selected row takes its category's colour); opacity 0 draws nothing.
    void setFill(ColorToken fill, qreal opacity);
    ColorToken fill() const { return m_fill; }
    qreal fillOpacity() const { return m_opacity; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    qreal m_radius;
    ColorToken m_fill;
    qreal m_opacity;
};

} // namespace plenvo
