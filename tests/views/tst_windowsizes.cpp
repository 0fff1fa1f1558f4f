// The main window over a home folder at the sizes people use, from the minimum (with the
// inspector open) to a full-HD screen, also at the logical size of a full-HD screen scaled
// twice, in English, Chinese and with Russian numbers: in every view no button is smaller than
// it asks to be, no text that is not meant to shorten is cut, no part of a row lies over
// another, the sidebar keeps its width and the header row its height, and the detail view
// keeps its minimum (the inspector yields where it would not).

#include "SampleHome.h"
#include "ViewTestSupport.h"

#include "analysis/CategoryLegendRow.h"
#include "analysis/CategoryListRow.h"
#include "analysis/FileOperationList.h"
#include "analysis/FileRowDelegate.h"
#include "shell/SidebarView.h"

#include <QAbstractButton>
#include <QFontDatabase>
#include <QPushButton>
#include <QScrollArea>

using namespace plenvo;
using namespace plenvo::test;

namespace {

QString describe(const QWidget* widget)
{
    QString text =
        QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        text += QStringLiteral(" \"") + button->text() + u'"';
    if (const auto* label = qobject_cast<const StyledLabel*>(widget))
        text += QStringLiteral(" \"") + label->fullText() + u'"';
    return text;
}

// Whether `widget` shows on screen: it and all its parents up to the window are visible, and
// it is not scrolled out of its scroll area.
bool onScreen(const QWidget* widget)
{
    if (!widget->isVisible() || widget->width() <= 0 || widget->height() <= 0)
        return false;
    return !widget->visibleRegion().isEmpty();
}

} // namespace

class WindowSizesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpViewTests(); }
    void cleanup()
    {
        Localization::setLanguage(u"en");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }

    void everyViewFits_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("locale");
        for (const QSize size :
             {QSize(900, 600), QSize(960, 540), QSize(1200, 800), QSize(1920, 1080)}) {
            for (const auto& [language, locale] :
                 {std::pair("en", "en_US"), std::pair("zh_CN", "zh_CN"),
                  std::pair("en", "ru_RU")}) {
                const QByteArray name = QByteArray::number(size.width()) + 'x' +
                                        QByteArray::number(size.height()) + ' ' + locale;
                QTest::newRow(name.constData())
                    << size << QString::fromLatin1(language) << QString::fromLatin1(locale);
            }
        }
    }
    void everyViewFits()
    {
        QFETCH(QSize, size);
        QFETCH(QString, language);
        QFETCH(QString, locale);
        if (language == u"zh_CN" &&
            QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
            QSKIP("no font with Chinese characters is installed (fonts-wqy-microhei)");
        Localization::setLanguage(language);
        QLocale::setDefault(QLocale(locale));

        WindowFixture w;
        w.window.resize(size);
        w.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.window));
        w.state.showResult(sampleHome());
        int headerHeight = -1;
        for (const SidebarItem view : SidebarItem::viewItems()) {
            w.state.setNavigationSelection(view);
            QTest::qWait(250); // the inspector's animation ends
            QApplication::processEvents();
            const QString where = view.id() + u' ';
            ContentView& content = w.content();
            QWidget* detail = content.detailWidget();

            QCOMPARE(content.sidebar()->width(), 220);
            if (headerHeight < 0)
                headerHeight = content.headerRow()->height();
            QCOMPARE(content.headerRow()->height(), headerHeight);
            QVERIFY2(detail->width() >= detail->minimumSizeHint().width(),
                     qPrintable(where + QString::number(detail->width())));
            if (view == SidebarItem::largeFiles) // always room beside it
                QVERIFY(content.isInspectorShown());
            QCOMPARE(content.isInspectorShown(),
                     view.supportsInspector() && content.hasRoomForInspector());

            for (const QAbstractButton* button : w.window.findChildren<QAbstractButton*>()) {
                if (!onScreen(button) || !(qobject_cast<const QPushButton*>(button) ||
                                           qobject_cast<const QToolButton*>(button)))
                    continue;
                const QSize hint = button->sizeHint();
                QVERIFY2(button->width() >= hint.width() && button->height() >= hint.height(),
                         qPrintable(where + describe(button) + u' ' +
                                    QString::number(button->width()) + u'<' +
                                    QString::number(hint.width())));
            }
            for (const StyledLabel* label : w.window.findChildren<StyledLabel*>()) {
                if (!onScreen(label) || label->wordWrap() || label->fullText().isEmpty())
                    continue;
                // Shortened with an ellipsis where it elides, else whole.
                if (label->text() != label->fullText())
                    QVERIFY2(label->text().contains(QChar(0x2026)),
                             qPrintable(where + describe(label)));
                else
                    QVERIFY2(label->width() >=
                                 label->fontMetrics().horizontalAdvance(label->text()),
                             qPrintable(where + describe(label)));
            }
            // The parts of a row side by side, never over each other.
            const auto apart = [&](const QWidget* row) {
                std::vector<QRect> parts;
                for (const QWidget* child : row->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                    if (child->isVisible())
                        parts.push_back(child->geometry());
                for (std::size_t i = 0; i < parts.size(); ++i)
                    for (std::size_t j = i + 1; j < parts.size(); ++j)
                        QVERIFY2(!parts[i].intersects(parts[j]), qPrintable(where + describe(row)));
            };
            for (const QWidget* row : w.window.findChildren<QWidget*>())
                if (onScreen(row) &&
                    (qobject_cast<const CategoryListRow*>(row) ||
                     qobject_cast<const CategoryLegendRow*>(row) ||
                     row->objectName() == u"categoryRow" || row->objectName() == u"fileRow"))
                    apart(row);
            for (FileOperationList* list : w.window.findChildren<FileOperationList*>()) {
                if (!onScreen(list))
                    continue;
                for (int row = 0; row < list->model()->rowCount(); ++row) {
                    const QRect rect = list->visualRect(list->model()->index(row, 0));
                    if (!rect.intersects(list->viewport()->rect()))
                        continue;
                    const FileRowDelegate::Layout l =
                        list->rowDelegate()->layout(rect, list->model()->index(row, 0));
                    const QRect parts[] = {l.icon, l.name, l.badge, l.folder, l.date, l.size};
                    for (const QRect& part : parts) {
                        QVERIFY(part.isEmpty() || rect.contains(part));
                        for (const QRect& other : parts)
                            QVERIFY2(&part == &other || !part.intersects(other),
                                     qPrintable(where + QString::number(rect.width())));
                    }
                    QVERIFY(l.name.width() > 0);
                }
            }
        }
    }
};

QTEST_MAIN(WindowSizesTest)
#include "tst_windowsizes.moc"
