#pragma once

#include <QJsonObject>
#include <QMap>
#include <QObject>
#include <QString>

// The single front of the profile and macro files: opens, migrates and writes profile documents and knows
// each model's factory profile and per-model rules.
class KConfigFileController : public QObject
{
    Q_OBJECT
public:
    explicit KConfigFileController(QObject* parent = nullptr);
    ~KConfigFileController() override;

    // Reads the profile at path into object, migrating an older layout (and rewriting the file) on the way.
    // On any failure object is left as it was.
    bool initJsonObj(QString path, QJsonObject& object);
    // Replaces the file at path by object as indented JSON; the old file stays whole if the write fails.
    bool syncToFile(QString path, QJsonObject object);
    bool isCurrentConfigVersion(QJsonObject object);
    bool updateConfigVersion(QString path, QJsonObject& object);
    bool transNewKey(const int& oldKey, int& newKey);
    bool transFunc(const int& oldFunc, int& newFunc);
    void initTransMaps();

    QString getDefaultPath(int pid);
    bool isKeyboardPid(int pid);
    bool isSwappedModifierPid(int pid);
    bool isPackedValuePid(int pid);
    bool isModifierFunction(int func);

    static constexpr int kCurrentConfigVersion = 2;
    // Profile documents are small; anything larger is not one of ours and is not read whole.
    static constexpr qint64 kMaxProfileBytes = 16 * 1024 * 1024;

private:
    bool writeDocument(const QString& path, const QJsonObject& object, bool logOpen);

    QJsonObject mConfigObject;
    QJsonObject mMacroObject;
    QMap<int, int> mKeyTransMap;
    QMap<int, int> mFuncTransMap;
};
