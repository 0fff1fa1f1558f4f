#include "ScanningProgressView.h"

#include "ActivitySpinner.h"
#include "theme/StyledLabel.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace plenvo {

namespace {

constexpr int kSpacing = 24;
constexpr int kTextSpacing = 6;
constexpr int kSideMargin = 20;

} // namespace

ScanningProgressView::ScanningProgressView(QWidget* parent)
    : QWidget(parent), m_spinner(new ActivitySpinner(kSpinnerDiameter, this)),
      m_title(new StyledLabel(TextStyle::title3, {.weight = QFont::Medium}, std::nullopt, this)),
      m_filesScanned(new StyledLabel(TextStyle::callout, {.monospacedDigits = true},
                                     ColorToken::secondary, this)),
      m_path(new StyledLabel(TextStyle::caption, {}, ColorToken::tertiary, this)),
      m_stop(new QPushButton(L("scanning.stop"), this))
{
    m_stop->setObjectName(QStringLiteral("scanning.stop"));
    connect(m_stop, &QPushButton::clicked, this, &ScanningProgressView::stopRequested);
    m_title->setObjectName(QStringLiteral("scanning.title"));
    m_filesScanned->setObjectName(QStringLiteral("scanning.filesScanned"));
    m_path->setObjectName(QStringLiteral("scanning.path"));
    for (StyledLabel* label : {m_title, m_filesScanned, m_path}) {
        label->setAlignment(Qt::AlignCenter);
        label->setTextFormat(Qt::PlainText);
    }
    // One line, at most this wide, shortened in the middle when the path is longer.
    m_path->setElideMode(Qt::ElideMiddle);
    m_path->setMaximumWidth(kMaximumPathWidth);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(kTextSpacing);
    texts->addWidget(m_title, 0, Qt::AlignHCenter);
    texts->addWidget(m_filesScanned, 0, Qt::AlignHCenter);
    texts->addWidget(m_path, 0, Qt::AlignHCenter);

    // Equal stretch above and below keeps the group in the vertical middle.
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kSideMargin, 0, kSideMargin, 0);
    layout->setSpacing(kSpacing);
    layout->addStretch(1);
    layout->addWidget(m_spinner, 0, Qt::AlignHCenter);
    layout->addLayout(texts);
    layout->addWidget(m_stop, 0, Qt::AlignHCenter);
    layout->addStretch(1);

    setTitle(L("scanning.title"));
    setProgress(ScanProgress::idle());
}

void ScanningProgressView::setTitle(const QString& title)
{
    m_title->setText(title);
    m_spinner->setAccessibleName(title);
}

void ScanningProgressView::keyPressEvent(QKeyEvent* event)
{
    // Esc, from the button or wherever in the view the keyboard is.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (m_stop->isEnabled())
            Q_EMIT stopRequested();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ScanningProgressView::setStopping(bool stopping)
{
    m_stop->setEnabled(!stopping);
}

void ScanningProgressView::setReadingSavedScan(bool reading)
{
    m_readingSavedScan = reading;
    setProgress(m_progress);
}

void ScanningProgressView::setProgress(const ScanProgress& progress)
{
    m_progress = progress;
    const bool scanning = progress.kind() == ScanProgress::Kind::scanning;
    const DisplayNumber files = FormatUtils::countArg(progress.filesScanned());
    m_filesScanned->setText(!scanning            ? QString()
                            : m_readingSavedScan ? L("import.filesRead %lld", files)
                                                 : L("scanning.filesScanned %lld", files));
    m_path->setText(scanning ? progress.path() : QString());
    m_path->setToolTip(scanning ? progress.path() : QString());
    m_filesScanned->setVisible(scanning);
    m_path->setVisible(scanning);
}

} // namespace plenvo
