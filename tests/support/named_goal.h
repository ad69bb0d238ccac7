// A goal that is only a name, for tests that need a goal set but no goal's behaviour.
#pragma once

#include <string>
#include <utility>

#include "goals/goals.h"

namespace obrin::test {

class TNamedGoal : public TGoal {
  public:
    explicit TNamedGoal(std::string name) : m_text(std::move(name)) {}
    [[nodiscard]] std::string GetName() const override { return m_text; }
    void Expand() override {}

  private:
    std::string m_text;
};

}  // namespace obrin::test
