#include "sim/mouse/twopage/SimTwoPageMouse.h"

#include "sim/bus/SimBus.h"
#include "sim/mouse/twopage/SimTwoPageTables.h"

#include <QMutexLocker>

using namespace SimTwoPage;

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsagePageConsumer = 0x0C;
constexpr quint16 kUsageMouse = 0x02;
constexpr quint16 kUsageKeyboard = 0x06;
constexpr quint16 kUsageConsumerControl = 0x01;
constexpr int kRootCommandCollection = 1;
constexpr int kLockedCommandCollection = 3;   // "col04"
constexpr int kLockedInterruptCollection = 4; // "col05"

const QString kProductName = QStringLiteral("Gaming Mouse");

// Key function values of the codes the mouse knows (the program's numbering of functions).
struct NamedCode {
    quint8 code;
    int function;
};
constexpr NamedCode kNamedCodes[] = {
    {0x90, 24}, {0x91, 23}, {0x92, 25}, {0x93, 19}, {0x94, 20}, {0x95, 21}, {0x96, 22}, {0x98, 3},
    {0x9A, 4},  {0x9D, 2},  {0xA0, 18}, {0xA5, 28}, {0xB0, 9},  {0xB1, 11}, {0xB2, 10}, {0xB5, 37},
    {0xB6, 38}, {0xB9, 27}, {0xBB, 39}, {0xBC, 40}, {0xBF, -1}, {0xC2, 26},
};
constexpr int kFunctionForward = 12;
constexpr int kFunctionBack = 13;
constexpr int kFunctionDpiCycle = 36;
constexpr int kFunctionMacro = 29;
constexpr int kFunctionLeft = 9;
constexpr int kFunctionCombination = 30;
constexpr int kFunctionKeyboardKey = 42;
constexpr int kUnknown = -2;

QByteArray codesAt(const QByteArray& image, int offset, int length)
{
    return image.mid(offset, length);
}

int signedMove(quint8 low, quint8 sign)
{
    return sign == 0xFF ? int(low) - 256 : int(low);
}

// A code byte of a stage value in a table of 61 entries for 200..6200, or the extended one.
int tableIndexOfValue(int value)
{
    if (value < 200 || value > 6200 || value % 100 != 0)
        return -1;
    return (value - 200) / 100;
}

quint8 factoryCode(SimTwoPageMouse::DpiTable table, int value)
{
    const int index = tableIndexOfValue(value);
    if (index < 0)
        return 0;
    switch (table) {
    case SimTwoPageMouse::DpiTable::A: return kTableA[index];
    case SimTwoPageMouse::DpiTable::B: return kTableB[index];
    case SimTwoPageMouse::DpiTable::Linear: return quint8(index);
    }
    return 0;
}

} // namespace

SimTwoPageMouse::SimTwoPageMouse(quint16 productId, Dialect dialect)
    : m_productId(productId)
    , m_dialect(dialect)
{
    m_table = dialect == Dialect::Locked ? DpiTable::Linear : DpiTable::A;
    m_image = factoryImage(dialect, m_table);
}

SimTwoPageMouse::~SimTwoPageMouse()
{
    unplug();
}

SimTwoPageMouse::Dialect SimTwoPageMouse::dialectOf(quint16 productId)
{
    return productId == DeviceIds::kHarloHollis || productId == DeviceIds::kDunmorHollis ? Dialect::Locked
                                                                                          : Dialect::Root;
}

// --- on the bus -------------------------------------------------------------------------------------------

SimDevice SimTwoPageMouse::interfaceOf(quint16 productId, Dialect dialect)
{
    SimDevice device = describe(productId, 0x0103, kProductName);
    const SimCollection mouse = SimCollection::make(kUsagePageGenericDesktop, kUsageMouse, 8, 0, 0);
    const SimCollection command = SimCollection::make(kVendorUsagePage, kCommandUsage, kReportSize, kReportSize, 0);
    if (dialect == Dialect::Root) {
        device.collections << mouse << command;
    } else {
        device.collections << mouse << SimCollection::make(kUsagePageGenericDesktop, kUsageKeyboard, 9, 0, 0)
                           << SimCollection::make(kUsagePageConsumer, kUsageConsumerControl, 3, 0, 0) << command
                           << SimCollection::make(kVendorUsagePage, kInterruptUsage, kInterruptReportSize, 0, 0);
    }
    return device;
}

bool SimTwoPageMouse::plug(SimBus* bus)
{
    QList<SimResponder*> responders;
    if (m_dialect == Dialect::Root)
        responders << nullptr << this;
    else
        responders << nullptr << nullptr << nullptr << this << &m_interrupt;
    return plugInterfaces(bus, {{interfaceOf(m_productId, m_dialect), responders}});
}

QString SimTwoPageMouse::commandPath() const
{
    return collectionPath(m_dialect == Dialect::Root ? kRootCommandCollection : kLockedCommandCollection);
}

QString SimTwoPageMouse::interruptPath() const
{
    return m_dialect == Dialect::Root ? QString() : collectionPath(kLockedInterruptCollection);
}

// --- image --------------------------------------------------------------------------------------------------

QByteArray SimTwoPageMouse::factoryImage(Dialect dialect, DpiTable table)
{
    QByteArray image(kImageSize, '\0');
    image[0] = char(kReportId);
    image[1] = char(kPageMarker);
    image[2] = 1;
    image[kPageSize] = char(kReportId);
    image[kPageSize + 1] = char(kPageMarker);
    image[kPageSize + 2] = 2;
    image[kStageByte] = char(kFactoryStage);
    image[kMaskByte] = 0x7F;
    for (int stage = 0; stage < kStages; ++stage)
        image[kFirstCodeByte + kCodeStride * stage] = char(factoryCode(table, kFactoryDpi[stage]));
    image[kReportRateByte] = char(kFactoryReportRate);
    image[kLightModeByte] = char(kFactoryLightMode);
    image[kSpeedByte] = char(dialect == Dialect::Locked ? 4 - kFactorySpeed : kFactorySpeed);
    image[kBrightnessByte] = char(kFactoryBrightness);
    image[kFlagByte] = char(kFactoryFlag);
    image[kAttributeByte] = char(dialect == Dialect::Locked ? 0x7F : 0);
    for (int i = 0; i < 3; ++i)
        image[kColourByte + i] = char(kFactoryColour[i]);

    // Every button does its own job; the custom button fires.
    struct Factory {
        int key;
        quint8 code[4];
    };
    const Factory root[] = {{0, {0xF4, 1, 2, 3}}, {1, {0xB1, 0, 0, 0}}, {2, {0xB2, 0, 0, 0}}, {4, {0xB4, 0, 0, 0}},
                            {3, {0xB3, 0, 0, 0}}, {11, {0xB5, 0, 0, 0}}, {12, {0xB6, 0, 0, 0}}, {6, {0xBC, 0, 0, 0}},
                            {5, {0xBB, 0, 0, 0}}, {7, {0xB9, 2, 0, 0}}};
    const Factory locked[] = {{0, {0xB0, 0, 0, 0}}, {2, {0xB2, 0, 0, 0}}, {1, {0xB1, 0, 0, 0}}, {3, {0xB4, 0, 0, 0}},
                              {4, {0xB3, 0, 0, 0}}, {13, {0xC1, 0, 0, 0}}, {11, {0xB5, 0, 0, 0}}, {12, {0xB6, 0, 0, 0}},
                              {5, {0xBB, 0, 0, 0}}, {7, {0xB9, 2, 0, 0}}};
    const Factory* rows = dialect == Dialect::Locked ? locked : root;
    for (int n = 0; n < kKeyEntries; ++n) {
        for (int i = 0; i < 4; ++i)
            image[kFirstKeyByte + kKeyStride * n + i] = char(rows[n].code[i]);
    }
    return image;
}

void SimTwoPageMouse::resetToDefaults()
{
    QMutexLocker lock(&m_mutex);
    m_table = m_dialect == Dialect::Locked ? DpiTable::Linear : DpiTable::A;
    m_image = factoryImage(m_dialect, m_table);
    m_written.clear();
    m_received.clear();
    m_readRequests = 0;
    m_failReports.clear();
    m_dropReports.clear();
    m_refuseReports.clear();
    m_pending = Macro();
    m_macros.clear();
}

QByteArray SimTwoPageMouse::image() const { return locked(m_image); }
void SimTwoPageMouse::setImage(const QByteArray& image) { setLockedMemory(m_image, image, kImageSize); }
quint8 SimTwoPageMouse::imageByte(int index) const { return lockedByte(m_image, index); }
void SimTwoPageMouse::setImageByte(int index, quint8 value) { setLockedByte(m_image, index, value); }
void SimTwoPageMouse::setDpiTable(DpiTable table) { setLocked(m_table, table); }
QList<QByteArray> SimTwoPageMouse::writtenPages() const { return locked(m_written).entries(); }
int SimTwoPageMouse::readRequests() const { return locked(m_readRequests); }

void SimTwoPageMouse::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_written.clear();
    m_received.clear();
    m_readRequests = 0;
    // Faults armed before count on from the new start.
    m_failReports.restart();
    m_dropReports.restart();
    m_refuseReports.restart();
}

// --- decoded settings -----------------------------------------------------------------------------------------

int SimTwoPageMouse::dpiStage() const { return imageByte(kStageByte); }
int SimTwoPageMouse::enableMask() const { return imageByte(kMaskByte); }
int SimTwoPageMouse::reportRate() const { return imageByte(kReportRateByte); }
int SimTwoPageMouse::lightMode() const { return imageByte(kLightModeByte); }
int SimTwoPageMouse::lightSpeedByte() const { return imageByte(kSpeedByte); }
int SimTwoPageMouse::lightBrightness() const { return imageByte(kBrightnessByte); }

QList<int> SimTwoPageMouse::colour() const
{
    return {imageByte(kColourByte), imageByte(kColourByte + 1), imageByte(kColourByte + 2)};
}

int SimTwoPageMouse::codeToValueLocked(quint8 code) const
{
    const bool extended = m_productId == DeviceIds::kUlverdLow;
    for (int i = 0; i < kDpiCount; ++i) {
        const quint8 c = m_table == DpiTable::A ? kTableA[i] : m_table == DpiTable::B ? kTableB[i] : quint8(i);
        if (c == code)
            return 200 + 100 * i;
    }
    if (extended && m_table != DpiTable::Linear) {
        for (int i = 0; i < kExtendedCount; ++i) {
            if (kExtended[i] == code)
                return 6400 + 200 * i;
        }
    }
    return -1;
}

QList<int> SimTwoPageMouse::dpiValues() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> values;
    for (int stage = 0; stage < kStages; ++stage)
        values << codeToValueLocked(quint8(m_image.at(kFirstCodeByte + kCodeStride * stage)));
    return values;
}

int SimTwoPageMouse::entryOfKey(int key) const
{
    const int* keys = m_dialect == Dialect::Locked ? kLockedKeys : kRootKeys;
    for (int n = 0; n < kKeyEntries; ++n) {
        if (keys[n] == key)
            return n;
    }
    return -1;
}

SimTwoPageMouse::KeyEntry SimTwoPageMouse::decodeEntry(const QByteArray& entry) const
{
    KeyEntry out;
    out.code = entry.left(4);
    out.trailer = quint8(entry.at(4));
    const quint8 b0 = quint8(entry.at(0));
    const quint8 b1 = quint8(entry.at(1));
    const quint8 b2 = quint8(entry.at(2));
    const quint8 b3 = quint8(entry.at(3));
    const bool locked = m_dialect == Dialect::Locked;
    out.function = kUnknown;
    if (b0 == 0 && b1 == 0 && b2 == 0 && b3 == 0) {
        out.function = 0;
        return out;
    }
    for (const NamedCode& named : kNamedCodes) {
        if (named.code == b0)
            out.function = named.function;
    }
    if (b0 == 0xB3)
        out.function = locked ? kFunctionBack : kFunctionForward;
    else if (b0 == 0xB4)
        out.function = locked ? kFunctionForward : kFunctionBack;
    else if (b0 == 0xC1 && locked)
        out.function = kFunctionDpiCycle;
    else if (b0 >= 0xF0 && b0 <= 0xF3) {
        out.function = kFunctionMacro;
        out.macroKind = b0;
        out.macroSlot = b1;
        out.repeat = b2 << 8 | b3;
    } else if (b0 == 0xF4 && b1 == 1 && b2 == 2 && b3 == 3) {
        out.function = kFunctionLeft;
    } else if (b0 == 0xFC) {
        out.mask = b1;
        out.usage = b2;
        out.function = locked && b1 == 0 ? kFunctionKeyboardKey : kFunctionCombination;
    } else if (b0 < 0x90 && !locked && b1 == 0 && b2 == 0 && b3 == 0) {
        out.function = kFunctionKeyboardKey;
        out.usage = b0;
    }
    return out;
}

SimTwoPageMouse::KeyEntry SimTwoPageMouse::keyEntry(int key) const
{
    const int n = entryOfKey(key);
    if (n < 0) {
        KeyEntry none;
        none.function = kUnknown;
        return none;
    }
    QMutexLocker lock(&m_mutex);
    return decodeEntry(codesAt(m_image, kFirstKeyByte + kKeyStride * n, kKeyStride));
}

// --- macros ---------------------------------------------------------------------------------------------------

SimTwoPageMouse::Macro SimTwoPageMouse::macro(int slot) const { return locked(m_macros).value(slot); }
QList<int> SimTwoPageMouse::macroSlots() const { return locked(m_macros).keys(); }
QList<QByteArray> SimTwoPageMouse::received() const { return locked(m_received).entries(); }

QList<SimTwoPageMouse::Event> SimTwoPageMouse::decodeRoot(const QByteArray& events)
{
    QList<Event> out;
    int i = 0;
    while (i < events.size()) {
        const quint8 code = quint8(events.at(i));
        Event e;
        if (code == 1 && i + 2 < events.size()) {
            e.kind = Event::Delay;
            e.value1 = quint8(events.at(i + 1)) << 8 | quint8(events.at(i + 2));
            i += 3;
        } else if ((code == 2 || code == 3) && i + 1 < events.size()) {
            e.kind = Event::Key;
            e.up = code == 3;
            e.value1 = quint8(events.at(i + 1));
            i += 2;
        } else if ((code == 4 || code == 5) && i + 1 < events.size()) {
            e.kind = Event::Button;
            e.up = code == 5;
            e.value1 = quint8(events.at(i + 1));
            i += 2;
        } else if (code == 6 && i + 4 < events.size()) {
            e.kind = Event::Move;
            e.value1 = signedMove(quint8(events.at(i + 1)), quint8(events.at(i + 2)));
            e.value2 = signedMove(quint8(events.at(i + 3)), quint8(events.at(i + 4)));
            i += 5;
        } else {
            return QList<Event>();  // not an event string
        }
        out << e;
    }
    return out;
}

QList<SimTwoPageMouse::Event> SimTwoPageMouse::decodeLocked(const QByteArray& events)
{
    QList<Event> out;
    int i = 0;
    while (i + 4 < events.size() + 0) {
        Event e;
        const quint8 set = quint8(events.at(i));
        e.delay = set == 1 ? (quint8(events.at(i + 1)) | quint8(events.at(i + 2)) << 8) : -1;
        if (set != 0 && set != 1)
            return QList<Event>();
        const quint8 code = quint8(events.at(i + 3));
        if (code == 2 || code == 3 || code == 4 || code == 5) {
            e.kind = code <= 3 ? Event::Key : Event::Button;
            e.up = code == 3 || code == 5;
            e.value1 = quint8(events.at(i + 4));
            i += 5;
        } else if (code == 6 && i + 7 < events.size()) {
            e.kind = Event::Move;
            e.value1 = signedMove(quint8(events.at(i + 4)), quint8(events.at(i + 5)));
            e.value2 = signedMove(quint8(events.at(i + 6)), quint8(events.at(i + 7)));
            i += 8;
        } else {
            return QList<Event>();
        }
        out << e;
    }
    if (i != events.size())
        return QList<Event>();
    return out;
}

void SimTwoPageMouse::macroDataLocked(const QByteArray& report, bool* accept)
{
    const int slot = quint8(report.at(2));
    const int events = quint8(report.at(3));
    const int index = quint8(report.at(4));
    const int count = quint8(report.at(5));
    const int length = quint8(report.at(6));
    const bool first = index == 1;
    if (first) {
        const int declared = m_pending.declaredLength;
        m_pending = Macro();
        m_pending.declaredLength = declared;
        m_pending.slot = slot;
    }
    if (m_pending.slot != slot || index != m_pending.packets + 1 || count < index || count == 0) {
        *accept = false;
        m_pending = Macro();
        return;
    }
    m_pending.packets = index;
    m_pending.eventCount = events;
    m_pending.rawPackets << report;
    if (first) {
        if (count == 1) {
            const int eventBytes = qMax(0, length - 31);
            m_pending.events = report.mid(kMacroFirstEventByte, qMin(eventBytes, kReportSize - kMacroFirstEventByte));
        } else {
            m_pending.events = report.mid(kMacroFirstEventByte);
        }
    } else {
        m_pending.events += report.mid(kMacroHeaderSize, qMin(length, kReportSize - kMacroHeaderSize));
    }
    if (index < count)
        return;

    Macro done = m_pending;
    m_pending = Macro();
    done.decoded = m_dialect == Dialect::Locked ? decodeLocked(done.events) : decodeRoot(done.events);
    if (m_dialect == Dialect::Locked)
        done.valid = done.decoded.size() == done.eventCount && (!done.events.isEmpty() || done.eventCount == 0);
    else
        done.valid = done.declaredLength - kMacroLengthExtra == done.events.size()
            && (done.events.isEmpty() || !done.decoded.isEmpty());
    m_macros.insert(done.slot, done);
}

// --- faults -----------------------------------------------------------------------------------------------------

void SimTwoPageMouse::failReport(int n)
{
    QMutexLocker lock(&m_mutex);
    m_failReports.armFromNow(n);
}

void SimTwoPageMouse::dropReplyTo(int n)
{
    QMutexLocker lock(&m_mutex);
    m_dropReports.armFromNow(n);
}

void SimTwoPageMouse::refuseReport(int n)
{
    QMutexLocker lock(&m_mutex);
    m_refuseReports.armFromNow(n);
}

void SimTwoPageMouse::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_failReports.disarm();
    m_dropReports.disarm();
    m_refuseReports.disarm();
}

void SimTwoPageMouse::setOnPageWrite(std::function<void(int)> hook) { setLocked(m_onPageWrite, std::move(hook)); }

// --- interrupt source ---------------------------------------------------------------------------------------

QByteArray SimTwoPageMouse::stageReport(int dpiValue, int stage) const
{
    QByteArray report(kInterruptReportSize, '\0');
    report[0] = char(kInterruptReportId);
    report[kInterruptDpiByte] = char(dpiValue & 0xFF);
    report[kInterruptDpiByte + 1] = char((dpiValue >> 8) & 0xFF);
    report[kInterruptStageByte] = char(stage);
    return report;
}

void SimTwoPageMouse::pushStageReport(int dpiValue, int stage)
{
    {
        QMutexLocker lock(&m_mutex);
        if (stage >= 0 && stage < kStages)
            m_image[kStageByte] = char(stage);
    }
    pushInterruptReport(stageReport(dpiValue, stage));
}

void SimTwoPageMouse::pushInterruptReport(const QByteArray& report)
{
    if (m_dialect == Dialect::Locked)
        m_interrupt.pushInputReport(report);
}

// --- the command collection -------------------------------------------------------------------------------

QByteArray SimTwoPageMouse::replyLocked(quint8 command, quint8 a, quint8 b, bool accept) const
{
    QByteArray reply(kReportSize, '\0');
    reply[0] = char(kReportId);
    reply[1] = char(command);
    reply[2] = char(a);
    reply[kReplyAcceptByte] = char(accept ? 1 : 0);
    reply[4] = char(b);
    return reply;
}

bool SimTwoPageMouse::onOutput(const QByteArray& report)
{
    QList<QByteArray> replies;
    std::function<void(int)> hook;
    int hookPage = 0;
    {
        QMutexLocker lock(&m_mutex);
        const bool fail = m_failReports.take();
        const bool drop = m_dropReports.take();
        const bool refuse = m_refuseReports.take();
        if (fail)
            return false;
        m_received << report;
        const quint8 command = quint8(report.at(1));
        const bool locked = m_dialect == Dialect::Locked;

        if (command == kPageMarker && (report.at(2) == 1 || report.at(2) == 2)) {
            const int page = report.at(2);
            m_written << report.left(kPageSize);
            m_image.replace((page - 1) * kPageSize, kPageSize, report.left(kPageSize));
            replies << replyLocked(kPageMarker, quint8(page), 0, !refuse);
            hook = m_onPageWrite;
            hookPage = page;
        } else if (command == kCmdRead) {
            ++m_readRequests;
            replies << m_image.left(kPageSize) << m_image.mid(kPageSize, kPageSize);
        } else if (command == kCmdMacroSelect) {
            m_pending = Macro();
            m_pending.slot = quint8(report.at(2));
            replies << replyLocked(command, quint8(report.at(2)), 0, !refuse);
            if (locked)
                replies << replyLocked(command, quint8(report.at(2)), 1, !refuse);
        } else if (command == kCmdMacroLength && !locked) {
            m_pending.declaredLength = quint8(report.at(3)) << 8 | quint8(report.at(4));
            replies << replyLocked(command, quint8(report.at(2)), 0, !refuse);
        } else if (command == kCmdMacroBegin && locked) {
            replies << replyLocked(command, 1, 0, !refuse);
        } else if (command == kCmdMacroData) {
            bool accept = !refuse;
            if (accept)
                macroDataLocked(report, &accept);
            if (locked)
                replies << replyLocked(command, quint8(report.at(2)), 0, true);
            replies << replyLocked(command, quint8(report.at(2)), quint8(report.at(4)), accept);
        }
        // Anything else is ignored, as the firmware does.
        if (drop)
            replies.clear();
    }
    if (hook)
        hook(hookPage);
    for (const QByteArray& reply : qAsConst(replies))
        pushInputReport(reply);
    return true;
}
