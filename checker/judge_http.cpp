#include "checker/judge_http.h"

#include <algorithm>
#include <cctype>

#include "checker/checker_judge_rules.h"
#include "checker/judge_text.h"

namespace judge {
namespace {

// Digits in `base` that fit well below the page bound's concerns; false for
// anything else or a value past `limit`.
bool ParseNumber(std::string_view text, int base, unsigned long long limit,
                 unsigned long long& value) {
    if (text.empty() || text.size() > 16) {
        return false;
    }
    unsigned long long result = 0;
    for (char c : text) {
        const int digit = std::isdigit(static_cast<unsigned char>(c)) != 0 ? c - '0'
                          : base == 16 && std::isxdigit(static_cast<unsigned char>(c)) != 0
                              ? std::tolower(static_cast<unsigned char>(c)) - 'a' + 10
                              : -1;
        if (digit < 0 || digit >= base) {
            return false;
        }
        result = result * static_cast<unsigned>(base) + static_cast<unsigned>(digit);
        if (result > limit) {
            return false;
        }
    }
    value = result;
    return true;
}

std::string HostHeader(const ParsedUrl& url) {
    return url.port == 80 ? url.server : url.server + ':' + std::to_string(url.port);
}

} // namespace

std::string RequestText(const ParsedUrl& url, bool throughProxy, const std::string& token,
                        const std::string& userAgent) {
    const std::string target = throughProxy ? "http://" + HostHeader(url) + url.object : url.object;
    return "GET " + target + " HTTP/1.1\r\nHost: " + HostHeader(url) +
           "\r\nUser-Agent: " + userAgent + "\r\nAccept: */*\r\nPragma: no-cache\r\n" +
           kTokenHeader + ": " + token + "\r\nConnection: close\r\n\r\n";
}

CAnswerReader::State CAnswerReader::Feed(std::string_view bytes) {
    while (m_state == State::kMore && !bytes.empty()) {
        if (m_part == Part::kHead) {
            const std::size_t before = m_strHead.size();
            m_strHead.append(bytes.substr(0, kMaxHeadBytes + 4 - before));
            const std::size_t end = m_strHead.find("\r\n\r\n");
            if (end == std::string::npos) {
                if (m_strHead.size() > kMaxHeadBytes) {
                    return Set(State::kBroken);
                }
                return m_state;
            }
            // What came after the head's end is the body's first bytes.
            bytes.remove_prefix(end + 4 - before);
            m_strHead.resize(end + 2);
            if (ParseHead() != State::kMore) {
                return m_state;
            }
            continue;
        }
        if ((m_framing == Framing::kChunked ? TakeChunked(bytes) : TakeBody(bytes)) !=
            State::kMore) {
            return m_state;
        }
    }
    return m_state;
}

CAnswerReader::State CAnswerReader::Closed() {
    if (m_state == State::kMore) {
        Set(m_part == Part::kBody && m_framing == Framing::kClose ? State::kWhole : State::kBroken);
    }
    return m_state;
}

CAnswerReader::State CAnswerReader::ParseHead() {
    std::string_view head = m_strHead;
    const std::size_t lineEnd = head.find("\r\n");
    const std::string_view statusLine = head.substr(0, lineEnd);
    unsigned long long status = 0;
    if (statusLine.substr(0, 7) != "HTTP/1." || statusLine.size() < 12 || statusLine[8] != ' ' ||
        !ParseNumber(statusLine.substr(9, 3), 10, 999, status)) {
        return Set(State::kBroken);
    }
    m_nStatus = static_cast<unsigned long>(status);
    head.remove_prefix(lineEnd + 2);
    bool lengthKnown = false;
    while (!head.empty()) {
        const std::size_t end = head.find("\r\n");
        const std::string_view line = head.substr(0, end);
        head.remove_prefix(end + 2);
        const std::size_t colon = line.find(':');
        if (colon == std::string_view::npos) {
            return Set(State::kBroken);
        }
        const std::string name = LowerText(TrimHeaderSpace(line.substr(0, colon)));
        const std::string value = LowerText(TrimHeaderSpace(line.substr(colon + 1)));
        if (name == "transfer-encoding" && value != "identity") {
            if (value != "chunked") {
                return Set(State::kBroken);
            }
            m_framing = Framing::kChunked;
        } else if (name == "content-length") {
            unsigned long long length = 0;
            if (!ParseNumber(value, 10, ~0ull / 16, length) || (lengthKnown && length != m_nLeft)) {
                return Set(State::kBroken);
            }
            lengthKnown = true;
            m_nLeft = length;
        }
    }
    if (m_framing == Framing::kChunked) {
        m_part = Part::kChunkSize;
        return m_state;
    }
    m_part = Part::kBody;
    if (lengthKnown) {
        m_framing = Framing::kLength;
        if (m_nLeft > kMaxPageBytes) {
            return Set(State::kBroken);
        }
        if (m_nLeft == 0) {
            return Set(State::kWhole);
        }
    }
    return m_state;
}

CAnswerReader::State CAnswerReader::AddBody(std::string_view bytes) {
    if (bytes.size() > kMaxPageBytes - m_strBody.size()) {
        return Set(State::kBroken);
    }
    m_strBody.append(bytes);
    return m_state;
}

CAnswerReader::State CAnswerReader::TakeCounted(std::string_view& bytes) {
    const std::size_t take =
        static_cast<std::size_t>(std::min<unsigned long long>(m_nLeft, bytes.size()));
    if (AddBody(bytes.substr(0, take)) != State::kMore) {
        return m_state;
    }
    bytes.remove_prefix(take);
    m_nLeft -= take;
    return m_state;
}

CAnswerReader::State CAnswerReader::TakeBody(std::string_view& bytes) {
    if (m_framing == Framing::kClose) {
        const std::string_view all = bytes;
        bytes = std::string_view();
        return AddBody(all);
    }
    if (TakeCounted(bytes) != State::kMore) {
        return m_state;
    }
    // Bytes past the length are no part of the answer.
    return m_nLeft == 0 ? Set(State::kWhole) : m_state;
}

CAnswerReader::State CAnswerReader::TakeChunked(std::string_view& bytes) {
    while (m_state == State::kMore && !bytes.empty()) {
        if (m_part == Part::kChunkData) {
            if (TakeCounted(bytes) != State::kMore) {
                return m_state;
            }
            if (m_nLeft == 0) {
                m_part = Part::kChunkEnd;
            }
            continue;
        }
        // Size lines, the line end after each chunk and the trailer: line by line.
        const std::size_t end = bytes.find('\n');
        m_strLine.append(bytes.substr(0, end));
        if (m_strLine.size() > kMaxHeadBytes) {
            return Set(State::kBroken);
        }
        if (end == std::string_view::npos) {
            bytes = std::string_view();
            return m_state;
        }
        bytes.remove_prefix(end + 1);
        const std::string_view line = TrimHeaderSpace(m_strLine);
        if (m_part == Part::kChunkEnd) {
            if (!line.empty()) {
                return Set(State::kBroken);
            }
            m_part = Part::kChunkSize;
        } else if (m_part == Part::kChunkSize) {
            unsigned long long size = 0;
            if (!ParseNumber(line.substr(0, line.find(';')), 16, kMaxPageBytes, size)) {
                return Set(State::kBroken);
            }
            m_nLeft = size;
            m_part = size == 0 ? Part::kTrailer : Part::kChunkData;
        } else if (line.empty()) {
            m_strLine.clear();
            return Set(State::kWhole);
        }
        m_strLine.clear();
    }
    return m_state;
}

} // namespace judge
