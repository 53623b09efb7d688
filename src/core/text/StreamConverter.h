#pragma once
// A converter run over a stream, block by block, in constant memory. A block
// may end in the middle of what the converter reads as one unit: a UTF-8
// sequence, an escape (ESC "U" hhhh SUB) of the system's own texts, or
// MARC-8 combining marks waiting for their letter. That tail is held back
// and read with the next block, so the output is exactly what converting
// the whole input at once would give.

#include "text/converter.h"

#include <string>
#include <string_view>

namespace velt {

enum class StreamInput { Cp1250, Utf8, Marc8 };

class StreamConverter {
public:
    // c reads texts of the kind input; both must outlive the converter.
    StreamConverter(const converter& c, StreamInput input) : mConverter(c), mInput(input) {}

    // The conversion of what the block completes.
    std::string Feed(std::string_view block);
    // The conversion of what is still held, at the end of the input.
    std::string Finish();

    // How many bytes at the end of text may belong to a unit that the next
    // block completes.
    static std::size_t IncompleteTail(std::string_view text, StreamInput input);

private:
    const converter& mConverter;
    StreamInput mInput;
    std::string mHeld;
};

}  // namespace velt
