#include "ClampedTextView.h"

#include "theme/Colors.h"

#include <QApplication>
#include <QEvent>
#include <QFontMetricsF>
#include <QMimeData>
#include <QTextDocument>
#include <QTextLayout>
#include <QtMath>

#include <algorithm>

namespace plenvo {

ClampedTextView::ClampedTextView(TextStyle style, const TextStyles::Options& options,
                                 std::optional<ColorToken> color, int maxLines,
                                 QTextOption::WrapMode wrap, Qt::Alignment alignment,
                                 QWidget* parent)
    : QTextEdit(parent), m_color(color), m_maxLines(std::max(1, maxLines)), m_wrap(wrap)
{
    setFont(TextStyles::font(style, options));
    setReadOnly(true);
    setUndoRedoEnabled(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setLineWrapMode(QTextEdit::WidgetWidth);
    setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    document()->setDocumentMargin(0);
    QTextOption option = document()->defaultTextOption();
    option.setWrapMode(wrap);
    option.setAlignment(alignment);
    document()->setDefaultTextOption(option);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setSelectable(false);
    applyColor();
    measureLine();
}

void ClampedTextView::setSelectable(bool selectable)
{
    setTextInteractionFlags(selectable ? Qt::TextSelectableByMouse : Qt::NoTextInteraction);
    setFocusPolicy(selectable ? Qt::ClickFocus : Qt::NoFocus);
    setContextMenuPolicy(selectable ? Qt::DefaultContextMenu : Qt::NoContextMenu);
    viewport()->setCursor(selectable ? Qt::IBeamCursor : Qt::ArrowCursor);
    // Without a selection to make, the wheel and clicks belong to what lies below.
    setAttribute(Qt::WA_TransparentForMouseEvents, !selectable);
}

void ClampedTextView::setFullText(const QString& text)
{
    if (text == m_fullText)
        return;
    m_fullText = text;
    m_fitWidth = -1;
    refit();
    updateGeometry();
}

QStringList ClampedTextView::fitLines(const QString& text, const QFont& font, int width,
                                      int maxLines, QTextOption::WrapMode wrap)
{
    QTextLayout layout(text, font);
    QTextOption option;
    option.setWrapMode(wrap);
    layout.setTextOption(option);
    QStringList lines;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        const int start = line.textStart();
        if (lines.size() + 1 >= maxLines && start + line.textLength() < text.size()) {
            // One pixel to spare: the text is laid out again with fractional advances.
            lines << QFontMetricsF(font).elidedText(text.mid(start), Qt::ElideRight, width - 1);
            break;
        }
        lines << text.mid(start, line.textLength());
    }
    layout.endLayout();
    if (lines.isEmpty())
        lines << QString();
    return lines;
}

int ClampedTextView::heightFor(int lineCount) const
{
    return lineCount * m_lineHeight;
}

void ClampedTextView::measureLine()
{
    // The height the document gives a line, which it rounds.
    QTextDocument line;
    line.setDefaultFont(font());
    line.setDocumentMargin(0);
    line.setPlainText(QStringLiteral("X"));
    m_lineHeight = qCeil(line.size().height());
}

int ClampedTextView::heightForWidth(int width) const
{
    return heightFor(int(fitLines(m_fullText, font(), width, m_maxLines, m_wrap).size()));
}

QSize ClampedTextView::sizeHint() const
{
    const int natural = qCeil(QFontMetricsF(font()).horizontalAdvance(m_fullText)) + 1;
    return {natural, heightForWidth(width())};
}

QSize ClampedTextView::minimumSizeHint() const
{
    return {0, heightFor(1)};
}

void ClampedTextView::resizeEvent(QResizeEvent* event)
{
    QTextEdit::resizeEvent(event);
    refit();
}

void ClampedTextView::changeEvent(QEvent* event)
{
    QTextEdit::changeEvent(event);
    switch (event->type()) {
    case QEvent::FontChange:
        measureLine();
        m_fitWidth = -1;
        refit();
        updateGeometry();
        break;
    case QEvent::ApplicationPaletteChange:
        applyColor();
        break;
    case QEvent::PaletteChange:
        if (!m_applying)
            applyColor();
        break;
    default:
        break;
    }
}

QMimeData* ClampedTextView::createMimeDataFromSelection() const
{
    // The shown text agrees with the whole text up to the ellipsis, if there is one.
    const QString shown = toPlainText();
    const int kept =
        int(std::mismatch(shown.begin(), shown.end(), m_fullText.begin(), m_fullText.end()).first -
            shown.begin());
    const QTextCursor cursor = textCursor();
    const int start = std::min(cursor.selectionStart(), kept);
    const int end = cursor.selectionEnd() > kept ? int(m_fullText.size()) : cursor.selectionEnd();
    auto* data = new QMimeData;
    data->setText(m_fullText.mid(start, end - start));
    return data;
}

void ClampedTextView::applyColor()
{
    if (m_applying)
        return;
    m_applying = true;
    QPalette p = palette();
    const QPalette base = parentWidget() ? parentWidget()->palette() : QApplication::palette(this);
    if (m_color)
        p.setColor(QPalette::Text, Colors::textColor(*m_color, base));
    p.setColor(QPalette::Base, Qt::transparent);
    setPalette(p);
    m_applying = false;
}

void ClampedTextView::refit()
{
    const int width = viewport()->width();
    if (width == m_fitWidth)
        return;
    m_fitWidth = width;
    const QStringList lines = fitLines(m_fullText, font(), width, m_maxLines, m_wrap);
    m_lineCount = int(lines.size());
    const QString shown = lines.join(QString());
    if (shown != toPlainText())
        setPlainText(shown);
}

} // namespace plenvo
