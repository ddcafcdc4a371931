#include "app/Trans.h"

#include "common/BoundedRead.h"

#include <QCoreApplication>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlContext>
#include <QQmlEngine>

namespace {

const QString kEnglish = QStringLiteral("English");
const QString kChinese = QStringLiteral("中文");
// A translation table is a small document; anything larger is not one of ours.
constexpr qint64 kMaxTableBytes = 4 * 1024 * 1024;

} // namespace

Trans::Trans(QObject* parent)
    : QTranslator(parent)
{
}

Trans::~Trans() = default;

void Trans::init(QQmlContext* context, const QString& folder)
{
    m_context = context;
    if (context)
        context->setContextProperty(QStringLiteral("f_trans"), this);
    loadFolder(folder.isEmpty() ? QStringLiteral(":/trans/") : folder);
    QCoreApplication::installTranslator(this);
}

bool Trans::load(QString& lang, const QString& filePath)
{
    lang.clear();
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        qDebug() << "open file " + filePath + "failed:" + file.errorString();
        return false;
    }
    const auto [read, bytes] = readAtMost(file, kMaxTableBytes);
    if (!read) {
        qDebug() << "open file " + filePath + "failed:" + QStringLiteral("file too large");
        return false;
    }
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (doc.isNull()) {
        qDebug() << "parse json failed:" + error.errorString();
        return false;
    }
    const QJsonObject root = doc.object();
    lang = root.value(QStringLiteral("lang")).toString();
    QHash<QString, QString>& table = m_tables[lang];
    const QJsonArray entries = root.value(QStringLiteral("trans")).toArray();
    for (const QJsonValue& entry : entries) {
        const QJsonObject o = entry.toObject();
        table.insert(o.value(QStringLiteral("key")).toString(), o.value(QStringLiteral("value")).toString());
    }
    emit langLoaded(lang);
    return true;
}

void Trans::loadFolder(const QString& folder)
{
    qWarning() << "Trans loadFolder" << folder;
    const QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("language_*.json")}, QDir::Files, QDir::Unsorted);
    for (const QFileInfo& info : files) {
        QString lang;
        load(lang, info.absoluteFilePath());
    }

    if (!m_tables.contains(kEnglish) && !m_tables.isEmpty()) {
        const QString reference = m_tables.contains(kChinese) ? kChinese : m_tables.keys().first();
        const QHash<QString, QString> source = m_tables.value(reference);
        QHash<QString, QString>& english = m_tables[kEnglish];
        for (auto it = source.cbegin(); it != source.cend(); ++it)
            english.insert(it.key(), it.key());
    }

    QStringList names = m_tables.keys();
    if (names.removeAll(kChinese) > 0)
        names.prepend(kChinese);
    if (names != m_languages) {
        m_languages = names;
        emit languagesChanged(m_languages);
    }

    setCurrentLang(m_tables.contains(kChinese) ? kChinese : kEnglish);
    emit folderLoaded(folder);
}

QString Trans::trans(const QString& source) const
{
    const auto table = m_tables.constFind(m_currentLang);
    if (table == m_tables.cend())
        return source;
    return table->value(source, source);
}

void Trans::setCurrentLang(const QString& currentLang)
{
    if (currentLang == m_currentLang)
        return;
    m_currentLang = currentLang;
    emit currentLangChanged(m_currentLang);
    if (m_context && m_context->engine())
        m_context->engine()->retranslate();
}

QString Trans::translate(const char* context, const char* sourceText, const char* disambiguation, int n) const
{
    Q_UNUSED(context)
    Q_UNUSED(disambiguation)
    Q_UNUSED(n)
    const QString result = trans(QString::fromUtf8(sourceText));
    return result.isNull() ? QStringLiteral("") : result;
}
