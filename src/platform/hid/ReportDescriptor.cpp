#include "platform/hid/ReportDescriptor.h"

#include <QMap>
#include <QVector>

#include <limits>

namespace KHID {
namespace {

// Item prefix: bits 0-1 data size code (3 means 4 bytes), bits 2-3 type, bits 4-7 tag.
constexpr quint8 kLongItemPrefix = 0xFE;

enum ItemType : quint8 { kTypeMain = 0, kTypeGlobal = 1, kTypeLocal = 2, kTypeReserved = 3 };

enum MainTag : quint8 {
    kMainInput = 0x8,
    kMainOutput = 0x9,
    kMainCollection = 0xA,
    kMainFeature = 0xB,
    kMainEndCollection = 0xC,
};

enum GlobalTag : quint8 {
    kGlobalUsagePage = 0x0,
    kGlobalLogicalMin = 0x1,
    kGlobalLogicalMax = 0x2,
    kGlobalReportSize = 0x7,
    kGlobalReportId = 0x8,
    kGlobalReportCount = 0x9,
    kGlobalPush = 0xA,
    kGlobalPop = 0xB,
};

enum LocalTag : quint8 { kLocalUsage = 0x0, kLocalUsageMin = 0x1, kLocalUsageMax = 0x2 };

// Data bits of Input, Output and Feature items.
constexpr quint32 kMainConstant = 0x01;
constexpr quint32 kMainVariable = 0x02;

enum ReportKind { kInput, kOutput, kFeature, kKindCount };

struct GlobalState {
    quint16 usagePage = 0;
    qint32 logicalMin = 0;
    qint32 logicalMax = 0;
    quint32 reportSize = 0;
    quint32 reportCount = 0;
    quint8 reportId = 0;
};

// Usages are kept as 32-bit extended usages (page in the high half).
struct LocalState {
    QVector<quint32> usages;
    QVector<bool> extended;  // per usage: written with its own page
    quint32 usageMin = 0;
    quint32 usageMax = 0;
    bool hasMin = false;
    bool hasMax = false;
    bool minExtended = false;
    bool maxExtended = false;
    // A Usage Page came after some of these usages; the page in force at the main item is theirs.
    bool pageAfterUsage = false;

    void clear() { *this = LocalState(); }
    bool hasRange() const { return hasMin && hasMax; }
    quint32 first() const { return hasRange() ? usageMin : (usages.isEmpty() ? 0 : usages.first()); }
    quint32 last() const { return hasRange() ? usageMax : (usages.isEmpty() ? 0 : usages.last()); }
    quint32 count() const
    {
        if (hasRange())
            return usageMax >= usageMin ? usageMax - usageMin + 1 : 0;
        return static_cast<quint32>(usages.size());
    }
};

struct CollectionBuilder {
    HidTopLevelCollection tlc;
    QMap<quint8, quint32> bits[kKindCount];  // report id -> bits of that report
};

quint16 toU16(quint32 value)
{
    return static_cast<quint16>(qMin<quint32>(value, std::numeric_limits<quint16>::max()));
}

quint16 byteLength(const QMap<quint8, quint32>& reports)
{
    quint32 largest = 0;
    for (quint32 bits : reports)
        largest = qMax(largest, bits);
    // Every report is read and written with its id byte in front, also when the device numbers none.
    return largest ? toU16((largest + 7) / 8 + 1) : 0;
}

class Parser
{
public:
    explicit Parser(const QByteArray& data)
        : m_data(reinterpret_cast<const quint8*>(data.constData()))
        , m_size(data.size())
    {
    }

    bool run();

    QString error;
    bool usesReportIds = false;
    QList<HidTopLevelCollection> collections;

private:
    bool fail(const QString& why)
    {
        error = why;
        return false;
    }
    bool mainItem(quint8 tag, quint32 value);
    bool globalItem(quint8 tag, quint32 value, qint32 signedValue);
    bool localItem(quint8 tag, quint32 value, int size);
    bool reportItem(ReportKind kind, quint32 flags);
    quint32 extendedUsage(quint32 value, int size) const
    {
        return size == 4 ? value : (quint32(m_global.usagePage) << 16) | (value & 0xFFFF);
    }
    void applyLateUsagePage();

    const quint8* m_data;
    int m_size;
    GlobalState m_global;
    QVector<GlobalState> m_globalStack;
    LocalState m_local;
    int m_depth = 0;
    CollectionBuilder m_current;
};

bool Parser::run()
{
    if (m_size == 0)
        return fail(QStringLiteral("empty descriptor"));
    if (m_size > ReportDescriptor::kMaxDescriptorBytes)
        return fail(QStringLiteral("descriptor of %1 bytes is too large").arg(m_size));

    int pos = 0;
    while (pos < m_size) {
        const quint8 prefix = m_data[pos];
        if (prefix == kLongItemPrefix) {
            // Long items carry nothing we use; only their length matters.
            if (pos + 3 > m_size)
                return fail(QStringLiteral("truncated long item at %1").arg(pos));
            pos += 3 + m_data[pos + 1];
            if (pos > m_size)
                return fail(QStringLiteral("truncated long item"));
            continue;
        }
        const int sizeCode = prefix & 0x3;
        const int size = sizeCode == 3 ? 4 : sizeCode;
        const quint8 type = (prefix >> 2) & 0x3;
        const quint8 tag = prefix >> 4;
        if (pos + 1 + size > m_size)
            return fail(QStringLiteral("truncated item at %1").arg(pos));

        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value |= quint32(m_data[pos + 1 + i]) << (8 * i);
        qint32 signedValue = static_cast<qint32>(value);
        if (size == 1)
            signedValue = static_cast<qint8>(value);
        else if (size == 2)
            signedValue = static_cast<qint16>(value);
        pos += 1 + size;

        bool ok = true;
        switch (type) {
        case kTypeMain:
            ok = mainItem(tag, value);
            break;
        case kTypeGlobal:
            ok = globalItem(tag, value, signedValue);
            break;
        case kTypeLocal:
            ok = localItem(tag, value, size);
            break;
        default:
            ok = fail(QStringLiteral("reserved item type at %1").arg(pos - 1 - size));
            break;
        }
        if (!ok)
            return false;
    }
    if (m_depth != 0)
        return fail(QStringLiteral("collection not closed"));
    if (collections.isEmpty())
        return fail(QStringLiteral("no top-level collection"));
    return true;
}

// Some devices declare the Usage Page after the usages it qualifies ("Usage 1, Usage Page 0xFF00,
// Collection"). A short usage takes the page in force when its main item comes, so the usages declared
// before the latest Usage Page are completed again, newest first, up to one that already has that page.
void Parser::applyLateUsagePage()
{
    if (!m_local.pageAfterUsage)
        return;
    const quint32 page = quint32(m_global.usagePage) << 16;
    const auto complete = [page](quint32 usage) { return page | (usage & 0xFFFF); };
    for (int i = m_local.usages.size() - 1; i >= 0; --i) {
        if (m_local.extended.at(i))
            continue;
        if ((m_local.usages.at(i) & 0xFFFF0000) == page)
            break;
        m_local.usages[i] = complete(m_local.usages.at(i));
    }
    if (m_local.hasMin && !m_local.minExtended)
        m_local.usageMin = complete(m_local.usageMin);
    if (m_local.hasMax && !m_local.maxExtended)
        m_local.usageMax = complete(m_local.usageMax);
    m_local.pageAfterUsage = false;
}

bool Parser::mainItem(quint8 tag, quint32 value)
{
    bool ok = true;
    applyLateUsagePage();
    switch (tag) {
    case kMainCollection:
        if (m_depth >= ReportDescriptor::kMaxCollectionDepth)
            return fail(QStringLiteral("collections nested too deep"));
        if (m_depth == 0) {
            if (collections.size() >= ReportDescriptor::kMaxTopLevelCollections)
                return fail(QStringLiteral("too many top-level collections"));
            m_current = CollectionBuilder();
            const quint32 usage = m_local.count() ? m_local.first() : (quint32(m_global.usagePage) << 16);
            m_current.tlc.caps.usagePage = static_cast<quint16>(usage >> 16);
            m_current.tlc.caps.usage = static_cast<quint16>(usage & 0xFFFF);
        }
        m_current.tlc.caps.numberLinkCollectionNodes++;
        ++m_depth;
        break;
    case kMainEndCollection:
        if (m_depth == 0)
            return fail(QStringLiteral("end of a collection that was not opened"));
        if (--m_depth == 0) {
            HidCaps& caps = m_current.tlc.caps;
            caps.inputReportByteLength = byteLength(m_current.bits[kInput]);
            caps.outputReportByteLength = byteLength(m_current.bits[kOutput]);
            caps.featureReportByteLength = byteLength(m_current.bits[kFeature]);
            for (auto it = m_current.bits[kInput].cbegin(); it != m_current.bits[kInput].cend(); ++it) {
                if (it.value() > 0)
                    m_current.tlc.inputReportIds.append(it.key());
            }
            collections.append(m_current.tlc);
        }
        break;
    case kMainInput:
        ok = reportItem(kInput, value);
        break;
    case kMainOutput:
        ok = reportItem(kOutput, value);
        break;
    case kMainFeature:
        ok = reportItem(kFeature, value);
        break;
    default:
        break;  // unknown main items are skipped, as the kernel does
    }
    m_local.clear();
    return ok;
}

bool Parser::reportItem(ReportKind kind, quint32 flags)
{
    // Fields outside every collection belong to no interface.
    if (m_depth == 0)
        return true;

    const quint32 bits = m_global.reportSize * m_global.reportCount;  // both bounded, cannot overflow
    quint32& total = m_current.bits[kind][m_global.reportId];
    if (total + bits > ReportDescriptor::kMaxReportBytes * 8)
        return fail(QStringLiteral("report %1 is too large").arg(m_global.reportId));
    total += bits;

    if (flags & kMainConstant)
        return true;  // padding: counts toward the length, is no capability

    HidCaps& caps = m_current.tlc.caps;
    const bool isValue = (flags & kMainVariable) && m_global.reportSize > 1;
    const quint16 dataIndices = toU16((flags & kMainVariable) ? m_global.reportCount : m_local.count());
    quint16* buttonCaps[] = {&caps.numberInputButtonCaps, &caps.numberOutputButtonCaps,
                             &caps.numberFeatureButtonCaps};
    quint16* valueCaps[] = {&caps.numberInputValueCaps, &caps.numberOutputValueCaps,
                            &caps.numberFeatureValueCaps};
    quint16* indices[] = {&caps.numberInputDataIndices, &caps.numberOutputDataIndices,
                          &caps.numberFeatureDataIndices};
    *indices[kind] = toU16(quint32(*indices[kind]) + dataIndices);
    if (!isValue) {
        *buttonCaps[kind] = toU16(quint32(*buttonCaps[kind]) + 1);
        return true;
    }
    *valueCaps[kind] = toU16(quint32(*valueCaps[kind]) + 1);

    if (kind == kFeature) {
        HidValueCaps cap;
        const quint32 first = m_local.count() ? m_local.first() : (quint32(m_global.usagePage) << 16);
        cap.usagePage = static_cast<quint16>(first >> 16);
        cap.reportId = m_global.reportId;
        cap.bitSize = toU16(m_global.reportSize);
        cap.reportCount = toU16(m_global.reportCount);
        cap.usageMin = static_cast<quint16>(first & 0xFFFF);
        cap.usageMax = static_cast<quint16>((m_local.count() ? m_local.last() : first) & 0xFFFF);
        cap.logicalMin = m_global.logicalMin;
        cap.logicalMax = m_global.logicalMax;
        m_current.tlc.featureValueCaps.append(cap);
    }
    return true;
}

bool Parser::globalItem(quint8 tag, quint32 value, qint32 signedValue)
{
    switch (tag) {
    case kGlobalUsagePage:
        m_global.usagePage = static_cast<quint16>(value);
        if (!m_local.usages.isEmpty() || m_local.hasMin || m_local.hasMax)
            m_local.pageAfterUsage = true;
        break;
    case kGlobalLogicalMin:
        m_global.logicalMin = signedValue;
        break;
    case kGlobalLogicalMax:
        // With a non-negative minimum the maximum is unsigned (0x00..0xFF is written as one byte 0xFF).
        m_global.logicalMax = m_global.logicalMin < 0
                                  ? signedValue
                                  : static_cast<qint32>(qMin<quint32>(value, std::numeric_limits<qint32>::max()));
        break;
    case kGlobalReportSize:
        if (value > ReportDescriptor::kMaxReportSizeBits)
            return fail(QStringLiteral("report size %1 out of range").arg(value));
        m_global.reportSize = value;
        break;
    case kGlobalReportCount:
        if (value > ReportDescriptor::kMaxReportCount)
            return fail(QStringLiteral("report count %1 out of range").arg(value));
        m_global.reportCount = value;
        break;
    case kGlobalReportId:
        if (value == 0 || value > 0xFF)
            return fail(QStringLiteral("report id %1 out of range").arg(value));
        m_global.reportId = static_cast<quint8>(value);
        usesReportIds = true;
        break;
    case kGlobalPush:
        if (m_globalStack.size() >= ReportDescriptor::kMaxGlobalStackDepth)
            return fail(QStringLiteral("global item stack overflow"));
        m_globalStack.append(m_global);
        break;
    case kGlobalPop:
        if (m_globalStack.isEmpty())
            return fail(QStringLiteral("pop of an empty global item stack"));
        m_global = m_globalStack.takeLast();
        break;
    default:
        break;  // physical range, units: not needed here
    }
    return true;
}

bool Parser::localItem(quint8 tag, quint32 value, int size)
{
    switch (tag) {
    case kLocalUsage:
        if (m_local.usages.size() >= ReportDescriptor::kMaxUsagesPerItem)
            return fail(QStringLiteral("too many usages"));
        m_local.usages.append(extendedUsage(value, size));
        m_local.extended.append(size == 4);
        break;
    case kLocalUsageMin:
        m_local.usageMin = extendedUsage(value, size);
        m_local.hasMin = true;
        m_local.minExtended = size == 4;
        break;
    case kLocalUsageMax:
        m_local.usageMax = extendedUsage(value, size);
        m_local.hasMax = true;
        m_local.maxExtended = size == 4;
        break;
    default:
        break;  // designators, strings, delimiters
    }
    return true;
}

} // namespace

ReportDescriptor ReportDescriptor::parse(const QByteArray& descriptor)
{
    ReportDescriptor result;
    Parser parser(descriptor);
    if (!parser.run()) {
        result.m_error = parser.error;
        return result;
    }
    result.m_valid = true;
    result.m_usesReportIds = parser.usesReportIds;
    result.m_collections = parser.collections;
    return result;
}

} // namespace KHID
