#include "models/keys/KeyMetaTypes.h"

#include "models/keys/KKeyModelItem.h"
#include "models/keys/KMacroItem.h"
#include "models/keys/MacroPlayType.h"

#include <QMap>
#include <QMetaType>
#include <QVector>

void registerKeyMetaTypes()
{
    static const bool registered = [] {
        qRegisterMetaType<KKey>("KKey");
        qRegisterMetaType<KKeyFunction>("KKeyFunction");
        qRegisterMetaType<KKeyModelItem>("KKeyModelItem");
        qRegisterMetaType<KKeyModelItem*>("KKeyModelItem*");
        qRegisterMetaType<QMap<KKey, KKeyModelItem>>("QMap<KKey,KKeyModelItem>");
        qRegisterMetaType<KMacroItem>("KMacroItem");
        qRegisterMetaType<QVector<KMacroItem>>("QVector<KMacroItem>");
        qRegisterMetaType<MacroPlayType>("MacroPlayType");
        // QML hands plain numbers to the invokables that take these types.
        QMetaType::registerConverter<int, KKey>([](int value) { return static_cast<KKey>(value); });
        QMetaType::registerConverter<int, KKeyFunction>([](int value) { return static_cast<KKeyFunction>(value); });
        return true;
    }();
    Q_UNUSED(registered);
}
