// The packer as its users run it: the command line, its output and exit codes.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/host/archive_bytes.h"
#include "tests/host/host_files.h"

namespace {

using namespace archive_bytes;

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs qvpack with the arguments (already quoted for the shell).
CommandResult Qvpack(const HostTempFolder& temp, const std::string& arguments) {
  const std::string command = std::string(QVPACK_BINARY) + " " + arguments + " >" +
                              temp / "stdout" + " 2>" + temp / "stderr";
  CommandResult run;
  const int status = std::system(command.c_str());
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.out = ReadHostFile(temp / "stdout");
  run.err = ReadHostFile(temp / "stderr");
  return run;
}

TEST(QvpackCommandLine, PackThenListShowsEveryFolderAndFileWithTotals) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Beispiele/Filter/amp.sch", "12345");
  WriteHostFile(tree + "/Beispiele/Filter/AMP2.SCH", "");
  WriteHostFile(tree +
                    "/Beispiele/\xC3\x9C"
                    "bung/x_pll_sim.m",
                "m");  // Übung
  WriteHostFile(tree + "/Doc/readme.txt", std::string(1000, 'r'));

  const CommandResult pack = Qvpack(temp, "pack " + tree + " " + temp / "a.qva");
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  // 259 less a backslash, "Beispiele\Übung\x_pll_sim.m" (27 characters) and "~QVSetup".
  EXPECT_EQ(pack.out + pack.err,
            "qvpack: " + temp / "a.qva: install folders of up to 223 characters\n");

  const CommandResult list = Qvpack(temp, "list " + temp / "a.qva");
  EXPECT_EQ(list.exitCode, 0) << list.err;
  EXPECT_EQ(list.out,
            "d              Bin/\n"
            "-            4 Bin/pspice.prb\n"
            "-            5 Bin/qv.ini\n"
            "d              Doc/\n"
            "-         1000 Doc/readme.txt\n"
            "d              Beispiele/\n"
            "d              Beispiele/Filter/\n"
            "-            0 Beispiele/Filter/AMP2.SCH\n"
            "-            5 Beispiele/Filter/amp.sch\n"
            "d              Beispiele/\xC3\x9C"
            "bung/\n"
            "-            1 Beispiele/\xC3\x9C"
            "bung/x_pll_sim.m\n"
            "3 sections, 2 folders, 6 files, 1015 bytes, 2 schematics\n");

  const CommandResult verify = Qvpack(temp, "verify " + temp / "a.qva");
  EXPECT_EQ(verify.exitCode, 0);
  EXPECT_EQ(verify.out, "ok: 3 sections, 2 folders, 6 files, 1015 bytes, 2 schematics\n");
}

TEST(QvpackCommandLine, VerifyNamesTheFirstFaultAndItsOffset) {
  HostTempFolder temp;
  const std::string good = "B" + FileRecord("a", "1") + kEnd;  // 10 bytes
  const std::vector<std::pair<std::string, std::string>> cases = {
      {good.substr(0, 9), "offset 9: record runs past the end of the archive"},
      {good + "trailing", "offset 9: unexpected byte where the final 0x00 byte was expected"},
      {"B" + FileRecord("..", "") + kEnd, "offset 1: unsafe name"},
      {"B>" + Name("a") + Size(0xFFFFFFFFu) + kEnd, "offset 1: file size of 2^31 bytes or more"},
  };
  for (const auto& item : cases) {
    WriteHostFile(temp / "bad.qva", item.first);
    const CommandResult verify = Qvpack(temp, "verify " + temp / "bad.qva");
    EXPECT_EQ(verify.exitCode, 1);
    EXPECT_EQ(verify.err.find("qvpack: " + temp / "bad.qva: " + item.second), 0u) << verify.err;
    const CommandResult list = Qvpack(temp, "list " + temp / "bad.qva");
    EXPECT_EQ(list.exitCode, 1) << "list fails on the same fault";
  }
  const CommandResult missing = Qvpack(temp, "verify " + temp / "none.qva");
  EXPECT_EQ(missing.exitCode, 1);
  EXPECT_EQ(missing.err, "qvpack: " + temp / "none.qva: No such file or directory\n");
}

TEST(QvpackCommandLine, RejectedTreeGivesItsErrorsAndNoArchive) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  WriteHostFile(tree + "/Bin/a*b", "");
  WriteHostFile(tree + "/Bin/pspice.prb", "");
  const CommandResult pack = Qvpack(temp, "pack " + tree + " " + temp / "a.qva");
  EXPECT_EQ(pack.exitCode, 1);
  EXPECT_EQ(pack.err, "qvpack: " + tree + "/Bin/a*b: character '*' is not allowed by Windows\n" +
                          "qvpack: " + tree + "/Bin/qv.ini: is missing; every package needs it\n" +
                          "qvpack: no archive written\n");
  EXPECT_FALSE(std::filesystem::exists(temp / "a.qva"));
}

TEST(QvpackCommandLine, PackageTooDeepForTheDefaultInstallFolderIsRefused) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  // 236 characters below the install folder leave 14 for it, one too few.
  WriteHostFile(tree + "/Doc/" + std::string(120, 'a') + "/" + std::string(105, 'b') + "/x.txt",
                "");
  const CommandResult pack = Qvpack(temp, "pack " + tree + " " + temp / "a.qva");
  EXPECT_EQ(pack.exitCode, 1);
  EXPECT_EQ(pack.err, "qvpack: " + tree +
                          ": its longest paths need an install folder of at most 14 characters, "
                          "shorter than C:\\DO-Dazuvazav\n"
                          "qvpack: no archive written\n");
  EXPECT_FALSE(std::filesystem::exists(temp / "a.qva"));
}

TEST(QvpackCommandLine, WriteFailureLeavesNoArchive) {
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Doc/big", std::string(200000, 'b'));
  // A file size limit of 50 blocks makes the writes fail with EFBIG.
  const std::string command = "trap '' XFSZ; ulimit -f 50; " + std::string(QVPACK_BINARY) +
                              " pack " + tree + " " + temp / "out.qva" + " 2>" + temp / "stderr";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  const std::string err = ReadHostFile(temp / "stderr");
  EXPECT_NE(err.find(": cannot write the archive: File too large\n"), std::string::npos) << err;
  EXPECT_EQ(NamesIn(temp.path()), (std::vector<std::string>{"stderr", "tree"}))
      << "no archive, no temporary file";
}

TEST(QvpackCommandLine, WrongUseShowsTheUsage) {
  HostTempFolder temp;
  for (const char* arguments : {"", "pack onlyone", "list", "unpack a b", "verify a b"}) {
    const CommandResult run = Qvpack(temp, arguments);
    EXPECT_EQ(run.exitCode, 2) << arguments;
    EXPECT_EQ(run.err.find("usage: qvpack pack <tree> <archive>"), 0u) << run.err;
  }
}

TEST(QvpackCommandLine, UnreadableFileIsNamed) {
  // Root reads every file, so the packer runs as an unprivileged user here.
  HostTempFolder temp;
  const std::string tree = temp / "tree";
  MakeMinimalPackage(tree);
  WriteHostFile(tree + "/Doc/secret", "s");
  chmod((tree + "/Doc/secret").c_str(), 0);
  chmod(temp.path().c_str(), 0777);
  std::string user;
  if (geteuid() == 0) user = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  const std::string command =
      user + QVPACK_BINARY + " pack " + tree + " " + temp / "out.qva" + " 2>" + temp / "stderr";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 1);
  EXPECT_EQ(ReadHostFile(temp / "stderr"), "qvpack: " + tree +
                                               "/Doc/secret: cannot be read: Permission denied\n"
                                               "qvpack: no archive written\n");
  EXPECT_FALSE(std::filesystem::exists(temp / "out.qva"));
}

}  // namespace
