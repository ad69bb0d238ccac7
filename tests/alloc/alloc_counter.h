// The allocation count of the test binary's counting operator new.
#pragma once

namespace obrin::test {
[[nodiscard]] long AllocationCount();
}
