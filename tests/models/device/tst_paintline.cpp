#include "models/device/HPaintLine.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

namespace {

QVector<int> heights(const QVector<QLine>& lines)
{
    QVector<int> ys;
    for (const QLine& line : lines)
        ys << line.y1();
    return ys;
}

} // namespace

class TestPaintLine : public QObject
{
    Q_OBJECT

private slots:
    void colours_data()
    {
        QTest::addColumn<QList<int>>("components");
        QTest::addColumn<QColor>("color");
        QTest::newRow("opaque by default") << QList<int>{255, 0, 0} << QColor(255, 0, 0, 255);
        QTest::newRow("with alpha") << QList<int>{0, 128, 255, 64} << QColor(0, 128, 255, 64);
    }

    void colours()
    {
        QFETCH(QList<int>, components);
        QFETCH(QColor, color);
        HPaintLine item;
        QSignalSpy spy(&item, &HPaintLine::colorChanged);
        if (components.size() == 3)
            item.setColor(components[0], components[1], components[2]);
        else
            item.setColor(components[0], components[1], components[2], components[3]);
        QCOMPARE(item.color(), color);
        QCOMPARE(spy.count(), 1);
    }

    void addingLines_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<QVector<int>>("ys");
        QTest::newRow("setLine") << "setLine" << QVector<int>{0, 32, 64, 96, 128, 160, 192};
        QTest::newRow("setLineSpace") << "setLineSpace" << QVector<int>{10, 15, 20, 25, 30, 35, 40};
        QTest::newRow("setOneLine") << "setOneLine" << QVector<int>{10};
        QTest::newRow("setSingleLine") << "setSingleLine" << QVector<int>{10};
        QTest::newRow("line property") << "line" << QVector<int>{10};
    }

    void addingLines()
    {
        QFETCH(QString, call);
        QFETCH(QVector<int>, ys);
        HPaintLine item;
        QSignalSpy spy(&item, &HPaintLine::lineChanged);
        if (call == QLatin1String("setLine"))
            item.setLine(0, 0, 100, 0);
        else if (call == QLatin1String("setLineSpace"))
            item.setLineSpace(0, 10, 50, 10, 5);
        else if (call == QLatin1String("setOneLine"))
            item.setOneLine(0, 10, 50, 10);
        else if (call == QLatin1String("setSingleLine"))
            item.setSingleLine(0, 10, 50, 10);
        else
            QVERIFY(item.setProperty("line", QLine(0, 10, 50, 10)));
        QCOMPARE(heights(item.lines()), ys);
        QCOMPARE(spy.count(), ys.size());
        QCOMPARE(item.line().y1(), ys.last());

        // Lines only add up.
        item.setOneLine(0, 10, 50, 10);
        QCOMPARE(item.lines().size(), ys.size() + 1);
    }

    void drawsDashedLinesInItsColour()
    {
        HPaintLine item;
        item.setColor(255, 0, 0);
        item.setPenWidth(2);
        item.setOneLine(0, 10, 99, 10);
        item.setOneLine(0, 40, 99, 40);
        QImage canvas(100, 50, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        item.paint(&painter);
        painter.end();

        // Dashes of 2 pen widths and gaps of 2: along the line, red and empty alternate.
        int red = 0;
        int empty = 0;
        for (int x = 5; x < 95; ++x) {
            const QRgb pixel = canvas.pixel(x, 10);
            if (qAlpha(pixel) == 0)
                ++empty;
            else if (qRed(pixel) > 200 && qGreen(pixel) < 50)
                ++red;
        }
        QVERIFY2(red > 20 && empty > 20, qPrintable(QStringLiteral("%1 red, %2 empty").arg(red).arg(empty)));
        QVERIFY(qAlpha(canvas.pixel(50, 25)) == 0);
        QVERIFY(qAlpha(canvas.pixel(2, 40)) > 0 || qAlpha(canvas.pixel(3, 40)) > 0);
    }
};

QTEST_MAIN(TestPaintLine)
#include "tst_paintline.moc"
