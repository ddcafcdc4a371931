#include "sim/mouse/featurereport/SimFeatureReportMouse.h"

#include "sim/bus/SimBus.h"
#include "sim/mouse/featurereport/SimFeatureReportTables.h"

#include <QMutexLocker>

using namespace SimFeatureReport;

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsageMouse = 0x02;
constexpr int kVendorCollection = 1;
const QString kProductName = QStringLiteral("Gaming Mouse");

constexpr int kKinlochDpi[] = {250, 500, 750, 1000, 1250, 1500, 1750, 2000, 3000, 4000};

int rootDpi(int code)
{
    return code >= 1 && code <= 49 ? (code + 1) * 100 : 0;
}

int kinlochDpi(int code)
{
    return code >= 1 && code <= 10 ? kKinlochDpi[code - 1] : 0;
}

quint8 codeOf(SimFeatureReportMouse::Model model, int value)
{
    if (model == SimFeatureReportMouse::Model::Kinloch) {
        for (int i = 0; i < 10; ++i) {
            if (kKinlochDpi[i] == value)
                return quint8(i + 1);
        }
        return 0;
    }
    return quint8(value / 100 - 1);
}

int lookup(const UsageFunction* table, int size, int usage, int fallback)
{
    for (int i = 0; i < size; ++i) {
        if (table[i].usage == usage)
            return table[i].function;
    }
    return fallback;
}

int bcdAmount(quint8 hundreds, quint8 bcd, bool* ok)
{
    const int tens = bcd >> 4;
    const int units = bcd & 0x0F;
    if (tens > 9 || units > 9)
        *ok = false;
    return hundreds * 100 + tens * 10 + units;
}

} // namespace

SimFeatureReportMouse::SimFeatureReportMouse(quint16 productId)
    : m_productId(productId)
    , m_model(modelOf(productId))
{
    resetToDefaults();
}

SimFeatureReportMouse::~SimFeatureReportMouse()
{
    unplug();
}

SimFeatureReportMouse::Model SimFeatureReportMouse::modelOf(quint16 productId)
{
    return productId == DeviceIds::kKinloch ? Model::Kinloch : Model::Root;
}

SimDevice SimFeatureReportMouse::interfaceOf(quint16 productId)
{
    return describe(productId, 0x0105, kProductName,
                    {SimCollection::make(kUsagePageGenericDesktop, kUsageMouse, 8, 0, 0),
                     SimCollection::make(kVendorUsagePage, kVendorUsage, kPageSize, kPageSize, kFeatureReportSize)});
}

// --- on the bus -----------------------------------------------------------------------------------------------

bool SimFeatureReportMouse::plug(SimBus* bus)
{
    return plugInterfaces(bus, {{interfaceOf(m_productId), {nullptr, this}}});
}

QString SimFeatureReportMouse::commandPath() const
{
    return collectionPath(kVendorCollection);
}

// --- state ----------------------------------------------------------------------------------------------------

QList<int> SimFeatureReportMouse::factoryDpi(Model model)
{
    QList<int> values;
    for (int i = 0; i < kFactoryStages; ++i)
        values << (model == Model::Kinloch ? kKinlochFactoryDpi[i] : kFactoryDpi[i]);
    return values;
}

QByteArray SimFeatureReportMouse::factoryDpiPage() const
{
    QByteArray page(kPageSize, '\0');
    int at = 1;
    for (int value : factoryDpi(m_model))
        page[at++] = char(codeOf(m_model, value));
    page[at] = char(0xFF);
    return page;
}

void SimFeatureReportMouse::resetToDefaults()
{
    QMutexLocker lock(&m_mutex);
    m_firmware = kFactoryFirmware;
    m_interval = kFactoryInterval;
    m_stage = kFactoryStage;
    m_dpiPage = factoryDpiPage();
    m_effect = kFactoryEffect;
    m_parameter = kFactoryParameter;
    m_flag = kFactoryFlag;
    for (int i = 0; i < 3; ++i)
        m_rgb[i] = kFactoryColour[i];
    m_slots = QByteArray(reinterpret_cast<const char*>(&kFactorySlots[0][0]), kSlots * kSlotSize);
    m_macros.clear();
    for (int i = 0; i < kMacroSlots; ++i)
        m_macros << QByteArray(kMacroBufferSize, '\0');
    m_reply = QByteArray(kCommandSize, '\0');
    m_pending = Pending::None;
    m_commands.clear();
    m_pages.clear();
    m_commandFaults.clear();
    m_replyFaults.clear();
    m_pageFaults.clear();
}

quint16 SimFeatureReportMouse::firmware() const { return locked(m_firmware); }
void SimFeatureReportMouse::setFirmware(quint16 version) { setLocked(m_firmware, version); }
int SimFeatureReportMouse::reportInterval() const { return locked(m_interval); }
void SimFeatureReportMouse::setReportInterval(int interval) { setLocked(m_interval, quint8(interval)); }
int SimFeatureReportMouse::dpiStage() const { return locked(m_stage); }
void SimFeatureReportMouse::setDpiStage(int stage) { setLocked(m_stage, quint8(stage)); }
QByteArray SimFeatureReportMouse::dpiPage() const { return locked(m_dpiPage); }
void SimFeatureReportMouse::setDpiPage(const QByteArray& page) { setLockedMemory(m_dpiPage, page, kPageSize); }

int SimFeatureReportMouse::dpiFromCodeLocked(int code) const
{
    return m_model == Model::Kinloch ? kinlochDpi(code) : rootDpi(code);
}

QList<int> SimFeatureReportMouse::dpiValues() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> values;
    for (int i = 1; i < kPageSize; ++i) {
        const quint8 code = quint8(m_dpiPage.at(i));
        if (code == 0xFF)
            break;
        values << dpiFromCodeLocked(code);
    }
    return values;
}

int SimFeatureReportMouse::lightEffect() const { return locked(m_effect); }
int SimFeatureReportMouse::lightParameter() const { return locked(m_parameter); }
int SimFeatureReportMouse::lightFlag() const { return locked(m_flag); }

void SimFeatureReportMouse::setLight(int effect, int parameter, int flag)
{
    QMutexLocker lock(&m_mutex);
    m_effect = quint8(effect);
    m_parameter = quint8(parameter);
    m_flag = quint8(flag);
}

QList<int> SimFeatureReportMouse::colour() const
{
    QMutexLocker lock(&m_mutex);
    return {m_rgb[0], m_rgb[1], m_rgb[2]};
}

void SimFeatureReportMouse::setColour(int r, int g, int b)
{
    QMutexLocker lock(&m_mutex);
    m_rgb[0] = quint8(r);
    m_rgb[1] = quint8(g);
    m_rgb[2] = quint8(b);
}

QByteArray SimFeatureReportMouse::slotCode(int slot) const
{
    QMutexLocker lock(&m_mutex);
    return slot >= 0 && slot < kSlots ? m_slots.mid(slot * kSlotSize, kSlotSize) : QByteArray();
}

void SimFeatureReportMouse::setSlotCode(int slot, const QByteArray& code)
{
    QMutexLocker lock(&m_mutex);
    if (slot >= 0 && slot < kSlots && code.size() == kSlotSize)
        m_slots.replace(slot * kSlotSize, kSlotSize, code);
}

QByteArray SimFeatureReportMouse::keyCode(int key) const
{
    for (int slot = 0; slot < kSlots; ++slot) {
        if (kSlotKey[slot] == key)
            return slotCode(slot);
    }
    return QByteArray();
}

int SimFeatureReportMouse::keyFunction(int key) const
{
    const QByteArray code = keyCode(key);
    return code.size() == kSlotSize ? decodeKey(code) : Function::Unknown;
}

int SimFeatureReportMouse::decodeKey(const QByteArray& code)
{
    if (code.size() != kSlotSize)
        return Function::Unknown;
    const quint8 kind = quint8(code.at(0));
    const quint8 a = quint8(code.at(1));
    const quint8 b = quint8(code.at(2));
    const quint8 c = quint8(code.at(3));
    switch (kind) {
    case 0x0A:
        return Function::Fire;
    case 0x09:
        return b >= 1 && b <= kMacroSlots ? Function::Macro : Function::Unknown;
    case 0x07:
        switch (b) {
        case 0: return Function::Disable;
        case 3: return Function::DpiCycle;
        case 4: return Function::Sniper;
        default: return Function::Unknown;
        }
    case 0x04:
        return b == 1 ? Function::RollerForward : b == 2 ? Function::RollerBack : Function::Unknown;
    case 0x03:
        return lookup(kConsumer, int(sizeof(kConsumer) / sizeof(kConsumer[0])), b | (c << 8), Function::Unknown);
    case 0x01:
        return lookup(kMouseButtons, int(sizeof(kMouseButtons) / sizeof(kMouseButtons[0])), b, Function::Unknown);
    case 0x00:
        // A keyboard code without a usage is still a keyboard key: one that sends nothing.
        switch (a) {
        case 0: return Function::KeyboardKey;
        case 1: return Function::Ctrl;
        case 2: return Function::Shift;
        case 4: return b == 0x3D ? Function::CloseWindow : b == 0x2B ? Function::SwitchProgram : Function::Alt;
        case 8:
            return lookup(kWinActions, int(sizeof(kWinActions) / sizeof(kWinActions[0])), b, Function::Win);
        default:
            for (int i = 0; i < int(sizeof(kComboMasks) / sizeof(kComboMasks[0])); ++i) {
                if (kComboMasks[i] == a)
                    return 47 + i;
            }
            return Function::Unknown;
        }
    default:
        return Function::Unknown;
    }
}

QByteArray SimFeatureReportMouse::macroBuffer(int slot) const
{
    QMutexLocker lock(&m_mutex);
    return slot >= 1 && slot <= kMacroSlots ? m_macros.at(slot - 1) : QByteArray();
}

SimFeatureReportMouse::Macro SimFeatureReportMouse::macro(int slot) const
{
    return decodeMacro(macroBuffer(slot), m_model);
}

SimFeatureReportMouse::Macro SimFeatureReportMouse::decodeMacro(const QByteArray& buffer, Model model)
{
    Macro macro;
    if (buffer.size() != kMacroBufferSize)
        return macro;
    const auto at = [&buffer](int i) { return i < buffer.size() ? quint8(buffer.at(i)) : quint8(0); };
    const quint8 h0 = at(0);
    const quint8 h1 = at(1);
    if (h0 == 0xFF && h1 == 0xFE) {
        macro.play = Play::Toggle;
    } else if (h0 == 0xFF && h1 == 0xFF) {
        macro.play = Play::WhilePressed;
    } else {
        macro.play = Play::Count;
        macro.count = model == Model::Kinloch ? h1 : h0 * 256 + h1;
    }
    macro.valid = model != Model::Kinloch || macro.play != Play::Count || h0 == 0;
    const quint8 wheelUp = model == Model::Kinloch ? 6 : 5;
    const quint8 wheelDown = model == Model::Kinloch ? 5 : 6;
    int i = 2;
    while (i + 1 < buffer.size()) {
        const quint8 state = at(i);
        const quint8 code = at(i + 1);
        if (state == 0 && code == 0)
            break;
        i += 2;
        if (state == 0 && code >= 5 && code <= 8) {
            // A wheel record: the direction, then the amount.
            bool ok = i + 1 < buffer.size();
            const int amount = bcdAmount(at(i), at(i + 1), &ok);
            i += 2;
            if (!ok)
                macro.valid = false;
            Event wheel;
            wheel.kind = Event::Wheel;
            if (code == wheelUp)
                wheel.value1 = amount;
            else if (code == wheelDown)
                wheel.value1 = -amount;
            else
                wheel.value2 = code == 7 ? amount : -amount;
            macro.events << wheel;
            continue;
        }
        const bool up = state & kRelease;
        if (code >= 0xF0 && code <= 0xF2) {
            Event button;
            button.kind = Event::Button;
            button.up = up;
            for (int n = 0; n < 3; ++n) {
                if (kButtonCodes[n] == code)
                    button.value1 = n + 1;
            }
            macro.events << button;
        } else if (code != 0) {
            Event key;
            key.kind = Event::Key;
            key.up = up;
            key.value1 = code;
            macro.events << key;
        }
        int delay = 0;
        const int low = state & 0x7F;
        if (low == 1 && at(i) == 0 && at(i + 1) >= 1 && at(i + 1) <= 4) {
            delay = (at(i + 2) * 256 + at(i + 3)) * kDelayUnitMs[at(i + 1)];
            i += 4;
        } else if (low >= 2) {
            delay = (low - 1) * 10;
        }
        if (delay > 0) {
            Event pause;
            pause.kind = Event::Delay;
            pause.value1 = delay;
            macro.events << pause;
        }
    }
    return macro;
}

// --- what came in -----------------------------------------------------------------------------------------------

QList<QByteArray> SimFeatureReportMouse::commands() const { return locked(m_commands).entries(); }
QList<QByteArray> SimFeatureReportMouse::pagesWritten() const { return locked(m_pages).entries(); }

void SimFeatureReportMouse::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_commands.clear();
    m_pages.clear();
    m_commandFaults.restart();
    m_replyFaults.restart();
    m_pageFaults.restart();
}

void SimFeatureReportMouse::failCommand(int n)
{
    QMutexLocker lock(&m_mutex);
    m_commandFaults.arm(n);
}

void SimFeatureReportMouse::failReply(int n)
{
    QMutexLocker lock(&m_mutex);
    m_replyFaults.arm(n);
}

void SimFeatureReportMouse::failPageWrite(int n)
{
    QMutexLocker lock(&m_mutex);
    m_pageFaults.arm(n);
}

void SimFeatureReportMouse::failPageRead() { setLocked(m_failPageRead, true); }

void SimFeatureReportMouse::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_commandFaults.clear();
    m_replyFaults.clear();
    m_pageFaults.clear();
    m_failPageRead = false;
}

// --- the command machine ----------------------------------------------------------------------------------------

bool SimFeatureReportMouse::onSetFeature(const QByteArray& report)
{
    QList<QByteArray> pagesOut;
    bool failRead = false;
    {
        QMutexLocker lock(&m_mutex);
        if (report.size() < kFeatureReportSize)
            return false;
        if (m_commandFaults.take())
            return false;
        const QByteArray command = report.mid(1, kCommandSize);
        m_commands << command;
        const auto b = [&command](int i) { return quint8(command.at(i)); };
        const quint8 id = quint8(report.at(0));
        // A command ends a data transfer still waiting for pages.
        m_pending = Pending::None;
        m_reply = QByteArray(kCommandSize, '\0');
        m_reply[0] = char(b(0));
        m_reply[1] = char(b(1));
        auto page = [id](const QByteArray& data) {
            QByteArray p(kPageSize, '\0');
            p[0] = char(id);
            p.replace(1, kPageData, data.left(kPageData));
            return p;
        };
        switch (b(0)) {
        case kGetFwVersion:
            m_reply[1] = char(m_firmware >> 8);
            m_reply[2] = char(m_firmware & 0xFF);
            break;
        case kGetReportRate:
            m_reply[1] = char(m_interval);
            break;
        case kSetReportRate:
            m_interval = b(1);
            break;
        case kGetDpiIndex:
            m_reply[3] = char(m_stage);
            break;
        case kSetDpiIndex:
            m_stage = b(2);
            break;
        case kGetDpiList: {
            QByteArray dpi = m_dpiPage;
            dpi[0] = char(id);
            pagesOut << dpi;
            break;
        }
        case kSetDpiList:
            if (b(1) == 1 && b(2) == 7 && b(3) == 0x10) {
                m_pending = Pending::DpiPage;
                m_pendingPage = 0;
            }
            break;
        case kGetLight:
            m_reply[2] = char(m_effect);
            m_reply[3] = char(m_parameter);
            m_reply[4] = char(m_flag);
            break;
        case kSetLight:
            m_effect = b(2);
            m_parameter = b(3);
            m_flag = b(4);
            break;
        case kGetRgb:
            m_reply[2] = char(m_rgb[1]);
            m_reply[3] = char(m_rgb[0]);
            m_reply[4] = char(m_rgb[2]);
            break;
        case kSetRgb:
            m_rgb[1] = b(2);
            m_rgb[0] = b(3);
            m_rgb[2] = b(4);
            break;
        case kGetKeys:
            pagesOut << page(m_slots.left(kPageData)) << page(m_slots.mid(kPageData, kPageData));
            break;
        case kSetKeys:
            if (b(1) == 1 && b(3) == 0x40) {
                m_pending = Pending::Keys;
                m_pendingPage = 0;
            }
            break;
        case kSetMacro:
            if (b(1) == 1 && b(2) >= 1 && b(2) <= kMacroSlots && b(3) == 2) {
                m_pending = Pending::Macro;
                m_pendingPage = 0;
                m_pendingSlot = b(2);
            }
            break;
        default:
            break;
        }
        if (!pagesOut.isEmpty() && m_failPageRead) {
            // The host's first read of these pages fails (armed now, after any reads it did before the command).
            m_failPageRead = false;
            failRead = true;
        }
    }
    if (failRead)
        failOnBus(SimBus::Fault::Read, kVendorCollection);
    for (const QByteArray& p : pagesOut)
        pushInputReport(p);
    return true;
}

bool SimFeatureReportMouse::onGetFeature(quint8 reportId, QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    if (m_replyFaults.take() || report.size() < kFeatureReportSize)
        return false;
    report[0] = char(reportId);
    report.replace(1, kCommandSize, m_reply);
    return true;
}

bool SimFeatureReportMouse::onOutput(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    if (m_pageFaults.take())
        return false;
    m_pages << report.left(kPageSize);
    const QByteArray data = report.mid(1, kPageData);
    switch (m_pending) {
    case Pending::DpiPage:
        m_dpiPage = report.left(kPageSize);
        m_pending = Pending::None;
        break;
    case Pending::Keys:
        m_slots.replace(m_pendingPage * kPageData, kPageData, data);
        if (++m_pendingPage == 2)
            m_pending = Pending::None;
        break;
    case Pending::Macro:
        m_macros[m_pendingSlot - 1].replace(m_pendingPage * kPageData, kPageData, data);
        if (++m_pendingPage == kMacroPages)
            m_pending = Pending::None;
        break;
    case Pending::None:
        break;
    }
    return true;
}
