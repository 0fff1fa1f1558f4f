#pragma once

#include "models/ColorToken.h"

#include <QPushButton>

namespace plenvo {

// A push button filled with the accent colour, for the one main action of a screen. Its look
// follows the palette (light or dark) whenever that changes.
class ProminentButton : public QPushButton {
    Q_OBJECT

public:
    ProminentButton(const QString& text, int verticalPadding, int horizontalPadding,
                    QWidget* parent = nullptr);

    // The fill colour (the accent blue unless changed; red for a destructive action).
    void setTint(ColorToken tint);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyStyle();

    int m_verticalPadding;
    int m_horizontalPadding;
    ColorToken m_tint = ColorToken::blue;
    bool m_applying = false;
};

} // namespace plenvo
