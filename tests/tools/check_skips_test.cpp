// The CI rule that no test skips silently: scripts/check-skips reads the run's report and fails
// on a skipped test that the allow-list does not name.
#include "platform/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/wait.h>

namespace bw {
namespace {

int CheckSkips(const std::string& report, const std::string& allowList) {
    const std::string cmd = std::string("bash ") + BW_TEST_SOURCE_DIR + "/scripts/check-skips " +
                            report + " " + allowList + " > /dev/null 2>&1";
    const int status = std::system(cmd.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

void Write(const std::string& path, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomically(path, text.data(), text.size()));
}

TEST(CheckSkips, ASkippedTestFailsTheRunUnlessTheAllowListNamesIt) {
    testing::TempFolder dir;
    const std::string report = dir.File("report.xml");
    Write(report, R"(<testsuite>
	<testcase name="A.Runs" classname="A.Runs" time="0.1" status="run">
	</testcase>
	<testcase name="B.Skips" classname="B.Skips" time="0.1" status="notrun">
		<skipped message="SKIP_REGULAR_EXPRESSION_MATCHED"/>
	</testcase>
</testsuite>
)");
    const std::string none = dir.File("none.txt");
    Write(none, "# nothing may skip\n");
    EXPECT_EQ(CheckSkips(report, none), 1);

    const std::string listed = dir.File("listed.txt");
    Write(listed, "# why each may skip\nB.Skips  needs a sound card\nC.Other  unrelated\n");
    EXPECT_EQ(CheckSkips(report, listed), 0);
    // A name that only starts like the skipped one does not cover it.
    Write(listed, "B.Skip  too short\n");
    EXPECT_EQ(CheckSkips(report, listed), 1);
    // No report at all is a failure, not a pass.
    EXPECT_EQ(CheckSkips(dir.File("missing.xml"), listed), 1);
}

} // namespace
} // namespace bw
