#pragma once

#include "devices/mouse/MouseSessionDevice.h"
#include "devices/mouse/twopage/TwoPageImage.h"
#include "devices/mouse/twopage/UlverdKeyCodec.h"
#include "devices/mouse/twopage/UlverdTransport.h"

#include <QByteArray>
#include <QJsonObject>
#include <QMap>
#include <QMutex>
#include <QString>
#include <QVector>

#include <functional>

namespace KHID {
class KUSBDevice;
}

// The two-page mouse: its whole configuration lives in one 128-byte image (TwoPageImage.h) that the object
// reads when the mouse opens, changes for every edit and writes back whole. An edit works on a copy of the
// image; the copy becomes the object's image only once the mouse has acknowledged both pages, so a refused
// or failed edit never rides along with the next one. Macros travel in their own packet sequence.
//
// Threads: lives on the GUI thread. Its operations run on pool threads through HWork, one at a time (the
// session's operation lock, which the GUI thread never waits for); each exchange holds the shared transaction
// mutex. The image and the tables are guarded by a state lock that is never held during I/O, so the GUI
// thread may read them. What the operations need of the user interface (the DPI stage switches) comes from
// the session's copy; what they change in it (key items, the profile's settings) is handed to the GUI thread
// after the mouse took the change. The key editor's items are read from the image, which they mirror.
class HDeviceUlverd : public MouseSessionDevice
{
    Q_OBJECT
public:
    using Dialect = UlverdKeyCodec::Dialect;

    explicit HDeviceUlverd(QObject* parent = nullptr);
    ~HDeviceUlverd() override;

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
    bool checkMacroId(const int& key, int* slot) override;
    bool checkLeftKey(const int& key) override;
    bool macroFilter(QVector<KMacroItem>& items, int* out) override;
    int getMouseConfig(QJsonObject profile) override;

    // Reads the image from the mouse; false when not opened or the mouse did not answer.
    bool readData();
    // Writes the image as it is.
    bool writeData();
    // DPI conversions over the two tables (-1 / 0 when neither table has the code / value).
    int dpiCodeToValue(quint8 code);
    quint8 dpiValueToCode(int value);
    // A key entry's code as the key editor's item (value1..value4 = the code bytes).
    KKeyModelItem transToItem(const quint8* code, int key) const;
    // The code of a function on a key; false (out untouched) when it has none.
    bool transToByte(int function, quint8* out, int key, int parameter1, int parameter2);
    // A key's new function in the image, without writing it (a whole-profile apply writes once at the end).
    bool setFunction(const KKey& key, const KKeyFunction& function, const QVariant& value, const QVariant& value2);

    // For tests and the profile save: the image as the object holds it, and the macro slots (slot -> key).
    QByteArray image() const;
    QMap<int, int> macroSlots() const;
    quint16 productId() const { return m_pid; }

protected:
    HDeviceUlverd(quint16 pid, Dialect dialect, QObject* parent);

    struct ApplyPlan;
    using KeyChange = MouseKeyChange;

    bool locked() const { return m_dialect == Dialect::Locked; }
    // GUI thread: opens the channel, or keeps an open one while an operation holds the mouse.
    bool openForInit();
    // Opens the channel with its tries; the caller holds the operation. Overridden by the locked variant
    // for its shared channel and collection.
    virtual bool openChannel();
    // After every image read the mouse answered (the image lock is not held).
    virtual void imageRead() {}
    // The first image read of an open, run on the pool; waits a bounded time on the GUI thread.
    bool runStartupRead();
    // Models with other DPI tables set them at construction.
    void setDpiTables(const TwoPage::DpiTable& a, const TwoPage::DpiTable& b);

    // The caller of these holds the operation.
    bool readImageLocked();
    // Sends next (with the write bytes set); on success it becomes the image. keepStage: the current stage
    // an interrupt report set during the write wins over the one sent.
    bool commitImage(QByteArray next);
    // The common setter: a change of a copy of the image, then the commit.
    bool editImage(const std::function<void(QByteArray&)>& change);
    int macroPacingMs() const;

    // Validators shared by the setters and the whole-profile plan.
    bool validLightMode(int mode) const;
    bool validSpeed(int speed) const;
    bool validBrightness(int brightness) const;
    int entryOfKey(int key) const;
    // The stage codes, the current stage and the mask for a list of values and their switches; false when
    // the list cannot be stored (see setDpiList).
    bool planDpi(const QVector<int>& values, const QVector<bool>& enable, int currentStage, QByteArray& image);
    // The root's macro slot for a key over an image: a free slot while fewer than five keys hold a macro,
    // else the slot the key already has; false when there is none.
    bool chooseMacroSlot(const QByteArray& image, QMap<int, int>& slotTable, int key, int* slot) const;
    // One button's new function on an image copy (the rules of setFunction); *change gets what the key
    // editor's item becomes.
    bool planFunction(QByteArray& image, QMap<int, int>& slotTable, int key, int function, const QVariant& value,
                      const QVariant& value2, KeyChange* change);
    bool planProfile(const QJsonObject& profile, ApplyPlan* plan);
    bool commitProfile(ApplyPlan& plan, MouseOperation& op);
    // The key editor's items as the image holds them (the editor shows what the mouse has).
    QMap<int, KKeyModelItem> imageItems(const QByteArray& image) const;
    // Macro transfer of an event string already encoded; 1 done, 0 failed.
    int sendMacro(int slot, const QByteArray& events, int records);
    bool encodeMacro(const QVector<KMacroItem>& items, bool ignoreDelay, QByteArray* events, int* records) const;


    KHID::KUSBDevice* m_channel = nullptr;
    const quint16 m_pid;
    const Dialect m_dialect;
    UlverdTransport m_transport;

    // Under m_stateLock.
    QByteArray m_image;            // the image as last acknowledged by the mouse
    quint16 m_fwVersion = 0;
    int m_repeat = 1;
    int m_playCode = 0;
    TwoPage::DpiCodeTables m_dpi;
    QMap<int, int> m_macroSlots;   // slot -> key, -1 free
    quint32 m_stageReports = 0;    // interrupt reports applied (the locked variant)
};
