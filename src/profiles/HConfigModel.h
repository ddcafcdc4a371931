#pragma once

#include "common/ListSignalModel.h"

#include <QPointer>

class HConfigView;

// The profile list for one QML view: it shows the single HConfigView and turns its change signals into
// model notifications, so every view pointed at that list shows the same entries.
//
// Threads: GUI thread only.
class HConfigModel : public ListSignalModel
{
    Q_OBJECT
    Q_PROPERTY(HConfigView* configView READ configView WRITE setConfigView NOTIFY configViewChanged)
public:
    enum Roles { TextRole = Qt::UserRole + 1, IsDirRole, ImageRole };

    explicit HConfigModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    HConfigView* configView() const { return m_configView; }
    void setConfigView(HConfigView* view);

signals:
    void configViewChanged();

private:
    // Guarded: a view that goes away leaves an empty model, not a dangling one.
    QPointer<HConfigView> m_configView;
};
