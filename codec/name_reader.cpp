#include "name_reader.h"

#include <algorithm>
#include <limits>

#include "decode_limits.h"
#include "wire_cursor.h"

namespace dnsbatch {

// A name is a sequence of labels ended by a zero length byte or by a
// pointer to the rest of the name elsewhere in the message:
//
//     +--+--+--+--+--+--+--+--+
//     | 0  0|     LENGTH      |   label: LENGTH bytes follow (1..63)
//     +--+--+--+--+--+--+--+--+
//
//     +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//     | 1  1|                OFFSET                   |   pointer
//     +--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+--+
//
// A length byte with either high bit set (40..FF) is taken as a pointer;
// the prefixes 01 and 10 act exactly like 11.
//
// Every label is appended with a full stop after it, and a pointer appends
// the name at its target followed by a full stop; the result drops the last
// character. Walked as a loop over the chain of pointers this means: every
// label contributes "label.", and only the labels of the last stretch of the
// chain (the one that ends in a 00 byte) lose their final full stop. So a
// pointer to the root after "ab" gives "ab.", and a pointer that reads
// nothing contributes nothing.
//
// The walk stops early, as though the pointer it stands on led to an empty
// name, when a pointer leads back to a target already followed, when it
// would be hop kMaxPointerHops + 1, when the name would yield more label
// bytes than the message holds (only re-reading can do that), or when the
// message's budget runs out (the budget is then marked exhausted).
std::string readName(WireCursor &cursor, DecodeBudget &budget)
{
    const int64_t messageSize = static_cast<int64_t>(cursor.message().size());
    std::string name;
    int64_t position = cursor.position();
    bool inCallerStretch = true;  // still before the first pointer
    bool lastStretchHasLabel = false;
    bool stoppedEarly = false;
    int64_t labelBytes = 0;
    uint16_t followed[kMaxPointerHops];
    int hops = 0;

    for (;;) {
        const uint8_t length = cursor.byteAt(position++);
        if (length == 0)
            break;

        if (length & 0xC0) {
            const uint8_t low = cursor.byteAt(position++);
            if (inCallerStretch) {
                cursor.seek(position);
                inCallerStretch = false;
            }
            lastStretchHasLabel = false;
            const uint16_t target = static_cast<uint16_t>(((length << 8) | low) & 0x3FFF);
            if (budget.pointerHops <= 0) {
                budget.exhausted = true;
                stoppedEarly = true;
                break;
            }
            if (hops == kMaxPointerHops || std::find(followed, followed + hops, target) != followed + hops) {
                stoppedEarly = true;
                break;
            }
            followed[hops++] = target;
            --budget.pointerHops;
            position = target;
            continue;
        }

        std::string_view label = cursor.presentBytes(position, length);
        label = label.substr(0, label.find('\0'));  // text ends at a 00 byte
        labelBytes += static_cast<int64_t>(label.size());
        if (labelBytes > messageSize) {
            stoppedEarly = true;
            break;
        }
        if (budget.outputBytes < static_cast<int64_t>(label.size()) + 1) {
            budget.exhausted = true;
            stoppedEarly = true;
            break;
        }
        budget.outputBytes -= static_cast<int64_t>(label.size()) + 1;
        name += label;
        name += '.';
        lastStretchHasLabel = true;
        position += length;
    }

    if (inCallerStretch)
        cursor.seek(position);
    if (lastStretchHasLabel && !stoppedEarly)
        name.pop_back();
    return name;
}

std::string readName(std::string_view message, int32_t &cursor)
{
    WireCursor wire(message, cursor);
    DecodeBudget budget;
    std::string name = readName(wire, budget);
    cursor = static_cast<int32_t>(std::clamp<int64_t>(wire.position(), std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
    return name;
}

}  // namespace dnsbatch
