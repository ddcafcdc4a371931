#pragma once

// What every mouse class shares about threads: one operation at a time per mouse, operations that read the
// user interface from a copy instead of the models, and model changes that reach the GUI thread only after
// the device write they report has succeeded.
//
//   MouseSession m_session{this};               // a member of the mouse; `this` lives on the GUI thread
//
//   bool Mouse::setDpiList(const QVector<int>& values)
//   {
//       MouseOperation op(m_session);           // waits on a pool thread, only tries on the GUI thread
//       if (!op.isHeld())
//           return false;                        // the GUI thread found the mouse busy
//       const QVector<bool> enable = op.ui().dpiEnable;
//       ... write ...
//       op.onSuccess([values] { ... change the DPI model ... });
//       return op.finish(written);               // the changes go to the GUI thread only when written
//   }
//
// Ownership and threads:
// - The session belongs to its mouse and lives as long as it. The owner QObject must live on the GUI thread:
//   changes are posted to it and dropped when it has been deleted in the meantime.
// - The operation lock is recursive, so a whole-profile apply takes it once and calls the mouse's own
//   setters inside it. A pool thread waits for it; the GUI thread never does (tryLock), so a GUI-thread call
//   on a busy mouse fails at once instead of freezing the interface. Opening takes it the same way.
// - The UI state is copied from the models on the GUI thread (refreshUiState, and whenever a followed model
//   announces a change); an operation copies it once when it starts. No pool thread touches a model.
// - The shared transaction mutex is a different lock: it is held per exchange by each family's transport and
//   may be taken inside an operation, never the other way round.

#include <QList>
#include <QMetaObject>
#include <QMutex>
#include <QObject>
#include <QPointer>
#include <QRecursiveMutex>
#include <QString>
#include <QTimer>
#include <QVariantList>
#include <QVariantMap>
#include <QVector>

#include <functional>

class HWork;

// The user interface as mouse operations read it.
struct MouseUiState {
    QVariantList keyList;          // the key model's items (KKeyModel::keyList)
    QVector<bool> dpiEnable;       // the DPI model's stage switches (KDpiModel::enable)
    QVector<QVariantMap> lightZones; // properties of the light items: [0] the main zone, [1] the wheel
    QString deviceName;            // "deviceName" of the mouse's layout document
    QString profileName;           // file name of the current profile; empty when none is chosen
};

// What a key editor's item becomes after a write: its function (set and announced when setType) and the four
// code bytes the mouse now holds.
struct MouseKeyChange {
    int key = 0;
    int type = 0;
    bool setType = false;
    quint8 code[4] = {0, 0, 0, 0};
};

class MouseSession
{
public:
    explicit MouseSession(QObject* owner);
    ~MouseSession();
    MouseSession(const MouseSession&) = delete;
    MouseSession& operator=(const MouseSession&) = delete;

    // Any thread: the last copy of the user interface.
    MouseUiState uiState() const;
    // GUI thread: replaces the copy (tests, and callers that hold better data).
    void setUiState(const MouseUiState& state);
    // GUI thread: copies the models the application hands out (AppServices) into the state; the device name
    // stays as set.
    void refreshUiState();
    void setDeviceName(const QString& name);
    // GUI thread: refreshes the copy whenever the key, DPI or light model announces a change. Once is enough;
    // later calls follow models created since.
    void followModels();

    QRecursiveMutex* operationLock() { return &m_operationLock; }
    QObject* owner() const { return m_owner; }

    // Runs change on the owner's (GUI) thread: at once when called there, else queued; dropped when the owner
    // is gone by then.
    void post(std::function<void()> change) const;

    // GUI thread: runs task on the pool through work and keeps the GUI thread's events flowing until it is done,
    // at most timeoutMs; the owner may be deleted meanwhile. False when the task failed, timed out or the owner
    // is gone.
    bool runAndWait(HWork& work, std::function<bool()> task, int timeoutMs);

    // The change of the key editor's items (of the application's key model) after a write, for the GUI thread.
    static std::function<void()> keyItemsTask(const QList<MouseKeyChange>& changes);

private:
    QPointer<QObject> m_owner;
    QRecursiveMutex m_operationLock;
    mutable QMutex m_stateLock;
    MouseUiState m_state;
    QList<QMetaObject::Connection> m_follows;
    QTimer m_refreshTimer;  // on the GUI thread, like the models it follows
};

// One operation of a mouse: holds the session's operation lock from construction to destruction, carries the
// UI state copied at its start, and collects the model changes to hand over when it succeeds.
class MouseOperation
{
public:
    explicit MouseOperation(MouseSession& session);
    ~MouseOperation();
    MouseOperation(const MouseOperation&) = delete;
    MouseOperation& operator=(const MouseOperation&) = delete;

    // False only on the GUI thread when another operation holds the mouse.
    bool isHeld() const { return m_held; }
    const MouseUiState& ui() const { return m_ui; }

    // A model change to make on the GUI thread once the operation has succeeded.
    void onSuccess(std::function<void()> change);
    // Ends the operation's device work: with ok the collected changes go to the GUI thread, in order; without,
    // they are dropped. Returns ok.
    bool finish(bool ok);

private:
    MouseSession& m_session;
    bool m_held = false;
    MouseUiState m_ui;
    QList<std::function<void()>> m_changes;
};
