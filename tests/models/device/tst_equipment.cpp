#include "common/DeviceIds.h"
#include "models/device/HEquipmentList.h"
#include "models/device/HEquipmentModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QtTest>

namespace {

const QString kKeyboardPicture = QStringLiteral("qrc:/common/newUI/Firm/sj_quenby_8a.png");
// An id of our vendor that no model has.
constexpr int kUnknownPid = 0x6DF0;

} // namespace

// The device picker: its naming rules, its order and the list model over it.
class TestEquipment : public QObject
{
    Q_OBJECT

private slots:
    void namingRules_data()
    {
        QTest::addColumn<QString>("typeName");
        QTest::addColumn<QString>("shown");
        QTest::newRow("Kelham Nordic") << "Kelham_NORDIC" << "KelhamS";
        QTest::newRow("Kelham Nordic wireless") << "Kelham_NORDIC_WIRELESS" << "KelhamS";
        QTest::newRow("Jarrow Nordic") << "Jarrow_NORDIC_WIRELESS" << "Jarrow";
        QTest::newRow("8A") << "Quenby_8A" << "Quenby-8A";
        QTest::newRow("8A wireless") << "Quenby_8A_WIRELESS" << "Quenby-8A";
        QTest::newRow("other Nordic") << "Farrant_NORDIC" << "Farrant";
        QTest::newRow("wireless") << "ZEPHRA_WIRELESS" << "ZEPHRA";
        QTest::newRow("Hollis") << "Kinloch_Hollis" << "Kinloch";
        QTest::newRow("RGB") << "Quenby_RGB" << "Quenby-RGB";
        QTest::newRow("stem is before the first underscore") << "Big_Mouse_WIRELESS" << "Big";
        QTest::newRow("plain") << "ZEPHRA" << "ZEPHRA";
        QTest::newRow("case counts") << "zephra_wireless" << "zephra_wireless";
        QTest::newRow("no rule") << "Edris_PRO" << "Edris_PRO";
        QTest::newRow("empty") << "" << "";
    }

    void namingRules()
    {
        QFETCH(QString, typeName);
        QFETCH(QString, shown);
        QCOMPARE(HEquipmentList::displayName(typeName), shown);
    }

    void listIsBuiltInProductIdOrder()
    {
        HEquipmentList list;
        QMap<int, QString> connected;
        connected.insert(kUnknownPid, QStringLiteral("path-unknown"));
        connected.insert(DeviceIds::kKeyboardWireless, QStringLiteral("path-wireless"));
        connected.insert(DeviceIds::kKeyboardWired, QStringLiteral("path-wired"));
        list.initEquipmentList(connected);

        const QVector<HEquipmentItem> items = list.items();
        QCOMPARE(items.size(), 3);
        const HEquipmentItem wired{"ZEPHRA", kKeyboardPicture, DeviceIds::kKeyboardWired, "keyboard", false,
                                   "path-wired"};
        const HEquipmentItem wireless{"ZEPHRA", kKeyboardPicture, DeviceIds::kKeyboardWireless,
                                      "quenby-8a_wireless", false, "path-wireless", true};
        const HEquipmentItem unknown{"", "", kUnknownPid, "", false, "path-unknown"};
        QVERIFY(items.at(0) == wired);
        QVERIFY(items.at(1) == wireless);
        QVERIFY(items.at(2) == unknown);
    }

    void resetIsAnnouncedBeforeTheItemsChange()
    {
        HEquipmentList list;
        list.insertItemAt(DeviceIds::kKeyboardWired, QStringLiteral("a"));
        list.insertItemAt(DeviceIds::kKeyboardWireless, QStringLiteral("b"));
        QList<int> sizesAtAnnouncement;
        connect(&list, &HEquipmentList::preResetItems, this, [&] { sizesAtAnnouncement << list.getItemSize(); });

        list.initEquipmentList({{DeviceIds::kKeyboardWired, QStringLiteral("a")}});
        list.clearItems();
        list.resetEquipmentList();
        QCOMPARE(sizesAtAnnouncement, (QList<int>{2, 1, 0}));
        QCOMPARE(list.getItemSize(), 0);
    }

    void deletingItems_data()
    {
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("removedRow");
        QTest::newRow("by product id, first match") << int(DeviceIds::kKeyboardWired) << -1 << 0;
        QTest::newRow("by index") << 0 << 2 << 2;
        QTest::newRow("unknown product id") << kUnknownPid << -1 << -1;
        QTest::newRow("index past the end") << int(DeviceIds::kKeyboardWired) << 3 << -1;
        QTest::newRow("negative index") << int(DeviceIds::kKeyboardWired) << -2 << -1;
    }

    void deletingItems()
    {
        QFETCH(int, pid);
        QFETCH(int, index);
        QFETCH(int, removedRow);
        HEquipmentList list;
        list.insertItemAt(DeviceIds::kKeyboardWired, QStringLiteral("a"));
        list.insertItemAt(DeviceIds::kKeyboardWireless, QStringLiteral("b"));
        list.insertItemAt(DeviceIds::kKeyboardWired, QStringLiteral("c"));
        HEquipmentModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        model.setEquipmentList(&list);
        QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
        QSignalSpy announced(&list, &HEquipmentList::preItemDeleted);

        // The path is not compared.
        list.deleteItemAt(pid, QStringLiteral("c"), index);
        if (removedRow == -1) {
            QCOMPARE(announced.count(), 0);
            QCOMPARE(model.rowCount(), 3);
            return;
        }
        QCOMPARE(removed.count(), 1);
        QCOMPARE(removed.first().at(1).toInt(), removedRow);
        QCOMPARE(model.rowCount(), 2);
    }

    void modelRolesAndRows()
    {
        HEquipmentModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        QVERIFY(!model.data(model.index(0, 0), HEquipmentModel::TextRole).isValid());

        HEquipmentList list;
        QSignalSpy changed(&model, &HEquipmentModel::equipmentListChanged);
        model.setEquipmentList(&list);
        QCOMPARE(changed.count(), 1);
        list.insertItemAt(DeviceIds::kKeyboardWired, QStringLiteral("path"));
        QCOMPARE(model.rowCount(), 1);
        QCOMPARE(model.rowCount(model.index(0, 0)), 0);

        const QModelIndex row = model.index(0, 0);
        const QHash<int, QByteArray> names = model.roleNames();
        QCOMPARE(names.value(257), QByteArray("text"));
        QCOMPARE(names.value(262), QByteArray("path"));
        QCOMPARE(model.data(row, 257), QVariant(QStringLiteral("ZEPHRA")));
        QCOMPARE(model.data(row, 258), QVariant(kKeyboardPicture));
        QCOMPARE(model.data(row, 259).userType(), int(QMetaType::Int));
        QCOMPARE(model.data(row, 259).toInt(), int(DeviceIds::kKeyboardWired));
        QCOMPARE(model.data(row, 260), QVariant(QStringLiteral("keyboard")));
        QCOMPARE(model.data(row, 261).userType(), int(QMetaType::Bool));
        QCOMPARE(model.data(row, 262), QVariant(QStringLiteral("path")));
        // The link the chooser marks, from the catalogue: the wired keyboard by cable.
        QCOMPARE(names.value(263), QByteArray("wireless"));
        QCOMPARE(model.data(row, 263), QVariant(false));
        QVERIFY(!model.data(row, Qt::DisplayRole).isValid());

        // Rebuilds come through as resets.
        QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
        list.initEquipmentList({{DeviceIds::kKeyboardWired, "a"}, {DeviceIds::kKeyboardWireless, "b"}});
        QCOMPARE(reset.count(), 1);
        QCOMPARE(model.rowCount(), 2);
        QCOMPARE(model.data(model.index(1, 0), 263), QVariant(true));
    }

    void anotherListTakesOver()
    {
        HEquipmentModel model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        HEquipmentList first;
        model.setEquipmentList(&first);
        HEquipmentList second;
        second.insertItemAt(DeviceIds::kKeyboardWireless);
        model.setEquipmentList(&second);
        QCOMPARE(model.rowCount(), 1);

        // The first list no longer moves the model's rows.
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        first.insertItemAt(DeviceIds::kKeyboardWired);
        QCOMPARE(inserted.count(), 0);
        QCOMPARE(model.rowCount(), 1);

        {
            HEquipmentList shortLived;
            shortLived.insertItemAt(DeviceIds::kKeyboardWired);
            model.setEquipmentList(&shortLived);
        }
        QCOMPARE(model.equipmentList(), nullptr);
        QCOMPARE(model.rowCount(), 0);
    }
};

QTEST_MAIN(TestEquipment)
#include "tst_equipment.moc"
