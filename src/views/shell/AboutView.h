#pragma once

#include <QDialog>

namespace plenvo {

// The About window: name, version, tagline and credit line. One exists; opening it again
// brings it forward.
class AboutView : public QDialog {
    Q_OBJECT

public:
    static constexpr int kWidth = 300;
    explicit AboutView(QWidget* parent = nullptr);
};

} // namespace plenvo
