#include "model/Utf8Cut.h"

namespace {

// A continuation byte is 10xxxxxx.
constexpr unsigned char kContinuationMask = 0xC0;
constexpr unsigned char kContinuationBits = 0x80;
// Sequence lengths; the lead byte of the longest stands at most three bytes before the cut.
constexpr std::size_t kTwoByteSequence = 2;
constexpr std::size_t kThreeByteSequence = 3;
constexpr std::size_t kLongestSequence = 4;
// Lead bytes of two-, three- and four-byte sequences. 0xC0, 0xC1 and 0xF5 on would only start
// overlong forms or code points beyond Unicode.
constexpr unsigned char kFirstTwoByteLead = 0xC2;
constexpr unsigned char kFirstThreeByteLead = 0xE0;
constexpr unsigned char kFirstFourByteLead = 0xF0;
constexpr unsigned char kLastFourByteLead = 0xF4;
// The second byte of a few lead bytes has a narrower range, which rules out overlong forms,
// surrogates and code points beyond U+10FFFF.
constexpr unsigned char kOverlongThreeByteLead = 0xE0;
constexpr unsigned char kSurrogateLead = 0xED;
constexpr unsigned char kOverlongFourByteLead = 0xF0;
constexpr unsigned char kLowestContinuation = 0x80;
constexpr unsigned char kHighestContinuation = 0xBF;
constexpr unsigned char kLowestAfterOverlongThree = 0xA0;
constexpr unsigned char kHighestAfterSurrogateLead = 0x9F;
constexpr unsigned char kLowestAfterOverlongFour = 0x90;
constexpr unsigned char kHighestAfterLastFourByteLead = 0x8F;

unsigned char byteAt(std::string_view text, std::size_t index) {
    return static_cast<unsigned char>(text[index]);
}

} // namespace

std::size_t Utf8Cut::Length(std::string_view text, std::size_t limit) {
    if (text.size() <= limit) {
        return text.size();
    }
    // The cut splits something only when the first byte cut away continues a sequence.
    if (!IsContinuation(byteAt(text, limit))) {
        return limit;
    }
    const std::size_t earliest = limit >= kLongestSequence - 1 ? limit - (kLongestSequence - 1) : 0;
    std::size_t start = limit;
    while (start > earliest) {
        --start;
        if (!IsContinuation(byteAt(text, start))) {
            const std::size_t length = SequenceLength(text, start);
            return length > 0 && start + length > limit ? start : limit;
        }
    }
    return limit;
}

std::string_view Utf8Cut::Prefix(std::string_view text, std::size_t limit) {
    return text.substr(0, Length(text, limit));
}

std::size_t Utf8Cut::SequenceLength(std::string_view text, std::size_t start) {
    const unsigned char lead = byteAt(text, start);
    std::size_t length = 0;
    unsigned char lowest = kLowestContinuation;
    unsigned char highest = kHighestContinuation;
    if (lead >= kFirstTwoByteLead && lead < kFirstThreeByteLead) {
        length = kTwoByteSequence;
    } else if (lead >= kFirstThreeByteLead && lead < kFirstFourByteLead) {
        length = kThreeByteSequence;
        if (lead == kOverlongThreeByteLead) {
            lowest = kLowestAfterOverlongThree;
        } else if (lead == kSurrogateLead) {
            highest = kHighestAfterSurrogateLead;
        }
    } else if (lead >= kFirstFourByteLead && lead <= kLastFourByteLead) {
        length = kLongestSequence;
        if (lead == kOverlongFourByteLead) {
            lowest = kLowestAfterOverlongFour;
        } else if (lead == kLastFourByteLead) {
            highest = kHighestAfterLastFourByteLead;
        }
    } else {
        return 0;
    }
    if (start + length > text.size()) {
        return 0;
    }
    // The byte right after the lead has the narrower range; the others are any continuation.
    for (std::size_t index = start + 1; index < start + length; ++index) {
        const unsigned char byte = byteAt(text, index);
        if (byte < lowest || byte > highest) {
            return 0;
        }
        lowest = kLowestContinuation;
        highest = kHighestContinuation;
    }
    return length;
}

bool Utf8Cut::IsContinuation(unsigned char byte) {
    return (byte & kContinuationMask) == kContinuationBits;
}
