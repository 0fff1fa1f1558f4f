#pragma once

#include <QWidget>

namespace plenvo {

// A one-pixel line between parts of a view, across its parent (horizontal) or down it
// (vertical), in the divider colour of the palette (Colors::divider), which shows in light and
// dark whatever the palette's own mid colour is.
class Divider : public QWidget {
    Q_OBJECT

public:
    explicit Divider(Qt::Orientation orientation, QWidget* parent = nullptr);

    Qt::Orientation orientation() const { return m_orientation; }
    QSize sizeHint() const override { return {1, 1}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Qt::Orientation m_orientation;
};

} // namespace plenvo
