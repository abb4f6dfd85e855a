// What "getPlatformVersion" should answer where the test runs.
//
// Off Windows the version comes from the stand-in kernel32, which reports 10.0 until a test says
// otherwise. Under Wine it is the Windows version set in the test's prefix, which CTest names in
// QUORLAX_TEST_WINE_VERSION (win10, win81, win8, win7 or vista; win10 when unset, Wine's default).
#ifndef QUORLAX_TESTS_PLUGIN_VERSION_ANSWER_H_
#define QUORLAX_TESTS_PLUGIN_VERSION_ANSWER_H_

#include <string>

namespace quorlax_test {

// The Wine version name, or "" off Windows.
std::string WineVersion();
std::string ExpectedVersionAnswer();

}  // namespace quorlax_test

#endif  // QUORLAX_TESTS_PLUGIN_VERSION_ANSWER_H_
