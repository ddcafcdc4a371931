#include "app/KAppModel.h"

#include "app/KAppManager.h"
#include "app/UIManager.h"
#include "online/analytics/HAnalytics.h"

#include <QDebug>

KAppModel* KAppModel::instance()
{
    static KAppModel model;
    return &model;
}

KAppModel::KAppModel() = default;

void KAppModel::setLanguage(const QString& language)
{
    m_language = language;
}

void KAppModel::setUsername(const QString& username)
{
    m_username = username;
}

void KAppModel::setNickname(const QString& nickname)
{
    m_nickname = nickname;
    emit nicknameChanged();
}

void KAppModel::setToken(const QString& token)
{
    m_token = token;
}

void KAppModel::setHeadportrait(const QString& headportrait)
{
    m_headportrait = headportrait;
    emit headportraitChanged();
}

void KAppModel::setConfigPath(const QString& configPath)
{
    m_configPath = configPath;
    emit configPathChanged();
}

void KAppModel::setCursorSpeed(int cursorSpeed)
{
    m_cursorSpeed = cursorSpeed;
}

void KAppModel::setWheelScrollType(int wheelScrollType)
{
    m_wheelScrollType = wheelScrollType;
}

void KAppModel::setWheelScrollLine(int wheelScrollLine)
{
    m_wheelScrollLine = wheelScrollLine;
}

void KAppModel::setIndex(int index)
{
    m_index = index;
    emit indexChanged();
}

void KAppModel::setDisableUpdate(bool disableUpdate)
{
    m_disableUpdate = disableUpdate;
    emit disableUpdateChanged();
}

void KAppModel::setGaEnable(bool gaEnable)
{
    m_gaEnable = gaEnable;
    emit gaEnableChanged();
}
bool KAppModel::clearUserInfo()
{
    setToken(QString());
    setNickname(QString());
    setUsername(QString());
    return true;
}

void KAppModel::setScrollType(int type, bool write)
{
    if (type < 0 || type >= 2)
        return;
    if (write)
        qDebug() << "[Info] write setScrollType index:" << type;
    m_wheelScrollType = type;
    emit wheelScrollTypeChanged();
}

void KAppModel::setScrollLine(int line, bool write)
{
    if (line < 0 || line >= 101)
        return;
    if (write)
        qDebug() << "[Info] write setScrollLine index:" << line;
    m_wheelScrollLine = line;
    emit wheelScrollLineChanged();
}

void KAppModel::setSpeed(int speed, bool write)
{
    if (speed < 0 || speed >= 11)
        return;
    if (write)
        qDebug() << "[Info] write set cursor Speed index:" << speed;
    m_cursorSpeed = speed;
    emit cursorSpeedChanged();
}

void KAppModel::setMouseConfig(QString path, bool write)
{
    if (write) {
        m_configPath = path;
        emit configPathChanged();
        emit sig_SaveConfig();
    }
    qDebug() << "configPath:" << m_configPath;
}

void KAppModel::setDisableUpdateState(bool disableUpdate, bool write)
{
    if (write) {
        m_disableUpdate = disableUpdate;
        emit disableUpdateChanged();
        emit sig_SaveDisableUpdate();
    }
    qDebug() << "disableUpdate:" << m_disableUpdate;
}

void KAppModel::setCurrentLanguage(QString language, bool write)
{
    if (write) {
        m_language = language;
        emit languageChanged();
        emit sig_SaveLanguage();
    }
    qDebug() << "language:" << m_language;
}

void KAppModel::setGAEnable(bool gaEnable, bool write)
{
    if (write) {
        m_gaEnable = gaEnable;
        emit gaEnableChanged();
        emit sig_SaveGAState();
        UIManager* ui = KAppManager::instance()->getUIManager();
        if (HAnalytics* analytics = ui ? ui->getAnalytics() : nullptr) {
            if (gaEnable)
                analytics->start();
            else
                analytics->stop();
        }
    }
    qDebug() << "gaEnable:" << m_gaEnable;
}
