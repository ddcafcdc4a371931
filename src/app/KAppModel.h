#pragma once

#include <QObject>
#include <QString>

// The application state the user interface binds to: language, the signed-in user, the current profile and
// its number, the analytics and update switches. It never touches the settings file: its save signals ask the
// settings object (KConfigCommon) to store a value, and that object loads it at start. Published to QML as
// "g_appModel".
//
// Threads: GUI thread only.
class KAppModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString language READ getLanguage WRITE setLanguage NOTIFY languageChanged)
    Q_PROPERTY(QString username READ getUsername WRITE setUsername NOTIFY usernameChanged)
    Q_PROPERTY(QString nickname READ getNickname WRITE setNickname NOTIFY nicknameChanged)
    Q_PROPERTY(QString token READ getToken WRITE setToken NOTIFY tokenChanged)
    Q_PROPERTY(QString headportrait READ getHeadportrait WRITE setHeadportrait NOTIFY headportraitChanged)
    Q_PROPERTY(QString configPath READ getConfigPath WRITE setConfigPath NOTIFY configPathChanged)
    Q_PROPERTY(int cursorSpeed READ getCursorSpeed WRITE setCursorSpeed NOTIFY cursorSpeedChanged)
    Q_PROPERTY(int wheelScrollType READ getWheelScrollType WRITE setWheelScrollType NOTIFY wheelScrollTypeChanged)
    Q_PROPERTY(int wheelScrollLine READ getWheelScrollLine WRITE setWheelScrollLine NOTIFY wheelScrollLineChanged)
    Q_PROPERTY(int index READ getIndex WRITE setIndex NOTIFY indexChanged)
    Q_PROPERTY(bool disableUpdate READ getDisableUpdate WRITE setDisableUpdate NOTIFY disableUpdateChanged)
    Q_PROPERTY(bool gaEnable READ getGaEnable WRITE setGaEnable NOTIFY gaEnableChanged)
public:
    static KAppModel* instance();

    QString getLanguage() const { return m_language; }
    QString getUsername() const { return m_username; }
    QString getNickname() const { return m_nickname; }
    QString getToken() const { return m_token; }
    QString getHeadportrait() const { return m_headportrait; }
    QString getConfigPath() const { return m_configPath; }
    int getCursorSpeed() const { return m_cursorSpeed; }
    int getWheelScrollType() const { return m_wheelScrollType; }
    int getWheelScrollLine() const { return m_wheelScrollLine; }
    int getIndex() const { return m_index; }
    bool getDisableUpdate() const { return m_disableUpdate; }
    bool getGaEnable() const { return m_gaEnable; }

    // The setters below marked "emits" emit their change signal; the others only store.
    void setLanguage(const QString& language);
    void setUsername(const QString& username);
    void setNickname(const QString& nickname);  // emits
    void setToken(const QString& token);
    void setHeadportrait(const QString& headportrait);  // emits
    void setConfigPath(const QString& configPath);  // emits
    void setCursorSpeed(int cursorSpeed);
    void setWheelScrollType(int wheelScrollType);
    void setWheelScrollLine(int wheelScrollLine);
    void setIndex(int index);  // emits
    void setDisableUpdate(bool disableUpdate);  // emits
    void setGaEnable(bool gaEnable);  // emits

    // Empties token, nickname (emits) and username.
    Q_INVOKABLE bool clearUserInfo();
    // The mouse values, each only within its range (0..1, 0..100, 0..10); write only decides the log line.
    Q_INVOKABLE void setScrollType(int type, bool write = true);
    Q_INVOKABLE void setScrollLine(int line, bool write = true);
    Q_INVOKABLE void setSpeed(int speed, bool write = true);
    // With write true: store, emit the change and ask for the value to be saved; logs the value in any case.
    Q_INVOKABLE void setMouseConfig(QString path, bool write = true);
    Q_INVOKABLE void setDisableUpdateState(bool disableUpdate, bool write = true);
    Q_INVOKABLE void setCurrentLanguage(QString language, bool write = true);
    // Also starts or stops the analytics sender.
    Q_INVOKABLE void setGAEnable(bool gaEnable, bool write = true);

signals:
    void languageChanged();
    void usernameChanged();
    void nicknameChanged();
    void tokenChanged();
    void headportraitChanged();
    void configPathChanged();
    void cursorSpeedChanged();
    void wheelScrollTypeChanged();
    void wheelScrollLineChanged();
    void indexChanged();
    void disableUpdateChanged();
    void gaEnableChanged();
    void sig_SaveConfig();
    void sig_SaveLanguage();
    void sig_SaveGAState();
    void sig_SaveDisableUpdate();
    // The device changed: the settings object sets configPath to the profile stored for it.
    void sig_updateConfigPath();

private:
    KAppModel();

    QString m_language;
    QString m_username;
    QString m_nickname;
    QString m_token;
    QString m_headportrait;
    QString m_configPath;
    int m_cursorSpeed = 3;
    int m_wheelScrollType = 0;
    int m_wheelScrollLine = 10;
    int m_index = 0;
    bool m_disableUpdate = false;
    bool m_gaEnable = true;
};
