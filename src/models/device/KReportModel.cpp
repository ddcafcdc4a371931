#include "models/device/KReportModel.h"

KReportModel::KReportModel(QObject* parent)
    : QObject(parent)
{
}

KReportModel::~KReportModel() = default;

void KReportModel::setCurrentReport(int index)
{
    m_currentReport = index;
    emit currentReportChanged();
}
