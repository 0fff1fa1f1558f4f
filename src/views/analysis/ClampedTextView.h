#pragma once

#include "models/ColorToken.h"
#include "theme/TextStyle.h"
#include "theme/TextStyles.h"

#include <QTextEdit>
#include <QTextOption>

#include <optional>

namespace plenvo {

// Plain text in a text style and colour on at most `maxLines` lines: wrapped to the widget's
// width (at word boundaries, or anywhere for text without spaces, as the wrap mode says), and
// elided at the end of the last line when it needs more. The widget is as tall as the lines it
// shows. Line breaks are soft, so a selection copies the text as it is, also across lines, and a
// selection that takes in the ellipsis copies the rest of the text it stands for. The text is
// one paragraph: names and paths come without line breaks (see DisplayText).
class ClampedTextView : public QTextEdit {
    Q_OBJECT

public:
    // Without a colour the text takes the palette's own text colour.
    ClampedTextView(TextStyle style, const TextStyles::Options& options,
                    std::optional<ColorToken> color, int maxLines, QTextOption::WrapMode wrap,
                    Qt::Alignment alignment, QWidget* parent = nullptr);

    // Lets the user select and copy the text (off by default: the text reads like a label).
    void setSelectable(bool selectable);
    void setFullText(const QString& text);
    QString fullText() const { return m_fullText; }
    // What is shown: the whole text, or its start and an ellipsis.
    QString shownText() const { return toPlainText(); }
    int shownLineCount() const { return m_lineCount; }

    // The lines `text` takes in `width` pixels of `font`: at most `maxLines` (at least one),
    // the last one elided when the text does not fit. Joined, the lines are the text, or a
    // prefix of it followed by an ellipsis.
    static QStringList fitLines(const QString& text, const QFont& font, int width, int maxLines,
                                QTextOption::WrapMode wrap);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;
    QMimeData* createMimeDataFromSelection() const override;

private:
    void applyColor();
    void refit();
    int heightFor(int lineCount) const;
    void measureLine();

    std::optional<ColorToken> m_color;
    int m_maxLines;
    QTextOption::WrapMode m_wrap;
    QString m_fullText;
    int m_lineCount = 1;
    int m_lineHeight = 0;
    int m_fitWidth = -1;
    bool m_applying = false;
};

} // namespace plenvo
