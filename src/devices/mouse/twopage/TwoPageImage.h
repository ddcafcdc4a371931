#pragma once

// The 128-byte configuration image of the two-page mice and the DPI code tables they share with other mouse
// families: the whole configuration (DPI stages, report rate, light, colour, buttons) lives in one image that
// travels as two 64-byte pages, page 1 = image bytes 0-63, page 2 = bytes 64-127, each with the report id in
// its first byte. Bytes no setting names are kept as read and written back unchanged.
//
// A DPI value travels as a one-byte code. Two tables map the values 200..6200 (steps of 100) to codes; the
// extended models add 6400..12400 (steps of 200) with the same codes in both tables. Which table a device uses
// is learnt from what it reports (DpiCodeTables).

#include <QMap>
#include <QtGlobal>

#include <cstddef>
#include <utility>

namespace TwoPage {

constexpr int kPageSize = 64;
constexpr int kPageCount = 2;
constexpr int kImageSize = kPageSize * kPageCount;
constexpr int kDpiStages = 7;
constexpr int kKeyEntries = 10;
constexpr int kKeyCodeSize = 4;

// Page 1, image bytes 0-63.
struct Page1 {
    quint8 reportId;          // 0: as received (requests go out with report id 4)
    quint8 reserved1[2];      // 1-2
    quint8 direction;         // 3: set to kDirectionWrite before every write
    quint8 reserved4[3];      // 4-6
    quint8 dpiStage;          // 7: current stage, 0-based
    quint8 dpiEnableMask;     // 8: 0x7F >> number of disabled stages
    quint8 stages[kDpiStages][3]; // 9-29: stage n's code in its middle byte (10 + 3n)
    quint8 reserved30[3];     // 30-32
    quint8 reportRate;        // 33: 0..3
    quint8 reserved34[3];     // 34-36
    quint8 lightMode;         // 37
    quint8 lightSpeed;        // 38
    quint8 lightBrightness;   // 39
    quint8 writeFlag;         // 40: 1 becomes 2 on write (the locked variant clears it)
    quint8 lightAttribute;    // 41: by light mode
    quint8 colour[3];         // 42-44: red, green, blue
    quint8 reserved45[19];    // 45-63
};

// Page 2, image bytes 64-127.
struct Page2 {
    quint8 reportId;          // 64
    quint8 reserved65[2];     // 65-66
    quint8 direction;         // 67: set to kDirectionWrite before every write
    quint8 reserved68[3];     // 68-70
    quint8 keys[kKeyEntries][kKeyCodeSize + 1]; // 71-120: a 4-byte key code and one byte cleared with it
    quint8 reserved121[7];    // 121-127
};

struct Image {
    Page1 page1;
    Page2 page2;
};

static_assert(sizeof(Page1) == kPageSize && sizeof(Page2) == kPageSize && sizeof(Image) == kImageSize,
              "the image is two 64-byte pages");

constexpr int kReportIdByte = int(offsetof(Image, page1.reportId));
constexpr int kDirection1Byte = int(offsetof(Image, page1.direction));
constexpr int kDpiStageByte = int(offsetof(Image, page1.dpiStage));
constexpr int kDpiEnableMaskByte = int(offsetof(Image, page1.dpiEnableMask));
constexpr int kDpiCodeByte = int(offsetof(Image, page1.stages)) + 1;
constexpr int kDpiCodeStride = 3;
constexpr int kReportRateByte = int(offsetof(Image, page1.reportRate));
constexpr int kLightModeByte = int(offsetof(Image, page1.lightMode));
constexpr int kLightSpeedByte = int(offsetof(Image, page1.lightSpeed));
constexpr int kLightBrightnessByte = int(offsetof(Image, page1.lightBrightness));
constexpr int kWriteFlagByte = int(offsetof(Image, page1.writeFlag));
constexpr int kLightAttributeByte = int(offsetof(Image, page1.lightAttribute));
constexpr int kColourByte = int(offsetof(Image, page1.colour));
constexpr int kPage2ReportIdByte = int(offsetof(Image, page2.reportId));
constexpr int kDirection2Byte = int(offsetof(Image, page2.direction));
constexpr int kKeyEntryByte = int(offsetof(Image, page2.keys));
constexpr int kKeyEntrySize = kKeyCodeSize + 1;

static_assert(kDirection1Byte == 3 && kDpiStageByte == 7 && kDpiEnableMaskByte == 8 && kDpiCodeByte == 10
                  && kReportRateByte == 33 && kLightModeByte == 37 && kLightSpeedByte == 38
                  && kLightBrightnessByte == 39 && kWriteFlagByte == 40 && kLightAttributeByte == 41
                  && kColourByte == 42,
              "page 1 layout");
static_assert(kPage2ReportIdByte == 64 && kDirection2Byte == 67 && kKeyEntryByte == 71, "page 2 layout");

constexpr quint8 kDirectionWrite = 2;
constexpr quint8 kWriteFlagRead = 1;
constexpr quint8 kWriteFlagWrite = 2;
constexpr quint8 kAllStagesMask = 0x7F;

constexpr int dpiCodeByte(int stage) { return kDpiCodeByte + kDpiCodeStride * stage; }
constexpr int keyEntryByte(int entry) { return kKeyEntryByte + kKeyEntrySize * entry; }
static_assert(dpiCodeByte(kDpiStages - 1) == 28 && keyEntryByte(kKeyEntries - 1) == 116,
              "the last stage code and key entry");

// The stage enable mask with `disabled` stages switched off (they sit after the enabled ones).
constexpr quint8 enableMask(int disabled)
{
    return disabled <= 0 ? kAllStagesMask : disabled >= kDpiStages ? 0 : quint8(kAllStagesMask >> disabled);
}

// --- DPI code tables ------------------------------------------------------------------------------------------
constexpr int kDpiMin = 200;
constexpr int kDpiStep = 100;
constexpr int kDpiTableSize = 61;   // 200 .. 6200
constexpr int kDpiMax = kDpiMin + kDpiStep * (kDpiTableSize - 1);
constexpr int kDpiExtendedMin = 6400;
constexpr int kDpiExtendedStep = 200;
constexpr int kDpiExtendedSize = 31; // 6400 .. 12400
constexpr int kDpiExtendedMax = kDpiExtendedMin + kDpiExtendedStep * (kDpiExtendedSize - 1);

constexpr quint8 kDpiTableA[kDpiTableSize] = {
    4,   6,   9,   11,  14,  16,  18,  21,  23,  25,  27,  29,  32,  34,  36,  39,  41,  43,  46,  48,  50,
    52,  55,  57,  59,  62,  64,  66,  69,  72,  74,  77,  78,  81,  84,  85,  88,  91,  93,  95,  98,  100,
    102, 105, 107, 109, 112, 114, 116, 119, 121, 123, 126, 128, 130, 133, 135, 137, 140, 142, 145,
};
constexpr quint8 kDpiTableB[kDpiTableSize] = {
    4,   6,   8,   11,  13,  15,  18,  20,  22,  25,  27,  29,  32,  34,  36,  39,  41,  43,  45,  48,  50,
    52,  55,  56,  59,  62,  64,  66,  67,  71,  73,  76,  78,  80,  83,  85,  87,  90,  92,  94,  97,  99,
    101, 104, 106, 108, 111, 113, 115, 119, 121, 123, 126, 128, 130, 133, 135, 137, 140, 142, 145,
};
constexpr quint8 kDpiExtendedCodes[kDpiExtendedSize] = {
    148, 151, 152, 155, 158, 159, 162, 165, 167, 169, 172, 174, 176, 179, 181, 183,
    186, 188, 190, 193, 195, 197, 200, 202, 204, 206, 209, 211, 214, 216, 219,
};

constexpr int dpiTableValue(int index) { return kDpiMin + kDpiStep * index; }
constexpr int dpiExtendedValue(int index) { return kDpiExtendedMin + kDpiExtendedStep * index; }

namespace detail {
constexpr bool rising(const quint8* codes, int n)
{
    for (int i = 1; i < n; ++i) {
        if (codes[i] <= codes[i - 1])
            return false;
    }
    return true;
}
} // namespace detail
static_assert(detail::rising(kDpiTableA, kDpiTableSize) && detail::rising(kDpiTableB, kDpiTableSize)
                  && detail::rising(kDpiExtendedCodes, kDpiExtendedSize)
                  && kDpiExtendedCodes[0] > kDpiTableA[kDpiTableSize - 1],
              "codes rise with the DPI value, so each code names one value per table");

// The two tables as maps (DPI value -> code), the form in which a device keeps and may change them.
using DpiTable = QMap<int, quint8>;

inline DpiTable dpiTable(const quint8 (&codes)[kDpiTableSize], bool extended)
{
    DpiTable table;
    for (int i = 0; i < kDpiTableSize; ++i)
        table.insert(dpiTableValue(i), codes[i]);
    if (extended) {
        for (int i = 0; i < kDpiExtendedSize; ++i)
            table.insert(dpiExtendedValue(i), kDpiExtendedCodes[i]);
    }
    return table;
}

// Conversions between DPI values and codes over table A and table B. Table A is asked first until a
// conversion needs table B; from then on only table B is asked (the device has shown it uses that table).
//
// Threads: not locked; the owning device converts under its own operation lock.
class DpiCodeTables
{
public:
    DpiCodeTables() = default;
    DpiCodeTables(DpiTable a, DpiTable b) : m_a(std::move(a)), m_b(std::move(b)) {}

    void setTableA(DpiTable a) { m_a = std::move(a); }
    void setTableB(DpiTable b) { m_b = std::move(b); }
    const DpiTable& tableA() const { return m_a; }
    const DpiTable& tableB() const { return m_b; }
    bool usesTableA() const { return m_firstTable; }

    // The DPI value of a code; -1 when neither table has it.
    int codeToValue(quint8 code)
    {
        if (m_firstTable) {
            for (auto it = m_a.cbegin(); it != m_a.cend(); ++it) {
                if (it.value() == code)
                    return it.key();
            }
        }
        for (auto it = m_b.cbegin(); it != m_b.cend(); ++it) {
            if (it.value() == code) {
                m_firstTable = false;
                return it.key();
            }
        }
        return -1;
    }

    // The code of a DPI value; 0 when neither table has it.
    quint8 valueToCode(int value)
    {
        if (m_firstTable && m_a.contains(value))
            return m_a.value(value);
        if (m_b.contains(value)) {
            m_firstTable = false;
            return m_b.value(value);
        }
        return 0;
    }

    // Whether a value has a code, without switching tables.
    bool hasValue(int value) const { return (m_firstTable && m_a.contains(value)) || m_b.contains(value); }

private:
    DpiTable m_a;
    DpiTable m_b;
    bool m_firstTable = true;
};

} // namespace TwoPage
