#pragma once

#include <QObject>
#include <QString>

// The application state the user interface binds to. For now it holds the current profile; the settings
// store loads it and stores it per device.
//
// Threads: GUI thread only.
class KAppModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString configPath READ getConfigPath WRITE setConfigPath NOTIFY configPathChanged)
public:
    static KAppModel* instance();

    // The current profile's file name ("Default configuration.json").
    QString getConfigPath() const { return m_configPath; }
    void setConfigPath(const QString& configPath);

    // With write true stores path as the current profile and asks for it to be saved; logs it in any case.
    Q_INVOKABLE void setMouseConfig(QString path, bool write = true);

signals:
    void configPathChanged();
    void sig_SaveConfig();

private:
    KAppModel();

    QString m_configPath;
};
