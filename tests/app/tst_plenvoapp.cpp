#include "TestSupport.h"

#include "AppState.h"
#include "PlenvoApp.h"

#include <QApplication>
#include <QTest>

using namespace plenvo;
using namespace plenvo::test;

class PlenvoAppTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void becomingActiveLooksForExternalDeletions()
    {
        ScratchDir dir;
        QVERIFY(writeFile(dir.file("a"), 10));
        QVERIFY(writeFile(dir.file("b"), 10));
        PlenvoApp app;
        AppState& state = app.state();
        state.scanDirectory(dir.str());
        QTRY_VERIFY(state.scanResult());
        QCOMPARE(::unlink(dir.file("a").constData()), 0);
        QMetaObject::invokeMethod(qGuiApp, "applicationStateChanged", Qt::DirectConnection,
                                  Q_ARG(Qt::ApplicationState, Qt::ApplicationActive));
        QTRY_COMPARE(state.scanResult()->totalFiles(), 1);
        QCOMPARE(state.contentRevision(), 2);
    }
};

QTEST_MAIN(PlenvoAppTest)
#include "tst_plenvoapp.moc"
