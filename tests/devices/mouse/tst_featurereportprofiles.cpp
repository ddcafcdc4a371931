// Factory profiles of the feature-report mice applied field by field (these mice apply no whole profile
// themselves) to a simulated mouse moved away from its factory state: each profile gives back the mouse's
// factory state, and a failure at any step stops the apply with nothing after it written.

#include "MouseFamilyFixture.h"

#include "common/DeviceIds.h"
#include "devices/LayoutDocument.h"
#include "devices/mouse/featurereport/KDeviceDunmor.h"
#include "hid/DeviceFactory.h"
#include "hid/HDeviceManager.h"
#include "profiles/ProfileFieldApply.h"
#include "sim/mouse/featurereport/SimFeatureReportMouse.h"
#include "TestWait.h"

#include <QtConcurrent>
#include <QtTest>

#include <memory>

using Sim = SimFeatureReportMouse;

namespace {

constexpr int kKeys[] = {0, 1, 2, 3, 4, 11, 12, 13};

// Everything a profile sets, as the mouse holds it.
struct MouseState {
    int interval = 0;
    int stage = 0;
    QList<int> dpi;
    QList<int> light;
    QList<int> colour;
    QList<QByteArray> keys;
    bool operator==(const MouseState& o) const
    {
        return interval == o.interval && stage == o.stage && dpi == o.dpi && light == o.light && colour == o.colour
            && keys == o.keys;
    }
};

MouseState stateOf(const Sim& mouse)
{
    MouseState s;
    s.interval = mouse.reportInterval();
    s.stage = mouse.dpiStage();
    s.dpi = mouse.dpiValues();
    s.light = {mouse.lightEffect(), mouse.lightParameter(), mouse.lightFlag()};
    s.colour = mouse.colour();
    for (int key : kKeys)
        s.keys << mouse.keyCode(key);
    return s;
}

char* describe(const MouseState& s)
{
    QStringList keys;
    for (const QByteArray& k : s.keys)
        keys << QString::fromLatin1(k.toHex());
    return qstrdup(qPrintable(QStringLiteral("interval %1 stage %2 dpi %3 light %4 colour %5 keys %6")
                                  .arg(s.interval)
                                  .arg(s.stage)
                                  .arg(QVariant::fromValue(s.dpi).toStringList().join(','))
                                  .arg(QVariant::fromValue(s.light).toStringList().join(','))
                                  .arg(QVariant::fromValue(s.colour).toStringList().join(','))
                                  .arg(keys.join(' '))));
}

// A mouse somewhere else: every setting a profile touches changed.
void moveAway(Sim& mouse)
{
    mouse.setReportInterval(8);
    mouse.setDpiStage(4);
    mouse.setDpiPage(QByteArray::fromHex("000a0bff"));
    mouse.setLight(0, 0, 0);
    mouse.setColour(1, 2, 3);
    for (int key : kKeys) {
        for (int slot = 0; slot < 16; ++slot) {
            if (mouse.keyCode(key) == mouse.slotCode(slot))
                mouse.setSlotCode(slot, QByteArray::fromHex("0300e200"));
        }
    }
}

} // namespace

namespace QTest {
template <>
char* toString(const MouseState& s)
{
    return describe(s);
}
} // namespace QTest

class TestFeatureReportProfiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void factoryProfiles_data();
    void factoryProfiles();
    void failureStopsTheApply();

private:
    KDeviceDunmor* open(quint16 pid);
    bool apply(KDeviceDunmor* device, quint16 pid);

    std::unique_ptr<MouseFamilyFixture> m_fixture;
    std::unique_ptr<Sim> m_mouse;
    KBaseDevice* m_device = nullptr;
    quint16 m_pid = 0;
};

void TestFeatureReportProfiles::init()
{
    m_fixture = std::make_unique<MouseFamilyFixture>();
}

void TestFeatureReportProfiles::cleanup()
{
    if (m_device)
        m_fixture->removeDevice(m_pid);
    m_device = nullptr;
    m_mouse.reset();
    m_fixture.reset();
}

KDeviceDunmor* TestFeatureReportProfiles::open(quint16 pid)
{
    m_mouse = std::make_unique<Sim>(pid);
    if (!m_mouse->plug(m_fixture->bus()->bus()))
        return nullptr;
    m_pid = pid;
    auto* device = m_fixture->openDevice<KDeviceDunmor>(pid);
    m_device = device;
    if (!device)
        return nullptr;
    // The user interface as the factory profile sets it: six stages on, the main light in mode 3.
    MouseUiState ui;
    ui.dpiEnable = QVector<bool>(6, true);
    ui.lightZones = {QVariantMap{{QStringLiteral("model"), 3}, {QStringLiteral("speed"), 6},
                                 {QStringLiteral("brightness"), 5}}};
    device->session().setUiState(ui);
    return device;
}

bool TestFeatureReportProfiles::apply(KDeviceDunmor* device, quint16 pid)
{
    const QJsonObject profile = LayoutDocument::read(DeviceIds::factoryProfilePath(pid));
    if (profile.isEmpty())
        return false;
    ProfileFieldApply::Inputs inputs;
    inputs.pid = pid;
    inputs.isDefault = true;
    ProfileFieldApply plan;
    QString error;
    if (!ProfileFieldApply::plan(profile, inputs, &plan, &error)) {
        qWarning() << error;
        return false;
    }
    QFuture<bool> done = QtConcurrent::run([&plan, device] { return plan.commit(device); });
    done.waitForFinished();
    return done.result();
}

void TestFeatureReportProfiles::factoryProfiles_data()
{
    QTest::addColumn<quint16>("pid");
    for (quint16 pid : {DeviceIds::kDunmor, DeviceIds::kGarrick, DeviceIds::kHarlo, DeviceIds::kIvell,
                        DeviceIds::kKinloch, DeviceIds::kLorrim})
        QTest::newRow(DeviceIds::find(pid)->typeName) << pid;
}

void TestFeatureReportProfiles::factoryProfiles()
{
    QFETCH(quint16, pid);
    KDeviceDunmor* device = open(pid);
    QVERIFY(device);
    const MouseState factory = stateOf(*m_mouse);
    moveAway(*m_mouse);
    QVERIFY(!(stateOf(*m_mouse) == factory));
    QVERIFY(apply(device, pid));
    QCOMPARE(stateOf(*m_mouse), factory);
    // The profile names its own model.
    const QJsonObject profile = LayoutDocument::read(DeviceIds::factoryProfilePath(pid));
    QCOMPARE(profile.value("pid").toInt(), int(pid));
    QCOMPARE(profile.value("deviceName").toString(), QString::fromLatin1(DeviceIds::find(pid)->model));
}

void TestFeatureReportProfiles::failureStopsTheApply()
{
    // The whole apply, as the mouse receives it.
    KDeviceDunmor* device = open(DeviceIds::kDunmor);
    QVERIFY(device);
    m_mouse->clearLog();
    QVERIFY(apply(device, DeviceIds::kDunmor));
    const QList<QByteArray> all = m_mouse->commands();
    const int pages = m_mouse->pagesWritten().size();
    QVERIFY(all.size() > 10);
    QCOMPARE(pages, 1 + 8 * 2);  // the DPI page and two button pages per key

    for (int k = 0; k < all.size(); ++k) {
        cleanup();
        init();
        device = open(DeviceIds::kDunmor);
        QVERIFY(device);
        m_mouse->clearLog();
        m_mouse->failCommand(k);
        const quint8 cmd = quint8(all.at(k).at(0));
        const quint8 before = k > 0 ? quint8(all.at(k - 1).at(0)) : 0;
        // The report rate read and written back after a light mode, and the read at the end, are not the
        // apply's own writes: their failure is no failure of the apply.
        const bool tolerated = (cmd == 0x81 && (before == 0x0D || k == all.size() - 1))
            || (cmd == 0x01 && before == 0x81);
        const bool ok = apply(device, DeviceIds::kDunmor);
        if (tolerated) {
            QVERIFY2(ok, qPrintable(QStringLiteral("step %1").arg(k)));
            continue;
        }
        QVERIFY2(!ok, qPrintable(QStringLiteral("step %1").arg(k)));
        QCOMPARE(m_mouse->commands(), all.mid(0, k));
    }

    // A page that fails stops the apply after the command that carried it.
    for (int p = 0; p < pages; ++p) {
        cleanup();
        init();
        device = open(DeviceIds::kDunmor);
        QVERIFY(device);
        m_mouse->clearLog();
        m_mouse->failPageWrite(p);
        QVERIFY2(!apply(device, DeviceIds::kDunmor), qPrintable(QStringLiteral("page %1").arg(p)));
        QCOMPARE(m_mouse->pagesWritten().size(), p);
        const QList<QByteArray> sent = m_mouse->commands();
        QCOMPARE(sent, all.mid(0, sent.size()));
        QVERIFY(sent.last().at(0) == 0x11 || sent.last().at(0) == 0x12);
    }
}

QTEST_MAIN(TestFeatureReportProfiles)
#include "tst_featurereportprofiles.moc"
