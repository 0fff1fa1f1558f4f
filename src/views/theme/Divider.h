#pragma once

#include <QFrame>

namespace plenvo {

// A hairline between two parts of a view, across it (Qt::Horizontal) or down it
// (Qt::Vertical), in the palette's mid colour.
class Divider : public QFrame {
    Q_OBJECT

public:
    explicit Divider(Qt::Orientation orientation, QWidget* parent = nullptr);
};

} // namespace plenvo
