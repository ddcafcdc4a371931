#include "sim/mouse/twocollection/SimTwoCollectionMouse.h"

#include "sim/bus/SimBus.h"
#include "sim/mouse/twocollection/SimTwoCollectionTables.h"

#include <QMutexLocker>

using namespace SimTwoCollection;

namespace {

constexpr quint16 kUsagePageGenericDesktop = 0x01;
constexpr quint16 kUsageMouse = 0x02;
constexpr int kMouseCollection = 0;
constexpr int kCommandCollection = 1;

const QString kProductName = QStringLiteral("Gaming Mouse");

// Key functions in the program's numbering, as the mouse plays them.
enum Function : int {
    kNone = 0,
    kCloseWindow = 1, kLockComputer = 2, kRun = 3, kShowDesktop = 4, kZoomIn = 7, kZoomOut = 8,
    kLeft = 9, kMiddle = 10, kRight = 11, kForward = 12, kBack = 13,
    kCustom1 = 14, kCustom2 = 15, kCustom3 = 16, kPlayer = 18, kVolumeDown = 23, kVolumeUp = 24, kMute = 25,
    kSniper = 26, kFire = 27, kFind = 28, kMacro = 29, kCtrl = 32, kShift = 33, kAlt = 34, kWin = 35,
    kDpiCycle = 36, kWheelForward = 37, kWheelBack = 38, kDpiUp = 39, kDpiDown = 40, kMacroSwitch = 41,
    kKeyboardKey = 42, kModeSwitch = 43, kSideWheelUp = 45, kSideWheelDown = 46,
    kUnknown = -2,
};
// Modifier masks 2..15 of a keyboard-type code: Ctrl ... Ctrl+Shift+Alt+Win.
constexpr int kModifierFunctions[16] = {-1, -1, kShift, 47, kAlt, 48, 50, 53, kWin, 49, 51, 54, 52, 55, 56, 57};

quint8 at(const QByteArray& b, int i)
{
    return i >= 0 && i < b.size() ? quint8(b.at(i)) : 0;
}

quint32 weightedSum(const QByteArray& image, int first, int end)
{
    quint32 sum = 0;
    for (int i = first; i < end; ++i)
        sum += (i % 2 == 0 ? 3u : 1u) * at(image, i);
    return sum;
}

} // namespace

SimTwoCollectionMouse::SimTwoCollectionMouse(quint16 productId)
    : m_productId(productId)
{
    m_commandCollection.setFeature = [this](const QByteArray& report) { return onCommand(report); };
    m_dataCollection.setFeature = [this](const QByteArray& report) { return onBlock(report); };
    m_dataCollection.getFeature = [this](quint8 reportId, QByteArray& report) {
        return reportId == kDataId && onAnswer(report);
    };
    resetToDefaults();
}

SimTwoCollectionMouse::~SimTwoCollectionMouse()
{
    unplug();
}

bool SimTwoCollectionMouse::isModel(quint16 productId)
{
    return modelOf(productId) != nullptr;
}

// --- on the bus -------------------------------------------------------------------------------------------

SimDevice SimTwoCollectionMouse::interfaceOf(quint16 productId, bool withData)
{
    SimDevice device = describe(productId, 0x0107, kProductName);
    device.collections << SimCollection::make(kUsagePageGenericDesktop, kUsageMouse, 8, 0, 0)
                       << SimCollection::make(kVendorUsagePage, kVendorUsage, 0, 0, kCommandLength, kCommandId);
    if (withData)
        device.collections << SimCollection::make(kVendorUsagePage, kVendorUsage, 0, 0, kDataLength, kDataId);
    return device;
}

bool SimTwoCollectionMouse::plug(SimBus* bus, bool withData)
{
    QList<SimResponder*> responders{nullptr, &m_commandCollection};
    if (withData)
        responders << &m_dataCollection;
    return plugInterfaces(bus, {{interfaceOf(m_productId, withData), responders}});
}

QString SimTwoCollectionMouse::commandPath() const
{
    return collectionPath(kCommandCollection);
}

// --- image --------------------------------------------------------------------------------------------------

QByteArray SimTwoCollectionMouse::factoryImage(quint16 productId, int sign)
{
    const Model* model = modelOf(productId);
    QByteArray image(kImageSize, '\0');
    image[0] = 1;
    image[kProbe13] = char(kFactoryProbe13);
    image[kProbe19] = char(kFactoryProbe19);
    for (int e = 0; e < kKeyEntries; ++e) {
        for (int i = 0; i < 4; ++i) {
            image[kFirstHalfKeys + 4 * e + i] = char(kFirstHalfKeyCodes[e][i]);
            image[kKeyTable + 4 * e + i] = char(kSecondHalfKeyCodes[e][i]);
        }
    }
    image[kReportRateByte] = char(kFactoryReportRate);
    image[kDeviceByte] = char(kFactoryDeviceByte);
    image[kPressFlagByte] = 1;
    image[kPictureCodeByte] = char(kFactoryPictureCode);
    image[kOledIntensityByte] = char(kFactoryOledIntensity);
    image[kMainEffectByte] = char(kFactoryMainEffect);
    image[kMainBrightnessByte] = char(kFactoryBrightness);
    image[kWheelEffectByte] = char(kFactoryWheelEffect);
    image[kWheelBrightnessByte] = char(kFactoryBrightness);
    for (int i = 0; i < 3; ++i) {
        image[kMainColourByte + i] = char(kFactoryMainColour[i]);
        image[kWheelColourByte + i] = char(kFactoryWheelColour[i]);
    }
    image[kMainColourByte + kSpeedAfterColour] = char(9 - kFactorySpeed);
    image[kWheelColourByte + kSpeedAfterColour] = char(9 - kFactorySpeed);
    if (model) {
        for (int s = 0; s < kStages; ++s) {
            const quint16 code = model->factoryCodes[s];
            image[kDpiXLow + s] = image[kDpiYLow + s] = char(code & 0xFF);
            image[kDpiXHigh + s] = image[kDpiYHigh + s] = char(code >> 8);
        }
        for (int k = 0; k < model->keyCount; ++k) {
            for (int i = 0; i < 4; ++i)
                image[model->keys[k].offset + i] = char(model->keys[k].code[i]);
        }
    }
    for (int i = kCarriedBegin; i < kCarriedEnd; ++i)
        image[i] = char(0xA0 + (i - kCarriedBegin));
    for (int i = kCarriedEnd; i < kImageSize; ++i)
        image[i] = char(i & 0x7F);
    seal(image, productId, sign);
    return image;
}

void SimTwoCollectionMouse::seal(QByteArray& image, quint16 productId, int sign)
{
    const Model* model = modelOf(productId);
    const Model& m = model ? *model : kModels[0];
    for (int i = kTuneBegin; i < kTuneEnd; ++i)
        image[i] = 0;
    // Target sum T: its second byte is the model's high byte, its low byte less the probes its low byte.
    const int low = (m.low + at(image, kProbe13) + (m.withProbe19 ? at(image, kProbe19) : 0)) & 0xFF;
    const qint64 target = qint64(m.high) * 256 + low;
    // The filler reaches 100 below the target (sign 0, adjustment added) or 100 above it (sign 1).
    const qint64 goal = sign == 0 ? target - 100 : target + 100;
    qint64 deficit = goal - qint64(weightedSum(image, 1, kFirstHalfEnd));
    for (int i = kTuneBegin; i < kTuneEnd && deficit > 0; ++i) {
        const int weight = i % 2 == 0 ? 3 : 1;
        const qint64 v = qMin<qint64>(255, deficit / weight);
        image[i] = char(v);
        deficit -= v * weight;
    }
    const qint64 sum = qint64(weightedSum(image, 1, kFirstHalfEnd));
    image[kSignByte] = char(sign == 0 ? 0 : 1);
    image[kAdjustByte] = char(sign == 0 ? target - sum : sum - target);
    image[kSignByte + 2] = 0;
    const quint16 second = secondChecksum(image);
    image[kSumLowByte] = char(second & 0xFF);
    image[kSumHighByte] = char(second >> 8);
}

bool SimTwoCollectionMouse::firstHalfPasses(const QByteArray& image, quint16 productId)
{
    const Model* model = modelOf(productId);
    if (!model || image.size() < kCarriedBegin)
        return false;
    qint64 sum = weightedSum(image, 1, kFirstHalfEnd);
    sum = at(image, kSignByte) == 0 ? sum + at(image, kAdjustByte) : sum - at(image, kAdjustByte);
    const qint64 probes = at(image, kProbe13) + (model->withProbe19 ? at(image, kProbe19) : 0);
    return ((sum - probes) & 0xFF) == model->low && ((sum >> 8) & 0xFF) == model->high;
}

quint16 SimTwoCollectionMouse::secondChecksum(const QByteArray& image)
{
    return quint16(weightedSum(image, kFirstHalfEnd, kProfileEnd) & 0xFFFF);
}

bool SimTwoCollectionMouse::secondChecksumHolds(const QByteArray& image)
{
    return secondChecksum(image) == quint16(at(image, kSumLowByte) | at(image, kSumHighByte) << 8);
}

void SimTwoCollectionMouse::resetToDefaults()
{
    QMutexLocker lock(&m_mutex);
    m_image = factoryImage(m_productId);
    m_picture = QByteArray(kBlockSize, '\0');
    m_status = QByteArray(kBusyByte - kStatusFirstByte, '\0');
    m_busy = false;
    m_answer.clear();
    m_macros.clear();
    m_commands.clear();
    m_blocks.clear();
    m_imageWrites = 0;
    m_refused = 0;
}

QByteArray SimTwoCollectionMouse::image() const { return locked(m_image); }
void SimTwoCollectionMouse::setImage(const QByteArray& image) { setLockedMemory(m_image, image, kImageSize); }
quint8 SimTwoCollectionMouse::imageByte(int index) const { return lockedByte(m_image, index); }
void SimTwoCollectionMouse::setImageByte(int index, quint8 value) { setLockedByte(m_image, index, value); }

// --- decoded settings ---------------------------------------------------------------------------------------

int SimTwoCollectionMouse::reportRate() const { return imageByte(kReportRateByte); }

QList<int> SimTwoCollectionMouse::dpiCodes() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> codes;
    for (int s = 0; s < kStages; ++s)
        codes << (at(m_image, kDpiXLow + s) | at(m_image, kDpiXHigh + s) << 8);
    return codes;
}

QList<int> SimTwoCollectionMouse::dpiYCodes() const
{
    QMutexLocker lock(&m_mutex);
    QList<int> codes;
    for (int s = 0; s < kStages; ++s)
        codes << (at(m_image, kDpiYLow + s) | at(m_image, kDpiYHigh + s) << 8);
    return codes;
}

int SimTwoCollectionMouse::effectCode(int zone) const
{
    return imageByte(zone == 0 ? kMainEffectByte : kWheelEffectByte);
}

int SimTwoCollectionMouse::brightness(int zone) const
{
    return imageByte(zone == 0 ? kMainBrightnessByte : kWheelBrightnessByte);
}

int SimTwoCollectionMouse::speedByte(int zone) const
{
    return imageByte((zone == 0 ? kMainColourByte : kWheelColourByte) + kSpeedAfterColour);
}

QList<int> SimTwoCollectionMouse::colour(int zone) const
{
    const int base = zone == 0 ? kMainColourByte : kWheelColourByte;
    return {imageByte(base), imageByte(base + 1), imageByte(base + 2)};
}

SimTwoCollectionMouse::KeyCode SimTwoCollectionMouse::keyAt(int offset, int key) const
{
    QMutexLocker lock(&m_mutex);
    return decodeKey(m_image.mid(offset, 4), key, m_productId);
}

SimTwoCollectionMouse::KeyCode SimTwoCollectionMouse::decodeKey(const QByteArray& bytes, int key,
                                                                quint16 productId)
{
    KeyCode k;
    k.bytes = bytes;
    const quint8 type = at(bytes, 0), p1 = at(bytes, 1), code = at(bytes, 2), p2 = at(bytes, 3);
    const bool orlan = productId == DeviceIds::kOrlan;
    auto is = [&](quint8 t, quint8 a, quint8 c, quint8 d) { return type == t && p1 == a && code == c && p2 == d; };
    int f = kUnknown;
    switch (type) {
    case 0:
        if (p1 == 0 && code == 0 && p2 == 0)
            f = kNone;
        else if (p1 == 0 && key == 8 && code == (orlan ? 0x5C : 33))
            f = kCustom2;
        else if (is(0, 1, 26, 0)) f = kCloseWindow;
        else if (is(0, 8, 15, 0)) f = kLockComputer;
        else if (is(0, 8, 21, 0)) f = kRun;
        else if (is(0, 8, 7, 0)) f = kShowDesktop;
        else if (is(0, 1, 46, 0)) f = kZoomIn;
        else if (is(0, 1, 45, 0)) f = kZoomOut;
        else if (is(0, 1, 9, 0)) f = kFind;
        else if (p2 == 0) {
            // A key with its modifier mask: a plain key, a modifier, or a combination.
            k.mask = p1;
            k.usage = code;
            f = p1 == 0 ? kKeyboardKey : p1 == 1 ? kCtrl : p1 < 16 ? kModifierFunctions[p1] : kUnknown;
        }
        break;
    case 1:
        f = code == 0xF0 ? kLeft : code == 0xF1 ? kRight : code == 0xF2 ? kMiddle : code == 0xF3 ? kBack
            : code == 0xF4 ? kForward : kUnknown;
        break;
    case 3:
        if (code == 131 && p2 == 1) f = kPlayer;
        else if (code == 226) f = kMute;
        else if (code == 233) f = orlan && key == 10 ? kSideWheelDown : kVolumeUp;
        else if (code == 234) f = orlan && key == 9 ? kSideWheelUp : kVolumeDown;
        break;
    case 4:
        f = code == 1 ? kWheelForward : code == 2 ? kWheelBack : kUnknown;
        break;
    case 7:
        f = code == 1 ? kDpiUp : code == 2 ? kDpiDown : code == 3 ? kDpiCycle : code == 4 ? kSniper : kUnknown;
        break;
    case 8:
        if (code == 3)
            f = key == 9 && !orlan ? kCustom3 : kModeSwitch;
        break;
    case 9:
        f = kMacro;
        k.playCode = p1;
        k.macroAddress = p2;
        break;
    case 10:
        if (is(10, 0xF0, 16, 2)) f = kFire;
        break;
    case 16:
        if (code == 3) f = kMacroSwitch;
        break;
    case 17:
        f = key == 7 ? kCustom1 : kLeft;
        break;
    default:
        break;
    }
    k.function = f;
    return k;
}

// --- macros and picture -------------------------------------------------------------------------------------

SimTwoCollectionMouse::MacroRecord SimTwoCollectionMouse::decodeRecord(const QByteArray& block, int address)
{
    MacroRecord r;
    r.address = address;
    r.repeat = at(block, 0) << 8 | at(block, 1);
    int pendingLong = -1;   // hundreds of a long delay waiting for its event
    for (int i = 2; i + 1 < block.size(); i += 2) {
        const quint8 a = at(block, i), b = at(block, i + 1);
        r.items << qMakePair(a, b);
        if (a == 0 && b == 0) {
            r.terminated = true;
            break;
        }
        if (a == 0) {
            if (i + 3 >= block.size()) {
                r.events << Event{Event::Invalid};
                break;
            }
            const quint8 c = at(block, i + 2), d = at(block, i + 3);
            r.items << qMakePair(c, d);
            i += 2;
            if (b == kEscLongDelay) {
                pendingLong = c << 8 | d;
            } else if (b == kEscMove) {
                Event e;
                e.kind = Event::Move;
                e.dx = qint8(c);
                e.dy = -int(qint8(d));
                r.events << e;
            } else if (b == kEscMoveTime && !r.events.isEmpty() && r.events.last().kind == Event::Move) {
                r.events.last().delayMs = c << 8 | d;
            } else {
                r.events << Event{Event::Invalid};
            }
            continue;
        }
        Event e;
        e.up = (a & kUp) != 0;
        e.code = b;
        e.kind = b == kButtonLeft || b == kButtonRight || b == kButtonMiddle ? Event::Button : Event::Key;
        e.delayMs = (a & 0x7F) + (pendingLong >= 0 ? pendingLong * kLongDelayUnit : 0);
        pendingLong = -1;
        r.events << e;
    }
    return r;
}

SimTwoCollectionMouse::MacroRecord SimTwoCollectionMouse::macro(int address) const
{
    return locked(m_macros).value(address);
}

QList<int> SimTwoCollectionMouse::macroAddresses() const
{
    return locked(m_macros).keys();
}

QByteArray SimTwoCollectionMouse::pictureMemory() const { return locked(m_picture); }
void SimTwoCollectionMouse::setPictureMemory(const QByteArray& memory)
{
    setLockedMemory(m_picture, memory, kBlockSize);
}

bool SimTwoCollectionMouse::pixelOf(const QByteArray& block, int x, int y)
{
    if (x < 0 || x >= 128 || y < 0 || y >= 32)
        return false;
    return (at(block, (y / 8) * 128 + x) & (0x80 >> (y % 8))) != 0;
}

bool SimTwoCollectionMouse::pixel(int x, int y) const
{
    return pixelOf(pictureMemory(), x, y);
}

// --- status and log -----------------------------------------------------------------------------------------

void SimTwoCollectionMouse::setStatus(const QByteArray& statusBytes)
{
    QMutexLocker lock(&m_mutex);
    m_status = statusBytes.left(kBusyByte - kStatusFirstByte);
}

void SimTwoCollectionMouse::setBusy(bool busy) { setLocked(m_busy, busy); }
QList<QByteArray> SimTwoCollectionMouse::commands() const { return locked(m_commands).entries(); }
QList<QByteArray> SimTwoCollectionMouse::blocks() const { return locked(m_blocks).entries(); }
int SimTwoCollectionMouse::imageWrites() const { return locked(m_imageWrites); }
int SimTwoCollectionMouse::refusedWrites() const { return locked(m_refused); }

void SimTwoCollectionMouse::clearLog()
{
    QMutexLocker lock(&m_mutex);
    m_commands.clear();
    m_blocks.clear();
    m_imageWrites = 0;
    m_refused = 0;
}

// --- faults -------------------------------------------------------------------------------------------------

void SimTwoCollectionMouse::failTransfer(int n)
{
    QMutexLocker lock(&m_mutex);
    m_transferFaults.arm(n);
}

void SimTwoCollectionMouse::failFrom(int n)
{
    QMutexLocker lock(&m_mutex);
    m_transferFaults.armFrom(n);
}

void SimTwoCollectionMouse::corruptAnswer(quint8 command, int index, quint8 value)
{
    QMutexLocker lock(&m_mutex);
    m_corruptAnswers.insert(command, qMakePair(index, value));
}

void SimTwoCollectionMouse::setPictureReadBackFault(bool on) { setLocked(m_pictureFault, on); }

void SimTwoCollectionMouse::clearFaults()
{
    QMutexLocker lock(&m_mutex);
    m_transferFaults.clear();
    m_corruptAnswers.clear();
    m_pictureFault = false;
}

// --- the firmware -------------------------------------------------------------------------------------------

bool SimTwoCollectionMouse::onCommand(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_commands << report;
    if (m_transferFaults.take() || at(report, 0) != kCommandId)
        return false;
    const quint8 command = at(report, 1), sub = at(report, 2);
    QByteArray answer(kDataLength, '\0');
    answer[0] = char(kDataId);
    answer[1] = char(command);
    switch (command) {
    case kStatusQuery:
        for (int i = 0; i < m_status.size(); ++i)
            answer[kStatusFirstByte + i] = m_status.at(i);
        answer[kBusyByte] = char(m_busy ? 1 : 0);
        break;
    case kReadImage:
        answer[2] = char(sub);
        answer.replace(kHeaderSize, kBlockSize, m_image);
        break;
    case kReadPicture: {
        answer[2] = char(sub);
        QByteArray picture = m_picture;
        if (m_pictureFault)
            picture[kBlockSize / 3] = char(picture.at(kBlockSize / 3) ^ 0x10);
        answer.replace(kHeaderSize, kBlockSize, picture);
        break;
    }
    default:
        answer[2] = char(sub);
        break;
    }
    if (m_corruptAnswers.contains(command)) {
        const QPair<int, quint8> fault = m_corruptAnswers.value(command);
        answer[fault.first] = char(fault.second);
    }
    m_answer = answer;
    return true;
}

bool SimTwoCollectionMouse::onAnswer(QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    if (m_transferFaults.take())
        return false;
    const QByteArray answer = m_answer.isEmpty() ? QByteArray(kDataLength, '\0') : m_answer;
    for (int i = 0; i < report.size() && i < answer.size(); ++i)
        report[i] = answer.at(i);
    if (m_answer.isEmpty())
        report[0] = char(kDataId);
    return true;
}

bool SimTwoCollectionMouse::onBlock(const QByteArray& report)
{
    QMutexLocker lock(&m_mutex);
    m_blocks << report;
    if (m_transferFaults.take() || at(report, 0) != kDataId)
        return false;
    const quint8 command = at(report, 1), address = at(report, 2);
    const int length = at(report, 3) | at(report, 4) << 8;
    if (length <= 0 || length > kBlockSize)
        return false;
    const QByteArray data = report.mid(kHeaderSize, length);
    switch (command) {
    case kWriteImage: {
        if (length != kImageWriteLength)
            return false;
        QByteArray next = m_image;
        next.replace(0, length, data);
        const Model* model = modelOf(m_productId);
        if (model && model->checksummed && (!firstHalfPasses(next, m_productId) || !secondChecksumHolds(next))) {
            ++m_refused;
            return false;
        }
        m_image = next;
        ++m_imageWrites;
        return true;
    }
    case kWriteMacro: {
        MacroRecord record = decodeRecord(data, address);
        record.declaredLength = length;
        m_macros.insert(address, record);
        return true;
    }
    case kWritePicture:
        if (address != kPictureSub)
            return false;
        m_picture = data;
        m_picture.append(QByteArray(kBlockSize - m_picture.size(), '\0'));
        return true;
    default:
        return false;
    }
}
