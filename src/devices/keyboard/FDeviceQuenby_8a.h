#pragma once

#include "devices/keyboard/KKeyCode.h"
#include "devices/keyboard/Quenby8aConfigImage.h"
#include "devices/keyboard/Quenby8aTransport.h"
#include "hid/KBaseDevice.h"

#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QString>

class Quenby_8aInterruputRead;

namespace KHID {
class KUSBDevice;
}

// The wired keyboard: every setting is a register of its vendor command interface (see Quenby8aProtocol.h).
// Lives on the GUI thread; its register operations run on pool threads through HWork and are serialised per
// device here and across devices by the shared transaction mutex.
class FDeviceQuenby_8a : public KBaseDevice
{
    Q_OBJECT
public:
    explicit FDeviceQuenby_8a(QObject* parent = nullptr);
    ~FDeviceQuenby_8a() override;

    bool initDevice() override;
    QJsonObject* getLayout() override;
    int getFwVersion() override;
    int getDpiIndex() override { return 0; }
    QVector<int> getDpiList() override { return QVector<int>(); }
    int getReportRate() override { return 0; }
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override { return QMap<QString, int>(); }
    QMap<KKey, KKeyModelItem> getKeys() override;
    int getLogoLightMode(int zone) override;
    H_KEYLIGHT getKeyBrightness() override;
    int getMacroBufferSize() override { return 256; }
    bool setDpiIndex(const int&) override { return false; }
    bool setDpiList(const QVector<int>&) override { return false; }
    bool setReportRate(const int&) override { return false; }
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>&, int) override { return false; }
    bool setShortCutModel(const int&, int) override { return false; }
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                        QVariant c) override;
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items,
                 QVariant times, const int& slot) override;
    bool getMacro(QVector<KMacroItem>&, const KKey&) override { return false; }
    bool setLogoLightMode(const int& mode, int zone) override;
    bool setKeyBrightness(const KKey& key, const int& level) override;
    bool checkMacroId(const int& key, int* slot) override;
    bool checkLeftKey(const int&) override { return true; }
    bool macroFilter(QVector<KMacroItem>& items, int* out) override;
    int getMouseConfig(QJsonObject profile) override;
    bool enterGameMode() override;

    // Key code translation of this keyboard.
    static bool transToByte(int function, quint8* out, const QVariant& a, const QVariant& b);
    static void transToItem(KKeyModelItem& item, quint8 b0, quint8 b1, quint8 b2, quint8 b3);
    static bool isModifierFunction(int function);
    static bool keyGapAfter(int key, int* count);
    static bool hasHiddenKeyAfter(int key);

    // One input report of the keyboard's interrupt collection, one character per byte (the reader thread's
    // sigData); reports its own light and mode changes.
    void onInterruptData(QString data);

    // The macro slot each key holds (slot -> key, -1 free).
    QMap<int, int> macroSlots() const;
    Quenby8aConfigImage configImage() const;

protected:
    // A model of the same protocol with its own product id, macro slot count and layout document (the wired
    // keyboard's stays when it has none).
    FDeviceQuenby_8a(int pid, int macroSlots, QObject* parent);

    // Starts live reports: now, or once the reader of an earlier open has ended.
    void startReader();
    void onReaderFinished();
    struct ApplyPlan;
    struct Refusal;

    // Closes the channel if it is open and opens it again, retrying; the caller holds the operation lock.
    bool openChannel();
    int readInitRegister();
    int readByteRegister(quint32 address, int length, int headerIndex);

    // Writes; the caller holds the operation lock.
    // Writes value to a register and, only when that succeeded, to its second copy.
    bool writeRegisterPair(quint32 first, quint32 second, quint8 value);
    bool writeByteRegister(quint32 address, quint8 value);
    bool writeKeyTable(const QByteArray& table);
    bool writeKeyBrightnessTable(const QByteArray& table);
    // One key's table entry, then the image and the slot map follow it.
    bool writeKeyCode(int key, int position, int function, const KKeyCode& code);
    bool writeMacroRecord(int slot, const QByteArray& record);

    bool encodeKeyFunction(int key, int function, const QVariant& a, const QVariant& b, KKeyCode* code) const;

    // One validator per setting, shared by its setter and the profile plan.
    bool validLightMode(int mode) const;
    static bool validLogoMode(int mode);
    bool validSpeed(int speed) const;
    bool validBrightness(int brightness) const;
    // The key light levels the layout allows, within what the device can store.
    void keyLevelRange(int* min, int* max) const;
    // Layout range of a light setting, within the fallback; the fallback where the layout does not give it.
    void layoutRange(const char* minKey, const char* maxKey, int fallbackMin, int fallbackMax, int* lo, int* hi) const;
    bool inLayoutRange(const char* minKey, const char* maxKey, int value, int fallbackMin, int fallbackMax) const;
    int lightModeCount() const;

    // Whole-profile apply: the plan reads the document and the layout only; the commit only writes.
    bool planProfile(const QJsonObject& profile, ApplyPlan* plan, Refusal* refusal) const;
    bool commitProfile(ApplyPlan& plan, Refusal* refusal);

    KHID::KUSBDevice* m_channel = nullptr;
    QJsonObject m_layout;
    const QString m_layoutPath;
    const int m_pid;
    const quint8 m_address;
    const int m_delay;
    Quenby8aTransport m_transport;
    Quenby_8aInterruputRead* m_readThread = nullptr;
    // The reader of an earlier open was still winding down when the device opened again: it starts anew
    // once it has ended (onReaderFinished).
    std::atomic<bool> m_readerRestartPending{false};

    // Serialises this device's own operations: each public operation takes it once.
    QMutex m_operationLock;
    // Guards the image and the slot map, which pool threads and the GUI thread share.
    mutable QMutex m_stateLock;
    Quenby8aConfigImage m_image;
    QMap<int, int> m_macroSlots;
};
