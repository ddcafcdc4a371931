#include "devices/mouse/register/FarrantNordicMacroRecord.h"

#include "devices/MacroRecordEncoder.h"

namespace {

// Any delay is stored as given; delays in a row add up.
constexpr MacroRecordEncoder::Format kFormat = {FarrantNordicMacroRecord::kRecordSize, 0,
                                                FarrantNordicMacroRecord::kIgnoredDelayMs, true};
static_assert(FarrantNordicMacroRecord::kHeaderSize == MacroRecordEncoder::kHeaderSize
                  && FarrantNordicMacroRecord::kMaxDelayMs == MacroRecordEncoder::kMaxDelayMs
                  && FarrantNordicMacroRecord::kMaxRepeat == MacroRecordEncoder::kMaxRepeat,
              "the shared record layout");

} // namespace

int FarrantNordicMacroRecord::encodedSize(const QVector<KMacroItem>& list)
{
    return MacroRecordEncoder::encodedSize(list);
}

QByteArray FarrantNordicMacroRecord::encode(bool ignoreDelay, int playType, const QVector<KMacroItem>& list,
                                            int repeat)
{
    return MacroRecordEncoder::encode(kFormat, ignoreDelay, playType, list, repeat);
}
