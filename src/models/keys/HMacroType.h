#pragma once

#include <QObject>
#include <QString>
#include <QVector>

#include "models/keys/MacroPlayType.h"

// Play settings of the macro open on the macro page (play type, ignore delays, repetitions, name), read from and
// written into the macro file; the event list of the same file belongs to the macro recording list.
class HMacroType : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString currentIndex READ getCurrentIndex WRITE setCurrentIndex NOTIFY currentIndexChanged)
    Q_PROPERTY(bool ignoreTime READ getIgnoreTime WRITE setIgnoreTime NOTIFY ignoreTimeChanged)
    Q_PROPERTY(int value READ getValue WRITE setValue NOTIFY valueChanged)

public:
    static constexpr int kMinTimes = kMacroTimesMin;
    static constexpr int kMaxTimes = kMacroTimesMax;

    explicit HMacroType(QObject* parent = nullptr);

    QString getCurrentIndex() const { return m_currentIndex; }
    bool getIgnoreTime() const { return m_ignoreTime; }
    int getValue() const { return m_value; }
    QString getMacroName() const { return m_macroName; }

    // Property writes from QML store without a signal.
    void setCurrentIndex(const QString& index) { m_currentIndex = index; }
    void setIgnoreTime(bool ignoreTime) { m_ignoreTime = ignoreTime; }
    void setValue(int value) { m_value = value; }

    Q_INVOKABLE void selectPlayType(QString index, bool write = true);
    Q_INVOKABLE void setIgnoreTimeType(bool IgnoreTime, bool write = true);
    Q_INVOKABLE void setTimes(int value, bool write = true);
    Q_INVOKABLE bool setMacroName(QString name, bool write = true);
    Q_INVOKABLE bool setMacroName(QVector<QString> name, bool write = true);
    Q_INVOKABLE void addTimes(bool write = true);
    Q_INVOKABLE void reduceTimes(bool write = true);
    Q_INVOKABLE void resetMacroType();
    Q_INVOKABLE void clearMacroName();
    // Writes fileName as the macro's name into the file at path; false (and logged) when the file is missing,
    // is no macro document or cannot be written.
    Q_INVOKABLE bool saveFileName(QString path, QString fileName);

public slots:
    void initFromFile(QString path);
    void saveToFile(QString path);

signals:
    void currentIndexChanged();
    void ignoreTimeChanged();
    void valueChanged();

private:
    void applyDefaults();

    QString m_currentIndex;
    bool m_ignoreTime = false;
    int m_value = 1;
    QString m_macroName;
};
