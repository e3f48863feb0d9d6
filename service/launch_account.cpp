#include "service/launch_account.h"

namespace {
constexpr unsigned long kErrorCallNotImplemented = 120;
} // namespace

UserTokenAnswer ClassifyUserTokenError(unsigned long error) {
    return error == kErrorCallNotImplemented ? UserTokenAnswer::NotImplemented
                                             : UserTokenAnswer::NoUser;
}

LaunchAccount ChooseLaunchAccount(LaunchPurpose purpose, UserTokenAnswer answer,
                                  const CUserTokenFacts& facts) {
    switch (answer) {
    case UserTokenAnswer::NoUser:
        return LaunchAccount::None;
    case UserTokenAnswer::NotImplemented:
        // A program meant to act for the user would act for the service.
        return purpose == LaunchPurpose::AsUser ? LaunchAccount::None
                                                : LaunchAccount::ServiceSession;
    case UserTokenAnswer::Token:
        break;
    }
    if (purpose == LaunchPurpose::AsUser) {
        return LaunchAccount::UserToken;
    }
    switch (facts.m_elevation) {
    case UserElevation::Limited:
        return facts.m_bHasLinkedToken ? LaunchAccount::LinkedToken : LaunchAccount::ServiceSession;
    case UserElevation::Full:
        return LaunchAccount::UserToken;
    case UserElevation::Default:
        break;
    }
    return facts.m_bIsAdministrator ? LaunchAccount::UserToken : LaunchAccount::ServiceSession;
}

const char* LaunchAccountText(LaunchAccount account) {
    switch (account) {
    case LaunchAccount::None:
        return "nobody";
    case LaunchAccount::UserToken:
        return "the user's token";
    case LaunchAccount::LinkedToken:
        return "the user's elevated linked token";
    case LaunchAccount::ServiceSession:
        return "the service's own token in the services' session";
    }
    return "unknown";
}
