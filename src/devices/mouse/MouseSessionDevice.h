#pragma once

#include "devices/mouse/MouseSession.h"
#include "hid/KBaseDevice.h"

#include <QJsonObject>
#include <QMutex>
#include <QString>

// What the mouse classes whose operations run through a MouseSession share: the layout document getLayout()
// answers with, the session (named after the document and following the application's models from
// construction), and the state lock that guards what each family keeps of its mouse. The transport, the
// channels and the mirrored state are the family's own.
//
// Threads: lives on the GUI thread; the layout is read at construction and not changed after. m_stateLock is
// never held during I/O, so the GUI thread may take it; the session's operation lock is taken before it, never
// inside it.
class MouseSessionDevice : public KBaseDevice
{
    Q_OBJECT
public:
    ~MouseSessionDevice() override;

    QJsonObject* getLayout() override { return &m_layout; }
    int getConfigByte() override { return -1; }
    bool setShortCutModel(const int&, int) override { return false; }
    // The macros stay on the mouse: nothing is read back.
    bool getMacro(QVector<KMacroItem>&, const KKey&) override { return true; }

    MouseSession& session() { return m_session; }

protected:
    MouseSessionDevice(const QString& layoutPath, QObject* parent);

    QJsonObject m_layout;
    MouseSession m_session{this};
    mutable QMutex m_stateLock;
};
