#include "common/DeviceIds.h"
#include "hid/DeviceFactory.h"
#include "hid/KBaseDevice.h"
#include "hid/KPidTables.h"
#include "profiles/KConfigFileController.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QtTest>

#include <memory>

using namespace DeviceIds;

// A misspelt model in a constant does not compile; spelt right, the name lookup and the constant agree.
static_assert(mousePid("ULVERD_LOW") == kUlverdLow, "name lookup");
static_assert(mousePid("YARRIN", true) == kYarrinWireless, "wireless name lookup");
static_assert(mousePid("ZEPHRA") == kKeyboardWired, "the keyboard by its model name");

// The catalogue walked row by row: the resources a row promises exist and are strict JSON documents, every
// registered class is a catalogue model with its layout, and the per-model questions of the rest of the program
// answer from the rows.
class TestDeviceCatalogue : public QObject
{
    Q_OBJECT

    static QString hex(quint16 id) { return QString::number(id, 16); }

    // The document at a resource path, or a failure message.
    static QString readDocument(const QString& path, QJsonObject* object)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return QStringLiteral("missing");
        QJsonParseError error;
        const QJsonDocument document = QJsonDocument::fromJson(file.readAll(), &error);
        if (error.error != QJsonParseError::NoError)
            return error.errorString();
        if (!document.isObject())
            return QStringLiteral("not an object");
        *object = document.object();
        return QString();
    }

private slots:
    void idsFollowTheRules()
    {
        // Four hex digits without a leading zero; no id's text inside another's or inside the fixed path text.
        const QString fixedPathText = QStringLiteral("\\\\?\\hid#vid_%1&pid_&mi_00&col01#hidraw0").arg(hex(kVendorId));
        QStringList texts{hex(kVendorId)};
        for (const Model& m : kModels)
            texts << hex(m.pid);
        for (int i = 0; i < texts.size(); ++i) {
            QVERIFY2(texts[i].size() == 4, qPrintable(texts[i]));
            if (i > 0)
                QVERIFY2(!fixedPathText.contains(texts[i]), qPrintable(texts[i]));
            for (int j = 0; j < texts.size(); ++j)
                QVERIFY2(i == j || !texts[j].contains(texts[i]), qPrintable(texts[i] + QLatin1Char(' ') + texts[j]));
        }
    }

    void rowsHaveTheirResources()
    {
        KConfigFileController controller;
        for (const Model& m : kModels) {
            const QByteArray row = QByteArray(m.typeName) + " 0x" + hex(m.pid).toLatin1();
            // The profile layer's predicate is the catalogue's answer.
            QCOMPARE(controller.getDefaultPath(m.pid), factoryProfilePath(m.pid));
            QCOMPARE(m.has(Flag::FactoryProfile), !factoryProfilePath(m.pid).isEmpty());
            QCOMPARE(m.has(Flag::Layout), !layoutPath(m.pid).isEmpty());

            QJsonObject document;
            if (m.has(Flag::Layout)) {
                const QString failure = readDocument(layoutPath(m.pid), &document);
                QVERIFY2(failure.isEmpty(), qPrintable(row + " layout: " + failure.toLatin1()));
            }
            // A model the program can drive ships its factory profile; the others' files arrive with their family.
            if (m.has(Flag::FactoryProfile) && DeviceFactory::serves(m.pid)) {
                const QString failure = readDocument(factoryProfilePath(m.pid), &document);
                QVERIFY2(failure.isEmpty(), qPrintable(row + " factory profile: " + failure.toLatin1()));
            }
        }
    }

    void registeredClassesAreCatalogueModels()
    {
        const QList<quint16> ids = DeviceFactory::productIds();
        QVERIFY(!ids.isEmpty());
        for (quint16 pid : ids) {
            QVERIFY2(ids.count(pid) == 1, qPrintable(hex(pid)));
            const Model* model = find(pid);
            QVERIFY2(model, qPrintable(hex(pid)));
            QVERIFY2(model->has(Flag::Layout), model->typeName);
            std::unique_ptr<KBaseDevice> device(DeviceFactory::create(pid));
            QVERIFY2(device, model->typeName);
        }
        QVERIFY(!DeviceFactory::create(kKeyboardWireless));
        QVERIFY(!DeviceFactory::create(0));
    }

    // The watch's tables hold exactly the recognised models: the keyboard's two ids, paired.
    void watchTablesComeFromTheRows()
    {
        const QMap<int, QString> names{{kKeyboardWired, QStringLiteral("ZEPHRA")},
                                       {kKeyboardWireless, QStringLiteral("ZEPHRA_WIRELESS")}};
        QCOMPARE(kPidNameTable, names);
        QCOMPARE(kWirelessPidTable, (QMap<int, int>{{kKeyboardWired, kKeyboardWireless}}));
    }

    void modelFlags_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<bool>("batteryPoll");
        QTest::addColumn<bool>("throughReceiver");
        QTest::newRow("Farrant wireless") << int(kFarrantWireless) << true << false;
        QTest::newRow("Kelham Nordic wireless") << int(kKelhamNordicWireless) << true << false;
        QTest::newRow("Jarrow Nordic wireless") << int(kJarrowNordicWireless) << false << true;
        QTest::newRow("Yarrin wireless") << int(kYarrinWireless) << false << true;
        QTest::newRow("Zennor wireless") << int(kZennorWireless) << false << true;
        QTest::newRow("Farrant wired") << int(kFarrant) << false << false;
        QTest::newRow("keyboard") << int(kKeyboardWired) << false << false;
        QTest::newRow("unknown id") << 0x1234 << false << false;
    }

    void modelFlags()
    {
        QFETCH(int, pid);
        QFETCH(bool, batteryPoll);
        QFETCH(bool, throughReceiver);
        QCOMPARE(has(pid, Flag::BatteryPoll), batteryPoll);
        QCOMPARE(has(pid, Flag::ReportsThroughReceiver), throughReceiver);
    }

    // Counts of the model tables the profile layer was given: 30 factory profiles and the RGB keyboard's,
    // 14 swapped, 27 packed.
    void flagCounts()
    {
        int profiles = 0, swapped = 0, packed = 0;
        for (const Model& m : kModels) {
            profiles += m.has(Flag::FactoryProfile);
            swapped += m.has(Flag::SwappedModifiers);
            packed += m.has(Flag::PackedValues);
        }
        QCOMPARE(profiles, 31);
        QCOMPARE(swapped, 14);
        QCOMPARE(packed, 27);
    }

    // Receiver models inside the named range; the Yarrin's wireless id, the wired mice and the keyboard outside.
    void receiverRange_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<bool>("inside");
        QTest::newRow("first bound") << int(kReceiverRangeFirst) << true;
        QTest::newRow("last bound") << int(kReceiverRangeLast) << true;
        QTest::newRow("below") << kReceiverRangeFirst - 1 << false;
        QTest::newRow("above") << kReceiverRangeLast + 1 << false;
        QTest::newRow("Jarrow Nordic wireless") << int(kJarrowNordicWireless) << true;
        QTest::newRow("Kelham Nordic wireless") << int(kKelhamNordicWireless) << true;
        QTest::newRow("Zennor wireless") << int(kZennorWireless) << true;
        QTest::newRow("Yarrin wireless") << int(kYarrinWireless) << false;
        QTest::newRow("Jarrow Nordic wired") << int(kJarrowNordic) << false;
        QTest::newRow("keyboard wireless") << int(kKeyboardWireless) << false;
    }

    void receiverRange()
    {
        QFETCH(int, pid);
        QFETCH(bool, inside);
        QCOMPARE(inReceiverRange(pid), inside);
    }

    // The Maldon-layout models are one id pair, the firmware path's "KELHAM_NORDIC": their factory profiles,
    // packed values and the battery poll of the wireless one all answer under it.
    void maldonIsKelhamNordic()
    {
        QCOMPARE(factoryProfilePath(kKelhamNordic), QStringLiteral(":/common/newUI/Maldon/MaldonDefaultConfig.json"));
        QCOMPARE(factoryProfilePath(kKelhamNordicWireless),
                 QStringLiteral(":/common/Maldon/Maldon_WirelessDefaultConfig.json"));
        QVERIFY(has(kKelhamNordic, Flag::PackedValues) && has(kKelhamNordicWireless, Flag::PackedValues));
        QVERIFY(has(kKelhamNordicWireless, Flag::BatteryPoll));
        const char* separateName = "MALDON";
        QCOMPARE(mousePid(separateName), quint16(0));
        for (const NordicDfuIds& ids : kNordicDfu) {
            if (qstrcmp(ids.name, "MALDON") == 0)
                QVERIFY(ids.wired == kKelhamNordic && ids.wireless == kKelhamNordicWireless);
        }
    }

    void namesGiveTheirIds()
    {
        QCOMPARE(mousePid("JARROW_NORDIC", true), kJarrowNordicWireless);
        QCOMPARE(mousePid("DUNMOR", true), quint16(0));  // wired only
        const char* misspelt = "ULVRD";
        QCOMPARE(mousePid(misspelt), quint16(0));
    }
};

QTEST_GUILESS_MAIN(TestDeviceCatalogue)
#include "tst_devicecatalogue.moc"
