#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QSettings;

// The settings file "AppConfig.ini": language, the signed-in user, the analytics and update switches, the
// first-start flag and, per product id, the profile last applied to that device ("Equipment" array of
// {pid, path}). At construction it loads every value into KAppModel and from then on stores what the model's
// save signals ask for. The file is created readable by its owner only: it holds the login token (Base64,
// which hides nothing). The token never goes to the log. Published to QML as "g_configCommon".
//
// Threads: GUI thread only.
class KConfigCommon : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool login READ getLogin WRITE setLogin NOTIFY loginChanged)
public:
    static KConfigCommon* instance();
    // A settings object on the file at path (instance() uses KAppCommon::getAppConfigPath()); pidSource gives
    // the current device's product id (by default the device registry's).
    explicit KConfigCommon(const QString& path, std::function<int()> pidSource = {}, QObject* parent = nullptr);
    ~KConfigCommon() override;

    Q_INVOKABLE QString getAppVersion() const;
    Q_INVOKABLE QString getLanguage() const;
    Q_INVOKABLE QString getUsername() const;
    Q_INVOKABLE bool clearUserInfo();
    Q_INVOKABLE bool setHeadPortrait(QString headPortrait);
    // Writes "/language" only; the model is not touched.
    Q_INVOKABLE bool setLanguage(QString language);
    Q_INVOKABLE QString getHeadportrait() const;
    Q_INVOKABLE QString getToken() const;
    Q_INVOKABLE QString getNickName() const;

    bool setToken(const QString& token);
    bool setNickName(const QString& nickname);
    bool setUsername(const QString& username);
    bool getLogin() const { return m_login; }
    // Always emits loginChanged.
    void setLogin(bool login);
    bool getGAState() const;
    bool getDisableUpdate() const;
    bool getIsFirst() const;
    bool writeGAState(bool state);
    bool writeDisableUpdate(bool state);
    bool setIsFirst(bool first);

    // The web API's address ("/apiBase"), the host the online check looks up ("/checkHost") and where usage
    // analytics go ("/analyticsUrl") from the settings file at path, when set there; without them the built-in
    // https addresses stay. Read before the first request.
    static void applyNetworkSettings(const QString& path);

    // The stored profile of the current device; empty when none.
    QString getEquipmentConfigPath() const;
    // The profile number of that path: the digits after the first "_" of its file name, 0 when none.
    int getConfigIndex() const;
    static int configIndexOf(const QString& path);
    // Stores KAppModel's configPath for the wired partner of a wireless pid (see the .cpp).
    void mirrorPairedConfigPath(int pid);

public slots:
    bool setConfigPath();
    bool setCurrentLanguage();
    bool setGAState();
    bool setDisableUpdateState();

signals:
    void loginChanged();

private:
    void initSettings();
    int currentPid() const;
    void storePath(int pid, const QString& path);

    bool m_login = false;
    std::unique_ptr<QSettings> m_settings;
    QString m_path;
    std::function<int()> m_pidSource;
};
