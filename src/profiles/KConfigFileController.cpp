#include "profiles/KConfigFileController.h"

#include "common/AnalyticsEvents.h"
#include "common/AppServices.h"
#include "common/DeviceIds.h"
#include "common/ProgramFolders.h"
#include "hid/HDeviceManager.h"
#include "hid/KBaseDevice.h"
#include "hid/KDeviceController.h"
#include "models/device/FOledModel.h"
#include "models/device/KDpiModel.h"
#include "models/device/KImageModel.h"
#include "models/device/KLightModel.h"
#include "models/device/KLightModelItem.h"
#include "models/keys/HMacroName.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KKey.h"
#include "models/keys/KKeyModel.h"
#include "profiles/FileHelpers.h"
#include "profiles/JsonFileReader.h"
#include "profiles/ProfileDocument.h"
#include "profiles/ProfileFieldApply.h"
#include "profiles/ProfileNames.h"

#include <QDateTime>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

struct TransPair {
    int from;
    int to;
};

// Keyboard profiles before layout version 2 numbered keys and functions differently.
constexpr TransPair kKeyTrans[] = {
    {14, 14},  {15, 15},  {16, 16},  {17, 17},  {18, 18},  {19, 19},  {20, 22},  {21, 23},  {22, 24},
    {23, 25},  {24, 26},  {25, 27},  {26, 30},  {27, 31},  {28, 32},  {29, 33},  {30, 34},  {31, 35},
    {32, 38},  {33, 39},  {34, 40},  {35, 41},  {36, 42},  {37, 46},  {38, 47},  {39, 48},  {40, 49},
    {41, 50},  {42, 54},  {43, 55},  {44, 56},  {45, 57},  {46, 58},  {47, 59},  {48, 62},  {49, 63},
    {50, 64},  {51, 65},  {52, 66},  {53, 70},  {54, 71},  {55, 72},  {56, 73},  {57, 74},  {58, 78},
    {59, 79},  {60, 80},  {61, 81},  {62, 82},  {63, 86},  {64, 87},  {65, 88},  {66, 89},  {67, 90},
    {68, 91},  {69, 94},  {70, 95},  {71, 96},  {72, 97},  {73, 98},  {74, 101}, {75, 102}, {76, 103},
    {77, 104}, {78, 105}, {79, 106}, {80, 115}, {81, 110}, {82, 111}, {83, 112}, {84, 113}, {85, 122},
    {86, 123}, {87, 118}, {88, 119}, {89, 120}, {90, 121}, {91, 130}, {92, 131}, {93, 134}, {94, 135},
    {95, 129}, {96, 137}, {97, 136}, {98, 139}, {99, 128},
};
static_assert(sizeof(kKeyTrans) / sizeof(kKeyTrans[0]) == 86, "one pair per old key 14..99");

constexpr TransPair kFuncTrans[] = {
    {58, 95},   {59, 107},  {60, 97},   {61, 111},  {62, 172},  {63, 171},  {64, 112},  {65, 84},
    {66, 74},   {67, 58},   {69, 174},  {70, 113},  {71, 85},   {72, 80},   {73, 76},   {74, 83},
    {75, 173},  {76, 114},  {77, 86},   {78, 62},   {79, 61},   {80, 81},   {81, 115},  {82, 87},
    {83, 75},   {84, 63},   {85, 60},   {86, 116},  {87, 88},   {88, 77},   {89, 64},   {90, 79},
    {91, 98},   {92, 117},  {93, 89},   {94, 82},   {95, 65},   {96, 59},   {97, 118},  {98, 90},
    {99, 78},   {100, 67},  {101, 71},  {102, 119}, {103, 91},  {104, 66},  {105, 68},  {106, 70},
    {107, 120}, {108, 92},  {109, 72},  {110, 69},  {111, 108}, {112, 177}, {113, 121}, {114, 93},
    {115, 73},  {116, 105}, {117, 109}, {118, 179}, {119, 122}, {120, 99},  {121, 101}, {122, 106},
    {123, 110}, {124, 175}, {125, 123}, {126, 100}, {127, 102}, {129, 176}, {130, 135}, {131, 124},
    {132, 96},  {133, 103}, {134, 94},  {135, 137}, {136, 136}, {137, 127}, {138, 129}, {139, 130},
    {140, 133}, {141, 132}, {142, 134}, {143, 131},
};
static_assert(sizeof(kFuncTrans) / sizeof(kFuncTrans[0]) == 84, "one pair per old function 58..143 but 68, 128");

constexpr int kLastUntranslatedKey = 13;
constexpr int kLastUntranslatedFunc = 57;

// Only whole numbers are renumbered; a member of another type is kept as the file holds it.
bool isWholeNumber(const QJsonValue& value)
{
    return value.isDouble() && value.toDouble() == double(value.toInt());
}

// Stores a renumbered value where the entry held a number, so nothing is invented or overwritten.
void replaceNumber(QJsonObject& entry, const QString& member, int value)
{
    if (isWholeNumber(entry.value(member)))
        entry.insert(member, value);
}

} // namespace

namespace {

using ProfileDocument::kCreateAt;
using ProfileDocument::kFwVersion;
using ProfileDocument::kUpdateAt;
using ProfileDocument::replaceMember;
using ProfileDocument::stamp;

// The file's creation time where the file system keeps one, else its last change.
QDateTime creationTime(const QFileInfo& file)
{
    const QDateTime birth = file.birthTime();
    return birth.isValid() ? birth : file.lastModified();
}

QString withSlash(const QString& folder)
{
    return folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
}

// Entries of a folder that count towards its limit: profile documents, or every file and folder.
int countEntries(const QString& folder, bool profilesOnly)
{
    QDir dir(folder);
    if (!dir.exists())
        return 0;
    if (profilesOnly)
        return dir.entryList({QStringLiteral("*.json")}, QDir::Files, QDir::Unsorted).size();
    return dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Unsorted).size();
}

} // namespace

KConfigFileController::KConfigFileController(QObject* parent)
    : QObject(parent)
{
    initTransMaps();
}

KConfigFileController::~KConfigFileController() = default;

// --- file operations -----------------------------------------------------------------------------------

bool KConfigFileController::createConfig(QString basePath, QString name)
{
    return createFile(basePath, name.isEmpty() ? ProfileNames::newProfile() : name, true);
}

bool KConfigFileController::createMacro(QString basePath, QString name)
{
    return createFile(basePath, name.isEmpty() ? ProfileNames::newMacro() : name, false);
}

bool KConfigFileController::createFile(const QString& basePath, const QString& name, bool isProfile)
{
    const QString root = isProfile ? ProgramFolders::profileRoot() : ProgramFolders::macroRoot();
    // Profiles live in a device's folder below the profile root, macros in the macro folder or below it.
    const bool placeOk = isProfile ? isInsideFolder(basePath, root) : isFolderOrInside(basePath, root);
    if (!placeOk || !isValidName(name)) {
        qDebug() << "[Error] create file refused:" << basePath << name;
        return false;
    }

    const QString folder = withSlash(basePath);
    const bool isDefault = isProfile && name == ProfileNames::defaultProfile();
    // The default profile's name is never numbered: asking for it again keeps the file that is there, also
    // in a full folder.
    if (isDefault && fileExists(folder + ProfileNames::defaultProfileFile()))
        return true;

    const int entries = countEntries(basePath, isProfile);
    qDebug() << (isProfile ? "configlist:" : " macroList") << entries;
    if (isProfile && entries >= kMaxProfiles) {
        AppServices::instance()->showTips(
            AppServices::TipFail,
            tr("Your current number of configurations has reached the limit and can't continue to add"));
        return false;
    }
    if (!isProfile && entries >= kMaxMacroEntries) {
        AppServices::instance()->showTips(
            AppServices::TipFail,
            tr("Your current number of files has reached the limit and can't continue to add macro files"));
        return false;
    }

    QString path = folder + name + ProfileNames::profileSuffix();
    for (int n = 2; !isDefault && fileExists(path); ++n)
        path = folder + name + QLatin1Char(' ') + QString::number(n) + ProfileNames::profileSuffix();
    if (!isValidName(QFileInfo(path).completeBaseName()))
        return false;

    const CreatedFileKind kind = !isProfile ? CreatedFileKind::MacroFile
                                 : isDefault ? CreatedFileKind::DefaultProfile
                                             : CreatedFileKind::NewProfile;
    return createDefaultFile(path, kind);
}

bool KConfigFileController::deleteConfigFile(QString path)
{
    const QFileInfo file(path);
    const QString suffix = file.suffix();
    const bool isDocument = suffix == QLatin1String("json");
    if (!isInsideFolder(path, ProgramFolders::profileRoot()) || (!isDocument && suffix != QLatin1String("png"))) {
        qDebug() << "[Error] deleteConfigFile refused:" << path;
        return false;
    }
    // The device always keeps the profile it is set to.
    const QString current = currentProfilePath();
    if (isDocument && !current.isEmpty()
        && QDir::cleanPath(QFileInfo(current).absoluteFilePath()) == QDir::cleanPath(file.absoluteFilePath())) {
        qDebug() << "The current configuration cannot be deleted";
        return false;
    }
    if (!removeFile(file))
        return false;
    // A profile's picture goes with it.
    const QString picture = file.absolutePath() + QLatin1Char('/') + file.completeBaseName()
                            + ProfileNames::pictureSuffix();
    if (isDocument && QFileInfo(picture).isFile() && !QFile::remove(picture))
        qDebug() << "[Error] deleteConfigFile: picture left behind:" << picture;
    return true;
}

bool KConfigFileController::deleteMacroFile(QString path)
{
    if (!isInsideFolder(path, ProgramFolders::macroRoot())) {
        qDebug() << "[Error] deleteMacroFile refused:" << path;
        return false;
    }
    return removeFile(QFileInfo(path));
}

bool KConfigFileController::renameFile(QString fullName, QString newName)
{
    const bool inRoots = isInsideFolder(fullName, ProgramFolders::profileRoot())
                         || isInsideFolder(fullName, ProgramFolders::macroRoot());
    if (!inRoots || !isBareName(newName) || newName.toUtf8().size() > ProfileNames::kMaxNameBytes + 5) {
        qDebug() << "[Error] renameFile refused:" << fullName << newName;
        return false;
    }
    if (!fileExists(fullName) && !dirExists(fullName))
        return false;
    return renameFileOrDir(fullName, newName);
}

bool KConfigFileController::createFolder(QString basePath, QString name)
{
    if (name.isEmpty())
        name = ProfileNames::newFolder();
    if (!isFolderOrInside(basePath, ProgramFolders::macroRoot()) || !isValidName(name)) {
        qDebug() << "[Error] createFolder refused:" << basePath << name;
        return false;
    }
    const QString base = withSlash(basePath) + name;
    QString path = base;
    for (int n = 2; dirExists(path) || fileExists(path); ++n)
        path = base + QLatin1Char(' ') + QString::number(n);
    if (!isValidName(QFileInfo(path).fileName()))
        return false;
    return makeFolder(path) && dirExists(path);
}

bool KConfigFileController::deleteMacroFolder(QString path)
{
    // Only folders below the macro folder: the library itself is never removed.
    if (!isInsideFolder(path, ProgramFolders::macroRoot())) {
        qDebug() << "[Error] deleteMacroFolder refused:" << path;
        return false;
    }
    return removeDir(path);
}

bool KConfigFileController::isConfigFile(QString path)
{
    return QFileInfo::exists(path);
}

bool KConfigFileController::isValidName(const QString& name)
{
    return isBareName(name) && !name.trimmed().isEmpty() && name.toUtf8().size() <= ProfileNames::kMaxNameBytes;
}

// --- the current device's profiles ----------------------------------------------------------------------

QString KConfigFileController::profileFolder() const
{
    const QString name = deviceName();
    if (!isValidName(name))
        return QString();
    return ProgramFolders::profileRoot() + QLatin1Char('/') + name;
}

QString KConfigFileController::currentProfilePath() const
{
    const QString folder = profileFolder();
    const QString file = AppServices::instance()->getConfigPath();
    if (folder.isEmpty() || !isBareName(file))
        return QString();
    return folder + QLatin1Char('/') + file;
}

void KConfigFileController::saveCurrentProfileSection(int section, int key)
{
    const QString path = currentProfilePath();
    if (path.isEmpty()) {
        qDebug() << "[Error] no current profile: the change is not saved" << section << key;
        return;
    }
    // Made under its own name, so that the save lands where the profile is looked for.
    if (!isConfigFile(path) && !createConfig(profileFolder(), QFileInfo(path).completeBaseName()))
        return;
    saveMouseData(path, section, key);
}

KBaseDevice* KConfigFileController::currentDevice()
{
    return KDeviceController::instance()->currentDevice();
}

int KConfigFileController::currentPid()
{
    // The product id of the device the registry made current, as the watch reports it.
    return currentDevice() ? HDeviceManager::instance()->currentPid() : 0;
}

QString KConfigFileController::deviceName()
{
    KBaseDevice* device = currentDevice();
    if (!device || !device->getLayout())
        return QString();
    return device->getLayout()->value(QStringLiteral("deviceName")).toString();
}

QString KConfigFileController::deviceVersion()
{
    const KImageModel* image = AppServices::instance()->getImageModel();
    return image ? image->deviceVersion() : QString();
}

// --- device routines ------------------------------------------------------------------------------------

bool KConfigFileController::launch(std::function<bool(const TaskContext&)> work, std::function<void(bool)> done)
{
    AppServices::instance()->startLoading(kLoadingMs);
    const KBaseDevice* device = currentDevice();
    const bool admitted = device && !device->isRemoved();
    m_tasks.enqueue(Task{std::move(work), std::move(done)});
    startNextTask();
    return admitted;
}

void KConfigFileController::startNextTask()
{
    if (m_taskRunning || m_tasks.isEmpty())
        return;
    Task task = m_tasks.dequeue();
    m_taskRunning = true;
    // Taken now, on the GUI thread: the routine itself never asks the registry. A device that has gone
    // makes the executor refuse the routine, and the completion then receives false.
    const TaskContext context = snapshot();
    m_work.run([work = std::move(task.work), context] { return work(context); },
              [this, done = std::move(task.done)](bool ok) {
                  done(ok);
                  taskFinished();
              });
}

KConfigFileController::TaskContext KConfigFileController::snapshot()
{
    TaskContext context;
    context.device = currentDevice();
    context.pid = currentPid();
    AppServices* app = AppServices::instance();
    if (const KKeyModel* keys = app->getKeyModel())
        context.keyMacroMap = keys->getKeyMacroMap();
    if (const HMacroName* names = app->getMacroName())
        context.multiMacro = names->getMultiMacro();
    if (const HMacroType* type = app->getMacroType())
        context.macroName = type->getMacroName();
    if (const KDpiModel* dpi = app->getDpiModel())
        context.dpiEnable = dpi->enable();
    if (const KLightModel* lights = app->getLightModel(); lights && lights->logo()) {
        const KLightModelItem* logo = lights->logo();
        context.shortCutModel = logo->shortCutModel();
        context.operatingMode = logo->operatingMode();
        context.logoModel = logo->logoModel();
        context.lightDirection = logo->lightDirection();
        context.lightMonochromatic = logo->lightMonochromatic();
    }
    if (const KImageModel* image = app->getImageModel()) {
        context.leftKeyMacro = image->leftKeyMacro();
        context.hasCurrentDpi = image->hasCurrentDpi();
    }
    return context;
}

void KConfigFileController::taskFinished()
{
    m_taskRunning = false;
    startNextTask();
}

bool KConfigFileController::setDefaultConfig()
{
    AppServices* app = AppServices::instance();
    const QString factory = getDefaultPath(currentPid());
    if (factory.isEmpty()) {
        app->sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kGetDefaultPath, AnalyticsEvents::kFail);
        return false;
    }
    const auto output = std::make_shared<TaskOutput>();
    return launch([this, factory, output](const TaskContext& context) {
                      return getMouseConfig(factory, true, context, output.get());
                  },
                  [this, factory, output](bool ok) {
                      AppServices* app = AppServices::instance();
                      showAppliedDpiFlags(*output);
                      app->stopLoading();
                      if (!ok) {
                          app->sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kReset,
                                         AnalyticsEvents::kFail);
                          app->showTips(AppServices::TipFail, tr("Failed to restore factory settings"));
                          app->startWarning(AppServices::WarningOperationFailed);
                          return;
                      }
                      getMouseType(factory);
                      // The screen shows its factory picture mode again.
                      if (FOledModel* oled = app->getOledModel())
                          oled->setOledMode(1);
                      app->showTips(AppServices::TipSuccess, tr("Factory settings restored successfully"));
                      // The device is at its factory settings now; so must the profile be, or the user is told.
                      const QString current = currentProfilePath();
                      if (current.isEmpty() || !resetMouseConfigFile(current)) {
                          qDebug() << "[Error] setDefaultConfig: the current profile was not reset" << current;
                          app->showTips(AppServices::TipFail, tr("Failed to keep the current device configuration"));
                      }
                  });
}

bool KConfigFileController::setDefaultFlash(QString path)
{
    Q_UNUSED(path)
    return launch([](const TaskContext& context) { return context.device && context.device->setDefaultFlash(); },
                  [](bool ok) {
                      if (!ok)
                          qDebug() << "[Error] setDefaultFlash error";
                      AppServices::instance()->stopLoading();
                  });
}

void KConfigFileController::readConfigData(QString path)
{
    const auto output = std::make_shared<TaskOutput>();
    launch([this, path, output](const TaskContext& context) { return getMouseConfig(path, false, context, output.get()); },
           [this, path, output](bool ok) {
               AppServices* app = AppServices::instance();
               showAppliedDpiFlags(*output);
               if (ok) {
                   getMouseType(path);
                   app->stopLoading();
                   app->showTips(AppServices::TipSuccess, tr("Successfully read the current configuration page"));
                   return;
               }
               app->stopLoading();
               app->sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kReset, AnalyticsEvents::kFail);
               app->showTips(AppServices::TipFail, tr("Failed to read the current configuration page configuration"));
               app->startWarning(AppServices::WarningOperationFailed);
           });
}

void KConfigFileController::saveMouseData(QString path, bool isRestore)
{
    launch([this, path, isRestore](const TaskContext& context) { return saveMouseConfig(path, isRestore, context); },
           [this, path](bool ok) {
               AppServices* app = AppServices::instance();
               if (ok)
                   getMouseType(path);
               app->stopLoading();
               if (ok)
                   app->showTips(AppServices::TipSuccess, tr("Successfully reserved the current device configuration"));
               else
                   app->showTips(AppServices::TipFail, tr("Failed to keep the current device configuration"));
           });
}

void KConfigFileController::saveMouseData(QString path, int str, int key)
{
    launch([this, path, str, key](const TaskContext& context) { return saveMouseConfigItem(path, str, key, context); },
           [](bool ok) {
               AppServices* app = AppServices::instance();
               app->stopLoading();
               if (ok)
                   app->showTips(AppServices::TipSuccess, tr("Successfully reserved the current device configuration"));
               else
                   app->showTips(AppServices::TipFail, tr("Failed to keep the current device configuration"));
               if (HMacroType* type = app->getMacroType())
                   type->clearMacroName();
               if (HMacroName* names = app->getMacroName())
                   names->clearMultiMacro();
           });
}

void KConfigFileController::contrastMouseData(QString path)
{
    launch([this, path](const TaskContext& context) { return contrastMouseConfig(path, context); },
           [](bool ok) {
               if (ok)
                   qDebug() << "contrastMouseConfig success";
               AppServices::instance()->stopLoading();
           });
}

void KConfigFileController::createMouseConfig(QString path)
{
    launch([this, path](const TaskContext& context) { return fillFromFactory(path, context.pid); },
           [](bool ok) {
               if (!ok)
                   qDebug() << "createMouseConfig error";
               AppServices::instance()->stopLoading();
           });
}

// --- routines ---------------------------------------------------------------------------------------------

bool KConfigFileController::getMouseConfig(const QString& path, bool isDefault, const TaskContext& context,
                                           TaskOutput* output)
{
    QJsonObject profile;
    if (!context.device || !initJsonObj(path, profile))
        return false;
    // A device class that applies a whole profile itself answers applied or failed.
    const int handled = context.device->getMouseConfig(profile);
    if (handled == KBaseDevice::ProfileApplied)
        return true;
    if (handled != KBaseDevice::ProfileNotHandled)
        return false;

    // Field by field, through the generic setters. The whole document is checked first: a profile that
    // cannot be applied changes nothing on the device.
    ProfileFieldApply::Inputs inputs;
    inputs.pid = context.pid;
    inputs.isDefault = isDefault;
    inputs.leftKeyMacro = context.leftKeyMacro;
    ProfileFieldApply apply;
    QString error;
    if (!ProfileFieldApply::plan(profile, inputs, &apply, &error)) {
        qDebug() << "[Error] getMouseConfig: the profile cannot be applied:" << error;
        return false;
    }
    if (output && apply.hasDpi()) {
        output->hasDpiEnable = true;
        output->dpiEnable = apply.dpiEnable();
    }
    return apply.commit(context.device);
}

KConfigFileController::ProfileApply KConfigFileController::profileApply(const QString& path, bool isDefault)
{
    const TaskContext context = snapshot();
    const auto output = std::make_shared<TaskOutput>();
    ProfileApply apply;
    apply.work = [this, path, isDefault, context, output] {
        return getMouseConfig(path, isDefault, context, output.get());
    };
    apply.shown = [output] { showAppliedDpiFlags(*output); };
    return apply;
}

void KConfigFileController::showAppliedDpiFlags(const TaskOutput& output)
{
    KDpiModel* dpi = AppServices::instance()->getDpiModel();
    if (output.hasDpiEnable && dpi)
        dpi->setEnable(output.dpiEnable);
}

bool KConfigFileController::createMouseConfigFile(QString path)
{
    return fillFromFactory(path, currentPid());
}

bool KConfigFileController::fillFromFactory(const QString& path, int pid)
{
    const QString factory = getDefaultPath(pid);
    if (factory.isEmpty())
        return false;
    QJsonObject profile;
    if (!initJsonObj(factory, profile))
        return false;
    const QFileInfo target(path);
    if (target.exists()) {
        replaceMember(profile, kCreateAt, stamp(creationTime(target)));
        replaceMember(profile, kUpdateAt, stamp(target.lastModified()));
    }
    return syncToFile(path, profile);
}

bool KConfigFileController::resetMouseConfigFile(QString path)
{
    const QString factory = getDefaultPath(currentPid());
    if (factory.isEmpty()) {
        AppServices::instance()->sendEvent(AnalyticsEvents::kDeviceReset, AnalyticsEvents::kGetDefaultPath,
                                           AnalyticsEvents::kFail);
        return false;
    }
    QJsonObject profile;
    if (!initJsonObj(factory, profile))
        return false;
    const QFileInfo target(path);
    if (target.exists())
        replaceMember(profile, kUpdateAt, stamp(target.lastModified()));

    profile.remove(kFwVersion);
    const int version = deviceVersion().toInt();
    if (version == -1)
        return false;
    profile.insert(kFwVersion, version);
    qDebug() << "set JsonObj:" << profile;
    return syncToFile(path, profile);
}
bool KConfigFileController::initJsonObj(QString path, QJsonObject& object)
{
    QJsonDocument document;
    if (!readJsonDocument(path, &document))
        return false;
    if (!document.isObject())
        return false;

    QJsonObject read = document.object();
    // A version that is no number would read as 0: a current document would be renumbered a second time.
    const QJsonValue version = read.value(QStringLiteral("configVersion"));
    if (!version.isUndefined() && !version.isDouble()) {
        qDebug() << "[Error] initJsonObj" << path << "configVersion is no number";
        return false;
    }
    if (!isCurrentConfigVersion(read) && !updateConfigVersion(path, read))
        return false;
    object = read;
    return true;
}

bool KConfigFileController::syncToFile(QString path, QJsonObject object)
{
    return writeDocument(path, object, false);
}

bool KConfigFileController::writeDocument(const QString& path, const QJsonObject& object, bool logOpen)
{
    const QByteArray bytes = QJsonDocument(object).toJson(QJsonDocument::Indented);
    QSaveFile file(path);
    // Unbuffered: a short write (disk full, size limit) must show in the count, the buffered path hides it.
    const bool opened = file.open(QIODevice::WriteOnly | QIODevice::Text | QIODevice::Unbuffered);
    if (logOpen)
        qDebug() << (opened ? "[Success] initJsonObj" : "[Error] initJsonObj");
    if (!opened || file.write(bytes) != bytes.size() || !file.commit()) {
        file.cancelWriting();
        qDebug() << "syncToFile error";
        return false;
    }
    qDebug() << "syncToFile success";
    return true;
}

bool KConfigFileController::isCurrentConfigVersion(QJsonObject object)
{
    return object.value(QStringLiteral("configVersion")).toInt(0) >= kCurrentConfigVersion;
}

bool KConfigFileController::updateConfigVersion(QString path, QJsonObject& object)
{
    // Work on a copy: a migration that fails leaves neither the caller's object nor the file changed.
    QJsonObject migrated = object;
    migrated.remove(QStringLiteral("configVersion"));
    migrated.insert(QStringLiteral("configVersion"), kCurrentConfigVersion);

    if (migrated.value(QStringLiteral("deviceName")).toString() == QLatin1String("ZEPHRA")) {
        qDebug() << "ZEPHRA need Change keylist Verison";

        // Each array is renumbered by its own entries: "keyLight" may be shorter or ordered differently.
        // A section that is no array is kept as it is rather than replaced by an empty one.
        if (migrated.value(QStringLiteral("key")).isArray()) {
            QJsonArray keys;
            for (const QJsonValue& value : migrated.value(QStringLiteral("key")).toArray()) {
                if (!value.isObject()) {
                    keys.append(value);
                    continue;
                }
                QJsonObject entry = value.toObject();
                const int oldKey = entry.value(QStringLiteral("key")).toInt(0);
                int newKey = oldKey;
                if (!transNewKey(oldKey, newKey)) {
                    qDebug() << "transNewKey error: key:" << oldKey;
                    return false;
                }
                const int oldFunc = entry.value(QStringLiteral("funcIndex")).toInt(0);
                int newFunc = oldFunc;
                if (!transFunc(oldFunc, newFunc)) {
                    qDebug() << "transFunc error: func" << oldFunc;
                    return false;
                }
                replaceNumber(entry, QStringLiteral("key"), newKey);
                replaceNumber(entry, QStringLiteral("funcIndex"), newFunc);
                keys.append(entry);
            }
            migrated.insert(QStringLiteral("key"), keys);
        }

        if (migrated.value(QStringLiteral("keyLight")).isArray()) {
            QJsonArray lights;
            for (const QJsonValue& value : migrated.value(QStringLiteral("keyLight")).toArray()) {
                if (!value.isObject()) {
                    lights.append(value);
                    continue;
                }
                QJsonObject entry = value.toObject();
                const int oldKey = entry.value(QStringLiteral("key")).toInt(0);
                int newKey = oldKey;
                // A light entry of a key without a new number keeps its number, as it always did.
                transNewKey(oldKey, newKey);
                replaceNumber(entry, QStringLiteral("key"), newKey);
                lights.append(entry);
            }
            migrated.insert(QStringLiteral("keyLight"), lights);
        }
    }

    if (!writeDocument(path, migrated, true))
        return false;
    object = migrated;
    return true;
}

bool KConfigFileController::transNewKey(const int& oldKey, int& newKey)
{
    const auto it = m_keyTransMap.constFind(oldKey);
    if (it != m_keyTransMap.constEnd()) {
        newKey = it.value();
        return true;
    }
    newKey = oldKey;
    return oldKey <= kLastUntranslatedKey;
}

bool KConfigFileController::transFunc(const int& oldFunc, int& newFunc)
{
    const auto it = m_funcTransMap.constFind(oldFunc);
    if (it != m_funcTransMap.constEnd()) {
        newFunc = it.value();
        return true;
    }
    newFunc = oldFunc;
    return oldFunc <= kLastUntranslatedFunc;
}

void KConfigFileController::initTransMaps()
{
    for (const TransPair& pair : kKeyTrans)
        m_keyTransMap.insert(pair.from, pair.to);
    for (const TransPair& pair : kFuncTrans)
        m_funcTransMap.insert(pair.from, pair.to);
}

QString KConfigFileController::getDefaultPath(int pid)
{
    return DeviceIds::factoryProfilePath(pid);
}

bool KConfigFileController::isKeyboardPid(int pid)
{
    const DeviceIds::Model* model = DeviceIds::find(pid);
    return model && model->family == DeviceIds::Family::Keyboard && model->link == DeviceIds::Link::Wired;
}

bool KConfigFileController::isSwappedModifierPid(int pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::SwappedModifiers);
}

bool KConfigFileController::isPackedValuePid(int pid)
{
    return DeviceIds::has(pid, DeviceIds::Flag::PackedValues);
}

bool KConfigFileController::isModifierFunction(int func)
{
    return ::isModifierFunction(func);
}
