#pragma once

#include "models/ColorToken.h"

#include <QColor>
#include <QIconEngine>
#include <QString>

#include <optional>

namespace plenvo {

// Draws one symbol of Icons for a QIcon: at any size and pixel ratio, in a fixed colour or in a
// colour token resolved against the application palette when drawn. The On state draws the
// filled variant; the Disabled mode is faded.
class SymbolIconEngine : public QIconEngine {
public:
    SymbolIconEngine(const QString& name, const QColor& color);
    SymbolIconEngine(const QString& name, ColorToken token);

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override;
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override;
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override;
    QIconEngine* clone() const override;
    QString key() const override;
    QString iconName() override;
    bool isNull() override;

private:
    SymbolIconEngine(const SymbolIconEngine& other) = default;

    QPixmap render(int extent, qreal devicePixelRatio, QIcon::Mode mode, QIcon::State state) const;
    QColor colorFor(QIcon::Mode mode) const;

    QString m_name;
    QColor m_color;
    std::optional<ColorToken> m_token;
};

} // namespace plenvo
