#include "app/KTranslator.h"

KTranslator::KTranslator(QObject* parent)
    : QObject(parent)
{
}

QString KTranslator::getPngUrl(QString pngUrl) const
{
    static const QString kPng = QStringLiteral(".png");
    const int at = pngUrl.indexOf(kPng);
    if (at < 0)
        return pngUrl;
    const QString suffix = m_language == QLocale::English ? QStringLiteral("_en") : QString();
    return pngUrl.left(at) + suffix + kPng;
}
