#include "platform/pipe/NamedPipeServer.h"
#include "platform/serial/SerialPorts.h"

#include "SimBusFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtConcurrent>
#include <QtTest>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// A client end as the update program opens it.
int connectTo(const QString& path)
{
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

class TestPipeAndPorts : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void messagesOnePerPacket();
    void nameTakenByAListeningServer();
    void leftoverSocketIsReplacedOtherFilesAreNot();
    void stopWakesAWaitingServer();
    void serialPortsOfTheSimulatedBus();
    void serialPortsOfTheMachine();

private:
    QTemporaryDir m_runtime;
};

void TestPipeAndPorts::init()
{
    qputenv("XDG_RUNTIME_DIR", m_runtime.path().toUtf8());
    QFile::remove(m_runtime.filePath("Quor_Named_Pipe"));
}

void TestPipeAndPorts::messagesOnePerPacket()
{
    NamedPipeServer server("Quor_Named_Pipe");
    QVERIFY(server.create());
    QCOMPARE(server.path(), m_runtime.filePath("Quor_Named_Pipe"));
    struct stat st;
    QCOMPARE(::stat(QFile::encodeName(server.path()).constData(), &st), 0);
    QCOMPARE(int(st.st_mode & 0777), 0600);

    const int client = connectTo(server.path());
    QVERIFY(client >= 0);
    QVERIFY(server.connectPeer());
    const char progress[] = {4, 37};
    const char end[] = {5, 0};
    const QByteArray big(5000, 'x');
    ::send(client, progress, sizeof progress, 0);
    ::send(client, big.constData(), size_t(big.size()), 0);
    ::send(client, end, sizeof end, 0);
    ::close(client);

    quint8 buffer[4096];
    QCOMPARE(server.read(buffer, sizeof buffer), 2);
    QCOMPARE(int(buffer[1]), 37);
    QCOMPARE(server.read(buffer, sizeof buffer), -1);   // larger than a message may be
    QCOMPARE(server.read(buffer, sizeof buffer), 2);
    QCOMPARE(int(buffer[0]), 5);
    QCOMPARE(server.read(buffer, sizeof buffer), 0);    // the peer has gone
    server.close();
    QVERIFY(!QFileInfo::exists(server.path()));
}

void TestPipeAndPorts::nameTakenByAListeningServer()
{
    NamedPipeServer first("Quor_Named_Pipe");
    QVERIFY(first.create());
    NamedPipeServer second("Quor_Named_Pipe");
    QVERIFY(!second.create());
    first.close();
    QVERIFY(second.create());
}

void TestPipeAndPorts::leftoverSocketIsReplacedOtherFilesAreNot()
{
    // A run that ended without cleaning up leaves its socket file behind.
    const int fd = ::socket(AF_UNIX, SOCK_SEQPACKET, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray path = QFile::encodeName(m_runtime.filePath("Quor_Named_Pipe"));
    std::memcpy(address.sun_path, path.constData(), size_t(path.size()));
    QCOMPARE(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);   // bound, never listening: a stale socket
    NamedPipeServer server("Quor_Named_Pipe");
    QVERIFY(server.create());
    server.close();

    QFile plain(m_runtime.filePath("Quor_Named_Pipe"));
    QVERIFY(plain.open(QIODevice::WriteOnly));
    plain.write("keep");
    plain.close();
    NamedPipeServer refused("Quor_Named_Pipe");
    QVERIFY(!refused.create());
    QVERIFY(plain.open(QIODevice::ReadOnly));
    QCOMPARE(plain.readAll(), QByteArray("keep"));
}

void TestPipeAndPorts::stopWakesAWaitingServer()
{
    NamedPipeServer server("Quor_Named_Pipe");
    QVERIFY(server.create());
    QFuture<bool> waiting = QtConcurrent::run([&] { return server.connectPeer(); });
    QTest::qWait(20);
    server.stop();
    waiting.waitForFinished();
    QVERIFY(!waiting.result());
    quint8 buffer[8];
    QCOMPARE(server.read(buffer, sizeof buffer), -1);
}

void TestPipeAndPorts::serialPortsOfTheSimulatedBus()
{
    SimBusFixture bus;
    const int late = bus->plugSerialPort("/dev/ttyACM1", 0x3A7E, 0x8B02, 2);
    bus->plugSerialPort("/dev/ttyS0", 0x1111, 0x2222);
    QCOMPARE(Platform::availableSerialPorts().size(), 1);
    QCOMPARE(Platform::availableSerialPorts().size(), 1);
    const QList<Platform::SerialPortInfo> ports = Platform::availableSerialPorts();
    QCOMPARE(ports.size(), 2);
    QCOMPARE(ports.first().portName, QStringLiteral("/dev/ttyACM1"));
    QCOMPARE(ports.first().productId, quint16(0x8B02));
    QVERIFY(bus->unplugSerialPort(late));
    QCOMPARE(Platform::availableSerialPorts().size(), 1);
    QCOMPARE(bus->serialListings(), 4);
}

void TestPipeAndPorts::serialPortsOfTheMachine()
{
    // Whatever this machine has: device nodes, with ids where a USB device stands behind them.
    for (const Platform::SerialPortInfo& port : Platform::availableSerialPorts())
        QVERIFY2(port.portName.startsWith("/dev/"), qPrintable(port.portName));
}

QTEST_GUILESS_MAIN(TestPipeAndPorts)
#include "tst_pipeandports.moc"
