#pragma once
// How long the tests wait for what they need to see.
//
// Whatever a test waits for that crosses a thread, a device, another process, a server or the window's event loop
// (the write seen, the popup shown, capture armed, the request received, the program started) is awaited as a
// condition with one generous bound: a loaded or slow machine then only makes the suite slower, never red, and the
// bound is reached only when the awaited thing never comes. Tests never sleep a fixed short time before a check.
//
// A check that something does NOT happen ("no second request within 200 ms") keeps its own short time: under
// load it can only pass too easily, never fail falsely.

#include <QTest>

namespace TestWait {
// The bound of every wait for a condition, in milliseconds.
constexpr int kBoundMs = 30000;
} // namespace TestWait

// QTRY_VERIFY and QTRY_COMPARE with the shared bound instead of Qt's 5 s.
#define WAIT_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT(expr, TestWait::kBoundMs)
#define WAIT_VERIFY2(expr, message) QTRY_VERIFY2_WITH_TIMEOUT(expr, message, TestWait::kBoundMs)
#define WAIT_COMPARE(actual, expected) QTRY_COMPARE_WITH_TIMEOUT(actual, expected, TestWait::kBoundMs)
