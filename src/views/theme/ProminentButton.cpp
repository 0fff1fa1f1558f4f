#include "ProminentButton.h"

#include "Colors.h"
#include "Contrast.h"

#include <QEvent>

namespace plenvo {

namespace {

constexpr int kBorder = 2;

QString cssColor(const QColor& color)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(color.alpha());
}

} // namespace

ProminentButton::ProminentButton(const QString& text, int verticalPadding, int horizontalPadding,
                                 QWidget* parent)
    : QPushButton(text, parent), m_verticalPadding(verticalPadding),
      m_horizontalPadding(horizontalPadding)
{
    applyStyle();
}

void ProminentButton::setTint(ColorToken tint)
{
    m_tint = tint;
    applyStyle();
}

void ProminentButton::changeEvent(QEvent* event)
{
    QPushButton::changeEvent(event);
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ApplicationPaletteChange)
        applyStyle();
}

void ProminentButton::applyStyle()
{
    // Setting a style sheet sends a palette change of its own: do not answer it again.
    if (m_applying)
        return;
    m_applying = true;
    const QPalette base = palette();
    const QColor text = base.color(QPalette::HighlightedText);
    // The accent, deepened where the label would not read on it at 4.5 : 1.
    const QColor accent = Contrast::fillBehind(text, Colors::color(m_tint, base));
    // The border is always there, in the fill colour, so that the focus ring does not move
    // the label.
    setStyleSheet(
        QStringLiteral("QPushButton { background-color: %1; color: %2; border: %3px solid %1;"
                       " border-radius: 6px; padding: %4px %5px; }"
                       "QPushButton:hover { background-color: %6; border-color: %6; }"
                       "QPushButton:pressed { background-color: %7; border-color: %7; }"
                       "QPushButton:focus { border-color: %8; }"
                       "QPushButton:disabled { background-color: %9; border-color: %9; }")
            .arg(cssColor(accent), cssColor(text), QString::number(kBorder),
                 QString::number(m_verticalPadding - kBorder),
                 QString::number(m_horizontalPadding - kBorder), cssColor(accent.darker(110)),
                 cssColor(accent.darker(125)), cssColor(Colors::color(ColorToken::secondary, base)),
                 cssColor(Colors::withOpacity(accent, 0.4))));
    m_applying = false;
}

} // namespace plenvo
