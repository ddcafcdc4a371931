#pragma once

#include "hid/HWork.h"
#include "models/keys/KMacroItem.h"
#include "models/keys/MacroPlayType.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

#include <functional>
#include <memory>

class KBaseDevice;
class KKeyModelItem;
class KeyboardHook;

// The key page's model: the current device's keys with what each does (keyList), the functions the device
// offers (functionsMap), the factory function of every keyboard key (orginFuncMap) and the PC-keyboard keys of
// the press preview (keyValueList). An assignment is checked and translated for the device's family, written
// through this model's own executor, and on success shown in the key's item and saved into the current
// profile; a refusal shows a tip, a failed write the device warning.
//
// Threads: the model, its lists and its maps belong to the GUI thread. Device work runs on the thread pool
// with a snapshot of what it needs (the device, its product id, the parsed macro files) and touches no member;
// its result comes back to a handler on the GUI thread, which alone changes the model.
class KKeyModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantList keyList READ getKeyList WRITE setKeyList NOTIFY keyListChanged)
    Q_PROPERTY(QVariantMap functionsMap READ getFunctionsMap WRITE setFunctionsMap NOTIFY functionsMapChanged)
    Q_PROPERTY(QVariantMap orginFuncMap READ getOrginFuncMap WRITE setOrginFuncMap NOTIFY orginFuncMapChanged)
    Q_PROPERTY(QVariantList keyValueList READ getKeyValueList WRITE setKeyValueList NOTIFY keyValueListChanged)

public:
    // Outcome of writing one macro file to one key.
    enum MacroSetResult {
        MacroSet = 1,
        MacroNoFile = 0,           // unreadable file, or no device
        MacroLeftKey = -1,         // no key would keep the left-button function
        MacroNoSlot = -2,
        MacroEmpty = -3,           // the device refuses the events
        MacroWriteFailed = -4,
        MacroKeyFuncFailed = -5,   // the macro is in its slot, the key's function write failed
        MacroReportRateFailed = -6, // the key plays the macro, the report-rate refresh failed
        MacroTooLong = -7,
        MacroPressMacroFailed = -8 // clearing the left button's press macros failed
    };
    // Outcome of writing press macros (macros that play with the left button).
    enum PressMacroResult {
        PressMacroSet = 1,
        PressMacroNoFile = 0,
        PressMacroLeftKey = -1,
        PressMacroKeyFuncFailed = -2,
        PressMacroWriteFailed = -3,
        PressMacroCountFailed = -4
    };

    // One macro file as it is written to the device.
    struct MacroFile {
        QVector<KMacroItem> events;
        bool ignoreTime = false;
        MacroPlayType playType = MacroPlayCycles;
        QVariant times;
    };
    // What a macro write needs of the model, taken on the GUI thread when it is queued.
    struct MacroContext {
        KBaseDevice* device = nullptr;
        int pid = 0;
        int maxMacroLength = 0; // 0: no limit known
    };

    explicit KKeyModel(QObject* parent = nullptr);
    ~KKeyModel() override;

    QVariantList getKeyList() const { return keyList; }
    QVariantMap getFunctionsMap() const { return functionsMap; }
    QVariantMap getOrginFuncMap() const { return orginFuncMap; }
    QVariantList getKeyValueList() const { return keyValueList; }
    QMap<int, QString> getKeyMacroMap() const { return keyMacroMap; }
    int getDefinedMacroIndex() const { return definedMacroIndex; }
    // Assign without a signal (QML writes).
    void setKeyList(const QVariantList& list) { keyList = list; }
    void setFunctionsMap(const QVariantMap& map) { functionsMap = map; }
    void setOrginFuncMap(const QVariantMap& map) { orginFuncMap = map; }
    void setKeyValueList(const QVariantList& list) { keyValueList = list; }

    Q_INVOKABLE bool setFunction(const int& key, const int& func);
    Q_INVOKABLE bool setCompositeKey(const int& key, const int& func, QVariant compositeKey, QVariant qtCode,
                                     QVariant keyFunc);
    Q_INVOKABLE void setMacroFunc(int key, QVector<QString> filePath);
    Q_INVOKABLE QString getKeyStr(int key);
    // The scan code setCompositeKey and the macro list take (set 1, 0x100 added for extended keys) of the native
    // scan code a key event of the window carries; 0 for a key the table does not know. Every page that takes a
    // pressed key converts through here.
    Q_INVOKABLE int scanCodeOfNative(int nativeScanCode) const;
    Q_INVOKABLE void addFunc(const int& index = -1, const bool& mAdd = false);
    Q_INVOKABLE void deleteFunc(const int& index = -1, const bool& mDelete = false);
    // The key-press preview: while the hook is installed, a key pressed in the program's window lights its
    // HKey in keyValueList, when the key still does what it does from the factory.
    Q_INVOKABLE void installHook();
    Q_INVOKABLE void unInstallHook();

    // The macro writers. They run on a pool thread and use nothing of the model: everything comes in ctx and
    // the arguments, the outcome goes out as the result.
    static int setKeyMacro(const MacroContext& ctx, const int& key, const MacroFile& macro);
    // Writes the files as press macros under consecutive ids; *written gets how many were written.
    static int setMacroFunction(const MacroContext& ctx, const int& key, const QVector<MacroFile>& macros,
                                int* written);
    static bool setMultiMacroFunction(KBaseDevice* device, const MacroFile& macro, const int& macroId);
    // Reads and parses a macro file; false (logged) when it cannot be opened or is no JSON object.
    static bool initJsonObj(const QString& path, QJsonObject& out);
    // A macro file that can be written: a JSON object with a non-empty "list" of event objects and a play
    // type "1".."3". False for anything else (missing, empty, malformed).
    static bool readMacroFile(const QString& path, MacroFile* out);

signals:
    void keyListChanged();
    void functionsMapChanged();
    void orginFuncMapChanged();
    void keyValueListChanged();
    void sig_uiModelChange(QJsonObject layout);

public slots:
    void deviceDataChange();
    void slot_uiModelChange(QJsonObject layout);

private slots:
    void updateCapslockTip(int vkCode, int scanCode, bool extended, bool downOrUp, bool isAuto);

private:
    bool checkAndTranslate(const int& key, int& func, int& mask, int usage);
    static int modifierMaskToFunction(int mask);
    bool hidUsageToKeyFunction(int& func, const int& key, int usage);
    bool isKeyboardPid(int pid) const;
    bool isSniperMousePid(int pid) const;
    bool isSwapModifierMousePid(int pid) const;
    bool isSideButtonMousePid(int pid) const;
    bool isDpiKeyMousePid(int pid) const;
    bool isBasicMousePid(int pid) const;

    void rebuildKeyList(const QList<int>& keys);
    void rebuildKeyValueList(const QList<int>& vkCodes, const QList<int>& scanCodes, const QList<bool>& extended);
    void readFunctions(const QJsonObject& layout);
    static QList<int> layoutKeys(const QJsonObject& layout);

    // Device work and its completion; a request the executor refuses (no device, or it was unplugged)
    // ends in deviceGone() instead.
    template <typename Result, typename Work>
    void queue(Work work, std::function<void(Result)> done);
    void deviceGone();

    void onFunctionWritten(int key, int func, bool ok);
    void onCompositeWritten(int key, int func, int usage, const QString& text, bool ok);
    void onMacroResult(int key, const QString& path, const MacroFile& macro, bool wasMacro, int code);
    void onPressMacroResult(int key, const QVector<int>& result);
    void leftKeyRefused(const char* log);
    static QString leftKeyTip();
    void macroRefused(const QString& tip);

    KKeyModelItem* itemOfKey(int key) const;
    void saveKeySection(int key);
    static KBaseDevice* currentDevice();
    int currentPid() const;
    int deviceType() const;
    int maxMacroLength() const;
    void bindOperations(KBaseDevice* device);
    bool bindCurrentDevice();

    int definedMacroIndex = 0;
    QVariantList keyList;
    QVariantMap functionsMap;
    QMap<int, QString> keyMacroMap;
    QVariantMap orginFuncMap;
    QVariantList keyValueList;
    std::unique_ptr<KeyboardHook> hook;
    HWork work;

    // The current device's operations, bound by deviceDataChange (and again before a request, when the
    // current device is another one by then).
    QPointer<KBaseDevice> boundDevice;
    std::function<QJsonObject*()> getLayout;
    std::function<int()> getReportRate;
    std::function<bool(const int&)> setReportRate;
    std::function<bool(const KKey&, const KKeyFunction&, const QVariant&, QVariant, QVariant)> setKeyFunction;
    std::function<bool(const int&)> checkLeftKey;
    std::function<bool(const int&, int*)> checkMacroId;
    std::function<bool(QVector<KMacroItem>&, int*)> macroFilter;
    std::function<int(bool, const MacroPlayType&, const QVector<KMacroItem>&, QVariant, const int&)> setMacro;
    std::function<bool(const int&)> setDefinedPressMacro;
};

template <typename Result, typename Work>
void KKeyModel::queue(Work work, std::function<void(Result)> done)
{
    // A refused request still reaches its completion (queued, with a failure value): the flag, set before
    // that completion can run, sends it to deviceGone() instead of the failure branch of a real answer.
    auto refused = std::make_shared<bool>(false);
    const bool admitted = this->work.run(std::move(work), [this, refused, done = std::move(done)](Result result) {
        if (*refused)
            deviceGone();
        else
            done(result);
    });
    if (!admitted)
        *refused = true;
}
