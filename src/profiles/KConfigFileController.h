#pragma once

#include "hid/HWork.h"

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QQueue>
#include <QString>
#include <QVector>

#include <functional>
#include <memory>

class KBaseDevice;
class KKeyModelItem;

// The single front of the profile and macro files. File operations (create, delete, rename) run at once on
// the GUI thread. Device routines (apply, save, compare, reset, fill from the factory profile) are launched:
// the busy indicator goes on, the routine waits in this controller's queue and runs on a pool thread through
// the executor, and its result comes back to its own completion on the GUI thread, which stops the
// indicator and tells the user. The queue runs one routine at a time, in the order they were launched, so
// two routines never work on the same profile at once; each routine reads its own copy of the document.
//
// Threads: GUI thread, apart from the routines, which get what they need of the device when they start and
// touch no model and no member of the controller.
class KConfigFileController : public QObject
{
    Q_OBJECT
public:
    explicit KConfigFileController(QObject* parent = nullptr);
    ~KConfigFileController() override;

    // --- file operations -------------------------------------------------------------------------------
    // A new profile in basePath (a folder below the profile root) named name, or "New configuration" when
    // name is empty; numbered when taken. False at the limit of profiles, for a name that cannot be a file
    // name or a folder outside the profile root.
    Q_INVOKABLE bool createConfig(QString basePath, QString name = QString());
    // Removes a profile and its picture, or a picture alone. The current profile is never removed.
    Q_INVOKABLE bool deleteConfigFile(QString path);
    // A new macro file in basePath (the macro folder or one below it), "New macro" when name is empty.
    Q_INVOKABLE bool createMacro(QString basePath, QString name = QString());
    Q_INVOKABLE bool deleteMacroFile(QString path);
    // Renames a file or folder below the profile or macro root within its own folder; newName is a bare name.
    Q_INVOKABLE bool renameFile(QString fullName, QString newName);
    Q_INVOKABLE bool createFolder(QString basePath, QString name = QString());
    Q_INVOKABLE bool deleteMacroFolder(QString path);
    Q_INVOKABLE bool isConfigFile(QString path);

    // --- device routines (return before the work is done) ---------------------------------------------
    // Applies the model's factory profile to the device and then resets the current profile to it. False
    // when the model has no factory profile or no device is there.
    Q_INVOKABLE bool setDefaultConfig();
    Q_INVOKABLE bool setDefaultFlash(QString path = QString());
    Q_INVOKABLE void readConfigData(QString path);
    Q_INVOKABLE void saveMouseData(QString path, bool isRestore = true);
    Q_INVOKABLE void saveMouseData(QString path, int str, int key);
    Q_INVOKABLE void contrastMouseData(QString path);
    Q_INVOKABLE void createMouseConfig(QString path);

    // The apply routine of the profile at path for an executor of the caller's own (the cloud restore runs it
    // on its own): what the routine needs of the device and the models is taken now, on the GUI thread;
    // work() then runs on a pool thread and touches no model; shown(), on the GUI thread after the work,
    // shows the DPI levels the apply switched on. Neither the busy indicator nor a tip: the caller reports.
    struct ProfileApply {
        std::function<bool()> work;
        std::function<void()> shown;
    };
    ProfileApply profileApply(const QString& path, bool isDefault);
    // Whether a routine is running or waiting; the program lets them finish before it quits, so a change
    // the user made just before is not lost on the way to its profile.
    bool hasPendingRoutines() const { return m_taskRunning || !m_tasks.isEmpty(); }

    // --- the current device's profiles ---------------------------------------------------------------
    // The device's profile folder: the profile root + "/" + the device name; empty without a device.
    QString profileFolder() const;
    // The current profile's file in that folder; empty without a device or a current profile.
    QString currentProfilePath() const;
    // After a successful device write: that section of the device's state (key -1 when it is not one key's)
    // into the current profile, which is first made under its own name when it is missing. Nothing without
    // a current profile.
    void saveCurrentProfileSection(int section, int key);
    // Whether name can be a profile, macro or folder name: a bare name short enough for its files.
    static bool isValidName(const QString& name);

    // --- factory profile copies (GUI thread) -----------------------------------------------------------
    // Fills the profile at path from the current model's factory profile, keeping the file's own times.
    bool createMouseConfigFile(QString path);
    // Overwrites the profile at path with the factory profile after a factory reset.
    bool resetMouseConfigFile(QString path);

    // The older form of the one-section save: every value from the user-interface models instead of the
    // device (the DPI, report, light, key and per-key light models, the device version shown). Nothing calls
    // it; GUI thread. False when a value it needs is missing; then nothing is written.
    bool saveModelConfigItem(QString path, const int& section, const int& key);

    // --- documents -------------------------------------------------------------------------------------
    // Reads the profile at path into object, migrating an older layout (and rewriting the file) on the way.
    // On any failure object is left as it was.
    bool initJsonObj(QString path, QJsonObject& object);
    // Replaces the file at path by object as indented JSON; the old file stays whole if the write fails.
    bool syncToFile(QString path, QJsonObject object);
    bool isCurrentConfigVersion(QJsonObject object);
    bool updateConfigVersion(QString path, QJsonObject& object);
    bool transNewKey(const int& oldKey, int& newKey);
    bool transFunc(const int& oldFunc, int& newFunc);
    void initTransMaps();

    QString getDefaultPath(int pid);
    bool isKeyboardPid(int pid);
    bool isSwappedModifierPid(int pid);
    bool isPackedValuePid(int pid);
    bool isModifierFunction(int func);

    static constexpr int kCurrentConfigVersion = 2;
    // Profile documents are small; anything larger is not one of ours and is not read whole.
    static constexpr qint64 kMaxProfileBytes = 16 * 1024 * 1024;
    // Profiles per device folder, and entries per macro folder.
    static constexpr int kMaxProfiles = 30;
    static constexpr int kMaxMacroEntries = 30;
    // The busy indicator of a routine ends with the routine; this only bounds it should a routine never end
    // (a whole-profile apply of a keyboard moves some kilobytes in small transfers).
    static constexpr int kLoadingMs = 120000;

signals:
    void sendSignalToUser();

public slots:
    // Shows the profile at path in the user-interface models; false when it cannot be read.
    bool getMouseType(QString path);

private:
    // What a routine needs, taken on the GUI thread when the routine starts: the device, its product id and
    // what the profile sections take from the user-interface models.
    struct TaskContext {
        KBaseDevice* device = nullptr;
        int pid = 0;
        // The key entries: the macro file of each macro key, the macro files selected for a multi-macro key
        // and the name shown for them.
        QMap<int, QString> keyMacroMap;
        QVector<QString> multiMacro;
        QString macroName;
        // The DPI levels switched on and the main light zone's switches.
        QVector<bool> dpiEnable;
        int shortCutModel = 0;
        int operatingMode = 0;
        int logoModel = 0;
        bool lightDirection = false;
        bool lightMonochromatic = false;
        // The layout's left-key macro mode (3: the left button may hold press macros).
        int leftKeyMacro = 0;
        // Whether the device reports its current DPI stage (the layout's "hasCurrentDpi").
        bool hasCurrentDpi = true;
    };
    // What a routine hands back to its completion besides its bool: the DPI levels an apply switched on.
    struct TaskOutput {
        bool hasDpiEnable = false;
        QVector<bool> dpiEnable;
    };
    struct Task {
        std::function<bool(const TaskContext&)> work;
        std::function<void(bool)> done;
    };

    // Queues a routine behind the ones launched before; the indicator goes on now. False when no device
    // is there to run it (its completion then reports the failure in its turn).
    bool launch(std::function<bool(const TaskContext&)> work, std::function<void(bool)> done);
    static TaskContext snapshot();
    // Shows the DPI levels an apply switched on in the DPI model (GUI thread).
    static void showAppliedDpiFlags(const TaskOutput& output);
    void startNextTask();
    void taskFinished();

    // The routines, run on a pool thread.
    bool getMouseConfig(const QString& path, bool isDefault, const TaskContext& context, TaskOutput* output);
    bool saveMouseConfig(const QString& path, bool isRestore, const TaskContext& context);
    bool saveMouseConfigItem(const QString& path, int section, int key, const TaskContext& context);
    bool contrastMouseConfig(const QString& path, const TaskContext& context);
    // The first difference between the profile at path and the device, logged, in *difference (empty when
    // there is none); false when the profile or a device read fails (KConfigFileController_compare.cpp).
    bool findDifference(const QString& path, const TaskContext& context, QString* difference);

    // Pieces of the save (KConfigFileController_save.cpp), shared by the whole and the one-section save
    // and by the comparison, which checks a profile against what a save would write.
    bool savePrologue(const QString& path, QJsonObject& profile, const TaskContext& context);
    bool saveDpi(QJsonObject& profile, bool allEnabled, bool packFlags, const TaskContext& context);
    bool saveLight(QJsonObject& profile, int zone, bool fromDevice, int what, const TaskContext& context);
    bool saveKeys(QJsonObject& profile, bool isRestore, const TaskContext& context);
    bool saveKeySection(QJsonObject& profile, int key, const TaskContext& context);
    bool saveKeyLights(QJsonObject& profile, bool brightness, int onlyKey, const TaskContext& context);
    // The key entry rule: element rewritten from the device's item for its key.
    // A multi-macro comes before a macro key when multiMacroFirst (the model-based writer's order).
    bool writeKeyEntry(QJsonObject& element, const KKeyModelItem& item, bool multiMacro, bool isRestore,
                       int documentPid, const TaskContext& context, bool multiMacroFirst = false);
    bool fillFromFactory(const QString& path, int pid);

    // The shared create routine of profiles and macro files.
    bool createFile(const QString& basePath, const QString& name, bool isProfile);

    // The open device and its product id, and its name as its layout gives it.
    static KBaseDevice* currentDevice();
    static int currentPid();
    static QString deviceName();
    static QString deviceVersion();

    bool writeDocument(const QString& path, const QJsonObject& object, bool logOpen);

    QMap<int, int> m_keyTransMap;
    QMap<int, int> m_funcTransMap;
    HWork m_work;
    QQueue<Task> m_tasks;
    bool m_taskRunning = false;
};
