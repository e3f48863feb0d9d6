// Fetch of a URL through the machine's current Internet settings, with
// detection of browser error pages, and the connectivity check built on it.
#pragma once

#include <string>

// "NO" when the body was fetched and no chunk looked like an error page,
// "YES" when anything failed or an error page was seen. With `save` set the
// body goes to `localPath` (created or truncated once the URL has opened).
std::string FetchUrl(const std::string& url, const std::string& localPath, bool save);

// Stands in for InternetGetConnectedState in tests.
using ConnectedStateQuery = bool (*)();

// Online when the build's test URL fetches without an error page and the
// library reports a connected state.
bool IsNetworkAvailable();
bool IsNetworkAvailable(const std::string& testUrl);
bool IsNetworkAvailable(const std::string& testUrl, ConnectedStateQuery connectedState);
