#pragma once

#include <QObject>

class FPairingFarrant;

// Pairs a wireless device with its receiver for the pairing pages (QML type "FPairing" of module "k.tools"):
// pairingStart runs one pairing on a thread of its own and sigFinishState tells the outcome. Pairing is
// offered only while the current device is a wireless receiver; for any other device it fails at once.
//
// Threads: GUI thread. The pairing thread is stopped and joined before it is replaced or deleted.
class FPairing : public QObject
{
    Q_OBJECT
public:
    explicit FPairing(QObject* parent = nullptr);
    ~FPairing() override;

    // Whether pid is one of the wireless receivers, the only devices that pair.
    static bool isReceiverPid(int pid);

    Q_INVOKABLE void pairingStart();
    Q_INVOKABLE void pairingStop();

    // The running pairing thread, null when none (tests look at it).
    FPairingFarrant* thread() const { return m_thread; }

signals:
    void sigFinishState(bool mState);

private:
    FPairingFarrant* m_thread = nullptr;
    // Counts the pairings started and stopped.
    quint64 m_run = 0;
};
