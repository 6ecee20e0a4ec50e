// The record arithmetic every reader of registration files shares: where a
// record begins, how many a file holds whole, and reading them where the
// file ends early or the count claims more than is there.
#include <gtest/gtest.h>

#include <string>

#include "core/data/registration_file.h"
#include "temp_folder.h"

namespace zor {
namespace {

using testing::TempFolder;
using testing::WriteBytes;

std::string Header(std::int16_t count) {
  RegistrationHeader h;
  h.count = count;
  return h.Encode();
}

std::string Record(char fill) { return std::string(kRecordSize, fill); }

// Catches an off-by-one in the offsets, or a truncated last record counted as whole.
TEST(RegistrationRecords, OffsetsAndWholeRecordsAtTheEdges) {
  EXPECT_EQ(RecordOffset(1), 32);
  EXPECT_EQ(RecordOffset(2), 256);
  EXPECT_EQ(RecordsEnd(0), 32);
  EXPECT_EQ(RecordsEnd(500), 32 + 500 * 224);
  EXPECT_EQ(WholeRecordsIn(-1), 0) << "a size that cannot be told";
  EXPECT_EQ(WholeRecordsIn(31), 0) << "shorter than a header";
  EXPECT_EQ(WholeRecordsIn(32), 0);
  EXPECT_EQ(WholeRecordsIn(32 + 223), 0) << "a truncated record is not whole";
  EXPECT_EQ(WholeRecordsIn(32 + 224), 1);
  EXPECT_EQ(WholeRecordsIn(RecordsEnd(501)), 501) << "uncapped: the export reads beyond 500";
}

// Catches the saver reading records a short file lacks, or more than 500.
TEST(RegistrationRecords, RecordsPresentIsCappedAndZeroForNoFile) {
  TempFolder dir;
  EXPECT_EQ(RecordsPresent(dir / "missing.zrd"), 0);
  WriteBytes(dir / "short.zrd", Header(3) + Record('a') + Record('b').substr(0, 100));
  EXPECT_EQ(RecordsPresent(dir / "short.zrd"), 1) << "the count claims 3, the file holds 1 whole";
  WriteBytes(dir / "long.zrd", Header(32767) + std::string(501 * kRecordSize, ' '));
  EXPECT_EQ(RecordsPresent(dir / "long.zrd"), kMaxMessages);
}

// Catches a reader that fails, or keeps stale bytes, where the file ends inside or before a record.
TEST(RegistrationRecords, ReaderBlanksWhatTheFileLacks) {
  TempFolder dir;
  WriteBytes(dir / "a.zrd", Header(3) + Record('a') + Record('b').substr(0, 10));
  const std::optional<RecordReader> reader = RecordReader::Open(dir / "a.zrd");
  ASSERT_TRUE(reader);
  EXPECT_EQ(reader->WholeRecords(), 1);
  RecordBytes r;
  ASSERT_TRUE(reader->Read(2, r));
  EXPECT_EQ(std::string(r.data(), r.size()), std::string(10, 'b') + std::string(kRecordSize - 10, ' '));
  ASSERT_TRUE(reader->Read(3, r));
  EXPECT_EQ(std::string(r.data(), r.size()), Record(' ')) << "wholly beyond the end";
  EXPECT_FALSE(RecordReader::Open(dir / "missing.zrd"));
}

// Catches the listed bytes (and so the list's change stamp) running past the
// counted records, or a count above 500 listing more than 500.
TEST(RegistrationRecords, ListedRecordsStopAtTheCountAndAtFiveHundred) {
  TempFolder dir;
  WriteBytes(dir / "a.zrd", Header(2) + Record('a') + Record('b') + "tail");
  std::optional<ListedRecords> listed = ReadListedRecords(dir / "a.zrd");
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->records.size(), 2u);
  EXPECT_EQ(listed->bytes.size(), static_cast<std::size_t>(RecordsEnd(2))) << "the tail is not listed";
  EXPECT_EQ(listed->fileSize, RecordsEnd(2) + 4);

  WriteBytes(dir / "b.zrd", Header(5) + Record('a'));
  listed = ReadListedRecords(dir / "b.zrd");
  ASSERT_TRUE(listed);
  ASSERT_EQ(listed->records.size(), 5u) << "a count claiming more than present lists blank records";
  EXPECT_EQ(listed->records[4], BlankRecord());

  WriteBytes(dir / "c.zrd", Header(600) + std::string(600 * kRecordSize, 'x'));
  listed = ReadListedRecords(dir / "c.zrd");
  ASSERT_TRUE(listed);
  EXPECT_EQ(listed->records.size(), 500u);
  EXPECT_EQ(listed->bytes.size(), static_cast<std::size_t>(RecordsEnd(500)));

  WriteBytes(dir / "d.zrd", Header(1).substr(0, 31));
  EXPECT_FALSE(ReadListedRecords(dir / "d.zrd")) << "shorter than a header";
}

}  // namespace
}  // namespace zor
