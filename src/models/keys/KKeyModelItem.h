#pragma once

#include <QMap>
#include <QMetaType>
#include <QObject>
#include <QString>

#include "models/keys/KKey.h"

// One key's assignment: the physical key, its function, up to four parameters and the display text. Copies carry
// no parent, so maps of items built on a worker thread can be handed to the GUI thread by value.
class KKeyModelItem : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int key READ getKey WRITE setKey NOTIFY keyChanged)
    Q_PROPERTY(int type READ getType WRITE setType NOTIFY typeChanged)
    Q_PROPERTY(int value1 READ getValue1 WRITE setValue1 NOTIFY value1Changed)
    Q_PROPERTY(int value2 READ getValue2 WRITE setValue2 NOTIFY value2Changed)
    Q_PROPERTY(int value3 READ getValue3 WRITE setValue3 NOTIFY value3Changed)
    Q_PROPERTY(int value4 READ getValue4 WRITE setValue4 NOTIFY value4Changed)
    Q_PROPERTY(QString txt READ getTxt WRITE setTxt NOTIFY txtChanged)

public:
    explicit KKeyModelItem(QObject* parent = nullptr);
    KKeyModelItem(const int& key, const int& type, const int& value1, const int& value2, const int& value3,
                  const int& value4, QString txt, QObject* parent = nullptr);
    KKeyModelItem(const KKeyModelItem& other);
    KKeyModelItem& operator=(const KKeyModelItem& other);
    ~KKeyModelItem() override;

    int getKey() const { return m_key; }
    int getType() const { return m_type; }
    int getValue1() const { return m_value1; }
    int getValue2() const { return m_value2; }
    int getValue3() const { return m_value3; }
    int getValue4() const { return m_value4; }
    QString getTxt() const { return m_txt; }

    // Each setter stores the value; with notify it emits the change signal, also when the value is unchanged.
    // QML writes pass notify false.
    void setKey(int value, bool notify = false);
    void setValue1(int value, bool notify = false);
    void setValue2(int value, bool notify = false);
    void setValue3(int value, bool notify = false);
    void setValue4(int value, bool notify = false);
    void setTxt(QString value, bool notify = false);
    // Stores the function; with notify it also rebuilds the display text from the function's name, the current
    // macro name (Macro) or keyText (combinations, modifiers, keyboard key). Without notify the text is kept.
    void setType(int type, bool notify = false, QString keyText = QString());

    Q_INVOKABLE QString getFuncStr(KKeyFunction func);
    Q_INVOKABLE QString getKeyStr(KKey type);

signals:
    void keyChanged();
    void typeChanged();
    void value1Changed();
    void value2Changed();
    void value3Changed();
    void value4Changed();
    void txtChanged();

private:
    int m_key = 0;
    int m_type = 0;
    int m_value1 = 0;
    int m_value2 = 0;
    int m_value3 = 0;
    int m_value4 = 0;
    QString m_txt;
};

Q_DECLARE_METATYPE(KKey)
Q_DECLARE_METATYPE(KKeyFunction)
Q_DECLARE_METATYPE(KKeyModelItem)
