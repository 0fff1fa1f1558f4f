#include "QuickLocationRow.h"

#include "theme/Colors.h"
#include "theme/Icons.h"
#include "theme/TextStyles.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace plenvo {

namespace {

constexpr int kHorizontalPadding = 12;
constexpr int kVerticalPadding = 8;
constexpr int kSpacing = 10;
constexpr int kMinimumGap = 8; // the flexible space between the name and the path, at least
constexpr int kIconBox = 20;
constexpr qreal kCornerRadius = 8;
constexpr qreal kFillOpacity = 0.12;
constexpr qreal kPressedFillOpacity = 0.24;
constexpr int kMinimumPathWidth = 80;

QFont nameFont()
{
    return TextStyles::font(TextStyle::callout, {.weight = QFont::Medium});
}

QFont pathFont()
{
    return TextStyles::font(TextStyle::caption);
}

int iconExtent()
{
    return std::min(kIconBox, Icons::extentFor(TextStyles::font(TextStyle::body)));
}

} // namespace

QuickLocationRow::QuickLocationRow(const QString& displayName, const QString& iconName,
                                   const QString& path, QWidget* parent)
    : QWidget(parent), m_displayName(displayName), m_iconName(iconName), m_path(path)
{
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAccessibleName(displayName);
    setAccessibleDescription(path);
    setToolTip(path);
}

int QuickLocationRow::nameWidth() const
{
    return QFontMetrics(nameFont()).horizontalAdvance(m_displayName);
}

QRect QuickLocationRow::pathRect() const
{
    const int left =
        kHorizontalPadding + kIconBox + kSpacing + nameWidth() + kSpacing + kMinimumGap + kSpacing;
    const int right = width() - kHorizontalPadding;
    return QRect(QPoint(left, 0), QPoint(right - 1, height() - 1));
}

QString QuickLocationRow::shownPath() const
{
    return QFontMetrics(pathFont())
        .elidedText(m_path, Qt::ElideMiddle, std::max(0, pathRect().width()));
}

QSize QuickLocationRow::sizeHint() const
{
    const QFontMetrics pathMetrics(pathFont());
    const int content =
        std::max({QFontMetrics(nameFont()).height(), pathMetrics.height(), iconExtent()});
    const int width = kHorizontalPadding + kIconBox + kSpacing + nameWidth() + kSpacing +
                      kMinimumGap + kSpacing + pathMetrics.horizontalAdvance(m_path) +
                      kHorizontalPadding;
    return {width, content + 2 * kVerticalPadding};
}

QSize QuickLocationRow::minimumSizeHint() const
{
    const QSize hint = sizeHint();
    const int width = kHorizontalPadding + kIconBox + kSpacing + nameWidth() + kSpacing +
                      kMinimumGap + kSpacing + kMinimumPathWidth + kHorizontalPadding;
    return {std::min(width, hint.width()), hint.height()};
}

void QuickLocationRow::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF bounds = QRectF(rect());

    painter.setPen(Qt::NoPen);
    painter.setBrush(
        Colors::color(ColorToken::gray, palette(), m_pressed ? kPressedFillOpacity : kFillOpacity));
    painter.drawRoundedRect(bounds, kCornerRadius, kCornerRadius);
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(bounds.adjusted(1, 1, -1, -1), kCornerRadius - 1,
                                kCornerRadius - 1);
    }

    const int extent = iconExtent();
    const QPixmap icon = Icons::pixmap(
        m_iconName, extent, Colors::color(ColorToken::blue, palette()), devicePixelRatioF());
    if (!icon.isNull())
        painter.drawPixmap(kHorizontalPadding + (kIconBox - extent) / 2, (height() - extent) / 2,
                           icon);

    const int nameLeft = kHorizontalPadding + kIconBox + kSpacing;
    painter.setFont(nameFont());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(QRect(nameLeft, 0, nameWidth() + 1, height()),
                     Qt::AlignLeft | Qt::AlignVCenter, m_displayName);

    painter.setFont(pathFont());
    painter.setPen(Colors::color(ColorToken::tertiary, palette()));
    painter.drawText(pathRect(), Qt::AlignRight | Qt::AlignVCenter, shownPath());
}

void QuickLocationRow::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    update();
}

void QuickLocationRow::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton))
        return;
    const bool inside = rect().contains(event->position().toPoint());
    if (inside != m_pressed) {
        m_pressed = inside;
        update();
    }
}

void QuickLocationRow::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    const bool activate = m_pressed && rect().contains(event->position().toPoint());
    m_pressed = false;
    update();
    if (activate)
        Q_EMIT activated();
}

void QuickLocationRow::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (event->isAutoRepeat())
            break;
        Q_EMIT activated();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
}

void QuickLocationRow::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    update();
}

void QuickLocationRow::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_pressed = false;
    update();
}

void QuickLocationRow::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateGeometry();
        update();
    }
}

} // namespace plenvo
