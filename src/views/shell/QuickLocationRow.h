#pragma once

#include <QString>
#include <QWidget>

namespace plenvo {

// One quick location of the folder-picker sheet: a rounded, tinted row with the location's
// icon, its name and, at the far end, its full path elided in the middle. The whole row is one
// button: a click, or Space or Return while it has the keyboard focus, activates it.
class QuickLocationRow : public QWidget {
    Q_OBJECT

public:
    QuickLocationRow(const QString& displayName, const QString& iconName, const QString& path,
                     QWidget* parent = nullptr);

    const QString& displayName() const { return m_displayName; }
    const QString& iconName() const { return m_iconName; }
    const QString& path() const { return m_path; }
    // The path as drawn at the row's current width.
    QString shownPath() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void activated();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QRect pathRect() const;
    int nameWidth() const;

    QString m_displayName;
    QString m_iconName;
    QString m_path;
    bool m_pressed = false;
};

} // namespace plenvo
