#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QPointer>

class FKeyLightModel;
class KKeyModel;

// Hands the key model and the per-key light model to QML as one list model ("g_keyList"): one row with the key
// model alone, two with both; every row gives the same values, read from the two models at each call. The
// roles are numbered from 0, not from Qt::UserRole, as the pages know them. Owns neither model.
//
// Threads: GUI thread only.
class HKeyModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(KKeyModel* keyPointer READ getKeyPointer WRITE setKeyPointer NOTIFY keyPointerChanged)
    Q_PROPERTY(FKeyLightModel* keyLightPointer READ getKeyLightPointer WRITE setKeyLightPointer
                   NOTIFY keyLightPointerChanged)

public:
    enum Role {
        KeyListRole = 0,
        FunctionsMapRole,
        OrginFuncMapRole,
        KeyLightListRole,
        KeyLightMaxValueRole,
        KeyLightMinValueRole,
        KeyLightCurrentColorRole
    };

    explicit HKeyModel(QObject* parent = nullptr);
    ~HKeyModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QHash<int, QByteArray> roleNames() const override;

    KKeyModel* getKeyPointer() const { return keyPointer; }
    FKeyLightModel* getKeyLightPointer() const { return keyLightPointer; }
    // Store the pointer, after dropping every connection of the previous object to this model; no signal.
    void setKeyPointer(KKeyModel* key);
    void setKeyLightPointer(FKeyLightModel* keyLight);

    // Both models at once, as a reset of the list; a null light model keeps the one set before.
    void setPointers(KKeyModel* key, FKeyLightModel* keyLight);

signals:
    void keyPointerChanged();
    void keyLightPointerChanged();

private:
    // Guarded: the models belong to the UI manager and may go first at shutdown.
    QPointer<KKeyModel> keyPointer;
    QPointer<FKeyLightModel> keyLightPointer;
};
