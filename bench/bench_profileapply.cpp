// Applies the keyboard's factory profile to the simulated keyboard with the protocol's real waits and prints
// how the wall time compares with the waits the protocol asks for. The last line is the ratio wall/waits;
// 1.00 would mean that nothing but the mandated waits costs time.

#include "BenchKeyboard.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

#include <numeric>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLoggingCategory::setFilterRules(QStringLiteral("default.debug=false"));
    QTextStream out(stdout);

    // The keyboard is closed before anything is printed: closing logs lines of its own.
    int result = 0;
    qint64 wallNs = 0;
    QList<int> sleeps;
    int packets = 0;
    {
        BenchKeyboard bench;
        QFile file(DeviceIds::factoryProfilePath(DeviceIds::kKeyboardWired));
        if (!bench.device() || !file.open(QIODevice::ReadOnly)) {
            out << "the simulated keyboard did not open, or there is no factory profile\n";
            return 1;
        }
        QByteArray bytes = file.readAll();
        if (bytes.startsWith("\xEF\xBB\xBF"))
            bytes.remove(0, 3);
        const QJsonObject profile = QJsonDocument::fromJson(bytes).object();

        SimBus::instance()->clearTranscript();
        Platform::setSleepScale(1.0);
        Platform::setSleepRecording(true);
        Platform::clearRecordedSleeps();
        QElapsedTimer timer;
        timer.start();
        result = bench.device()->getMouseConfig(profile);
        wallNs = timer.nsecsElapsed();
        Platform::setSleepScale(0.0);
        sleeps = Platform::recordedSleeps();
        packets = BenchKeyboard::packetsSent();
    }

    const qint64 waitsMs = std::accumulate(sleeps.cbegin(), sleeps.cend(), qint64(0));
    const double wallMs = double(wallNs) / 1e6;
    out << "apply result: " << result << "\n";
    out << "wall time: " << QString::number(wallMs, 'f', 1) << " ms\n";
    out << "mandated waits: " << waitsMs << " ms in " << sleeps.size() << " waits\n";
    out << "packets sent: " << packets << "\n";
    out << "ratio wall/waits: " << QString::number(waitsMs > 0 ? wallMs / double(waitsMs) : 0.0, 'f', 3) << "\n";
    return result == 1 ? 0 : 1;
}
