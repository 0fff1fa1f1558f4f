#include "StyledLabel.h"

#include "Colors.h"

#include <QApplication>
#include <QEvent>

namespace plenvo {

StyledLabel::StyledLabel(TextStyle style, const TextStyles::Options& options,
                         std::optional<ColorToken> color, QWidget* parent)
    : QLabel(parent), m_color(color)
{
    setFont(TextStyles::font(style, options));
    applyColor();
}

void StyledLabel::setColorToken(std::optional<ColorToken> color)
{
    m_color = color;
    applyColor();
}

void StyledLabel::setElideMode(Qt::TextElideMode mode)
{
    m_elide = mode;
    if (mode != Qt::ElideNone) // as wide as the text when there is room, narrower when not
        setSizePolicy(QSizePolicy::Preferred, sizePolicy().verticalPolicy());
    updateShownText();
}

void StyledLabel::setText(const QString& text)
{
    if (text == m_fullText && !(m_elide == Qt::ElideNone && QLabel::text() != text))
        return;
    m_fullText = text;
    updateShownText();
    // The width wanted follows the whole text, also when what is shown (an elided text)
    // stays the same.
    updateGeometry();
}

QSize StyledLabel::minimumSizeHint() const
{
    if (m_elide == Qt::ElideNone)
        return QLabel::minimumSizeHint();
    return {0, QLabel::minimumSizeHint().height()};
}

QSize StyledLabel::sizeHint() const
{
    if (m_elide == Qt::ElideNone)
        return QLabel::sizeHint();
    // One pixel more than the advance: eliding measures with fractions and would otherwise cut
    // a text that fits exactly.
    const QMargins m = contentsMargins();
    return {fontMetrics().horizontalAdvance(m_fullText) + 1 + m.left() + m.right() + 2 * margin(),
            QLabel::sizeHint().height()};
}

void StyledLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::ApplicationPaletteChange ||
        (event->type() == QEvent::PaletteChange && !m_applying))
        applyColor();
    if (event->type() == QEvent::FontChange)
        updateShownText();
}

void StyledLabel::resizeEvent(QResizeEvent* event)
{
    QLabel::resizeEvent(event);
    updateShownText();
}

void StyledLabel::applyColor()
{
    if (!m_color || m_applying)
        return;
    m_applying = true;
    QPalette p = palette();
    const QPalette base = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    // Inside a button (a clickable row) a label draws in the button text colour.
    const QColor text = Colors::textColor(*m_color, base);
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(role, text);
    setPalette(p);
    m_applying = false;
}

void StyledLabel::updateShownText()
{
    if (m_elide == Qt::ElideNone) {
        QLabel::setText(m_fullText);
        return;
    }
    const QMargins m = contentsMargins();
    const int available = width() - m.left() - m.right() - 2 * margin();
    QLabel::setText(fontMetrics().elidedText(m_fullText, m_elide, std::max(0, available)));
}

} // namespace plenvo
