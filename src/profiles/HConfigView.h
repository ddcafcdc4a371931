#pragma once

#include "profiles/HConfigViewItem.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QVector>

// The list of the current device's profiles that the profile views show: a placeholder "*" first, then the
// default profile, then every other profile that has a picture, in file name order. Entries are the names
// of the files on disk. Renaming goes through the profile controller and changes the list only once the
// files carry the new name.
//
// Threads: GUI thread only; the views' models follow it through the pre/post signal pairs.
class HConfigView : public QObject
{
    Q_OBJECT
public:
    explicit HConfigView(QObject* parent = nullptr);

    static constexpr int kMaxItems = 50;

    QVector<HConfigViewItem> items() const { return mConfigItems; }
    // Replaces the entry at index when it differs; whether it changed.
    bool setItem(int index, const HConfigViewItem& item);
    // Whether a picture is at path: a file with content.
    bool pictureExists(QString path);
    // Writes a picture through a save file; empty data is refused and writes nothing.
    bool writePictureFile(QString path, QByteArray bytes);

    Q_INVOKABLE int getItemIndex();
    Q_INVOKABLE int getItemValue();
    Q_INVOKABLE bool changedItemAt(int index, QString text, bool isDir, QString image);
    // The entry's name; index == count gives the last entry, any other index outside the list "".
    Q_INVOKABLE QString getItemText(int index);
    Q_INVOKABLE bool fileIsFolder(int index);
    Q_INVOKABLE bool isFolderHaveSameFile(QString text);
    // Gives every listed profile without a picture the picture at picturePath; savePath ends with "/".
    Q_INVOKABLE bool savePicture(QString picturePath, QString savePath);
    Q_INVOKABLE bool savePicture(QString picturePath, QString savePath, QString configText);
    // Renames the profile configPath (its path without ".json") and its picture to newName and makes it the
    // current profile. A name that is empty, taken or not a file name, or a rename that fails, changes
    // nothing and is told to the user; the result says whether the profile now has the new name.
    Q_INVOKABLE bool setCurrentConfigName(QString configPath, QString newName, QString pic, int index);

signals:
    void preItemInserted(int index);
    void postItemInserted();
    void preItemDeleted(int index);
    void postItemDeleted();
    void preResetItems();
    void postResetItems();
    void getItemIndexAgain();
    void updateCurrentFileName(QString configName);

public slots:
    // Inserts at index (-1: at the end) the name cut at its last "."; false when the list is full.
    bool insertItemAt(QString text, int index = -1, bool isDir = false,
                      QString image = QStringLiteral("qrc:/common/newUI/configPic1.png"));
    void deleteItemAt(int index);
    // Reads the list from the folder at path, or from the current device's profile folder when path is
    // empty. Without such a folder (or without a device) the list stays as it is.
    void initFromFile(QString path = QString());
    // Makes sure the current device has its default profile.
    void deviceDataChanged();

private:
    QVector<HConfigViewItem> mConfigItems;
    QVector<QString> mExistPicturePaths;
    QVector<int> mExistPictureIndexes;
    QVector<QString> mDefaultPictures;
};
