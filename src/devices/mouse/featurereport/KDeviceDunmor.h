#pragma once

#include "devices/mouse/MouseSessionDevice.h"
#include "devices/mouse/featurereport/DunmorKeyCodec.h"
#include "devices/mouse/featurereport/DunmorMacro.h"
#include "devices/mouse/featurereport/DunmorTransport.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QVector>

namespace KHID {
class KUSBDevice;
}

// The feature-report mouse (DunmorProtocol.h): every setting is a command of its own, sent without an
// acknowledgement, and every getter asks the mouse afresh. The sixteen button slots go out together, so the
// object keeps the codes the mouse holds (as last read or written) and sends those for every slot but the one
// being changed.
//
// Threads: lives on the GUI thread; initDevice runs there. Its operations run on pool threads through HWork,
// one at a time (the session's operation lock, which the GUI thread never waits for); each exchange holds the
// shared transaction mutex. The slot codes and the macro slot map are guarded by a state lock never held
// during I/O. What operations need of the user interface (key items, DPI stage switches, the light item) comes
// from the session's copy; the model changes they make reach the GUI thread after the write succeeded.
class KDeviceDunmor : public MouseSessionDevice
{
    Q_OBJECT
public:
    explicit KDeviceDunmor(QObject* parent = nullptr);
    ~KDeviceDunmor() override;

    bool initDevice() override;
    int getFwVersion() override;
    int getDpiIndex() override;
    QVector<int> getDpiList() override;
    int getReportRate() override;
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override;
    QMap<KKey, KKeyModelItem> getKeys() override;
    int getOLEDLightIntensity() override { return -1; }
    int getMacroBufferSize() override;
    bool setDpiIndex(const int& index) override;
    bool setDpiList(const QVector<int>& values) override;
    bool setReportRate(const int& rate) override;
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& rgb, int zone) override;
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& value, QVariant value2,
                        QVariant value3) override;
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                 QVariant times, const int& slot) override;
    bool writeReportRate(const int&) override { return false; }
    bool setOLEDLightIntensity(const int&) override { return false; }
    bool writeImageToMouse() override { return false; }
    bool setPicNumber(const int&) override { return false; }
    bool checkMacroId(const int& key, int* slot) override;
    bool checkLeftKey(const int& key) override;
    bool macroFilter(QVector<KMacroItem>& items, int* out) override;
    // Profiles are applied field by field.
    int getMouseConfig(QJsonObject) override { return ProfileNotHandled; }

    // For tests: the slot codes as the object knows them (empty until read or written), the macro slots
    // (slot -> key, -1 free) and the product id.
    QByteArray slotCodes() const;
    QMap<int, int> macroSlots() const;
    quint16 productId() const { return m_pid; }

protected:
    KDeviceDunmor(quint16 pid, QObject* parent);

    // The stage values of a DPI page (bytes 0..7, byte 0 the report id).
    QVector<int> dpiListOfPage(const QByteArray& page, int (*dpiFromCode)(int)) const;
    // The DPI page exchange of getDpiList; false with the Part's log lines when a read fails.
    bool readDpiPage(QByteArray* page);
    // Sends a DPI page with its codes; the caller holds the operation.
    bool writeDpiPage(const QVector<quint8>& codes);
    // A macro buffer of the model's dialect, sent to slot.
    int writeMacro(DunmorMacro::Dialect dialect, bool ignoreDelay, MacroPlayType playType,
                   const QVector<KMacroItem>& items, int repeat, int slot);

    // One command and its reply (8 bytes); false when either step fails.
    bool query(std::initializer_list<quint8> command, QByteArray* reply);
    bool send(std::initializer_list<quint8> command);
    bool readReportRate(int* rate);
    bool sendLight(quint8 effect, quint8 parameter, quint8 flag);
    // Reads the slots into the cache; the caller holds the operation.
    bool readSlots(QByteArray* codes);

    KHID::KUSBDevice* m_channel = nullptr;
    const quint16 m_pid;
    DunmorTransport m_transport;

    // Under m_stateLock.
    QMap<int, int> m_macroSlots;   // slot 1..4 -> key, -1 free
    QByteArray m_slotCodes;        // 64 bytes as the mouse holds them; empty when not known

private:
    bool openChannel();
};
