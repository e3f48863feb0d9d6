// The URLs this build of the programs talks to: the update server's base URL
// (no trailing "/") and the test file every probe and connectivity check
// fetches. Each set of URLs is one object (build_urls.cpp compiled against its
// own build_config.h), so the same program code is linked once for the
// build's URLs and once more for the TLS stand-in's.
#pragma once

const char* BuildUpdateBaseUrl();
const char* BuildTestUrl();
// The update server's judge, over plain http whatever the base URL: the
// caller's address and headers as it saw them.
const char* BuildJudgeUrl();
