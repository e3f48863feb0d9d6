// Under which account a program starts in a user's session, and what the
// service does on each control.
#include <gtest/gtest.h>

#include "service/launch_account.h"
#include "service/service_control_rules.h"

namespace {

CUserTokenFacts Facts(UserElevation elevation, bool administrator, bool linked) {
    CUserTokenFacts facts;
    facts.m_elevation = elevation;
    facts.m_bIsAdministrator = administrator;
    facts.m_bHasLinkedToken = linked;
    return facts;
}

TEST(LaunchAccount, VettorGetsAdministratorRightsWhateverTheUser) {
    const auto token = UserTokenAnswer::Token;
    const auto elevated = LaunchPurpose::Elevated;
    // An administrator behind UAC: the elevated half of the pair.
    EXPECT_EQ(ChooseLaunchAccount(elevated, token, Facts(UserElevation::Limited, false, true)),
              LaunchAccount::LinkedToken);
    // Already elevated, or an administrator without UAC: the token as it is.
    EXPECT_EQ(ChooseLaunchAccount(elevated, token, Facts(UserElevation::Full, true, true)),
              LaunchAccount::UserToken);
    EXPECT_EQ(ChooseLaunchAccount(elevated, token, Facts(UserElevation::Default, true, false)),
              LaunchAccount::UserToken);
    // A standard user: started as itself it would only ask again, and with
    // the service's rights it stays out of the user's session.
    EXPECT_EQ(ChooseLaunchAccount(elevated, token, Facts(UserElevation::Default, false, false)),
              LaunchAccount::ServiceSession);
    EXPECT_EQ(ChooseLaunchAccount(elevated, token, Facts(UserElevation::Limited, false, false)),
              LaunchAccount::ServiceSession);
}

TEST(LaunchAccount, TheRecoveryRunsAsTheUserNeverElevated) {
    for (const auto elevation :
         {UserElevation::Default, UserElevation::Full, UserElevation::Limited}) {
        EXPECT_EQ(ChooseLaunchAccount(LaunchPurpose::AsUser, UserTokenAnswer::Token,
                                      Facts(elevation, true, true)),
                  LaunchAccount::UserToken);
    }
}

TEST(LaunchAccount, NobodyLoggedOnStartsNothingAndOnlyVettorRunsInTheServicesSession) {
    EXPECT_EQ(ClassifyUserTokenError(1008), UserTokenAnswer::NoUser); // ERROR_NO_TOKEN
    EXPECT_EQ(ClassifyUserTokenError(5), UserTokenAnswer::NoUser);
    EXPECT_EQ(ClassifyUserTokenError(120), UserTokenAnswer::NotImplemented);
    for (const auto purpose : {LaunchPurpose::Elevated, LaunchPurpose::AsUser}) {
        EXPECT_EQ(ChooseLaunchAccount(purpose, UserTokenAnswer::NoUser, CUserTokenFacts()),
                  LaunchAccount::None);
    }
    EXPECT_EQ(ChooseLaunchAccount(LaunchPurpose::Elevated, UserTokenAnswer::NotImplemented,
                                  CUserTokenFacts()),
              LaunchAccount::ServiceSession);
    // What runs as the user never runs as the service instead.
    EXPECT_EQ(ChooseLaunchAccount(LaunchPurpose::AsUser, UserTokenAnswer::NotImplemented,
                                  CUserTokenFacts()),
              LaunchAccount::None);
}

TEST(ServiceControls, StopLogonAndTheRest) {
    EXPECT_EQ(ClassifyControl(1, 0, false), ControlAction::Stop);
    EXPECT_EQ(ClassifyControl(4, 0, false), ControlAction::Acknowledge);
    EXPECT_EQ(ClassifyControl(14, 5, true), ControlAction::Logon);
    // A logon without its session number, and the other session events.
    EXPECT_EQ(ClassifyControl(14, 5, false), ControlAction::Acknowledge);
    EXPECT_EQ(ClassifyControl(14, 6, true), ControlAction::Acknowledge);
    EXPECT_EQ(ClassifyControl(14, 1, true), ControlAction::Acknowledge);
    EXPECT_EQ(ClassifyControl(2, 0, false), ControlAction::NotHandled); // pause
    EXPECT_EQ(ClassifyControl(5, 0, false), ControlAction::NotHandled); // shutdown
}

} // namespace
