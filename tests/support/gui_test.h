// Registration of the window tests: each Form*_test.cpp registers its QtTest class under its
// file name, and the test program runs the class named on its command line (all without one).
// Also the files a window test reads and writes.
#pragma once

#include <QFile>
#include <QObject>
#include <QTemporaryDir>
#include <functional>
#include <memory>
#include <string>

namespace obrin::test {

using TGuiTestFactory = std::function<std::unique_ptr<QObject>()>;
bool RegisterGuiTest(const std::string& name, TGuiTestFactory factory);

// A file named name in the test's folder, holding bytes; its path.
inline QString WriteTestFile(const QTemporaryDir& dir, const char* name, const QByteArray& bytes) {
    const QString path = dir.filePath(QString::fromUtf8(name));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(bytes);
    return path;
}
// What the file holds; nothing when it cannot be read.
inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace obrin::test

#define OBRIN_GUI_TEST(Name, Class)                                     \
    static const bool Name##_registered = obrin::test::RegisterGuiTest( \
        #Name, [] { return std::unique_ptr<QObject>(std::make_unique<Class>()); })
