#include "ToastView.h"

#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"

#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QMouseEvent>

namespace plenvo {

ToastView::ToastView(QWidget* parent) : OverlayCard(ColorToken::green, 0.10, 0.12, 8, 4, parent)
{
    setObjectName(QStringLiteral("toast"));
    setCursor(Qt::PointingHandCursor);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 12, 16, 12 + shadowExtent());
    row->setSpacing(10);
    m_mark = new SymbolView(QStringLiteral("checkmark.circle.fill"),
                            Icons::extentFor(TextStyles::font(TextStyle::title3)),
                            ColorToken::green, this);
    m_mark->setObjectName(QStringLiteral("toastMark"));
    row->addWidget(m_mark);
    m_message = new StyledLabel(TextStyle::callout, {.weight = QFont::Medium}, std::nullopt, this);
    m_message->setObjectName(QStringLiteral("toastMessage"));
    m_message->setWordWrap(true);
    row->addWidget(m_message, 1);
    m_undo = new QPushButton(L("toast.undo"), this);
    m_undo->setObjectName(QStringLiteral("toastUndo"));
    m_undo->setFont(TextStyles::font(TextStyle::callout, {.weight = QFont::DemiBold}));
    m_undo->setCursor(Qt::PointingHandCursor);
    m_undo->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_undo->hide();
    connect(m_undo, &QPushButton::clicked, this, &ToastView::undoClicked);
    row->addWidget(m_undo);
    auto* close = new SymbolView(QStringLiteral("xmark"),
                                 Icons::extentFor(TextStyles::font(TextStyle::caption2)) * 3 / 4,
                                 ColorToken::tertiary, this);
    row->addWidget(close);
}

void ToastView::setMessage(const QString& message, AppState::ToastKind kind)
{
    m_kind = kind;
    const bool done = kind == AppState::ToastKind::done;
    const ColorToken tint = done ? ColorToken::green : ColorToken::orange;
    m_mark->setSymbol(done ? QStringLiteral("checkmark.circle.fill")
                           : QStringLiteral("exclamationmark.triangle.fill"),
                      tint);
    setTint(tint);
    m_message->setText(message);
    setAccessibleName(message);
}

void ToastView::setUndoOffered(bool offered)
{
    m_undo->setVisible(offered);
}

QString ToastView::message() const
{
    return m_message->fullText();
}

void ToastView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT dismissed();
    OverlayCard::mouseReleaseEvent(event);
}

} // namespace plenvo
