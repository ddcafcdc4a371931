#include "models/keys/KKeyModelItem.h"

#include "common/AppServices.h"
#include "models/keys/HMacroType.h"
#include "models/keys/KeyMetaTypes.h"

#include <QCoreApplication>

#include <utility>

namespace {

// Items travel between threads in queued signals as soon as the first device answers.
void registerAtStartup()
{
    registerKeyMetaTypes();
}
Q_COREAPP_STARTUP_FUNCTION(registerAtStartup)

QString currentMacroName()
{
    HMacroType* macroType = AppServices::instance()->getMacroType();
    return macroType ? macroType->getMacroName() : QString();
}

bool takesModifierAndKey(int type)
{
    return type == KFuncKeyCombination || isModifierFunction(type);
}

} // namespace

KKeyModelItem::KKeyModelItem(QObject* parent)
    : QObject(parent)
{
}

KKeyModelItem::KKeyModelItem(const int& key, const int& type, const int& value1, const int& value2,
                             const int& value3, const int& value4, QString txt, QObject* parent)
    : QObject(parent), m_key(key), m_type(type), m_value1(value1), m_value2(value2), m_value3(value3),
      m_value4(value4), m_txt(std::move(txt))
{
    if (m_txt.isEmpty())
        m_txt = ::getKeyStr(static_cast<KKey>(key));
}

// A copy takes the values, never the parent, and keeps the text as it is rather than rebuilding it.
KKeyModelItem::KKeyModelItem(const KKeyModelItem& other)
    : QObject(nullptr)
{
    *this = other;
}

KKeyModelItem& KKeyModelItem::operator=(const KKeyModelItem& other)
{
    if (this == &other)
        return *this;
    setKey(other.m_key, false);
    setTxt(other.m_txt, false);
    setType(other.m_type, false);
    setValue1(other.m_value1, false);
    setValue2(other.m_value2, false);
    setValue3(other.m_value3, false);
    setValue4(other.m_value4, false);
    return *this;
}

KKeyModelItem::~KKeyModelItem() = default;

void KKeyModelItem::setKey(int value, bool notify)
{
    m_key = value;
    if (notify)
        emit keyChanged();
}

void KKeyModelItem::setValue1(int value, bool notify)
{
    m_value1 = value;
    if (notify)
        emit value1Changed();
}

void KKeyModelItem::setValue2(int value, bool notify)
{
    m_value2 = value;
    if (notify)
        emit value2Changed();
}

void KKeyModelItem::setValue3(int value, bool notify)
{
    m_value3 = value;
    if (notify)
        emit value3Changed();
}

void KKeyModelItem::setValue4(int value, bool notify)
{
    m_value4 = value;
    if (notify)
        emit value4Changed();
}

void KKeyModelItem::setTxt(QString value, bool notify)
{
    m_txt = std::move(value);
    if (notify)
        emit txtChanged();
}

void KKeyModelItem::setType(int type, bool notify, QString keyText)
{
    m_type = type;
    if (!notify)
        return; // the text would be dropped: device threads set types this way and must not touch the UI objects

    emit typeChanged();

    QString text = ::getFuncStr(static_cast<KKeyFunction>(type));
    if (type == KFuncMacro) {
        const QString macroName = currentMacroName();
        if (!macroName.isEmpty())
            text = macroName;
    }
    if (takesModifierAndKey(type) && !keyText.isEmpty())
        text += QLatin1Char('+') + keyText;
    else if (type == KFuncKeyboardKey)
        text += keyText;

    setTxt(text, true);
}

QString KKeyModelItem::getFuncStr(KKeyFunction func)
{
    return ::getFuncStr(func);
}

QString KKeyModelItem::getKeyStr(KKey type)
{
    return ::getKeyStr(type);
}
