#include "online/HRequestWebsite.h"

#include <QNetworkAccessManager>

HRequestWebsite::HRequestWebsite(QObject* parent) : QObject(parent), m_manager(new QNetworkAccessManager(this)) {}

HRequestWebsite::~HRequestWebsite() = default;
