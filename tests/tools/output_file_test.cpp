// OutputFile run to each of its ends in a child process: what stands at the target after,
// and that nothing else is left in the folder.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "cli/output_file.hpp"
#include "tests/tools/scrpkg_cli.hpp"

namespace {

using namespace scrpkg_test;

struct Ending {
  std::string label;
  int signal_number;   // raised after the write; 0: none
  bool commit;         // commit() is called (after the signal, if any)
  std::string target;  // what then stands at the target
};

class OutputFileEnds : public testing::TestWithParam<Ending> {};

TEST_P(OutputFileEnds, TargetIsWholeOldOrWholeNewAndNoTemporaryStays) {
  const Ending& e = GetParam();
  ScratchDir dir;
  testsupport::write_file((dir / "OUT").string(), testsupport::Bytes{'o', 'l', 'd'});
  const pid_t child = ::fork();
  if (child == 0) {
    {
      scrpkg::OutputFile out(dir / "OUT");
      out.write("new!", 4);
      out.write_at(3, "?", 1);
      if (e.signal_number != 0) std::raise(e.signal_number);
      if (e.commit) out.commit();
    }
    ::_exit(0);
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  EXPECT_EQ(WIFSIGNALED(status) ? WTERMSIG(status) : 0, e.signal_number);
  EXPECT_EQ(file_text(dir / "OUT"), e.target);
  EXPECT_EQ(files_under(dir.path()), std::set<std::string>{"OUT"});
}

INSTANTIATE_TEST_SUITE_P(Endings, OutputFileEnds,
                         testing::Values(Ending{"committed", 0, true, "new?"},
                                         Ending{"abandoned", 0, false, "old"},
                                         Ending{"interrupted", SIGINT, true, "old"},
                                         Ending{"terminated", SIGTERM, true, "old"}),
                         [](const auto& info) { return info.param.label; });

}  // namespace
