#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/error.h"
#include "platform/text_file.h"
#include "support/error_of.h"
#include "support/file_bytes.h"
#include "support/temp_folder.h"

namespace zelmora {
namespace {

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

using testing::ErrorOf;
using testing::FileBytes;

TEST(TextFile, AppearsUnderItsNameOnlyWhenClosedWithTheBytesWritten) {
  TempFolder dir;
  auto folder = std::make_shared<Folder>(dir.path());
  WriteBytes(dir / "INTRA.TXT", "previous submission\r\n");

  auto file = NewLocalFileHelper()->Open(folder, "INTRA.TXT", 1, "", -1, -1);
  file->Write("EUROA0001 header\r\n");
  file->Write("");
  file->Write("detail \xC3\xA8 line\r\n");
  file->Flush();

  // Until the close the old file is untouched and the records wait in one
  // hidden file beside it.
  EXPECT_EQ(FileBytes(dir / "INTRA.TXT"), "previous submission\r\n");
  std::vector<std::string> entries = dir.Entries();
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].substr(0, 11), ".INTRA.TXT.");
  EXPECT_EQ(FileBytes(dir / entries[0]), "EUROA0001 header\r\ndetail \xC3\xA8 line\r\n");

  file->Close();
  EXPECT_EQ(FileBytes(dir / "INTRA.TXT"), "EUROA0001 header\r\ndetail \xC3\xA8 line\r\n");
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"INTRA.TXT"});

  // A second close changes nothing; writing to a closed file is an access error.
  file->Close();
  EXPECT_EQ(ErrorOf([&] { file->Write("x\r\n"); }), "75: Path/File access error: " + dir / "INTRA.TXT");
  EXPECT_EQ(FileBytes(dir / "INTRA.TXT"), "EUROA0001 header\r\ndetail \xC3\xA8 line\r\n");
}

TEST(TextFile, ManyRecordsAndAFullPathWithoutFolder) {
  TempFolder dir;
  std::string expected;
  auto file = NewLocalFileHelper()->Open(nullptr, dir / "big.txt", 1, "", -1, -1);
  for (int i = 0; i < 3000; ++i) {
    std::string record = std::to_string(i) + std::string(120, static_cast<char>('A' + i % 26)) + "\r\n";
    file->Write(record);
    expected += record;
  }
  EXPECT_EQ(dir.Entries().size(), 1u);
  EXPECT_NE(dir.Entries()[0], "big.txt");
  file->Flush();
  file->Close();
  EXPECT_EQ(FileBytes(dir / "big.txt"), expected);
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"big.txt"});
}

TEST(TextFile, ReleasedWithoutCloseLeavesNoFile) {
  TempFolder dir;
  WriteBytes(dir / "keep.txt", "old");
  {
    auto file = NewLocalFileHelper()->Open(std::make_shared<Folder>(dir.path() + "/"), "keep.txt", 1, "", -1, -1);
    file->Write("half a record");
    file->Flush();
  }
  {
    auto file = NewLocalFileHelper()->Open(std::make_shared<Folder>(dir.path()), "new.txt", 1, "", -1, -1);
    file->Write("never closed\r\n");
  }
  EXPECT_EQ(dir.Entries(), std::vector<std::string>{"keep.txt"});
  EXPECT_EQ(FileBytes(dir / "keep.txt"), "old");
}

TEST(TextFile, OpenFailuresNameThePath) {
  TempFolder dir;
  auto helper = NewLocalFileHelper();
  WriteBytes(dir / "plain", "x");
  std::filesystem::create_directory(dir / "taken");

  EXPECT_EQ(ErrorOf([&] { helper->Open(std::make_shared<Folder>(dir / "missing"), "F.TXT", 1, "", -1, -1); }),
            "76: Path not found: " + dir / "missing/F.TXT");
  EXPECT_EQ(ErrorOf([&] { helper->Open(std::make_shared<Folder>(dir / "plain"), "F.TXT", 1, "", -1, -1); }),
            "76: Path not found: " + dir / "plain/F.TXT");
  EXPECT_EQ(ErrorOf([&] { helper->Open(std::make_shared<Folder>(dir.path()), "taken", 1, "", -1, -1); }),
            "75: Path/File access error: " + dir / "taken");
  EXPECT_EQ(ErrorOf([&] { helper->Open(std::make_shared<Folder>(dir.path()), "", 1, "", -1, -1); }),
            "75: Path/File access error: " + dir.path() + "/");
  EXPECT_EQ(dir.Entries(), (std::vector<std::string>{"plain", "taken"}));
}

TEST(TextFile, CloseFailsWhenTheFolderIsGone) {
  TempFolder dir;
  std::filesystem::create_directory(dir / "out");
  auto file = NewLocalFileHelper()->Open(std::make_shared<Folder>(dir / "out"), "F.TXT", 1, "", -1, -1);
  file->Write("record\r\n");
  std::filesystem::remove_all(dir / "out");
  EXPECT_EQ(ErrorOf([&] { file->Close(); }), "76: Path not found: " + dir / "out/F.TXT");

  EXPECT_EQ(dir.Entries(), std::vector<std::string>{});
}

}  // namespace
}  // namespace zelmora
