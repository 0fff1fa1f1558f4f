#pragma once

#include <QWidget>

namespace plenvo {

// The inspector column while nothing is selected.
class InspectorPlaceholderView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kWidth = 260;
    explicit InspectorPlaceholderView(QWidget* parent = nullptr);
};

} // namespace plenvo
