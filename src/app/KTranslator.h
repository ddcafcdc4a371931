#pragma once

#include <QLocale>
#include <QObject>
#include <QString>

// Turns a picture path into the variant of a language: for English "b.png" becomes "b_en.png"; other languages
// use the picture as named.
class KTranslator : public QObject
{
    Q_OBJECT
public:
    explicit KTranslator(QObject* parent = nullptr);

    Q_INVOKABLE QString getPngUrl(QString pngUrl) const;
    Q_INVOKABLE void setLanguage(QLocale::Language lan) { m_language = lan; }
    Q_INVOKABLE QLocale::Language getLanguage() const { return m_language; }

private:
    QLocale::Language m_language = QLocale::Chinese;
};
