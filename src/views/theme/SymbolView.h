#pragma once

#include "Icons.h"
#include "models/ColorToken.h"

#include <QWidget>

namespace plenvo {

// A symbol icon as a widget: drawn at paint time in the colour of a token for the widget's
// current palette, so it follows a switch between light and dark. The box may be wider than
// the symbol (a column of icons aligned in a fixed-width box); the symbol is centred in it.
class SymbolView : public QWidget {
    Q_OBJECT

public:
    SymbolView(const QString& name, int extent, ColorToken color, QWidget* parent = nullptr);

    void setSymbol(const QString& name, Icons::Variant variant = Icons::Variant::plain);
    void setColor(ColorToken color);
    void setBoxWidth(int width);

    const QString& symbol() const { return m_name; }
    ColorToken color() const { return m_color; }
    int extent() const { return m_extent; }

    QSize sizeHint() const override { return {std::max(m_boxWidth, m_extent), m_extent}; }
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_name;
    int m_extent;
    ColorToken m_color;
    Icons::Variant m_variant = Icons::Variant::plain;
    int m_boxWidth = 0;
};

} // namespace plenvo
