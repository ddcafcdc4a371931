// The cost of one register transaction (one write and its reply) on the simulated bus, with the protocol's
// waits scaled to zero: what the program itself spends per packet. Measured with debug output switched off
// and, for comparison, switched on but discarded; the last line is the figure with it off.

#include "BenchKeyboard.h"

#include <QCoreApplication>
#include <QElapsedTimer>

namespace {

constexpr int kTransactions = 20000;

void discard(QtMsgType, const QMessageLogContext&, const QString&) {}

// Microseconds per transaction of `count` logo-mode writes (one register, one transaction each).
double perTransactionUs(FDeviceQuenby_8a* device, int count)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < count; ++i) {
        if (!device->setLogoLightMode(i & 1, 0))
            return -1.0;
    }
    return double(timer.nsecsElapsed()) / 1e3 / count;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    Platform::setSleepRecording(false);

    // The keyboard is closed before anything is printed: closing logs lines of its own.
    double withDebug = -1.0;
    double withoutDebug = -1.0;
    {
        BenchKeyboard bench;
        if (!bench.device()) {
            out << "the simulated keyboard did not open\n";
            return 1;
        }
        Platform::setSleepScale(0.0);
        const QtMessageHandler previous = qInstallMessageHandler(discard);
        perTransactionUs(bench.device(), 200);
        withDebug = perTransactionUs(bench.device(), kTransactions / 4);
        QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
        perTransactionUs(bench.device(), 200);
        withoutDebug = perTransactionUs(bench.device(), kTransactions);
        qInstallMessageHandler(previous);
    }

    if (withDebug < 0 || withoutDebug < 0) {
        out << "a transaction failed\n";
        return 1;
    }
    out << "transactions: " << kTransactions << "\n";
    out << "debug output on (discarded): " << QString::number(withDebug, 'f', 2) << " us per transaction\n";
    out << "debug output off: " << QString::number(withoutDebug, 'f', 2) << " us per transaction\n";
    return 0;
}
