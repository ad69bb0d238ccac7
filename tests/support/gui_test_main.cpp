#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <map>

#include "support/gui_test.h"

namespace obrin::test {

namespace {
std::map<std::string, TGuiTestFactory>& Registry() {
    static std::map<std::string, TGuiTestFactory> registry;
    return registry;
}
}  // namespace

bool RegisterGuiTest(const std::string& name, TGuiTestFactory factory) {
    Registry()[name] = std::move(factory);
    return true;
}

}  // namespace obrin::test

int main(int argc, char** argv) {
    // Settings and the translation table go to a folder of this run, never into the tree.
    QTemporaryDir home;
    qputenv("OBRIN_HOME", home.path().toLocal8Bit());
    QApplication app(argc, argv);
    int failed = 0;
    bool ran = false;
    for (auto& [name, factory] : obrin::test::Registry()) {
        if (argc > 1 && name != argv[1]) continue;
        ran = true;
        std::unique_ptr<QObject> test = factory();
        char* qtArgs[] = {argv[0]};
        failed += QTest::qExec(test.get(), 1, qtArgs);
    }
    return ran ? failed : 2;
}
