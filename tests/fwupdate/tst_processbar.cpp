#include "HProcessBar.h"

#include <QLabel>
#include <QProgressBar>
#include <QtTest>

class TestProcessBar : public QObject
{
    Q_OBJECT
private slots:
    void builtWindow();
    void maximumTakenFromFirstNonzeroTotal();
    void outOfRangeValueKeepsTheSlider();
    void sliderPosition_data();
    void sliderPosition();
};

void TestProcessBar::builtWindow()
{
    HProcessBar bar;
    bar.showWindow();
    QCOMPARE(bar.size(), QSize(606, 230));
    QVERIFY(bar.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(bar.progressBar()->geometry(), QRect(59, 91, 504, 4));
    QVERIFY(!bar.progressBar()->isTextVisible());
    QCOMPARE(bar.textLabel()->text(), QStringLiteral("Firmware upgrade please wait...Do not unplug the device"));
    QCOMPARE(bar.textLabel()->y(), 146);
    QCOMPARE(bar.textLabel()->x(), (606 - bar.textLabel()->width()) / 2);
    QCOMPARE(bar.sliderLabel()->geometry(), QRect(40, 74, 504, 38));
    QVERIFY(bar.sliderLabel()->pixmap() && !bar.sliderLabel()->pixmap()->isNull());
    bar.getTitle("QUENBY-8A series flash firmware");
    QCOMPARE(bar.windowTitle(), QStringLiteral("QUENBY-8A series flash firmware"));
}

void TestProcessBar::maximumTakenFromFirstNonzeroTotal()
{
    HProcessBar bar;
    bar.showWindow();
    bar.getProgress(0, 0);
    QCOMPARE(bar.progressBar()->maximum(), 100);
    bar.getProgress(5, 200);
    QCOMPARE(bar.progressBar()->maximum(), 200);
    QCOMPARE(bar.progressBar()->value(), 5);
    bar.getProgress(10, 400);
    QCOMPARE(bar.progressBar()->maximum(), 200);
    QCOMPARE(bar.progressBar()->format(), QStringLiteral("5.0"));
}

void TestProcessBar::outOfRangeValueKeepsTheSlider()
{
    HProcessBar bar;
    bar.showWindow();
    bar.getProgress(50, 200);
    const QRect before = bar.sliderLabel()->geometry();
    bar.getProgress(500, 200);
    QCOMPARE(bar.progressBar()->value(), 50);
    QCOMPARE(bar.sliderLabel()->geometry(), before);
    bar.getProgress(-3, 200);
    QCOMPARE(bar.sliderLabel()->geometry(), before);
}

void TestProcessBar::sliderPosition_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("total");
    QTest::addColumn<int>("x");
    QTest::newRow("0 %") << 0 << 100 << 40;
    QTest::newRow("37 %") << 37 << 100 << 40 + int(37 * 5.04);
    QTest::newRow("half of 1000 bytes") << 500 << 1000 << 40 + 252;
    QTest::newRow("100 %") << 1000 << 1000 << 544;
}

void TestProcessBar::sliderPosition()
{
    QFETCH(int, value);
    QFETCH(int, total);
    QFETCH(int, x);
    HProcessBar bar;
    bar.showWindow();
    bar.getProgress(value, total);
    QCOMPARE(bar.sliderLabel()->x(), x);
    QCOMPARE(bar.sliderLabel()->y(), 74);
}

QTEST_MAIN(TestProcessBar)
#include "tst_processbar.moc"
