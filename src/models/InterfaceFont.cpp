#include "models/InterfaceFont.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

namespace InterfaceFont {

const QStringList& preferredFamilies()
{
    static const QStringList families = {
        QStringLiteral("Noto Sans CJK SC"),    QStringLiteral("Source Han Sans SC"),
        QStringLiteral("Source Han Sans CN"),  QStringLiteral("Noto Sans SC"),
        QStringLiteral("WenQuanYi Micro Hei"), QStringLiteral("Droid Sans Fallback"),
    };
    return families;
}

QString family()
{
    const QStringList installed = QFontDatabase().families();
    for (const QString& wanted : preferredFamilies()) {
        if (installed.contains(wanted, Qt::CaseInsensitive))
            return wanted;
    }
    return QFont().family();
}

} // namespace InterfaceFont
