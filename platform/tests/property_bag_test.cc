#include "platform/property_bag.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/error.h"

namespace platform {
namespace {

// A directory of its own for each test, removed afterwards.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bag-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() { std::filesystem::remove_all(path_); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

TEST(EqualsDefault, ComparesInTheValuesType) {
  EXPECT_TRUE(EqualsDefault(Bool16{Bool16::kTrue}, int32_t{1}));
  EXPECT_FALSE(EqualsDefault(Bool16{Bool16::kFalse}, int32_t{1}));
  EXPECT_FALSE(EqualsDefault(Bool16{5}, int32_t{1}));
  EXPECT_TRUE(EqualsDefault(0.0f, int32_t{0}));
  EXPECT_TRUE(EqualsDefault(int32_t{0x00FFFFFF}, int32_t{0x00FFFFFF}));
  EXPECT_FALSE(EqualsDefault(std::string("abc"), int32_t{0}));
  EXPECT_FALSE(EqualsDefault(int32_t{1}, std::string("not a number")));
}

TEST(MemoryPropertyBag, KeepsEveryWriteInOrderWithItsDefault) {
  MemoryPropertyBag bag;
  bag.WriteProperty("A", int32_t{0}, int32_t{0});
  bag.WriteProperty("B", 1.5f, int32_t{0});
  bag.WriteProperty("A", int32_t{7}, int32_t{0});
  ASSERT_EQ(bag.Entries().size(), 2u);
  EXPECT_EQ(bag.Entries()[0].name, "B");
  EXPECT_EQ(bag.Entries()[1].name, "A");
  EXPECT_EQ(std::get<int32_t>(bag.ReadProperty("A", int32_t{0})), 7);
  EXPECT_EQ(std::get<std::string>(bag.ReadProperty("missing", std::string("d"))), "d");
}

TEST(FilePropertyBag, RoundTripsTypedValuesAndLeavesOutDefaults) {
  TempDir dir;
  FilePropertyBag bag(dir.File("form.props"));
  bag.WriteProperty("ForeColor", int32_t(0x80000008u), int32_t{0});
  bag.WriteProperty("BackColor", int32_t{0x00FFFFFF}, int32_t{0x00FFFFFF});
  bag.WriteProperty("Border3D", Bool16{Bool16::kFalse}, int32_t{1});
  bag.WriteProperty("Odd", Bool16{5}, int32_t{1});
  bag.WriteProperty("Pos1", 12.5f, int32_t{0});
  bag.WriteProperty("Pos2", 0.0f, int32_t{0});
  bag.WriteProperty("Small", int16_t{-3}, int32_t{0});
  bag.WriteProperty("Caption", std::string("say \"hi\"\\\nnext"), std::string());
  bag.Save();

  EXPECT_EQ(ReadFile(dir.File("form.props")),
            "ForeColor=Long:-2147483640\n"
            "Border3D=Boolean:False\n"
            "Odd=Boolean:5\n"
            "Pos1=Single:12.5\n"
            "Small=Integer:-3\n"
            "Caption=String:\"say \\\"hi\\\"\\\\\\nnext\"\n");

  FilePropertyBag loaded = FilePropertyBag::Load(dir.File("form.props"));
  EXPECT_EQ(loaded.SkippedLines(), 0);
  EXPECT_EQ(std::get<int32_t>(loaded.ReadProperty("ForeColor", int32_t{0})),
            int32_t(0x80000008u));
  EXPECT_EQ(std::get<int32_t>(loaded.ReadProperty("BackColor", int32_t{0x00FFFFFF})),
            0x00FFFFFF);
  EXPECT_EQ(std::get<Bool16>(loaded.ReadProperty("Border3D", int32_t{1})).value, 0);
  EXPECT_EQ(std::get<Bool16>(loaded.ReadProperty("Odd", int32_t{1})).value, 5);
  EXPECT_EQ(std::get<float>(loaded.ReadProperty("Pos1", int32_t{0})), 12.5f);
  EXPECT_EQ(std::get<int16_t>(loaded.ReadProperty("Small", int32_t{0})), -3);
  EXPECT_EQ(std::get<std::string>(loaded.ReadProperty("Caption", std::string())),
            "say \"hi\"\\\nnext");
}

TEST(FilePropertyBag, AMissingFileIsAnEmptyBagAndDamagedLinesAreSkipped) {
  TempDir dir;
  EXPECT_EQ(FilePropertyBag::Load(dir.File("none")).ToText(), "");

  std::ofstream(dir.File("damaged")) << "# saved form\n"
                                        "Pos1=Single:192\r\n"
                                        "Pos2=Single:lots\n"
                                        "no equals sign\n"
                                        "=Long:1\n"
                                        "Pos3=Unknown:1\n"
                                        "Text=String:\"open\n"
                                        "Pos4=Long:99999999999\n"
                                        "Pos4=Single:10\n";
  FilePropertyBag bag = FilePropertyBag::Load(dir.File("damaged"));
  EXPECT_EQ(bag.SkippedLines(), 6);
  EXPECT_EQ(std::get<float>(bag.ReadProperty("Pos1", int32_t{0})), 192.0f);
  EXPECT_EQ(std::get<int32_t>(bag.ReadProperty("Pos2", int32_t{0})), 0);
  EXPECT_EQ(std::get<float>(bag.ReadProperty("Pos4", int32_t{0})), 10.0f);
}

// A name written more than once keeps its last value, in the place of its
// last line; a large file of such lines loads in linear time.
TEST(FilePropertyBag, ALaterLineForANameReplacesTheEarlierOne) {
  TempDir dir;
  std::ofstream(dir.File("repeated")) << "A=Long:1\nB=Long:2\nA=Long:3\n";
  EXPECT_EQ(FilePropertyBag::Load(dir.File("repeated")).ToText(), "B=Long:2\nA=Long:3\n");

  constexpr int kNames = 50'000;
  {
    std::ofstream big(dir.File("big"));
    for (int round = 0; round < 2; ++round) {
      for (int i = 0; i < kNames; ++i) big << "P" << i << "=Long:" << round << "\n";
    }
  }
  const auto start = std::chrono::steady_clock::now();
  FilePropertyBag bag = FilePropertyBag::Load(dir.File("big"));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_EQ(std::get<int32_t>(bag.ReadProperty("P0", int32_t{9})), 1);
  EXPECT_EQ(std::get<int32_t>(bag.ReadProperty("P49999", int32_t{9})), 1);
}

TEST(FilePropertyBag, RefusesWhatItCannotHold) {
  TempDir dir;
  FilePropertyBag bag(dir.File("f"));
  EXPECT_THROW(bag.WriteProperty("a=b", int32_t{1}, int32_t{0}), PlatformError);
  EXPECT_THROW(bag.WriteProperty("", int32_t{1}, int32_t{0}), PlatformError);
  EXPECT_THROW(bag.WriteProperty("Obj", std::shared_ptr<Component>(), int32_t{0}),
               PlatformError);
  EXPECT_EQ(bag.ToText(), "");
}

TEST(FilePropertyBag, AFailedSaveRaisesAndKeepsTheOldFile) {
  TempDir dir;
  FilePropertyBag nowhere(dir.File("missing-dir/f"));
  nowhere.WriteProperty("A", int32_t{1}, int32_t{0});
  EXPECT_THROW(nowhere.Save(), PlatformError);

  std::ofstream(dir.File("kept")) << "A=Long:1\n";
  std::filesystem::create_directory(dir.File("kept.new"));  // blocks the new file
  FilePropertyBag bag(dir.File("kept"));
  bag.WriteProperty("A", int32_t{2}, int32_t{0});
  EXPECT_THROW(bag.Save(), PlatformError);
  EXPECT_EQ(ReadFile(dir.File("kept")), "A=Long:1\n");
}

}  // namespace
}  // namespace platform
