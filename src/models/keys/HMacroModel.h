#pragma once

#include "common/ListSignalModel.h"

#include <QPointer>

class HMacroName;

// The macro library for one QML view: it shows the single HMacroName and follows its change signals.
//
// Threads: GUI thread only.
class HMacroModel : public ListSignalModel
{
    Q_OBJECT
    Q_PROPERTY(HMacroName* macroName READ macroName WRITE setMacroName NOTIFY macroNameChanged)
public:
    enum Roles { TextRole = Qt::UserRole + 1, IsDirRole, IsSelectRole, IsTextRole };

    explicit HMacroModel(QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    HMacroName* macroName() const { return m_macroName; }
    void setMacroName(HMacroName* names);

signals:
    void macroNameChanged();

private:
    QPointer<HMacroName> m_macroName;
};
