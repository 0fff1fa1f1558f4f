#pragma once

#include "models/ColorToken.h"

#include <QWidget>

namespace plenvo {

// A full-width strip laid over the top of the window: a tint of one colour over the window's
// background, with a soft shadow below. The delete banner and the toast are drawn on it.
class OverlayCard : public QWidget {
    Q_OBJECT

public:
    OverlayCard(ColorToken tint, qreal tintOpacity, qreal shadowOpacity, int shadowRadius,
                int shadowOffset, QWidget* parent = nullptr);

    void setTint(ColorToken tint);

    // The space below the strip taken by its shadow.
    int shadowExtent() const { return m_shadowRadius + m_shadowOffset; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ColorToken m_tint;
    qreal m_tintOpacity;
    qreal m_shadowOpacity;
    int m_shadowRadius;
    int m_shadowOffset;
};

} // namespace plenvo
