#include "common/DeviceIds.h"
#include "devices/SimulatedModels.h"
#include "sim/mouse/featurereport/SimFeatureReportMouse.h"
#include "sim/mouse/register/SimRegisterMouse.h"
#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"
#include "sim/mouse/twopage/SimTwoPageMouse.h"

#include "LogCapture.h"
#include "SimBusFixture.h"
#include "WindowTestSupport.h"

#include <QImage>
#include <QQuickItem>
#include <QQuickWindow>
#include <QStandardPaths>
#include <QtTest>

#include <memory>

using namespace WindowTestSupport;

namespace {

QRectF sceneRect(QQuickItem* item)
{
    return item->mapRectToScene(QRectF(0, 0, item->width(), item->height()));
}

// Whether the picture shows something (not a transparent pixel) within radius of the point, given in the
// window's coordinates, where the picture item lies at area and shows the picture fitted into it.
bool drawnNear(const QImage& picture, const QRectF& area, const QPointF& point, qreal radius)
{
    const qreal scale = qMin(area.width() / picture.width(), area.height() / picture.height());
    const QPointF origin = area.center() - QPointF(picture.width(), picture.height()) * scale / 2;
    const QPointF at = (point - origin) / scale;
    const int r = qCeil(radius / scale);
    for (int y = int(at.y()) - r; y <= int(at.y()) + r; ++y) {
        for (int x = int(at.x()) - r; x <= int(at.x()) + r; ++x) {
            if (picture.valid(x, y) && qAlpha(picture.pixel(x, y)) > 200)
                return true;
        }
    }
    return false;
}

} // namespace

// The mouse picture of the DPI and key pages, in the real window, for one mouse of each family: every button's
// label sits beside the button's marker, on the page, and the picture shows a button where the marker is; the
// busy indicator turns.
class TestMousePicturePages : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<SimBusFixture> m_bus;
    std::unique_ptr<SimRegisterMouse> m_register;
    std::unique_ptr<SimTwoPageMouse> m_twoPage;
    std::unique_ptr<SimTwoCollectionMouse> m_twoCollection;
    std::unique_ptr<SimFeatureReportMouse> m_featureReport;
    std::unique_ptr<LogCapture> m_log;
    QQuickWindow* m_window = nullptr;

    QQuickItem* item(const QString& name) const { return findItem(m_window, name); }
    bool idle() const { return !isShown(m_window, "HLoadDialog_new"); }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        m_bus = std::make_unique<SimBusFixture>();
        m_register = std::make_unique<SimRegisterMouse>(DeviceIds::kAbberly);
        m_twoPage = std::make_unique<SimTwoPageMouse>(DeviceIds::kUlverd);
        m_twoCollection = std::make_unique<SimTwoCollectionMouse>(DeviceIds::kEdris);
        m_featureReport = std::make_unique<SimFeatureReportMouse>(DeviceIds::kDunmor);
        QVERIFY(m_register->plug(m_bus->bus()));
        QVERIFY(m_twoPage->plug(m_bus->bus()));
        QVERIFY(m_twoCollection->plug(m_bus->bus()));
        QVERIFY(m_featureReport->plug(m_bus->bus()));
        useSimulatedModels({DeviceIds::kAbberly, DeviceIds::kUlverd, DeviceIds::kEdris, DeviceIds::kDunmor});
        m_log = std::make_unique<LogCapture>();
        m_window = startMainWindow();
        QVERIFY(m_window);
    }

    void cleanupTestCase()
    {
        m_window = nullptr;
        const QStringList faults = m_log ? stopProgram(*m_log) : QStringList();
        m_log.reset();
        m_register.reset();
        m_twoPage.reset();
        m_twoCollection.reset();
        m_featureReport.reset();
        m_bus.reset();
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join('\n')));
    }

    void cleanup() { QVERIFY2(qmlFaults(*m_log).isEmpty(), qPrintable(qmlFaults(*m_log).join('\n'))); }

    void labelsPointAtDrawnButtons_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("page");
        QTest::addColumn<int>("number");
        const struct {
            const char* family;
            quint16 pid;
            const char* name;
        } mice[] = {{"register", DeviceIds::kAbberly, "ABBERLY"},
                    {"two-page", DeviceIds::kUlverd, "ULVERD"},
                    {"two-collection", DeviceIds::kEdris, "EDRIS"},
                    {"feature-report", DeviceIds::kDunmor, "DUNMOR"}};
        for (const auto& mouse : mice) {
            QTest::addRow("%s, key page", mouse.family) << int(mouse.pid) << mouse.name << "pageParameter" << 3;
            QTest::addRow("%s, DPI page", mouse.family) << int(mouse.pid) << mouse.name << "page2" << 2;
        }
    }

    void labelsPointAtDrawnButtons()
    {
        QFETCH(int, pid);
        QFETCH(QString, name);
        QFETCH(QString, page);
        QFETCH(int, number);
        chooseDevice(m_window, quint16(pid), name);
        if (QTest::currentTestFailed())
            return;
        QVERIFY(QMetaObject::invokeMethod(m_window, "updatewindow", Q_ARG(QVariant, number)));
        QQuickItem* pageItem = item(page);
        QTRY_VERIFY(pageItem->isVisible());
        QQuickItem* panel = findItem(pageItem, "msDevicePanel");
        QVERIFY(panel);
        QObject* image = contextObject("g_image");
        const QStringList keys = image->property("keyXMap").toMap().keys();
        QVERIFY(keys.size() >= 5);
        QTRY_VERIFY(findItem(panel, "key" + keys.first()) && findItem(panel, "key" + keys.first())->isVisible());

        // The picture the page shows, as the program carries it.
        QQuickItem* pictureItem = findItem(panel, "mousePicture");
        const QString source = image->property("keyBaseImg").toString();
        QVERIFY2(source.startsWith("qrc:/"), qPrintable(source));
        const QImage picture(source.mid(3));
        QVERIFY2(!picture.isNull(), qPrintable(source));
        const QRectF pictureArea = sceneRect(pictureItem);
        const QRectF pageArea = sceneRect(pageItem);

        for (const QString& key : keys) {
            QQuickItem* marker = findItem(panel, "button" + key);
            QQuickItem* label = findItem(panel, "key" + key);
            QVERIFY2(marker && label && label->isVisible(), qPrintable("button " + key));
            const QRectF m = sceneRect(marker);
            const QRectF l = sceneRect(label);
            const QString what = QStringLiteral("%1 button %2 (%3)").arg(name, key, label->property("mText").toString());
            // Beside the marker, on its line: not over it, and no further off than the marker is wide. Where
            // buttons on one side stand closer than a label is high, a label moves down below the one above it,
            // by less than three label heights, and a line joins it to its button.
            const qreal drop = l.center().y() - m.center().y();
            QVERIFY2(qAbs(drop) <= 1.5 || (drop > 0 && drop < 3 * l.height()),
                     qPrintable(what + QStringLiteral(": %1 px off the button's line").arg(drop)));
            if (drop > 1.5) {
                // A moved label is tied to its button by a line that runs from the button's line to the label's.
                QQuickItem* leader = findItem(panel, "leader" + key);
                QVERIFY2(leader && leader->isVisible(), qPrintable(what + ": moved without a line to its button"));
                const QRectF line = sceneRect(leader);
                QVERIFY2(qAbs(line.top() - m.center().y()) <= 1.5 && qAbs(line.bottom() - 1 - l.center().y()) <= 1.5,
                         qPrintable(what + ": its line does not join the button to the label"));
            }
            const qreal gap = l.center().x() < m.center().x() ? m.left() - l.right() : l.left() - m.right();
            QVERIFY2(gap >= 0 && gap <= m.width(), qPrintable(what + QStringLiteral(": %1 px from the button").arg(gap)));
            QVERIFY2(pageArea.adjusted(-0.5, -0.5, 0.5, 0.5).contains(l),
                     qPrintable(what + ": the label leaves the page"));
            QVERIFY2(drawnNear(picture, pictureArea, m.center(), m.width() / 2),
                     qPrintable(what + ": no button drawn where the label points"));
        }
    }

    // The busy indicator turns while it is shown, and its ring is not the same all round, so the turning shows.
    void busyRingTurns()
    {
        QObject* busy = findOfType(m_window, "HLoadDialog_new");
        QVERIFY(busy);
        QVERIFY(QMetaObject::invokeMethod(busy, "startLoading"));
        QQuickItem* ring = nullptr;
        QTRY_VERIFY((ring = findItem(busy->property("contentItem").value<QQuickItem*>(), "ring")) != nullptr);
        const qreal first = ring->rotation();
        QTRY_VERIFY(qAbs(ring->rotation() - first) > 20);
        QVERIFY(QMetaObject::invokeMethod(busy, "stopLoading"));
        QTRY_VERIFY(idle());

        const QImage picture = QImage(":/common/newUI/loading.png").convertToFormat(QImage::Format_ARGB32);
        QVERIFY(!picture.isNull());
        QTransform quarter;
        quarter.rotate(90);
        const QImage turned = picture.transformed(quarter).convertToFormat(QImage::Format_ARGB32);
        QCOMPARE(turned.size(), picture.size());
        int differing = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                const QRgb a = picture.pixel(x, y);
                const QRgb b = turned.pixel(x, y);
                differing += qAbs(qRed(a) - qRed(b)) + qAbs(qGreen(a) - qGreen(b)) + qAbs(qBlue(a) - qBlue(b))
                                 + qAbs(qAlpha(a) - qAlpha(b)) > 96;
            }
        }
        QVERIFY2(differing > picture.width(), "the ring looks the same turned");
    }
};

QTEST_MAIN(TestMousePicturePages)
#include "tst_mousepicturepages.moc"
