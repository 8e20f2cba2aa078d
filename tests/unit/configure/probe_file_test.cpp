#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "common/text_string.h"
#include "configure/config_files.h"
#include "setup/setup_state.h"
#include "support/test_files.h"

namespace {

// An install folder with "Bin" and a PSpice folder with "Common" below a fresh
// temporary folder.
class ProbeFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string install = folder_ / "Install";
    ASSERT_TRUE(CreateDirectoryA(install.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((install + "\\Bin").c_str(), nullptr));
    g_setupState.installFolder.Assign(install.c_str());
    source_ = install + "\\Bin\\pspice.prb";
    pspice_.Assign((folder_ / "PSpice Student").c_str());
    ASSERT_TRUE(CreateDirectoryA(pspice_.data, nullptr));
    ASSERT_TRUE(CreateDirectoryA((folder_ / "PSpice Student\\Common").c_str(), nullptr));
    destination_ = folder_ / "PSpice Student\\Common\\pspice.prb";
  }
  void TearDown() override { g_setupState.installFolder.SetLength(0); }

  // Copies the bytes as the source and returns the destination's bytes.
  std::string Copy(const std::string& bytes) {
    EXPECT_TRUE(WriteFileBytes(source_, bytes));
    EXPECT_TRUE(CopyProbeFile(pspice_));
    return ReadFileBytes(destination_);
  }

  TempFolder folder_;
  TextString pspice_;
  std::string source_;
  std::string destination_;
};

TEST_F(ProbeFile, CopiesLineEndsAsCrLf) {
  const std::string crLf = "[Probe]\r\nA=\xA7 1\r\n\r\nB=2\r\n";
  EXPECT_EQ(Printable(Copy(crLf)), Printable(crLf)) << "CR LF throughout comes back identical";
  EXPECT_EQ(Printable(Copy("a\nb\r\nc")), Printable("a\r\nb\r\nc"))
      << "a lone LF becomes CR LF; a last line without line end keeps its last byte";
  // A lone CR is an ordinary byte; CR CR LF reads as CR LF and goes out as CR CR LF.
  EXPECT_EQ(Printable(Copy("a\rb\r\r\n")), Printable("a\rb\r\r\n"));
  EXPECT_EQ(Printable(Copy(std::string("x\0y\r\n", 5))), Printable(std::string("x\0y\r\n", 5)));
}

TEST_F(ProbeFile, CopyEndsAtCtrlZ) {
  EXPECT_EQ(Printable(Copy("keep\r\nthis\x1A"
                           "but not this\r\n")),
            Printable("keep\r\nthis"));
}

TEST_F(ProbeFile, EmptySourceGivesEmptyDestination) { EXPECT_EQ(Copy(""), ""); }

TEST_F(ProbeFile, OverwritesAnExistingDestination) {
  ASSERT_TRUE(WriteFileBytes(destination_, "an older and longer probe file\r\n"));
  EXPECT_EQ(Copy("new\n"), "new\r\n");
}

TEST_F(ProbeFile, FailsWithoutTheCommonFolderAndDoesNotCreateIt) {
  ASSERT_TRUE(WriteFileBytes(source_, "a\n"));
  ASSERT_TRUE(RemoveDirectoryA((folder_ / "PSpice Student\\Common").c_str()));
  EXPECT_FALSE(CopyProbeFile(pspice_));
  EXPECT_FALSE(FolderExists(folder_ / "PSpice Student\\Common"));
}

TEST_F(ProbeFile, FailsWithoutTheSourceAndLeavesTheDestination) {
  ASSERT_TRUE(WriteFileBytes(destination_, "earlier\r\n"));
  EXPECT_FALSE(CopyProbeFile(pspice_));
  EXPECT_EQ(ReadFileBytes(destination_), "earlier\r\n");
}

TEST_F(ProbeFile, FailsWhenTheDestinationIsAFolder) {
  ASSERT_TRUE(WriteFileBytes(source_, "a\n"));
  ASSERT_TRUE(CreateDirectoryA(destination_.c_str(), nullptr));
  EXPECT_FALSE(CopyProbeFile(pspice_));
}

}  // namespace
