#include "shell/ActivitySpinner.h"
#include "shell/ScanningProgressView.h"
#include "theme/StyledLabel.h"
#include "utils/Localization.h"

#include <QFontMetrics>
#include <QTest>

using namespace plenvo;

namespace {

StyledLabel* label(const ScanningProgressView& view, const char* name)
{
    return view.findChild<StyledLabel*>(QLatin1String(name));
}

// What a line shows: nothing when it is hidden.
QString shown(const ScanningProgressView& view, const char* name)
{
    const StyledLabel* line = label(view, name);
    return line && !line->isHidden() ? line->text() : QString();
}

} // namespace

class ScanningProgressViewTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Detail lines

    void whileScanningTheCountAndThePathShow()
    {
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/home/ada/Music"), 1234));

        QCOMPARE(shown(view, "scanning.title"), L("scanning.title"));
        QCOMPARE(shown(view, "scanning.filesScanned"), L("scanning.filesScanned %lld", 1234));
        QVERIFY(shown(view, "scanning.filesScanned").contains(QLatin1String("1234")));
        QCOMPARE(shown(view, "scanning.path"), QStringLiteral("/home/ada/Music"));
    }

    void aCountOfZeroIsStillShown()
    {
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/srv/data"), 0));
        QCOMPARE(shown(view, "scanning.filesScanned"), L("scanning.filesScanned %lld", 0));
        QVERIFY(shown(view, "scanning.filesScanned").contains(QLatin1Char('0')));
        QCOMPARE(shown(view, "scanning.path"), QStringLiteral("/srv/data"));
    }

    void laterReportsReplaceTheLines()
    {
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/srv/data"), 0));
        view.setProgress(ScanProgress::scanning(QStringLiteral("photos"), 52));
        QCOMPARE(shown(view, "scanning.filesScanned"), L("scanning.filesScanned %lld", 52));
        QCOMPARE(shown(view, "scanning.path"), QStringLiteral("photos"));
    }

    void otherStatesShowOnlyTheSpinnerAndTheTitle_data()
    {
        QTest::addColumn<ScanProgress>("progress");
        QTest::newRow("idle") << ScanProgress::idle();
        QTest::newRow("completed") << ScanProgress::completed(10, 4096);
        QTest::newRow("failed") << ScanProgress::failed(QStringLiteral("No such file"));
    }

    void otherStatesShowOnlyTheSpinnerAndTheTitle()
    {
        QFETCH(ScanProgress, progress);
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/srv/data"), 7));
        view.setProgress(progress);

        QCOMPARE(shown(view, "scanning.title"), L("scanning.title"));
        QCOMPARE(shown(view, "scanning.filesScanned"), QString());
        QCOMPARE(shown(view, "scanning.path"), QString());
        QVERIFY(!view.spinner()->isHidden());
    }

    // The path line

    void aLongPathIsElidedInTheMiddleWithinItsWidth()
    {
        const QString path = QStringLiteral("/home/ada/") +
                             QStringLiteral("very-long-folder-name/").repeated(30) +
                             QStringLiteral("the-end");
        ScanningProgressView view;
        view.resize(1200, 600);
        view.setProgress(ScanProgress::scanning(path, 3));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const StyledLabel* line = label(view, "scanning.path");
        const QString text = line->text();
        QVERIFY(line->width() <= ScanningProgressView::kMaximumPathWidth);
        QVERIFY(QFontMetrics(line->font()).horizontalAdvance(text) <= line->width());
        // Centred under the count, like the lines above it.
        const int lineCentre = line->mapTo(&view, line->rect().center()).x();
        QVERIFY2(qAbs(lineCentre - view.width() / 2) <= 2, qPrintable(QString::number(lineCentre)));
        QVERIFY(text != path);
        QVERIFY(text.contains(QChar(0x2026)));
        QVERIFY(text.startsWith(QStringLiteral("/home/ada/")));
        QVERIFY(text.endsWith(QStringLiteral("the-end")));
        QVERIFY(!text.contains(QLatin1Char('\n')));
        QCOMPARE(line->fullText(), path);
    }

    void aNarrowViewElidesThePathToTheWidthLeft()
    {
        const QString path = QStringLiteral("/data/") + QStringLiteral("x").repeated(300);
        ScanningProgressView view;
        view.resize(200, 600);
        view.setProgress(ScanProgress::scanning(path, 3));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const StyledLabel* line = label(view, "scanning.path");
        QVERIFY(line->geometry().right() < view.width());
        QVERIFY(line->geometry().left() >= 0);
        QVERIFY(QFontMetrics(line->font()).horizontalAdvance(line->text()) <= line->width());
        QVERIFY(line->text().contains(QChar(0x2026)));
    }

    void aShortPathIsShownWhole()
    {
        ScanningProgressView view;
        view.resize(1200, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/a/b"), 3));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(label(view, "scanning.path")->text(), QStringLiteral("/a/b"));
    }

    // Layout and animation

    void theGroupSitsInTheVerticalMiddle()
    {
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/a/b"), 3));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));

        const int top = view.spinner()->geometry().top();
        const int bottom = label(view, "scanning.path")->geometry().bottom();
        QVERIFY(qAbs(top - (view.height() - 1 - bottom)) <= 1);
        QVERIFY(label(view, "scanning.title")->geometry().top() >
                view.spinner()->geometry().bottom());
    }

    void theSpinnerTurnsOnlyWhileShown()
    {
        ScanningProgressView view;
        view.resize(400, 300);
        QVERIFY(!view.spinner()->isAnimating());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.spinner()->isAnimating());
        view.hide();
        QVERIFY(!view.spinner()->isAnimating());
    }
};

QTEST_MAIN(ScanningProgressViewTest)
#include "tst_scanningprogressview.moc"
