// Set-up on a machine it cannot run on: a box without owner, then exit code
// 1, each case in a child process of its own.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "childprocess.h"
#include "testsupport.h"

using testsupport::ChildProcess;

TEST(SceneFatal, MachineChecksEndTheProcess) {
    struct Case {
        const char* facts;
        std::vector<std::string> env;
        DWORD exitCode;
        std::string boxes;
    } cases[] = {
        {"palette", {}, 1, "Arrghh!\tCan't deal with less than 256 colors!\tno owner\n"},
        {"smallmemory", {}, 1, "Arrghh!\tCan't deal with less than 4 Megs of RAM!\tno owner\n"},
        // The display is checked first.
        {"palette,smallmemory", {}, 1, "Arrghh!\tCan't deal with less than 256 colors!\tno owner\n"},
        {"none", {"VISTARO_VNR_CREATE_FAIL=1"}, 1,
         "Error\tFailed to create a VXN context\tno owner\nError\tTry running setup again.\tno owner\n"},
        // All bits set is a large machine, not a negative one.
        {"hugememory", {}, 1024, ""},
        // Wine's machine passes: 2 GB.
        {"none", {}, 1024, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.facts);
        testsupport::TempDir dir;
        std::string boxFile = dir.file("boxes.txt");
        ChildProcess child("scene_fatal_helper.exe", std::string(c.facts) + " \"" + boxFile + "\"", c.env);
        ASSERT_TRUE(child.started());
        DWORD code = 0;
        ASSERT_TRUE(child.Wait(60000, &code));
        EXPECT_EQ(code, c.exitCode);
        std::string boxes = GetFileAttributesA(boxFile.c_str()) == INVALID_FILE_ATTRIBUTES
                                ? std::string()
                                : testsupport::ReadFile(boxFile);
        EXPECT_EQ(boxes, c.boxes);
        EXPECT_TRUE(child.boxes().empty()) << "a real message box was shown";
    }
}
