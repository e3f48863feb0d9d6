#include "shared/build_urls.h"

#include "build_config.h"

const char* BuildUpdateBaseUrl() {
    return SULVANTIX_UPDATE_BASE_URL;
}

const char* BuildTestUrl() {
    return SULVANTIX_TEST_URL;
}

const char* BuildJudgeUrl() {
    return SULVANTIX_JUDGE_URL;
}
