#pragma once

#include "devices/mouse/MouseSession.h"
#include "devices/mouse/register/FarrantNordicKeyCodec.h"
#include "devices/mouse/register/FarrantNordicTransport.h"
#include "hid/KBaseDevice.h"

#include <QByteArray>
#include <QImage>
#include <QJsonObject>
#include <QList>
#include <QMutex>
#include <QPair>
#include <QString>
#include <QVector>

#include <atomic>
#include <functional>

class FarrantInterruputRead;

namespace KHID {
class KUSBDevice;
}

// The root of the register mouse family: every setting is a byte of a 4-byte register word that the mouse
// keeps behind its command collection (see FarrantNordicProtocol.h); reads and writes are 32-byte command
// packets through FarrantNordicTransport. A register write first reads the word, keeps the bytes it does not
// change and puts the mouse into game mode when the cached mode says it left it.
//
// Models of the family derive from it and set their product id, address byte (wired or through the
// receiver), write pacing and layout document through the protected constructor; a few replace the opening
// (openChannel, afterOpen) or the DPI block.
//
// Threads: the object lives on the GUI thread. initDevice and the reader's two handlers run there; the
// handlers' device reads go to the pool as device tasks and their signals are emitted from the completions.
// Every other operation runs on a pool thread through HWork and takes the mouse's operation lock once
// (MouseSession), so operations of one mouse never interleave; the transport takes the shared transaction
// mutex per exchange. On the GUI thread an operation never waits for the lock: a busy mouse fails it at once.
class KDeviceFarrant_Nordic : public KBaseDevice
{
    Q_OBJECT
public:
    explicit KDeviceFarrant_Nordic(QObject* parent = nullptr);
    ~KDeviceFarrant_Nordic() override;

    // --- KBaseDevice ------------------------------------------------------------------------------------------
    bool initDevice() override;
    QJsonObject* getLayout() override;
    int getFwVersion() override;
    int getDpiIndex() override;
    QVector<int> getDpiList() override;
    int getReportRate() override;
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override;
    QMap<KKey, KKeyModelItem> getKeys() override;
    int getConfigByte() override;
    int getCurrentPicIndex() override;
    int getOLEDLightIntensity() override;
    int getBatteryValue() override;
    int getPressMacroCode() override;
    int getDefinedPressMacro() override;
    bool getPowerSaving() override;
    int getMacroBufferSize() override { return kMacroBufferSize; }
    int readConfigByte() override;
    bool setDpiIndex(const int& index) override;
    bool setDpiList(const QVector<int>& values) override;
    bool setReportRate(const int& rate) override;
    bool writeReportRate(const int& rate) override;
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& rgb, int zone) override;
    bool setShortCutModel(const int& preset, int zone) override;
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                        QVariant c) override;
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items, QVariant times,
                 const int& slot) override;
    // Macros are not read back from this family: true at once, the list unchanged.
    bool getMacro(QVector<KMacroItem>& items, const KKey& key) override;
    bool setOLEDLightIntensity(const int& intensity) override;
    bool setCurrentPicIndex(const int& index) override;
    bool writeImageToMouse() override;
    bool setPicNumber(const int& number) override;
    bool setPressMacroCode(const int& code) override;
    bool setDefinedPressMacro(const int& count) override;
    bool setDefaultFlash() override;
    bool setPowerSaving(bool on) override;
    bool setOperatingMode(const int& mode, int zone) override;
    bool checkMacroId(const int& key, int* slot) override;
    bool checkLeftKey(const int& key) override;
    bool macroFilter(QVector<KMacroItem>& items, int* out) override;
    // Profiles are applied field by field through the setters.
    int getMouseConfig(QJsonObject profile) override;
    bool enterGameMode() override;

    // --- the family's own operations ---------------------------------------------------------------------------
    // Game mode (0xA2 read, -1 on failure; 0xA1 write) and the step before a register write.
    int getGameMode();
    bool setGameMode(int mode);
    bool ensureGameMode();
    // Commands without a user in the family: 0xA9 (reply byte 1, -1 on failure), 0xA7, 0xA8.
    int readStatusA9();
    bool sendCommandA7();
    bool sendCommandA8();

    // Settings without a caller in the program.
    int getPicCount();
    int getPicShowType();
    int getPicTime();
    // The picture index table (0x8A4, eight bytes); empty when the read fails.
    QList<int> getCurrentPicIndexList();
    bool setDpiCount(int highestIndex);
    bool setPicShowType(int type);
    bool setPicTime(int time);
    // DPI value to stage code: mode 2 counts 100 DPI from 200, any other mode 50 DPI.
    static int dpiToCode(int mode, int value);

    // OLED picture: the 64x48 one-bit picture as the screen's six pages of 64 columns (a pixel whose bit is 0
    // is lit), and its upload in 24-byte chunks from 0x22000.
    static bool ImageToByteArr(const QImage& image, quint8* out, int length);
    bool writeImageData(const quint8* data);

    // Battery: the reading's percentage (the family's table), and the reading's second byte (0xAA), -1 when
    // there is none; nothing in the program asks for the latter.
    virtual int batteryPercent(int reading) const;
    int readBatteryByte();

    // The configuration image (settings block mirrored from 0x880 at byte 639), as the getters filled it.
    QByteArray configImage() const;

    int productId() const { return m_pid; }
    quint8 addressByte() const { return m_transport.addressByte(); }
    int writeDelay() const { return m_delay; }
    int cachedGameMode() const { return m_transport.cachedGameMode(); }
    int cachedBattery() const { return m_battery.load(); }
    MouseSession& session() { return m_session; }
    // The opening started the interrupt-read thread (it may have ended since, when the mouse offers no
    // interrupt source).
    bool readerStarted() const;

    // The reader thread's texts: "start getBatteryValue" asks for a battery read; anything else is logged.
    void onReaderText(QString text);
    // One interrupt report, one character per byte: game mode, raw DPI word and battery.
    void onReaderData(QString data);

    static constexpr int kMacroBufferSize = 2720;
    // How long opening waits for the game-mode step before giving up on the device.
    static constexpr int kGameModeWaitMs = 40000;

protected:
    // A model of the family: its product id, address byte, pacing and layout document.
    KDeviceFarrant_Nordic(int pid, quint8 address, int delayMs, const QString& layoutPath, QObject* parent);
    // A model of the family as its row in FarrantNordicModels.h describes it.
    KDeviceFarrant_Nordic(int pid, QObject* parent);

    // Opening: the channel and its retries (the caller holds the operation lock); the root takes the
    // registry's channel for the command collection, six attempts one second apart.
    virtual bool openChannel();
    // After a successful opening, on the GUI thread: the root's game-mode step on the pool, bounded; then
    // the reader. The result is the opened flag.
    virtual bool afterOpen();
    // Starts the reader with this model's product id unless it runs already.
    void startReader();

    // The models that open a channel of their own (still under the shared transaction mutex), and the six
    // attempts one second apart that every opening makes on the channel it holds.
    bool openOwnChannel();
    bool openAttempts();
    // A step of the opening run as a device task, waited for on the GUI thread for a bounded time.
    enum class StepResult { Ok, Failed, NoAnswer, Gone };
    StepResult runOpeningStep(const std::function<bool()>& step);
    // The own openings' game-mode step: read the mode and, unless it is on, set it once
    // ("[ERROR] enter gameMode error" when that fails).
    bool enterGameModeOnce();
    // After an own opening with a reader: the game-mode step (warning 0 and false when it fails), then the
    // reader for a product id in the receiver range.
    bool afterOwnOpening();

    // The key line of this model (FarrantNordicModels.h).
    FarrantNordic::KeyLine keyLine() const;

    // Stages of the DPI block (seven words of 50 DPI for the root).
    virtual int dpiStageCount() const { return kRootDpiStages; }

    // The register-write pattern of the setters, with the operation lock taken by the caller.
    bool updateWord(quint32 word, const QList<QPair<int, quint8>>& changes, bool gameModeStep, const QString& name);
    bool writeWord(quint32 address, const QByteArray& data, bool gameModeStep);
    // A register word (or up to 28 bytes) as the mouse answers it; empty when the read failed. The getters
    // that mirror a register store it into the image.
    QByteArray readBytes(quint32 address, int length, bool mirror);
    int readByte(quint32 address, bool mirror);

    FarrantNordicTransport& transport() { return m_transport; }
    KHID::KUSBDevice* channel() const { return m_channel; }
    void setChannel(KHID::KUSBDevice* channel);

    static constexpr int kRootDpiStages = 7;

private:
    void storeImage(quint32 address, const QByteArray& bytes);
    bool setShortCutSteps(int preset);

    KHID::KUSBDevice* m_channel = nullptr;
    QJsonObject m_layout;
    const QString m_layoutPath;
    const int m_pid;
    const int m_delay;
    std::atomic<int> m_battery{0};
    int m_dpiRaw = -1;  // GUI thread only
    mutable QMutex m_imageLock;
    QByteArray m_image;
    FarrantInterruputRead* m_readThread = nullptr;
    FarrantNordicTransport m_transport;
    MouseSession m_session{this};
};
