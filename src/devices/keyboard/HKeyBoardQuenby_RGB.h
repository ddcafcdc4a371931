#pragma once

#include "devices/keyboard/FDeviceQuenby_8a.h"

#include <QByteArray>
#include <QVector>

// The full-size RGB model of the keyboard: the wired keyboard's protocol with a numeric keypad, a light colour
// with direction and monochrome switches in place of the logo light, and a work mode that opening switches to
// the program's mode (see Quenby8a::Rgb in Quenby8aProtocol.h). It never starts the base's live-report reader.
// Lives on the GUI thread like the base; register operations run on pool threads through HWork, each under the
// device's operation lock and the shared transaction mutex.
class HKeyBoardQuenby_RGB : public FDeviceQuenby_8a
{
    Q_OBJECT
public:
    explicit HKeyBoardQuenby_RGB(QObject* parent = nullptr);
    ~HKeyBoardQuenby_RGB() override;

    bool initDevice() override;
    int getLightModel(int zone) override;
    int getLightSpeed(int zone) override;
    int getLightBrightness(int zone) override;
    QMap<QString, int> getRGB(int zone) override;
    int getLogoLightMode(int zone) override { return -1; }
    bool getLightDirection() override;
    bool getLightMonochromatic() override;
    bool setLightModel(const int& mode, int zone) override;
    bool setLightSpeed(const int& speed, int zone) override;
    bool setLightBrightness(const int& brightness, int zone) override;
    bool setRGB(const QMap<QString, int>& color, int zone) override;
    bool setLightDirection(bool on) override;
    bool setMonochromaticMode(bool on) override;
    // The model has neither a logo light nor per-key brightness registers: nothing is read or written (the
    // brightness map is empty).
    bool setLogoLightMode(const int& mode, int zone) override;
    H_KEYLIGHT getKeyBrightness() override;
    bool setKeyBrightness(const KKey& key, const int& level) override;
    bool enterGameMode() override;
    // Whole-profile apply: the document is checked and every byte worked out before the first write; macro
    // keys get their slots, records and key entries after the light settings.
    int getMouseConfig(QJsonObject profile) override;
    // Whether a profile's key and colour arrays have an entry for the key (they list these keys in order).
    static bool isProfileKey(int key);
    H_KEYLIGHT getKeyColor() override;
    // Every key's function as the device holds it; the macro keys get their slots back (the stored slot when
    // it is valid and not taken twice, otherwise the lowest free one).
    QMap<KKey, KKeyModelItem> getKeys() override;
    bool setKeyFunction(const KKey& key, const KKeyFunction& function, const QVariant& a, QVariant b,
                        QVariant c) override;
    // The macro record of a slot (0-29), written at 512 x slot with the save flag; 1 when written, -1 when the
    // list does not fit a record or a chunk failed.
    int setMacro(bool ignoreDelay, const MacroPlayType& playType, const QVector<KMacroItem>& items, QVariant times,
                 const int& slot) override;
    // The factory key table of the model: 128 codes, zeros at the empty positions.
    static void initKeyMatrix(KKeyCode* table);
    // The program's copy of the key table: the factory table, then every key set since.
    QVector<KKeyCode> keyTableCache() const;
    // Colour of one key ("r", "g", "b"; a missing one counts 0); false for a key the model does not have.
    bool setKeyRGB(const KKey& key, const QMap<QString, int>& rgb, const int& a, const int& b) override;

    // Work mode: reads it (-1 on failure) or writes it; both keep the last value in workMode().
    int getGameMode();
    bool setGameMode(const int& mode);
    int workMode() const { return m_workMode; }

protected:
    // The whole per-key colour table (Rgb::kKeyColorSize bytes), in chunks.
    bool writeKeyColorTable(const QByteArray& table);
    // The whole key table of this model, in chunks.
    bool writeKeyTable(const QByteArray& table);

private:
    struct ApplyPlan;
    // Whole-profile apply: the plan reads the document and the key table cache only; the commit only
    // writes (after one read of the colour table). Each returns the log line of its refusal, or null.
    const char* planProfile(const QJsonObject& profile, ApplyPlan* plan, QString* detail) const;
    const char* commitProfile(ApplyPlan& plan);
    bool writeMacroRecordAt(int slot, const QByteArray& record);
    // One byte of a register read length bytes wide; -1 when the read failed.
    int readRgbRegister(quint32 address, int length);
    bool writeRgbRegister(quint32 address, const QByteArray& data);

    std::atomic<int> m_workMode{-1};
    // Guarded by m_stateLock.
    QVector<KKeyCode> m_keyTable;
};
