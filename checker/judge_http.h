// The judge's request and the reading of its answer, over a plain socket to
// the judge or to a proxy. Plain values only: the socket glue feeds what
// arrives and the reader says when the answer is whole, broken or too big.
// Portable.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "framework/url_parser.h"

namespace judge {

// The head of a GET of `url`: in origin form to the server itself, in
// absolute form to a proxy. It carries the checker's token header and asks
// for the connection to close after the answer.
std::string RequestText(const ParsedUrl& url, bool throughProxy, const std::string& token,
                        const std::string& userAgent);

// What is read of an answer's head at the most.
constexpr std::size_t kMaxHeadBytes = 16 * 1024;

class CAnswerReader {
public:
    enum class State {
        kMore,   // wants more bytes
        kWhole,  // the answer is complete
        kBroken, // no answer to judge: a bad head or chunk, a head or body too big
    };

    // Takes the next bytes of the answer.
    State Feed(std::string_view bytes);
    // The peer closed: an answer without a length ends here.
    State Closed();

    State Current() const { return m_state; }
    unsigned long Status() const { return m_nStatus; }
    const std::string& Body() const { return m_strBody; }

private:
    enum class Framing { kLength, kChunked, kClose };
    enum class Part { kHead, kBody, kChunkSize, kChunkData, kChunkEnd, kTrailer };

    State ParseHead();
    // Takes up to the bytes still to come of the body or chunk.
    State TakeCounted(std::string_view& bytes);
    State TakeBody(std::string_view& bytes);
    State TakeChunked(std::string_view& bytes);
    State AddBody(std::string_view bytes);
    State Set(State state) { return m_state = state; }

    State m_state = State::kMore;
    Part m_part = Part::kHead;
    Framing m_framing = Framing::kClose;
    std::string m_strHead;
    std::string m_strLine;
    std::string m_strBody;
    unsigned long m_nStatus = 0;
    unsigned long long m_nLeft = 0; // bytes of the body or chunk still to come
};

} // namespace judge
