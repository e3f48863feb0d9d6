// Loopback ports of the stand-ins for the outside world, shared by the
// stand-ins themselves and by the tests that talk to them. Portable header.
#pragma once

namespace standins {

// The vendor's update server (test file and proxy list). Its normal instance
// is the default of the build's update base URL.
constexpr int kUpdateServerPort = 18080;
// A second instance that answers every path with a browser-style error page.
constexpr int kUpdateServerErrorPagePort = 18081;
// Nothing listens here: "server down".
constexpr int kClosedPort = 18099;

// The proxy farm: one port per scripted behaviour.
enum FarmPort : int {
    kFarmOk = 18100,             // 200, body "OK"
    kFarmOkLineEnd = 18101,      // 200, body "OK\r\n"
    kFarmOkLower = 18102,        // 200, body "ok"
    kFarmEmpty = 18103,          // 200, empty body
    kFarmPartial = 18104,        // 206, body "OK"
    kFarmAuth407 = 18105,        // 407, body of several kilobytes
    kFarmAuth401 = 18106,        // 401
    kFarmForbidden = 18107,      // 403
    kFarmServerError = 18108,    // 500
    kFarmSilent = 18109,         // accepts, never answers
    kFarmReset = 18110,          // resets the connection after reading the request
    kFarmSlowPieces = 18111,     // 200 "OK", the head in small pieces over ~2 s, body at once
    kFarmSplitBody = 18112,      // 200, body "O" then "K" in separate pieces, 300 ms apart
    kFarmEndlessHeaders = 18113, // trickles header bytes for ever (one a second), never finishes
    kFarmRelay = 18114,          // a real forwarding proxy and CONNECT tunnel, to 127.0.0.1 only
    // Forwarding proxies as the judge ("/judge" of the update server) sees them;
    // each connects onward from a loopback address of its own (OnwardAddress).
    kFarmTransparent = 18115, // adds X-Forwarded-For with the client's address, and Via
    kFarmAnonymous = 18116,   // adds Via only
    kFarmElite = 18117,       // adds nothing
    // Proxies that lie about the judge's page; alive for "/test.txt" all the same.
    kFarmJudgeCache = 18118,   // answers /judge with a stale cached page (another request's token)
    kFarmJudgeRewrite = 18119, // like transparent, but puts an HTML banner in front of the page
    kFarmJudgeHuge = 18120,    // its own /judge page: the request echoed, then ~2 MiB of lines
    kFarmJudgeBinary = 18121,  // the same start, then binary bytes with NULs
    kFarmJudgeEndless = 18122, // the same start, then one more line a second, never ending
};
// One more farm port, outside the block: 200 "OK", but only this many seconds
// after the request (a proxy that keeps a probe waiting, then answers).
constexpr int kFarmLateOkPort = 18130;
constexpr int kFarmLateOkSeconds = 6;

// The update server again, over TLS with a certificate of the test authority
// that scripts/standins makes (for builds whose base URL is https).
constexpr int kUpdateServerTlsPort = 18140;
// A forwarding proxy like kFarmRelay that refuses CONNECT: alive for http
// test files, dead for https ones.
constexpr int kFarmRelayNoConnectPort = 18141;

constexpr int kFarmFirstPort = 18100;
constexpr int kFarmLastPort = 18122;

} // namespace standins
