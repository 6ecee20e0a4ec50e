// The saver's hold on a registration file that changes while it runs.
#include "core/data/held_messages.h"

#include <gtest/gtest.h>

#include "temp_folder.h"

namespace zor {
namespace {

using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

std::string FileOf(const std::vector<std::wstring>& texts, int count = -1) {
  RegistrationHeader h;
  h.count = static_cast<std::int16_t>(count < 0 ? static_cast<int>(texts.size()) : count);
  std::string bytes = h.Encode();
  for (const std::wstring& t : texts) {
    const RecordBytes r = RecordOf(t);
    bytes.append(r.data(), r.size());
  }
  return bytes;
}

std::vector<std::wstring> Texts(const HeldMessages& held) {
  std::vector<std::wstring> out;
  for (int v = 1; v <= held.Count(); ++v) out.push_back(held.At(v)->text);
  return out;
}

// A change always shows in the stamp, even within the file system's clock step.
void Touch(const std::filesystem::path& p, int seconds) {
  std::filesystem::last_write_time(p, std::filesystem::last_write_time(p) + std::chrono::seconds(seconds));
}

class HeldMessagesTest : public ::testing::Test {
 protected:
  void Write(const std::string& bytes, int step = 1) {
    WriteBytes(file, bytes);
    Touch(file, step * ++writes);
  }
  TempFolder folder;
  std::filesystem::path file = folder / "m.zrd";
  HeldMessages held;
  int writes = 0;
};

// Shrinking and growing: the rows that went away are no longer held, new ones are.
TEST_F(HeldMessagesTest, ShrinkingAndGrowingAreReadBetweenPages) {
  const std::vector<std::wstring> six{L"一", L"二", L"三", L"四", L"五", L"六"};
  Write(FileOf(six));
  ASSERT_EQ(held.Load(file), HeldMessages::Check::kReread);
  EXPECT_EQ(Texts(held), six);
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kUnchanged);
  Write(FileOf({L"一", L"二"}));
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_EQ(Texts(held), (std::vector<std::wstring>{L"一", L"二"}));
  EXPECT_EQ(held.At(3), nullptr);
  Write(FileOf({L"一", L"二", L"七"}));
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_EQ(held.Count(), 3);
  EXPECT_EQ(held.At(3)->text, L"七");
}

// The stamp is what is looked at: a change of the same size is seen by its
// time, and a file whose stamp is as it was is not read again.
TEST_F(HeldMessagesTest, TheStampDecidesWhetherTheFileIsRead) {
  Write(FileOf({L"一", L"二"}));
  ASSERT_EQ(held.Load(file), HeldMessages::Check::kReread);
  const auto written = std::filesystem::last_write_time(file);
  WriteBytes(file, FileOf({L"三", L"四"}));
  std::filesystem::last_write_time(file, written);
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kUnchanged);
  EXPECT_EQ(held.At(1)->text, L"一");
  Touch(file, 5);
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_EQ(held.At(1)->text, L"三");
}

// A file that vanishes, turns to garbage, is cut inside its header,
// becomes another program's file or a folder: the messages read before stay held, and
// the file is read again once it is whole.
TEST_F(HeldMessagesTest, AnUnreadableFileLeavesTheMessagesHeld) {
  const std::vector<std::wstring> two{L"一", L"二"};
  Write(FileOf(two));
  ASSERT_EQ(held.Load(file), HeldMessages::Check::kReread);
  std::string foreign = FileOf({L"三"});
  foreign[10] = 'z';
  std::string newer = FileOf({L"三"});
  newer[0] = 99;
  for (const std::string& bad :
       {std::string(), std::string("ZORANT\x01", 7), foreign, newer, std::string(5000, '\xFF')}) {
    Write(bad);
    EXPECT_EQ(held.Refresh(), HeldMessages::Check::kKept);
    EXPECT_EQ(Texts(held), two);
  }
  std::filesystem::remove(file);
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kKept);
  EXPECT_EQ(Texts(held), two);
  EXPECT_EQ(held.Header().count, 2);
  std::filesystem::create_directory(file);  // a folder where the file was
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kKept);
  EXPECT_EQ(Texts(held), two);
  std::filesystem::remove(file);
  Write(FileOf({L"三"}));
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_EQ(Texts(held), (std::vector<std::wstring>{L"三"}));
}

// A count beyond the records the file holds whole (a file cut short, or
// caught half-written): only whole records are held, never a blank one.
// An oversized count is capped at 500.
TEST_F(HeldMessagesTest, OnlyWholeRecordsAreHeld) {
  std::string cut = FileOf({L"一", L"二", L"三"}, 6);
  cut.resize(cut.size() - 100);
  Write(cut);
  ASSERT_EQ(held.Load(file), HeldMessages::Check::kReread);
  EXPECT_EQ(Texts(held), (std::vector<std::wstring>{L"一", L"二"}));
  std::vector<std::wstring> many(520, L"文");
  Write(FileOf(many, 32000));
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_EQ(held.Count(), 500);
}

// The preview may start before its file exists; it is read once it appears.
TEST_F(HeldMessagesTest, AFileMissingAtTheStartIsReadWhenItAppears) {
  EXPECT_EQ(held.Load(file), HeldMessages::Check::kKept);
  EXPECT_FALSE(held.Loaded());
  EXPECT_EQ(held.Count(), 0);
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kUnchanged);
  Write(FileOf({L"一"}));
  EXPECT_EQ(held.Refresh(), HeldMessages::Check::kReread);
  EXPECT_TRUE(held.Loaded());
  EXPECT_EQ(held.Count(), 1);
}

}  // namespace
}  // namespace zor
