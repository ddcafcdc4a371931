#include "LogCapture.h"
#include "Mirelle.h"
#include "ModelPidMap.h"

#include "common/DeviceIds.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QtTest>

using ModelPidMap::Updater;

Q_DECLARE_METATYPE(ModelPidMap::Updater)

class TestMirelle : public QObject
{
    Q_OBJECT
private slots:
    void modelTable();
    void updaterByModel_data();
    void updaterByModel();
    void unknownModelsStartNothing_data();
    void unknownModelsStartNothing();
    void libraryExportsTheClassOnly();
};

void TestMirelle::modelTable()
{
    const QMap<int, QString>& table = ModelPidMap::map();
    QCOMPARE(table.size(), 55);
    QCOMPARE(ModelPidMap::productId("QUENBY_8A"), int(DeviceIds::kKeyboardWired));
    QCOMPARE(ModelPidMap::productId("YARRIN_WIRELESS"), int(DeviceIds::mousePid("YARRIN", true)));
    QVERIFY(ModelPidMap::isWireless(DeviceIds::mousePid("ELWIN", true)));
    QVERIFY(!ModelPidMap::isWireless(DeviceIds::mousePid("ELWIN")));
    for (auto it = table.cbegin(); it != table.cend(); ++it)
        QVERIFY2(ModelPidMap::updaterFor(it.key()) != Updater::None, qPrintable(it.value()));
}

void TestMirelle::updaterByModel_data()
{
    QTest::addColumn<QString>("model");
    QTest::addColumn<Updater>("updater");
    QTest::newRow("cawdor wired") << "KELHAM" << Updater::Cawdor;
    QTest::newRow("cawdor wireless") << "FARRANT_WIRELESS" << Updater::Cawdor;
    QTest::newRow("nordic") << "KELHAM_NORDIC" << Updater::CawdorNordic;
    QTest::newRow("nordic wireless") << "ELWIN_WIRELESS" << Updater::CawdorNordic;
    QTest::newRow("keyboard") << "QUENBY_8A" << Updater::Hollis;
    QTest::newRow("hollis mouse") << "DUNMOR_Hollis" << Updater::Hollis;
    QTest::newRow("oakham") << "DUNMOR" << Updater::Oakham;
    QTest::newRow("rushton") << "PEMBRY" << Updater::Rushton;
    QTest::newRow("ulverd") << "ULVERD_LOW" << Updater::Ulverd;
    QTest::newRow("lower case") << "quenby_8a" << Updater::None;
    QTest::newRow("not in the table") << "MARWEN" << Updater::None;
}

void TestMirelle::updaterByModel()
{
    QFETCH(QString, model);
    QFETCH(Updater, updater);
    QCOMPARE(ModelPidMap::updaterFor(ModelPidMap::productId(model)), updater);
}

void TestMirelle::unknownModelsStartNothing_data()
{
    QTest::addColumn<QString>("model");
    QTest::newRow("lower case") << "quenby_8a";
    QTest::newRow("empty") << "";
    QTest::newRow("keyboard type name") << "ZEPHRA";
}

void TestMirelle::unknownModelsStartNothing()
{
    QFETCH(QString, model);
    LogCapture logs;
    Mirelle mirelle;
    QSignalSpy finished(&mirelle, &Mirelle::qt_updateFinished);
    QSignalSpy progress(&mirelle, &Mirelle::qt_updateProgress);
    QVERIFY(!mirelle.initFwDevice(model, QString(), "en", QString()));
    QVERIFY(logs.contains("mPid: 0"));
    QVERIFY(logs.contains("creataFwUpdate error"));
    QCoreApplication::processEvents();
    QCOMPARE(finished.count(), 0);
    QCOMPARE(progress.count(), 0);
}

void TestMirelle::libraryExportsTheClassOnly()
{
    QProcess nm;
    nm.start("nm", {"-D", "--defined-only", "-C", MIRELLE_LIBRARY});
    QVERIFY(nm.waitForFinished(30000));
    QCOMPARE(nm.exitCode(), 0);
    QStringList symbols;
    const QRegularExpression line("^[0-9a-f]+ \\w (.+)$");
    for (const QString& l : QString::fromUtf8(nm.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts)) {
        const QString name = line.match(l).captured(1);
        if (name.isEmpty() || name.startsWith("_") || name.startsWith("__"))
            continue;   // the linker's own section markers
        // Type information of Qt's own classes, emitted beside our code wherever it is needed (the
        // undefined-behaviour sanitizer's type checks need it): Qt's, not an interface of ours.
        if (name.startsWith("typeinfo for Q") || name.startsWith("typeinfo name for Q"))
            continue;
        symbols << name;
    }
    for (const QString& s : symbols) {
        QVERIFY2(s.startsWith("Mirelle::") || s.endsWith(" for Mirelle"), qPrintable("exported: " + s));
        QVERIFY2(!s.contains("HPrivate"), qPrintable("exported: " + s));
    }
    const QStringList expected = {
        "Mirelle::Mirelle(QObject*)",
        "Mirelle::Mirelle()",
        "Mirelle::~Mirelle()",
        "vtable for Mirelle",
        "Mirelle::initFwDevice(QString, QString, QString, QString)",
        "Mirelle::metaObject() const",
        "Mirelle::qt_metacall(QMetaObject::Call, int, void**)",
        "Mirelle::qt_metacast(char const*)",
        "Mirelle::qt_updateFinished(int, QString)",
        "Mirelle::qt_updateProgress(int, int)",
        "Mirelle::staticMetaObject",
    };
    for (const QString& e : expected)
        QVERIFY2(symbols.contains(e), qPrintable("missing: " + e));
}

QTEST_MAIN(TestMirelle)
#include "tst_mirelle.moc"
