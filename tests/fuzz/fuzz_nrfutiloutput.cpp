// What the DFU tool prints, as the Nordic updaters read it: in pieces of any size, ended by the tool's exit.

#include "FuzzSupport.h"

#include "firmware/NordicDfuOutput.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzWorkspace::instance();
    const QByteArray bytes(reinterpret_cast<const char*>(data), int(size));
    // The first byte chooses how the output is cut into reads.
    const int piece = size > 0 ? 1 + data[0] % 64 : 1;
    NordicDfuOutput output;
    int lines = 0;
    for (int offset = 0; offset < bytes.size(); offset += piece)
        lines += output.feed(bytes.mid(offset, piece)).size();
    lines += output.finish().size();
    // Every line holds at least one byte of the output; after the end nothing is kept back.
    FUZZ_CHECK(lines <= bytes.size() + 1);
    FUZZ_CHECK(output.finish().isEmpty());
    return 0;
}
