#pragma once

#include "profiles/HConfigViewItem.h"

#include <QObject>
#include <QString>
#include <QVector>

// The list of the current device's profiles that the profile views show.
class HConfigView : public QObject
{
    Q_OBJECT
public:
    explicit HConfigView(QObject* parent = nullptr);

    static constexpr int kMaxItems = 50;

    Q_INVOKABLE int getItemValue();
    QVector<HConfigViewItem> items() const { return mConfigItems; }

signals:
    void preItemInserted(int index);
    void postItemInserted();

public slots:
    // Inserts at index (-1: at the end) the name cut at its last "."; false when the list is full.
    bool insertItemAt(QString text, int index = -1, bool isDir = false,
                      QString image = QStringLiteral("qrc:/common/newUI/configPic1.png"));

private:
    QVector<HConfigViewItem> mConfigItems;
    QVector<QString> mExistPicturePaths;
    QVector<int> mExistPictureIndexes;
    QVector<QString> mDefaultPictures;
};
