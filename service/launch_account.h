// Under which account the service starts a program in a user's session,
// decided from plain facts about the session's user token. Portable.
#pragma once

// Vettor needs administrator rights; the recovery runs as the user, so that
// it reads the user's own record and writes the user's own settings.
enum class LaunchPurpose { Elevated, AsUser };

// What WTSQueryUserToken answered for the session.
enum class UserTokenAnswer {
    Token,          // the user's token
    NoUser,         // nobody logged on there (or any other failure)
    NotImplemented, // the system lacks the call (an emulator): one user only
};

// From the error WTSQueryUserToken left: ERROR_CALL_NOT_IMPLEMENTED (120)
// means the system has no such call; anything else, ERROR_NO_TOKEN (1008)
// included, means no user token to be had.
UserTokenAnswer ClassifyUserTokenError(unsigned long error);

// TOKEN_ELEVATION_TYPE: 1 default (no UAC split), 2 full, 3 limited.
enum class UserElevation { Default = 1, Full = 2, Limited = 3 };

struct CUserTokenFacts {
    UserElevation m_elevation = UserElevation::Default;
    // Member of BUILTIN\Administrators in the token itself.
    bool m_bIsAdministrator = false;
    // The token's linked token could be had (an administrator behind UAC).
    bool m_bHasLinkedToken = false;
};

enum class LaunchAccount {
    None,           // start nothing: nobody there
    UserToken,      // the user's token as it is
    LinkedToken,    // the user's elevated linked token
    ServiceSession, // the service's own token in the services' session
};

// Elevated: the linked token of a limited administrator; the user's own
// token when it already holds the rights (full, or an administrator without
// UAC); for a standard user the service's own token in the services' own
// session, where no user's desktop is: a program started without the rights
// would only ask again, and one with the service's rights must not sit on the
// desktop of a user who has none. AsUser: always the user's own token, and
// nothing without one. Without the call at all: the services' session for
// Elevated, nothing for AsUser.
LaunchAccount ChooseLaunchAccount(LaunchPurpose purpose, UserTokenAnswer answer,
                                  const CUserTokenFacts& facts);

// A trace text for the account, e.g. "the user's elevated linked token".
const char* LaunchAccountText(LaunchAccount account);
