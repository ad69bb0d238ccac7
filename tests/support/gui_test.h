// Registration of the window tests: each Form*_test.cpp registers its QtTest class under its
// file name, and the test program runs the class named on its command line (all without one).
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

namespace obrin::test {

using TGuiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterGuiTest(const std::string& name, TGuiTestFactory factory);

}  // namespace obrin::test

#define OBRIN_GUI_TEST(Name, Class)                                     \
    static const bool Name##_registered = obrin::test::RegisterGuiTest( \
        #Name, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
