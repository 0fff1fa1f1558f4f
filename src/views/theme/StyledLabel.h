#pragma once

#include "TextStyle.h"
#include "TextStyles.h"
#include "models/ColorToken.h"

#include <QLabel>

#include <optional>

namespace plenvo {

// A label in one of the text styles, optionally in the colour of a token (secondary, tertiary,
// blue, ...). The colour is taken again whenever the application's palette changes, so the
// label follows a switch between light and dark. Long text can be elided at one end or in
// the middle instead of widening the label.
class StyledLabel : public QLabel {
    Q_OBJECT

public:
    StyledLabel(TextStyle style, const TextStyles::Options& options = {},
                std::optional<ColorToken> color = std::nullopt, QWidget* parent = nullptr);

    void setColorToken(std::optional<ColorToken> color);
    // Elide rather than grow; Qt::ElideNone (the default) wraps or grows as a QLabel does.
    void setElideMode(Qt::TextElideMode mode);
    void setText(const QString& text);
    // The whole text, also while it is shown elided.
    QString fullText() const { return m_fullText; }

    QSize minimumSizeHint() const override;
    QSize sizeHint() const override;

protected:
    void changeEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void applyColor();
    void updateShownText();

    std::optional<ColorToken> m_color;
    Qt::TextElideMode m_elide = Qt::ElideNone;
    QString m_fullText;
    bool m_applying = false;
};

} // namespace plenvo
