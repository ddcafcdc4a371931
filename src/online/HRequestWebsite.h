#pragma once

#include <QObject>
#include <QString>

class QNetworkAccessManager;

// A URL, a network manager of its own and two texts; nothing in the program creates it.
class HRequestWebsite : public QObject
{
    Q_OBJECT
public:
    explicit HRequestWebsite(QObject* parent = nullptr);
    ~HRequestWebsite() override;

private:
    QString m_url;
    QNetworkAccessManager* m_manager = nullptr;
    QString m_text;
    QString m_result;
};
