#pragma once

#include <QWidget>

namespace plenvo {

// The background of a view's header bar: the window colour shaded slightly towards the text
// colour, as a translucent toolbar looks over the content. Lay the header out on it with an
// ordinary layout; it follows the palette.
class ToolbarSurface : public QWidget {
    Q_OBJECT

public:
    explicit ToolbarSurface(QWidget* parent = nullptr);

    // The colour drawn for a palette.
    static QColor color(const QPalette& palette);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace plenvo
