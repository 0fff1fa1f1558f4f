#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace plenvo {

// An indeterminate progress indicator: a rotating arc. Animates only while visible.
class ActivitySpinner : public QWidget {
    Q_OBJECT

public:
    explicit ActivitySpinner(int diameter, QWidget* parent = nullptr);

    QSize sizeHint() const override { return {m_diameter, m_diameter}; }
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool isAnimating() const { return m_animation.state() == QAbstractAnimation::Running; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    int m_diameter;
    QVariantAnimation m_animation;
};

} // namespace plenvo
