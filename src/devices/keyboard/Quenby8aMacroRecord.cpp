#include "devices/keyboard/Quenby8aMacroRecord.h"

#include "devices/MacroRecordEncoder.h"

namespace {

// Delays shorter than 25 ms are stored as 25; a delay replaces the one before it.
constexpr MacroRecordEncoder::Format kFormat = {Quenby8aMacroRecord::kRecordSize, Quenby8aMacroRecord::kMinDelayMs,
                                                Quenby8aMacroRecord::kMinDelayMs, false};
// The RGB model packs the high bits of a move its own way.
constexpr MacroRecordEncoder::Format kFullSizeFormat = {Quenby8aMacroRecord::kRecordSize,
                                                        Quenby8aMacroRecord::kMinDelayMs,
                                                        Quenby8aMacroRecord::kMinDelayMs, false,
                                                        &Quenby8a::Rgb::moveHighBits};
static_assert(Quenby8aMacroRecord::kHeaderSize == MacroRecordEncoder::kHeaderSize, "the shared record header");

} // namespace

quint8 Quenby8aMacroRecord::mouseButtonCode(int button)
{
    return MacroRecordEncoder::mouseButtonCode(button);
}

int Quenby8aMacroRecord::encodedSize(const QVector<KMacroItem>& list)
{
    return MacroRecordEncoder::encodedSize(list);
}

QByteArray Quenby8aMacroRecord::encode(bool ignoreDelay, int playType, const QVector<KMacroItem>& list, int repeat,
                                       Quenby8aKeyCodec::Model model)
{
    return MacroRecordEncoder::encode(model == Quenby8aKeyCodec::FullSize ? kFullSizeFormat : kFormat, ignoreDelay,
                                      playType, list, repeat);
}
