#include "ResultBuilder.h"

#include "shell/ActivitySpinner.h"
#include "shell/DeleteBanner.h"
#include "shell/DiskUsageMiniBar.h"
#include "shell/ScanningProgressView.h"
#include "shell/ToastView.h"
#include "theme/ProportionBar.h"
#include "theme/SymbolView.h"
#include "utils/Localization.h"

#include <QAccessible>
#include <QTest>

#include <limits>

using namespace plenvo;
using namespace plenvo::test;

namespace {

QString heard(QWidget& widget, QAccessible::Text text = QAccessible::Name)
{
    return QAccessible::queryAccessibleInterface(&widget)->text(text);
}

} // namespace

// The widgets that paint what they show tell assistive technology what that is.
class AccessibleNamesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { Localization::setLanguage(u"en"); }

    // A proportion bar says the share its fill covers, as a whole percentage.
    void proportionBarSaysItsShare()
    {
        ProportionBar bar(6, 3, ColorToken::blue);
        bar.resize(200, 6);
        for (double fraction : {0.0, 0.004, 0.425, 0.5, 0.996, 1.0, 1.7, -0.2,
                                std::numeric_limits<double>::quiet_NaN()}) {
            bar.setFraction(fraction);
            const int drawn = qRound(bar.fillWidth() / bar.width() * 100);
            QCOMPARE(heard(bar), QString::number(drawn) + QLatin1Char('%'));
        }
    }

    void shellWidgetsSayWhatTheyShow()
    {
        DiskUsageMiniBar miniBar;
        const auto result = makeResult("/home/user/Projects", {{"a/b.txt", 1500}});
        miniBar.setResult(result.get());
        DeleteBanner known, unknown;
        known.setProgress(3, 4);
        unknown.setProgress(0, 0);
        ToastView toast;
        toast.setMessage(L("delete.done.single %@", QStringLiteral("1.5 KB")));
        SymbolView symbol(QStringLiteral("trash.fill"), 16, ColorToken::orange);
        ScanningProgressView scanning;
        struct Row {
            const char* what;
            QWidget& widget;
            QString name;
            QString description;
        };
        const Row rows[] = {
            {"mini bar", miniBar, miniBar.nameText(), miniBar.sizeText()},
            {"banner", known, known.text(), known.percentText()},
            {"banner, no total", unknown, L("delete.inProgress"), QString()},
            {"banner's spinner", *known.findChild<ActivitySpinner*>(), L("delete.inProgress"),
             QString()},
            {"toast", toast, toast.message(), QString()},
            {"symbol", symbol, QString(), QStringLiteral("trash.fill")},
            {"scan spinner", *scanning.spinner(), L("scanning.title"), QString()},
        };
        for (const Row& row : rows) {
            QVERIFY2(heard(row.widget) == row.name, row.what);
            QVERIFY2(heard(row.widget, QAccessible::Description) == row.description, row.what);
        }
        miniBar.setResult(nullptr);
        QVERIFY(heard(miniBar).isEmpty());
    }
};

QTEST_MAIN(AccessibleNamesTest)
#include "tst_accessiblenames.moc"
