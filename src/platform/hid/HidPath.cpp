#include "platform/hid/HidPath.h"

#include <QRegularExpression>

namespace KHID {

QString formatHidPath(quint16 vendorId, quint16 productId, int interfaceNumber, int collectionIndex,
                      const QString& node)
{
    QString path = QStringLiteral("\\\\?\\hid#vid_%1&pid_%2")
                       .arg(vendorId, 4, 16, QLatin1Char('0'))
                       .arg(productId, 4, 16, QLatin1Char('0'));
    if (interfaceNumber >= 0)
        path += QStringLiteral("&mi_%1").arg(interfaceNumber, 2, 10, QLatin1Char('0'));
    if (collectionIndex > 0)
        path += QStringLiteral("&col%1").arg(collectionIndex, 2, 10, QLatin1Char('0'));
    path += QLatin1Char('#') + node;
    return path.toLower();
}

bool parseHidPathIds(const QString& path, quint16* vendorId, quint16* productId)
{
    static const QRegularExpression re(QStringLiteral("vid_([0-9a-f]{4})&pid_([0-9a-f]{4})"),
                                       QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = re.match(path);
    if (!m.hasMatch())
        return false;
    if (vendorId)
        *vendorId = static_cast<quint16>(m.captured(1).toUInt(nullptr, 16));
    if (productId)
        *productId = static_cast<quint16>(m.captured(2).toUInt(nullptr, 16));
    return true;
}

} // namespace KHID
