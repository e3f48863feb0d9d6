#include "tools/standins/farm_behaviour.h"
#include "tests/host/standins/script_bytes.h"
#include "tools/standins/http_head.h"
#include "tools/standins/standin_ports.h"

#include <gtest/gtest.h>

#include <set>

namespace standins {
namespace {

struct Parsed {
    CResponseHead head;
    std::string body;
};

Parsed Parse(const CScript& script) {
    const std::string all = Joined(script);
    Parsed parsed;
    const std::optional<std::size_t> end = FindHeadEnd(all);
    EXPECT_TRUE(end.has_value()) << all;
    if (!end) {
        return parsed;
    }
    EXPECT_TRUE(ParseResponseHead(all.substr(0, *end), parsed.head)) << all;
    parsed.body = all.substr(*end);
    std::size_t length = 0;
    EXPECT_EQ(ContentLength(parsed.head.m_headers, length), LengthStatus::kValid);
    EXPECT_EQ(length, parsed.body.size()) << "Content-Length must match the body sent";
    return parsed;
}

TEST(BehaviourNames, RoundTripAndUnknownNamesFail) {
    std::set<std::string_view> names;
    for (Behaviour b : AllBehaviours()) {
        const std::string_view name = BehaviourName(b);
        EXPECT_TRUE(names.insert(name).second) << name;
        ASSERT_TRUE(BehaviourFromName(name)) << name;
        EXPECT_EQ(*BehaviourFromName(name), b);
    }
    EXPECT_EQ(names.size(), 25u);
    EXPECT_FALSE(BehaviourFromName("OK"));
    EXPECT_FALSE(BehaviourFromName(""));
    EXPECT_FALSE(BehaviourFromName("late_ok:5"));
}

TEST(FixedPorts, OnePortPerScriptedBehaviourInTheSharedRange) {
    const std::vector<CPortBehaviour> ports = FixedFarmPorts(0);
    ASSERT_EQ(ports.size(), static_cast<std::size_t>(kFarmLastPort - kFarmFirstPort + 1));
    std::set<int> seen;
    for (const CPortBehaviour& p : ports) {
        EXPECT_GE(p.m_nPort, kFarmFirstPort);
        EXPECT_LE(p.m_nPort, kFarmLastPort);
        EXPECT_TRUE(seen.insert(p.m_nPort).second);
    }
    EXPECT_EQ(ports[kFarmOk - kFarmFirstPort].m_behaviour, Behaviour::kOk);
    EXPECT_EQ(ports[kFarmAuth407 - kFarmFirstPort].m_behaviour, Behaviour::kAuth407);
    EXPECT_EQ(ports[kFarmReset - kFarmFirstPort].m_behaviour, Behaviour::kReset);
    EXPECT_EQ(ports[kFarmRelay - kFarmFirstPort].m_behaviour, Behaviour::kRelay);
}

TEST(FixedPorts, OffsetShiftsEveryPort) {
    const std::vector<CPortBehaviour> plain = FixedFarmPorts(0);
    const std::vector<CPortBehaviour> shifted = FixedFarmPorts(2000);
    ASSERT_EQ(plain.size(), shifted.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        EXPECT_EQ(shifted[i].m_nPort, plain[i].m_nPort + 2000);
        EXPECT_EQ(shifted[i].m_behaviour, plain[i].m_behaviour);
    }
}

TEST(ExtraSpec, BehaviourFirstPortAndCount) {
    CExtraPorts extra;
    std::string error;
    ASSERT_TRUE(ParseExtraPorts("ok:19000:1000", extra, error)) << error;
    EXPECT_EQ(extra.m_behaviour, Behaviour::kOk);
    EXPECT_EQ(extra.m_nFirstPort, 19000);
    EXPECT_EQ(extra.m_nCount, 1000);
    ASSERT_TRUE(ParseExtraPorts("late_ok:19000:2", extra, error)) << error;
    EXPECT_EQ(extra.m_nDelaySeconds, kLateOkDefaultSeconds);
    ASSERT_TRUE(ParseExtraPorts("late_ok:3:19000:2", extra, error)) << error;
    EXPECT_EQ(extra.m_nDelaySeconds, 3);
    EXPECT_EQ(extra.m_nFirstPort, 19000);
}

TEST(ExtraSpec, MalformedSpecsAreRefusedWithAReason) {
    CExtraPorts extra;
    for (const char* text :
         {"ok", "ok:19000", "nope:19000:1", "ok:x:1", "ok:19000:0", "ok:0:1", "ok:65535:2",
          "ok:5:19000:1", "late_ok:-1:19000:1", "ok:19000:1:2:3", "ok:19000:1x"}) {
        std::string error;
        EXPECT_FALSE(ParseExtraPorts(text, extra, error)) << text;
        EXPECT_FALSE(error.empty()) << text;
    }
}

TEST(Scripts, BodiesOfTheOkFamily) {
    EXPECT_EQ(Parse(ScriptFor(Behaviour::kOk, 0, false, true)).body, "OK");
    EXPECT_EQ(Parse(ScriptFor(Behaviour::kOkLineEnd, 0, false, true)).body, "OK\r\n");
    EXPECT_EQ(Parse(ScriptFor(Behaviour::kOkLower, 0, false, true)).body, "ok");
    EXPECT_EQ(Parse(ScriptFor(Behaviour::kEmpty, 0, false, true)).body, "");
    const Parsed partial = Parse(ScriptFor(Behaviour::kPartial, 0, false, true));
    EXPECT_EQ(partial.head.m_nStatus, 206);
    EXPECT_EQ(partial.body, "OK");
}

TEST(Scripts, StatusOfEachWellBehavedPort) {
    const std::pair<Behaviour, int> expected[] = {
        {Behaviour::kOk, 200},         {Behaviour::kOkLineEnd, 200}, {Behaviour::kOkLower, 200},
        {Behaviour::kEmpty, 200},      {Behaviour::kPartial, 206},   {Behaviour::kAuth407, 407},
        {Behaviour::kAuth401, 401},    {Behaviour::kForbidden, 403}, {Behaviour::kServerError, 500},
        {Behaviour::kSlowPieces, 200}, {Behaviour::kSplitBody, 200}, {Behaviour::kLateOk, 200},
    };
    for (const auto& [behaviour, status] : expected) {
        const CScript script = ScriptFor(behaviour, 1, false, true);
        EXPECT_EQ(script.m_ending, Ending::kKeepAlive) << BehaviourName(behaviour);
        EXPECT_EQ(Parse(script).head.m_nStatus, status) << BehaviourName(behaviour);
    }
}

TEST(Scripts, AuthenticationAnswersCarryTheirChallenge) {
    const Parsed proxy = Parse(ScriptFor(Behaviour::kAuth407, 0, false, true));
    EXPECT_TRUE(FindHeader(proxy.head.m_headers, "Proxy-Authenticate"));
    EXPECT_GE(proxy.body.size(), 6u * 1024u);
    EXPECT_EQ(proxy.body, ProxyAuthPage());
    const Parsed server = Parse(ScriptFor(Behaviour::kAuth401, 0, false, true));
    EXPECT_TRUE(FindHeader(server.head.m_headers, "WWW-Authenticate"));
    EXPECT_FALSE(FindHeader(server.head.m_headers, "Proxy-Authenticate"));
}

TEST(Scripts, ClosingRequestClosesAfterTheReply) {
    const CScript script = ScriptFor(Behaviour::kOk, 0, false, false);
    EXPECT_EQ(script.m_ending, Ending::kClose);
    const Parsed parsed = Parse(script);
    ASSERT_TRUE(FindHeader(parsed.head.m_headers, "Connection"));
    EXPECT_EQ(*FindHeader(parsed.head.m_headers, "Connection"), "close");
}

TEST(Scripts, HeadRequestGetsNoBodyBytes) {
    for (Behaviour b :
         {Behaviour::kOk, Behaviour::kAuth407, Behaviour::kSlowPieces, Behaviour::kSplitBody}) {
        const std::string all = Joined(ScriptFor(b, 0, true, true));
        const std::optional<std::size_t> end = FindHeadEnd(all);
        ASSERT_TRUE(end) << BehaviourName(b);
        EXPECT_EQ(*end, all.size()) << BehaviourName(b);
    }
}

TEST(Scripts, SlowPiecesTrickleTheHeadOverAboutTwoSeconds) {
    const CScript script = ScriptFor(Behaviour::kSlowPieces, 0, false, true);
    ASSERT_GE(script.m_pieces.size(), 5u);
    int total_ms = 0;
    std::string prefix;
    for (std::size_t n = 0; n < script.m_pieces.size(); ++n) {
        total_ms += script.m_pieces[n].m_nDelayMs;
        prefix += script.m_pieces[n].m_strBytes;
        // The head is whole with its last piece, not before; the body follows at once.
        EXPECT_EQ(FindHeadEnd(prefix).has_value(), n + 2 >= script.m_pieces.size()) << n;
    }
    EXPECT_GE(total_ms, 1500);
    EXPECT_LE(total_ms, 2500);
    EXPECT_EQ(script.m_pieces.back().m_strBytes, "OK");
    EXPECT_EQ(script.m_pieces.back().m_nDelayMs, 0);
}

TEST(Scripts, SplitBodySendsOThenKLater) {
    const CScript script = ScriptFor(Behaviour::kSplitBody, 0, false, true);
    ASSERT_EQ(script.m_pieces.size(), 2u);
    EXPECT_EQ(script.m_pieces[0].m_strBytes.back(), 'O');
    EXPECT_EQ(script.m_pieces[1].m_strBytes, "K");
    EXPECT_EQ(script.m_pieces[1].m_nDelayMs, kSplitBodyGapMs);
    EXPECT_EQ(Parse(script).body, "OK");
}

TEST(Scripts, LateOkWaitsItsSeconds) {
    const CScript script = ScriptFor(Behaviour::kLateOk, 7, false, true);
    ASSERT_EQ(script.m_pieces.size(), 1u);
    EXPECT_EQ(script.m_pieces[0].m_nDelayMs, 7000);
    EXPECT_EQ(Parse(script).body, "OK");
}

TEST(Scripts, MisbehavingPortsEndTheirOwnWay) {
    EXPECT_EQ(ScriptFor(Behaviour::kSilent, 0, false, true).m_ending, Ending::kHold);
    EXPECT_TRUE(ScriptFor(Behaviour::kSilent, 0, false, true).m_pieces.empty());
    EXPECT_EQ(ScriptFor(Behaviour::kReset, 0, false, true).m_ending, Ending::kReset);
    EXPECT_TRUE(ScriptFor(Behaviour::kReset, 0, false, true).m_pieces.empty());
    const CScript endless = ScriptFor(Behaviour::kEndlessHeaders, 0, false, true);
    EXPECT_EQ(endless.m_ending, Ending::kTrickle);
    ASSERT_EQ(endless.m_pieces.size(), 1u);
    EXPECT_EQ(endless.m_pieces[0].m_strBytes, "HTTP/1.1 200 OK\r\n");
    EXPECT_FALSE(IsScripted(Behaviour::kRelay));
}

TEST(Trickle, StreamIsHeaderLinesThatNeverEndTheHead) {
    std::string stream = "HTTP/1.1 200 OK\r\n";
    for (std::size_t i = 0; i < 500; ++i) {
        stream += TrickleByte(i);
    }
    EXPECT_FALSE(FindHeadEnd(stream));
    const std::vector<std::string> lines = SplitHeadLines(stream);
    ASSERT_GT(lines.size(), 10u);
    CResponseHead head;
    EXPECT_TRUE(ParseResponseHead(stream.substr(0, stream.rfind("\r\n") + 2) + "\r\n", head));
}

} // namespace
} // namespace standins
