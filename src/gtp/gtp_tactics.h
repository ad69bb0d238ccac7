// GTP commands of the tactical reader under the names other engines use, so regression runners
// and GUIs can ask them: attack, defend and ladder_attack.
#pragma once

#include "gtp/gtp.h"

namespace obrin {

// The capture search's default time per question, in milliseconds.
inline constexpr int DefaultReadingMs = 10000;

void RegisterTacticsCommands(TGtpEngine& gtp, int readingMs = DefaultReadingMs);

}  // namespace obrin
