#include "shell/ActivitySpinner.h"
#include "shell/ScanningProgressView.h"
#include "theme/StyledLabel.h"
#include "utils/Localization.h"

#include <QAccessible>
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
    // Every row follows an earlier report, whose lines it replaces.
    void detailLines_data()
    {
        QTest::addColumn<ScanProgress>("progress");
        QTest::newRow("scanning") << ScanProgress::scanning(QStringLiteral("/home/ada/Music"),
                                                            1234);
        QTest::newRow("count of zero") << ScanProgress::scanning(QStringLiteral("photos"), 0);
        QTest::newRow("idle") << ScanProgress::idle();
        QTest::newRow("completed") << ScanProgress::completed(10, 4096);
        QTest::newRow("failed") << ScanProgress::failed(QStringLiteral("No such file"));
    }

    void detailLines()
    {
        QFETCH(ScanProgress, progress);
        ScanningProgressView view;
        view.setProgress(ScanProgress::scanning(QStringLiteral("/srv/data"), 7));
        view.setProgress(progress);
        QCOMPARE(shown(view, "scanning.title"), L("scanning.title"));
        QVERIFY(!view.spinner()->isHidden());
        // The spinner paints; it says what it stands for.
        QCOMPARE(QAccessible::queryAccessibleInterface(view.spinner())->text(QAccessible::Name),
                 L("scanning.title"));
        const bool scanning = progress.kind() == ScanProgress::Kind::scanning;
        QCOMPARE(shown(view, "scanning.filesScanned"),
                 scanning ? L("scanning.filesScanned %lld", progress.filesScanned()) : QString());
        QCOMPARE(shown(view, "scanning.path"), scanning ? progress.path() : QString());
    }

    // Elided in the middle, within 400 px and the view's width, and centred under the count.
    void thePathFitsItsLine()
    {
        const QString path = QStringLiteral("/home/ada/") +
                             QStringLiteral("very-long-folder-name/").repeated(30) +
                             QStringLiteral("the-end");
        ScanningProgressView view;
        view.setProgress(ScanProgress::scanning(path, 3));
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        const StyledLabel* line = label(view, "scanning.path");
        qsizetype previousLength = path.size();
        for (int width : {1200, 200}) {
            view.resize(width, 600);
            QCoreApplication::processEvents();
            const QString text = line->text();
            QVERIFY(text.size() < previousLength);
            previousLength = text.size();
            QVERIFY(line->width() <= ScanningProgressView::kMaximumPathWidth);
            QVERIFY(line->geometry().left() >= 0 && line->geometry().right() < view.width());
            QVERIFY(QFontMetrics(line->font()).horizontalAdvance(text) <= line->width());
            const int lineCentre = line->mapTo(&view, line->rect().center()).x();
            QVERIFY2(qAbs(lineCentre - view.width() / 2) <= 2, qPrintable(QString::number(width)));
            QVERIFY(text.contains(QChar(0x2026)) && !text.contains(QLatin1Char('\n')));
            QVERIFY(text.startsWith(QStringLiteral("/home/")) && text.endsWith(u"the-end"));
            QCOMPARE(line->fullText(), path);
        }
        view.setProgress(ScanProgress::scanning(QStringLiteral("/a/b"), 3));
        QCOMPARE(line->text(), QStringLiteral("/a/b"));
    }

    void theGroupSitsInTheMiddleAndTurnsWhileShown()
    {
        ScanningProgressView view;
        view.resize(800, 600);
        view.setProgress(ScanProgress::scanning(QStringLiteral("/a/b"), 3));
        QVERIFY(!view.spinner()->isAnimating());
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QVERIFY(view.spinner()->isAnimating());

        const int below = view.height() - 1 - label(view, "scanning.path")->geometry().bottom();
        QVERIFY(qAbs(view.spinner()->geometry().top() - below) <= 1);
        QVERIFY(label(view, "scanning.title")->geometry().top() >
                view.spinner()->geometry().bottom());
        view.hide();
        QVERIFY(!view.spinner()->isAnimating());
    }
};

QTEST_MAIN(ScanningProgressViewTest)
#include "tst_scanningprogressview.moc"
