#include "CategoryFilesHeader.h"

#include "theme/Icons.h"
#include "theme/StyledLabel.h"
#include "theme/SymbolView.h"
#include "theme/TextStyles.h"
#include "utils/FormatUtils.h"
#include "utils/Localization.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace plenvo {

namespace {

const QString kNoCategoryIcon = QStringLiteral("tray.full.fill");

} // namespace

CategoryFilesHeader::CategoryFilesHeader(QWidget* parent)
    : RoundedPanel(parent, 0, ColorToken::gray, 0.08)
{
    setObjectName(QStringLiteral("categoryFilesHeader"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(14, 9, 14, 9);
    row->setSpacing(10);

    m_icon = new SymbolView(kNoCategoryIcon, Icons::extentFor(TextStyles::systemFont(13)),
                            ColorToken::secondary, this);
    row->addWidget(m_icon);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(0);
    m_title = new StyledLabel(TextStyle::body, {}, std::nullopt, this);
    m_title->setFont(TextStyles::systemFont(13, {.weight = QFont::DemiBold}));
    m_title->setElideMode(Qt::ElideRight);
    m_count = new StyledLabel(TextStyle::body, {}, ColorToken::secondary, this);
    m_count->setFont(TextStyles::systemFont(11));
    m_count->setElideMode(Qt::ElideRight);
    texts->addWidget(m_title);
    texts->addWidget(m_count);
    row->addLayout(texts, 1);

    m_size = new StyledLabel(TextStyle::body, {}, ColorToken::secondary, this);
    m_size->setFont(
        TextStyles::systemFont(12, {.weight = QFont::DemiBold, .monospacedDigits = true}));
    row->addWidget(m_size);

    m_showMore = new QToolButton(this);
    m_showMore->setObjectName(QStringLiteral("showMoreButton"));
    m_showMore->setText(L("categories.showMore"));
    m_showMore->setIcon(Icons::icon(QStringLiteral("chevron.down.circle"), ColorToken::secondary));
    m_showMore->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_showMore->setFont(TextStyles::systemFont(11));
    m_showMore->setIconSize(QSize(14, 14));
    m_showMore->hide();
    row->addWidget(m_showMore);
    connect(m_showMore, &QToolButton::clicked, this, &CategoryFilesHeader::showMoreClicked);
}

void CategoryFilesHeader::setContent(std::optional<FileCategory> category, std::int64_t listed,
                                     std::int64_t fileCount, std::int64_t totalSize)
{
    if (category)
        m_icon->setSymbol(QString::fromLatin1(category->icon()), category->color());
    else
        m_icon->setSymbol(kNoCategoryIcon, ColorToken::secondary);
    m_title->setText(category ? category->localizedName() : L("categories.allFiles"));
    m_count->setText(L("categories.visibleFileCount %lld %lld", FormatUtils::countArg(listed),
                       FormatUtils::countArg(fileCount)));
    m_size->setText(FormatUtils::formatBytes(totalSize));
    m_showMore->setVisible(listed < fileCount);
}

QString CategoryFilesHeader::title() const
{
    return m_title->fullText();
}

QString CategoryFilesHeader::countText() const
{
    return m_count->fullText();
}

QString CategoryFilesHeader::sizeText() const
{
    return m_size->fullText();
}

} // namespace plenvo
