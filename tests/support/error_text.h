// The text of an error an action raises, for tests of refusals and their messages.
#pragma once

#include <string>

#include "board/errors.h"

namespace obrin::test {

// The message of the EObrinError that action raises, or "" when it raises none.
template <class F>
std::string ErrorOf(F&& action) {
    try {
        action();
    } catch (const EObrinError& e) {
        return e.what();
    }
    return "";
}

}  // namespace obrin::test
