#include "models/keys/HMacroType.h"

#include "models/keys/MacroDocument.h"
#include "models/keys/MacroPlayType.h"
#include "profiles/FileHelpers.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace {

const QLatin1String kKeyMacroName("macroName");
const QLatin1String kKeyPlayType("playType");
const QLatin1String kKeyIgnoreTime("ignoreTime");
const QLatin1String kKeyTimes("times");

// "playType" is stored as text; numbers written by hand or by other tools are taken as well.
QString playTypeText(const QJsonValue& value)
{
    if (value.isDouble())
        return QString::number(value.toInt());
    return value.toString();
}

} // namespace

HMacroType::HMacroType(QObject* parent)
    : QObject(parent), m_currentIndex(QStringLiteral("1")), m_ignoreTime(false), m_value(1)
{
    setMacroName(QString(), true);
}

void HMacroType::applyDefaults()
{
    m_ignoreTime = false;
    m_currentIndex = QStringLiteral("1");
    m_value = 1;
    emit ignoreTimeChanged();
    emit currentIndexChanged();
    emit valueChanged();
}

void HMacroType::selectPlayType(QString index, bool write)
{
    bool ok = false;
    const int number = index.toInt(&ok);
    if (!ok || !isValidMacroPlayType(number))
        return;
    if (write) {
        m_currentIndex = index;
        emit currentIndexChanged();
        qInfo().noquote() << "[Info] write playType index:" << index;
    } else {
        qWarning().noquote() << "[Error] write playType index:" << index;
    }
}

void HMacroType::setIgnoreTimeType(bool IgnoreTime, bool write)
{
    if (write) {
        qInfo() << "[Info] write ignoreTime:" << IgnoreTime;
        m_ignoreTime = IgnoreTime;
        emit ignoreTimeChanged();
    } else {
        qWarning() << "[Error] write ignoreTime:" << IgnoreTime;
    }
}

void HMacroType::setTimes(int value, bool write)
{
    if (!write) {
        qWarning() << "[Error] writw Times:" << value;
        return;
    }
    // A field showing the unclamped input must refresh even when the stored value stays the same.
    m_value = -1;
    emit valueChanged();
    qInfo() << "[Info] write Times:" << value;
    m_value = clampMacroTimes(value);
    emit valueChanged();
}

void HMacroType::addTimes(bool write)
{
    if (write && m_value < kMaxTimes) {
        ++m_value;
        qInfo() << "[Success] add Times";
        emit valueChanged();
    } else {
        qWarning() << "[Error] add Times";
    }
}

void HMacroType::reduceTimes(bool write)
{
    if (!write) {
        qWarning() << "[Error] reduce Times";
    } else if (m_value < 2) {
        qWarning() << "[Error] the minimum value has been reached";
    } else {
        --m_value;
        qInfo() << "[Success] reduce Times";
        emit valueChanged();
    }
}

void HMacroType::resetMacroType()
{
    applyDefaults();
}

void HMacroType::clearMacroName()
{
    m_macroName.clear();
}

bool HMacroType::setMacroName(QString name, bool write)
{
    const int slash = name.lastIndexOf(QLatin1Char('/'));
    if (slash >= 0 && QDir(name.left(slash)).exists())
        name = name.mid(slash + 1);
    if (!write)
        return false;
    m_macroName = name;
    qInfo().noquote() << "[Info] write Name:" << name;
    return true;
}

bool HMacroType::setMacroName(QVector<QString> name, bool write)
{
    if (name.isEmpty())
        return false;
    QStringList parts;
    parts.reserve(name.size());
    for (const QString& entry : qAsConst(name)) {
        const int slash = entry.lastIndexOf(QLatin1Char('/'));
        if (slash >= 0)
            parts << entry.mid(slash + 1).remove(QLatin1String(".json"));
        else
            parts << entry;
    }
    if (!write)
        return false;
    m_macroName = parts.join(QLatin1Char('/'));
    qInfo().noquote() << "[Info] write Name:" << m_macroName;
    return true;
}

void HMacroType::initFromFile(QString path)
{
    QJsonObject object;
    switch (readMacroDocument(path, &object)) {
    case MacroReadResult::Missing:
    case MacroReadResult::Unreadable:
        qWarning() << "[Error] open macro json error";
        return;
    case MacroReadResult::Empty:
        applyDefaults();
        qInfo() << "[INFO] 2.refresh list";
        return;
    case MacroReadResult::Unparsable:
        return;
    case MacroReadResult::Ok:
        break;
    }
    const QString playType = playTypeText(object.value(kKeyPlayType));
    if (playType.isEmpty())
        return;
    // These values reach the device: a damaged file must not set an unknown mode or an unbounded count.
    bool ok = false;
    const int playTypeNumber = playType.toInt(&ok);
    if (!ok || !isValidMacroPlayType(playTypeNumber)) {
        qWarning().noquote() << "[Error] macro playType out of range:" << playType;
        return;
    }
    // A count or switch of another type would read as 0 or false and be saved back that way.
    const QJsonValue ignoreTime = object.value(kKeyIgnoreTime);
    const QJsonValue times = object.value(kKeyTimes);
    if ((object.contains(kKeyIgnoreTime) && !ignoreTime.isBool()) || (object.contains(kKeyTimes) && !times.isDouble())) {
        qWarning().noquote() << "[Error] macro ignoreTime or times of the wrong type";
        return;
    }
    m_ignoreTime = ignoreTime.toBool();
    m_currentIndex = QString::number(playTypeNumber);
    // Read as a number first, so that a huge count is limited rather than taken for a missing one.
    m_value = clampMacroTimes(times.toDouble());
    emit ignoreTimeChanged();
    emit currentIndexChanged();
    emit valueChanged();
    qInfo() << "[INFO] 1.refresh list";
}

void HMacroType::saveToFile(QString path)
{
    // The file also holds the event list, written by the recording list: update the settings in place.
    QJsonObject object;
    const MacroReadResult read = readMacroDocument(path, &object);
    if (read == MacroReadResult::Unreadable || read == MacroReadResult::Unparsable) {
        qWarning() << "[Error] write macro json error";
        return;
    }
    object.insert(kKeyIgnoreTime, m_ignoreTime);
    object.insert(kKeyPlayType, m_currentIndex);
    object.insert(kKeyTimes, m_value);
    object.insert(kKeyMacroName, m_macroName);
    if (!writeMacroDocument(path, object)) {
        qWarning() << "[Error] write macro json error";
        return;
    }
    qInfo() << "[INFO] save file successful!";
}

bool HMacroType::saveFileName(QString path, QString fileName)
{
    QJsonObject object;
    switch (readMacroDocument(path, &object)) {
    case MacroReadResult::Ok:
        break;
    case MacroReadResult::Missing:
        // The file was just renamed to this path: when it is not there (its folder a dangling link, say),
        // the rename did not do what the list shows.
        qWarning().noquote() << "[Error] rename macro: no macro file at" << path;
        return false;
    case MacroReadResult::Unreadable:
    case MacroReadResult::Empty:
    case MacroReadResult::Unparsable:
        qWarning().noquote() << "[Error] rename macro: not a macro document:" << path;
        return false;
    }
    object.insert(kKeyMacroName, fileName);
    if (!writeMacroDocument(path, object)) {
        qWarning() << "[Error] write macro json error";
        return false;
    }
    return true;
}
