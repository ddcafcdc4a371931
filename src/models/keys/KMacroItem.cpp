#include "models/keys/KMacroItem.h"

#include <utility>

KMacroItem::KMacroItem(const int& type, const int& value1, int value2, bool isUp, QString text)
    : type(type), isUp(isUp), value1(value1), value2(value2), text(std::move(text))
{
}

bool KMacroItem::operator==(const KMacroItem& other) const
{
    return type == other.type && isUp == other.isUp && value1 == other.value1 && value2 == other.value2
        && text == other.text;
}

int KMacroItem::normalizedType(int storedType)
{
    return storedType == kStoredPointerType ? int(Pointer) : storedType;
}

KMacroItem KMacroItem::fromJson(const QJsonObject& object)
{
    return KMacroItem(normalizedType(object.value(QLatin1String("type")).toInt()),
                      object.value(QLatin1String("value1")).toInt(),
                      object.value(QLatin1String("value2")).toInt(),
                      object.value(QLatin1String("isUp")).toBool(),
                      object.value(QLatin1String("text")).toString());
}

QJsonObject KMacroItem::toJson() const
{
    QJsonObject object;
    object.insert(QLatin1String("type"), type);
    object.insert(QLatin1String("value1"), value1);
    object.insert(QLatin1String("value2"), value2);
    object.insert(QLatin1String("isUp"), isUp);
    object.insert(QLatin1String("text"), text);
    return object;
}
