// The other program of a cross-process check. With the text the test put at
// offset 0 of "Global\ZK_SM" as its argument, it opens the link in the
// checker role, compares, and answers by writing its own launch request.
// Exit codes: 0 done, 1 usage, 2 no shared view, 3 other bytes, 4 request failed.
#include <cstring>

#include "shared/shared_link.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 1;
    }
    CSharedLink link;
    link.Open(CSharedLink::Role::Checker);
    const unsigned char* view = link.GetSharedView();
    if (view == nullptr) {
        return 2;
    }
    const std::size_t length = std::strlen(argv[1]);
    if (length >= shared_link::kSharedBlockSize || std::memcmp(view, argv[1], length) != 0 ||
        view[length] != 0) {
        return 3;
    }
    return link.WriteLaunchRequest(0) ? 0 : 4;
}
