// The judge's answer as any proxy or server may send it: read whole, then in
// pieces whose sizes the input chooses, the two readings must agree; a body
// never outgrows the page bound; and a page that is judged at all was made
// for the token the reading used.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "checker/checker_judge_rules.h"
#include "checker/judge_http.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

using judge::CAnswerReader;

void Read(CAnswerReader& reader, std::string_view bytes, std::size_t piece) {
    for (std::size_t at = 0; at < bytes.size() && reader.Current() == CAnswerReader::State::kMore;
         at += piece) {
        reader.Feed(bytes.substr(at, piece));
    }
    reader.Closed();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::size_t piece = 1 + data[0] % 64;
    const std::string_view bytes(reinterpret_cast<const char*>(data + 1), size - 1);

    CAnswerReader whole;
    Read(whole, bytes, bytes.size() + 1);
    CAnswerReader pieces;
    Read(pieces, bytes, piece);
    FUZZ_CHECK(whole.Current() == pieces.Current());
    FUZZ_CHECK(whole.Current() != CAnswerReader::State::kMore);
    FUZZ_CHECK(whole.Body().size() <= judge::kMaxPageBytes);
    if (whole.Current() == CAnswerReader::State::kWhole) {
        FUZZ_CHECK(whole.Body() == pieces.Body());
        FUZZ_CHECK(whole.Status() == pieces.Status());
    }

    // The bytes as a judge page: a token the page does not carry judges nothing.
    const judge::CJudgeFetchResult fetch{true, 200, bytes};
    judge::CJudgePage page;
    const bool parsed = judge::ParseJudgePage(bytes, page);
    FUZZ_CHECK(!parsed || bytes.size() <= judge::kMaxPageBytes);
    const std::string token = "fuzz-token-" + std::to_string(size);
    if (bytes.find(token) == std::string_view::npos) {
        FUZZ_CHECK(judge::JudgeProxyFetch(fetch, token, {"127.0.0.1"}) ==
                   judge::Anonymity::Unknown);
        FUZZ_CHECK(judge::OwnAddressFromDirectFetch(fetch, token).empty());
    }
    return 0;
}
