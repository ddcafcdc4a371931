#pragma once

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QTranslator>

class QQmlContext;

// The translator of the program and of the firmware-update library: JSON tables per language, read from a
// resource folder, answering every translation request by the source text alone. English is the source
// language; a text without a translation stays as written.
//
// Threads: GUI thread only; Qt consults the installed translator there.
class Trans : public QTranslator
{
    Q_OBJECT
    Q_PROPERTY(QString currentLang READ currentLang WRITE setCurrentLang NOTIFY currentLangChanged)
    Q_PROPERTY(QStringList languages READ languages NOTIFY languagesChanged)
    Q_PROPERTY(QString transString READ transString NOTIFY transStringChanged)
public:
    explicit Trans(QObject* parent = nullptr);
    ~Trans() override;

    // Publishes the object as "f_trans" in context (when given), loads the folder (":/trans/" when empty) and
    // installs the object as the application's translator.
    void init(QQmlContext* context, const QString& folder);

    QString currentLang() const { return m_currentLang; }
    QStringList languages() const { return m_languages; }
    QString transString() const { return m_transString; }

    Q_INVOKABLE void loadFolder(const QString& folder);
    Q_INVOKABLE bool load(QString& lang, const QString& filePath);

    QString translate(const char* context, const char* sourceText, const char* disambiguation = nullptr,
                      int n = -1) const override;
    bool isEmpty() const override { return false; }

public slots:
    QString trans(const QString& source) const;
    void setCurrentLang(const QString& currentLang);

signals:
    void currentLangChanged(const QString& currentLang);
    void languagesChanged(const QStringList& languages);
    void langLoaded(const QString& lang);
    void folderLoaded(const QString& folder);
    void transStringChanged();

private:
    QString m_currentLang;
    QHash<QString, QHash<QString, QString>> m_tables;
    QStringList m_languages;
    QString m_transString;
    QPointer<QQmlContext> m_context;
};
