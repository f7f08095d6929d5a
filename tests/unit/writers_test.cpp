#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "platform/profile.h"
#include "test_files.h"

// Native only: the Windows store is killed and shared by the fault tests under Wine, which kill the
// program at random moments and run both of its modes on one list.

using namespace codeeingabe;

static std::string Key(int number) { return std::to_string(100000 + number).substr(1); }

// Writes "USED" to the keys first to first + count - 1, in a child process of its own.
static pid_t Writer(const fs::path& file, int first, int count) {
    const pid_t child = fork();
    for (int key = first; child == 0 && key < first + count; ++key) WriteProfile(file, "Codes", Key(key), "USED");
    if (child == 0) _exit(0);
    return child;
}

// A writer killed at any moment leaves the old file or the new one, whole, never a mixture (a long
// line makes every write take a while); two processes writing different keys at once lose none of
// each other's writes.
TEST(Profile, KilledAndConcurrentWriters) {
    TempFolder folder;
    const fs::path file = folder / "Codelist.ini";
    const auto list = [](int used) {
        std::string bytes = "[Pad]\r\nx=" + std::string(200000, 'x') + "\r\n[Codes]\r\n";
        for (int key = 0; key < 600; ++key) bytes += Key(key) + (key < used ? "=USED\r\n" : "=UNUSED\r\n");
        return bytes;
    };
    WriteBytes(file, list(0));
    int used = 0;
    for (int round = 0; round < 30; ++round) {
        const pid_t writer = Writer(file, used, 600 - used);
        usleep(round % 15 * 1000);
        kill(writer, SIGKILL);
        waitpid(writer, nullptr, 0);
        const std::string bytes = Bytes(file);
        for (used = 0; bytes.find(Key(used) + "=USED\r\n") != bytes.npos;) ++used;
        ASSERT_TRUE(bytes == list(used)) << "round " << round << ": " << bytes.size() << " bytes, " << used << " keys used";
    }
    EXPECT_GT(used, 0) << "the writer was never killed after a write";
    WriteBytes(file, list(0));
    for (const pid_t writer : {Writer(file, 0, 300), Writer(file, 300, 300)}) waitpid(writer, nullptr, 0);
    EXPECT_TRUE(Bytes(file) == list(600)) << Bytes(file).substr(200000);
}
