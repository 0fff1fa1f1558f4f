#pragma once

#include "Icons.h"
#include "models/ColorToken.h"

#include <QWidget>

namespace plenvo {

// A symbol icon as a widget: drawn at paint time in the colour of a token for the widget's
// current palette, so it follows a switch between light and dark.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    SymbolView(const QString& name, int extent, ColorToken color, QWidget* parent = nullptr);

    // Shows another symbol, or the same one in another colour.
    void setSymbol(const QString& name, ColorToken color);
    const QString& symbolName() const { return m_name; }
    ColorToken color() const { return m_color; }

    QSize sizeHint() const override { return {m_extent, m_extent}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
    int m_extent;
    ColorToken m_color;
};

} // namespace plenvo
