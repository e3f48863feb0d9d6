// What each port of the proxy farm does with a request: the behaviour names,
// the fixed port table, and the scripted replies as plain data.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace standins {

enum class Behaviour {
    kOk,
    kOkLineEnd,
    kOkLower,
    kEmpty,
    kPartial,
    kAuth407,
    kAuth401,
    kForbidden,
    kServerError,
    kSilent,
    kReset,
    kSlowPieces,
    kSplitBody,
    kEndlessHeaders,
    kRelay,
    kLateOk,
    kRelayNoConnect,
    kTransparent,
    kAnonymous,
    kElite,
    kJudgeCache,
    kJudgeRewrite,
    kJudgeHuge,
    kJudgeBinary,
    kJudgeEndless,
};

std::string_view BehaviourName(Behaviour behaviour);
std::optional<Behaviour> BehaviourFromName(std::string_view name);
const std::vector<Behaviour>& AllBehaviours();

// Seconds "late_ok" waits before it answers, unless told otherwise.
constexpr int kLateOkDefaultSeconds = 20;

struct CPortBehaviour {
    int m_nPort = 0;
    Behaviour m_behaviour = Behaviour::kOk;
    int m_nDelaySeconds = 0; // used by late_ok only
};

// The farm's fixed ports with their behaviours, each port shifted by `offset`.
std::vector<CPortBehaviour> FixedFarmPorts(int offset);

// One "--extra" request: COUNT consecutive ports from FIRSTPORT with one behaviour.
struct CExtraPorts {
    Behaviour m_behaviour = Behaviour::kOk;
    int m_nDelaySeconds = 0;
    int m_nFirstPort = 0;
    int m_nCount = 0;
};

// "BEHAVIOUR:FIRSTPORT:COUNT", or "late_ok:SECONDS:FIRSTPORT:COUNT".
bool ParseExtraPorts(std::string_view text, CExtraPorts& out, std::string& error);

// How a scripted reply ends, once its pieces are sent.
enum class Ending {
    kKeepAlive,    // ready for the next request on the connection
    kClose,        // orderly close
    kReset,        // close with RST
    kHold,         // send nothing more; keep the connection until the peer goes
    kTrickle,      // send TrickleByte(0), (1), ... one a second until the peer goes
    kTrickleLines, // send TrickleLine(0), (1), ... one a second until the peer goes
};

struct CPiece {
    int m_nDelayMs = 0; // waited before the piece is sent
    std::string m_strBytes;
};

struct CScript {
    std::vector<CPiece> m_pieces;
    Ending m_ending = Ending::kClose;
};

constexpr int kSlowPiecesCount = 10;
constexpr int kSlowPiecesGapMs = 200;
constexpr int kSplitBodyGapMs = 300;
constexpr int kTrickleGapMs = 1000;

// How a port answers: from a fixed script, by forwarding (possibly with a
// twist of its own), or with judge pages it makes from the request itself.
enum class Role { kScripted, kRelaying, kHostileJudge };
Role RoleOf(Behaviour behaviour);
bool IsScripted(Behaviour behaviour);

// The reply of a scripted behaviour to one request. `head_request` leaves the
// body out; `keep_alive` false closes the connection after the reply.
CScript ScriptFor(Behaviour behaviour, int delay_seconds, bool head_request, bool keep_alive);

// The endless header stream: valid header lines, so only the missing blank
// line keeps the head from ending.
char TrickleByte(std::size_t index);
// The same stream a whole header line at a time, each one numbered.
std::string TrickleLine(std::size_t index);

// The 407 page: several kilobytes of HTML.
std::string ProxyAuthPage();

} // namespace standins
