#include "win/startup/single_instance.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace zor::win {
namespace {

// A name of the test's own, so a saver running beside the tests is not disturbed.
std::wstring TestMutexName(const char* test) {
  return L"zorante test mutex " + std::to_wstring(GetCurrentProcessId()) + L" " +
         std::wstring(test, test + std::char_traits<char>::length(test));
}

TEST(SingleInstance, AnInstanceThatEndsWithinTheWaitLetsTheNextStart) {
  const std::wstring name = TestMutexName("ends");
  HANDLE other = CreateMutexW(nullptr, FALSE, name.c_str());
  ASSERT_NE(other, nullptr);
  std::thread ending([other] {
    Sleep(300);
    CloseHandle(other);
  });
  const InstanceClaim claim = ClaimSingleInstance(name.c_str(), 2000);
  ending.join();
  EXPECT_FALSE(claim.anotherRuns);
  EXPECT_NE(claim.mutex, nullptr);
  CloseHandle(claim.mutex);
}

TEST(SingleInstance, AnInstanceThatStaysEndsTheWaitAfterAboutTwoSeconds) {
  const std::wstring name = TestMutexName("stays");
  HANDLE other = CreateMutexW(nullptr, FALSE, name.c_str());
  ASSERT_NE(other, nullptr);
  const ULONGLONG start = GetTickCount64();
  const InstanceClaim claim = ClaimSingleInstance(name.c_str(), 2000);
  const ULONGLONG waited = GetTickCount64() - start;
  EXPECT_TRUE(claim.anotherRuns);
  EXPECT_EQ(claim.mutex, nullptr);
  EXPECT_GE(waited, 1500u);
  EXPECT_LE(waited, 10000u);
  // The wait let go of every handle it opened: the object ends with the holder's.
  CloseHandle(other);
  const InstanceClaim after = ClaimSingleInstance(name.c_str(), 0);
  EXPECT_FALSE(after.anotherRuns);
  CloseHandle(after.mutex);
}

}  // namespace
}  // namespace zor::win
