#include "app/KConfigCommon.h"

#include "app/KAppCommon.h"
#include "app/KAppModel.h"
#include "common/DeviceIds.h"
#include "hid/KDeviceController.h"
#include "hid/KPidTables.h"
#include "online/KNetBase.h"
#include "online/KNetCommon.h"
#include "online/analytics/GAnalytics.h"
#include "profiles/KConfigFileController.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>

namespace {

const QString kLanguage = QStringLiteral("/language");
const QString kUsername = QStringLiteral("/username");
const QString kNickname = QStringLiteral("/nickname");
const QString kToken = QStringLiteral("/token");
const QString kHeadPortrait = QStringLiteral("/headportrait");
const QString kGAState = QStringLiteral("/GAState");
const QString kDisableUpdate = QStringLiteral("/disableUpdate");
const QString kIsFirst = QStringLiteral("/isFirst");
const QString kApiBase = QStringLiteral("/apiBase");
const QString kCheckHost = QStringLiteral("/checkHost");
const QString kAnalyticsUrl = QStringLiteral("/analyticsUrl");
const QString kEquipment = QStringLiteral("Equipment");
const QString kPid = QStringLiteral("pid");
const QString kPath = QStringLiteral("path");

// The starter macros made on the first start.
constexpr int kStarterMacros = 3;

struct Equipment {
    QVariant pid;
    QString path;
};

QList<Equipment> readEquipment(QSettings& settings)
{
    QList<Equipment> records;
    const int size = settings.beginReadArray(kEquipment);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        records.append({settings.value(kPid), settings.value(kPath).toString()});
    }
    settings.endArray();
    return records;
}

int pidOf(const Equipment& record)
{
    bool ok = false;
    const int pid = record.pid.toString().toInt(&ok, 10);
    return ok ? pid : 0;
}

void restrictToOwner(const QString& path)
{
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

} // namespace

KConfigCommon* KConfigCommon::instance()
{
    static KConfigCommon common(KAppCommon::instance()->getAppConfigPath());
    return &common;
}

KConfigCommon::KConfigCommon(const QString& path, std::function<int()> pidSource, QObject* parent)
    : QObject(parent), m_path(path), m_pidSource(std::move(pidSource))
{
    initSettings();

    KAppModel* model = KAppModel::instance();
    model->setToken(getToken());
    model->setLanguage(getLanguage());
    model->setGaEnable(getGAState());
    model->setDisableUpdate(getDisableUpdate());
    model->setNickname(getNickName());
    model->setUsername(getUsername());
    model->setHeadportrait(getHeadportrait());
    model->setConfigPath(getEquipmentConfigPath());
    model->setIndex(getConfigIndex());

    connect(model, &KAppModel::sig_SaveConfig, this, &KConfigCommon::setConfigPath);
    connect(model, &KAppModel::sig_SaveLanguage, this, &KConfigCommon::setCurrentLanguage);
    connect(model, &KAppModel::sig_SaveGAState, this, &KConfigCommon::setGAState);
    connect(model, &KAppModel::sig_SaveDisableUpdate, this, &KConfigCommon::setDisableUpdateState);
    connect(model, &KAppModel::sig_updateConfigPath, this,
            [this] { KAppModel::instance()->setConfigPath(getEquipmentConfigPath()); });

    setLogin(!getNickName().isEmpty() && !getToken().isEmpty());

    if (getIsFirst()) {
        for (int i = 0; i < kStarterMacros; ++i) {
            KConfigFileController controller;
            controller.createMacro(KAppCommon::instance()->getMacroFolderPath(), QString());
        }
        setIsFirst(false);
        m_settings->sync();
    }
}

KConfigCommon::~KConfigCommon()
{
    m_settings->sync();
}

void KConfigCommon::initSettings()
{
    const bool exists = QFile::exists(m_path);
    m_settings = std::make_unique<QSettings>(m_path, QSettings::IniFormat);
    m_settings->setIniCodec("UTF-8");
    if (!exists) {
        m_settings->setValue(kLanguage, QLocale().language() == QLocale::Chinese ? QStringLiteral("zh")
                                                                                 : QStringLiteral("en"));
        m_settings->setValue(kGAState, false);
        m_settings->setValue(kDisableUpdate, false);
        m_settings->setValue(kIsFirst, true);
        m_settings->sync();
    }
    // Also a file made by an earlier version: the token must not be readable by others.
    if (QFile::exists(m_path))
        restrictToOwner(m_path);
}

void KConfigCommon::applyNetworkSettings(const QString& path)
{
    if (!QFile::exists(path))
        return;
    QSettings settings(path, QSettings::IniFormat);
    settings.setIniCodec("UTF-8");
    const QString base = settings.value(kApiBase).toString().trimmed();
    if (!base.isEmpty())
        KNetBase::setApiBase(base);
    const QString host = settings.value(kCheckHost).toString().trimmed();
    if (!host.isEmpty())
        KNetCommon::setCheckHost(host);
    const QUrl analytics(settings.value(kAnalyticsUrl).toString().trimmed(), QUrl::StrictMode);
    if (analytics.isValid() && !analytics.isEmpty())
        GAnalytics::setCollectUrl(analytics);
}

int KConfigCommon::currentPid() const
{
    return m_pidSource ? m_pidSource() : KDeviceController::instance()->getPid();
}

QString KConfigCommon::getAppVersion() const
{
    return QCoreApplication::applicationVersion();
}

QString KConfigCommon::getLanguage() const
{
    return m_settings->value(kLanguage).toString();
}

QString KConfigCommon::getUsername() const
{
    return m_settings->value(kUsername).toString();
}

QString KConfigCommon::getNickName() const
{
    return m_settings->value(kNickname).toString();
}

QString KConfigCommon::getHeadportrait() const
{
    return m_settings->value(kHeadPortrait).toString();
}

QString KConfigCommon::getToken() const
{
    return QString::fromLocal8Bit(QByteArray::fromBase64(m_settings->value(kToken).toString().toLocal8Bit()));
}

bool KConfigCommon::clearUserInfo()
{
    m_settings->remove(kNickname);
    m_settings->remove(kUsername);
    m_settings->remove(kToken);
    setLogin(false);
    KAppModel::instance()->clearUserInfo();
    return true;
}

bool KConfigCommon::setHeadPortrait(QString headPortrait)
{
    m_settings->setValue(kHeadPortrait, headPortrait);
    KAppModel::instance()->setHeadportrait(headPortrait);
    return true;
}

bool KConfigCommon::setLanguage(QString language)
{
    m_settings->setValue(kLanguage, language);
    return true;
}

bool KConfigCommon::setToken(const QString& token)
{
    m_settings->setValue(kToken, QString::fromLatin1(token.toLocal8Bit().toBase64()));
    m_settings->sync();
    restrictToOwner(m_path);
    KAppModel::instance()->setToken(token);
    return true;
}

bool KConfigCommon::setNickName(const QString& nickname)
{
    m_settings->setValue(kNickname, nickname);
    KAppModel::instance()->setNickname(nickname);
    return true;
}

bool KConfigCommon::setUsername(const QString& username)
{
    m_settings->setValue(kUsername, username);
    KAppModel::instance()->setUsername(username);
    return true;
}

void KConfigCommon::setLogin(bool login)
{
    m_login = login;
    emit loginChanged();
}

bool KConfigCommon::getGAState() const
{
    return m_settings->value(kGAState).toBool();
}

bool KConfigCommon::getDisableUpdate() const
{
    return m_settings->value(kDisableUpdate).toBool();
}

bool KConfigCommon::getIsFirst() const
{
    return m_settings->value(kIsFirst).toBool();
}

bool KConfigCommon::writeGAState(bool state)
{
    m_settings->setValue(kGAState, state);
    return true;
}

bool KConfigCommon::writeDisableUpdate(bool state)
{
    m_settings->setValue(kDisableUpdate, state);
    return true;
}

bool KConfigCommon::setIsFirst(bool first)
{
    m_settings->setValue(kIsFirst, first);
    return true;
}

QString KConfigCommon::getEquipmentConfigPath() const
{
    const int pid = currentPid();
    QString path;
    // Of several records of one id the last one counts.
    for (const Equipment& record : readEquipment(*m_settings)) {
        if (pidOf(record) == pid)
            path = record.path;
    }
    return path;
}

int KConfigCommon::configIndexOf(const QString& path)
{
    // The number belongs to the file name; folders may hold "_" of their own.
    const QString name = QFileInfo(path).fileName();
    const int underscore = name.indexOf(QLatin1Char('_'));
    if (underscore < 0)
        return 0;
    QString digits;
    for (int i = underscore + 1; i < name.size() && name.at(i) >= QLatin1Char('0') && name.at(i) <= QLatin1Char('9');
         ++i)
        digits.append(name.at(i));
    bool ok = false;
    const int index = digits.toInt(&ok, 10);
    return ok ? index : 0;
}

int KConfigCommon::getConfigIndex() const
{
    return configIndexOf(getEquipmentConfigPath());
}

void KConfigCommon::storePath(int pid, const QString& path)
{
    // The whole array is written back with its size, so no record is ever cut off.
    QList<Equipment> records = readEquipment(*m_settings);
    auto match = std::find_if(records.begin(), records.end(), [pid](const Equipment& r) { return pidOf(r) == pid; });
    if (match == records.end())
        records.append({pid, path});
    else
        match->path = path;
    m_settings->beginWriteArray(kEquipment, records.size());
    for (int i = 0; i < records.size(); ++i) {
        m_settings->setArrayIndex(i);
        m_settings->setValue(kPid, records.at(i).pid);
        m_settings->setValue(kPath, records.at(i).path);
    }
    m_settings->endArray();
    m_settings->sync();
}

void KConfigCommon::mirrorPairedConfigPath(int pid)
{
    int partner = kWirelessPidTable.value(pid, 0);
    // A wired keyboard's profile is never copied to its wireless id.
    if (partner == DeviceIds::kKeyboardWireless)
        return;
    if (partner == 0) {
        for (auto it = kWirelessPidTable.cbegin(); it != kWirelessPidTable.cend(); ++it) {
            if (it.value() == pid) {
                partner = it.key();
                break;
            }
        }
    }
    if (partner == 0)
        return;
    storePath(partner, KAppModel::instance()->getConfigPath());
}

bool KConfigCommon::setConfigPath()
{
    const int pid = currentPid();
    mirrorPairedConfigPath(pid);
    storePath(pid, KAppModel::instance()->getConfigPath());
    return true;
}

bool KConfigCommon::setCurrentLanguage()
{
    m_settings->setValue(kLanguage, KAppModel::instance()->getLanguage());
    m_settings->sync();
    return true;
}

bool KConfigCommon::setGAState()
{
    m_settings->setValue(kGAState, KAppModel::instance()->getGaEnable());
    m_settings->sync();
    return true;
}

bool KConfigCommon::setDisableUpdateState()
{
    m_settings->setValue(kDisableUpdate, KAppModel::instance()->getDisableUpdate());
    m_settings->sync();
    return true;
}
