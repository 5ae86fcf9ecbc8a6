// coordconv-cli against hostile input, targets and faults: every case ends in
// a clear message and an exit status, with the old files kept.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "table/text_codec.h"
#include "tests/test_support.h"

extern char** environ;

namespace coordconv {
namespace {

using testing::ReadBytes;
using testing::RunCli;
using testing::EntriesIn;
using testing::ScratchDir;
using testing::WriteBytes;

TEST(CliHardening, OptionNamesAreNeverValuesAndOptionsComeOnce) {
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"gauss-forward", "--cm", "--yconst", "500000"}, 2, "option --cm needs a value"},
        {{"gauss-forward", "--cm", "-i", "x.txt"}, 2, "option --cm needs a value"},
        {{"gauss-forward", "-o", "--cm=117"}, 2, "option -o needs a value"},
        {{"gauss-forward", "--cm", "117", "--cm", "114"}, 2, "option --cm given twice"},
        {{"gauss-forward", "--cm=117", "--cm", "117"}, 2, "option --cm given twice"},
        {{"gauss-forward", "-o", "-", "-o", "-"}, 2, "option -o given twice"},
        {{"gauss-forward", "--yconst", "-500000"}, 0, ""},  // a negative number is a value
    };
    for (const Case& c : cases) {
        const auto run = RunCli(c.args, "P1,30.3,1.3\r\n");
        EXPECT_EQ(run.status, c.status) << c.args[1] << " " << c.args[2] << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
}

// Names are opaque: bytes that are no GBK character come out as they went in,
// through the command line and through the window's import and save codec.
TEST(CliHardening, UndecodableGbkBytesAreKept) {
    const std::vector<std::string> names = {
        "\xff", "\x80", "\x81", "P\x81", "\xd6\xd0\x81", "\x81\x30", "\xfe\x39\xfe",
        "\x84\x31\xa4\x37",  // U+FFFD written as a character
        "\xe3\x32\x9a\x35",  // the highest GB18030 character, U+10FFFF
        "\xf4\x8f\xbc\x80",  // UTF-8 of the held-byte range, as GBK bytes
    };
    for (const std::string& name : names) {
        EXPECT_EQ(EncodeFileText(DecodeFileText(name, FileEncoding::Gbk), FileEncoding::Gbk), name);
        const auto run = RunCli({"gauss-forward"}, name + ",30.3,1.3\r\n");
        ASSERT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.out, name + ",3376500.1736,644006.4942\r\n");
    }
    EXPECT_EQ(DecodeFileText("\xd6\xd0\xb9\xfa", FileEncoding::Gbk), "中国");
}

// `-o /proc/self/fd/1` with standard output redirected to a file names that
// file through a link under /proc. It is written directly, as the file the
// descriptor is open on: the same file (inode) takes the rows, never a
// temporary file renamed over it, which would leave the shell's descriptor on
// an unlinked file.
TEST(CliHardening, AnOutputUnderProcIsWrittenThroughItsDescriptor) {
    const ScratchDir dir;
    WriteBytes(dir.Path("in.txt"), "P1,30.3,1.3\r\n");
    WriteBytes(dir.Path("out.txt"), "");
    struct stat before {};
    ASSERT_EQ(stat(dir.Path("out.txt").c_str(), &before), 0);
    const std::string command = std::string(COORDCONV_CLI) + " gauss-forward -i " + dir.Path("in.txt") +
                                " -o /proc/self/fd/1 >" + dir.Path("out.txt") + " 2>" + dir.Path("err.txt");
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << ReadBytes(dir.Path("err.txt"));
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "P1,3376500.1736,644006.4942\r\n");
    struct stat after {};
    ASSERT_EQ(stat(dir.Path("out.txt").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino) << "the redirected file was replaced";
    EXPECT_EQ(EntriesIn(dir.Path("")), 3);  // in, out, err and no temporary file
}

TEST(CliHardening, MessagesShowControlCharactersEscaped) {
    const auto run = RunCli({"gauss-forward"}, "P1,3\x1b[2J,1\r\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "coordconv-cli: '3\\x1b[2J' is not a valid floating point value. (line 1)\n");
    const auto usage = RunCli({"gauss-forward", "--\x1b[2J=1"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_EQ(usage.err.find('\x1b'), std::string::npos) << usage.err;
}

TEST(CliHardening, OverlongLinesAndOutOfMemoryAreMessages) {
    const ScratchDir dir;
    WriteBytes(dir.Path("out.txt"), "old\r\n");
    WriteBytes(dir.Path("long.txt"), "P1,30.3,1.3\r\n" + std::string(5 << 20, '1') + "\r\n");
    const auto long_line = RunCli({"gauss-forward", "-i", dir.Path("long.txt"), "-o", dir.Path("out.txt")});
    EXPECT_EQ(long_line.status, 1);
    EXPECT_EQ(long_line.err, "coordconv-cli: Line longer than 4 MB.\n");
    const auto zeros = RunCli({"gauss-forward", "-i", "/dev/zero", "-o", dir.Path("out.txt")});
    EXPECT_EQ(zeros.err, "coordconv-cli: Line longer than 4 MB.\n");

    // A solve far larger than the memory the run may take. The limit counts
    // address space: GDAL's shared libraries (the file converters' and
    // spreadsheets') take about 200 MB of it before the program starts, the
    // solve's tables another 250 MB and more.
    std::string rows;
    for (int i = 0; i < 150000; ++i) rows += "P" + std::to_string(i) + ",30.1,114.2,10,30.1,114.2,10\r\n";
    WriteBytes(dir.Path("cp.txt"), rows);
    const std::string command = "ulimit -v 300000; " + std::string(COORDCONV_CLI) +
                                " bursa-wolf solve --form geodetic --form2 geodetic -i " + dir.Path("cp.txt") +
                                " -o " + dir.Path("out.txt") + " 2>" + dir.Path("err.txt");
    const int status = std::system(command.c_str());
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
    EXPECT_EQ(ReadBytes(dir.Path("err.txt")), "coordconv-cli: Out of memory.\n");
    EXPECT_EQ(ReadBytes(dir.Path("out.txt")), "old\r\n");
    EXPECT_EQ(EntriesIn(dir.Path("")), 4);  // out, long, cp, err and nothing else
}

// A run stopped by any signal whose default action ends it leaves the old
// output and no temporary file: the input is a FIFO that is kept open, so the
// run waits with its temporary file in place. A signal the run was started
// with ignored (SIGHUP under nohup) stays ignored and the run goes on.
TEST(CliHardening, StoppedRunsLeaveNoTemporaryFile) {
    // The core-dumping signals (SIGQUIT, SIGXCPU, ...) leave no core file.
    struct rlimit core_limit {};
    getrlimit(RLIMIT_CORE, &core_limit);
    const struct rlimit no_core = {0, core_limit.rlim_max};
    setrlimit(RLIMIT_CORE, &no_core);
    const std::vector<int> signals = {SIGHUP,  SIGINT,  SIGQUIT,   SIGTERM, SIGUSR1,  SIGUSR2,  SIGALRM,
                                      SIGPIPE, SIGXCPU, SIGXFSZ, SIGVTALRM, SIGPROF, SIGRTMIN, SIGRTMAX};
    for (const int signal_number : signals) {
        for (const bool ignored : {false, true}) {
            if (ignored && signal_number != SIGHUP) continue;
            const ScratchDir dir;
            WriteBytes(dir.Path("out.txt"), "old\r\n");
            ASSERT_EQ(mkfifo(dir.Path("in").c_str(), 0600), 0);
            const std::string cli = COORDCONV_CLI;
            const std::string in = dir.Path("in");
            const std::string out = dir.Path("out.txt");
            std::vector<char*> argv = {const_cast<char*>(cli.c_str()), const_cast<char*>("gauss-forward"),
                                       const_cast<char*>("-i"), const_cast<char*>(in.c_str()),
                                       const_cast<char*>("-o"), const_cast<char*>(out.c_str()), nullptr};
            // Every signal at its default action, as from a shell; or the
            // tested one ignored, as nohup starts a program.
            posix_spawnattr_t attributes;
            posix_spawnattr_init(&attributes);
            sigset_t defaults;
            sigfillset(&defaults);
            if (ignored) sigdelset(&defaults, signal_number);
            posix_spawnattr_setsigdefault(&attributes, &defaults);
            posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF);
            struct sigaction previous {};
            struct sigaction ignore {};
            ignore.sa_handler = SIG_IGN;
            if (ignored) sigaction(signal_number, &ignore, &previous);
            pid_t pid = 0;
            const int spawned = posix_spawn(&pid, cli.c_str(), nullptr, &attributes, argv.data(), environ);
            if (ignored) sigaction(signal_number, &previous, nullptr);
            posix_spawnattr_destroy(&attributes);
            ASSERT_EQ(spawned, 0);
            std::FILE* feed = std::fopen(in.c_str(), "wb");
            ASSERT_NE(feed, nullptr);
            std::fputs("P1,30.3,1.3\r\n", feed);
            std::fflush(feed);
            for (int wait = 0; wait < 500 && EntriesIn(dir.Path("")) < 3; ++wait)
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(EntriesIn(dir.Path("")), 3) << "no temporary file appeared";
            kill(pid, signal_number);
            std::fclose(feed);
            int status = 0;
            waitpid(pid, &status, 0);
            if (ignored) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
                EXPECT_EQ(ReadBytes(out), "P1,3376500.1736,644006.4942\r\n");
            } else {
                EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal_number)
                    << "signal " << signal_number << ": " << status;
                EXPECT_EQ(ReadBytes(out), "old\r\n");
            }
            EXPECT_EQ(EntriesIn(dir.Path("")), 2) << "signal " << signal_number << " left a temporary file";
        }
    }
    setrlimit(RLIMIT_CORE, &core_limit);
}

// No two of -i, -o, --residuals and --report name one file (after links,
// hard links too), and the solve's outputs belong to solve only: usage
// mistakes, with nothing written.
TEST(CliHardening, OneFileNamedForTwoOptionsIsAUsageMistake) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), "A,30,114,0,30,114,0\r\nB,31,115,0,31,115,0\r\nC,30.5,116,0,30.5,116,0\r\n");
    std::filesystem::create_symlink("X.json", dir.Path("link"));
    std::filesystem::create_symlink(dir.Path("sub/../cp.txt"), dir.Path("cp-link.txt"));
    std::filesystem::create_directory(dir.Path("sub"));
    std::filesystem::create_hard_link(dir.Path("cp.txt"), dir.Path("hard.txt"));
    const std::vector<std::string> solve = {"bursa-wolf", "solve", "--form", "geodetic", "--form2", "geodetic"};
    struct Case {
        std::vector<std::string> args;
        std::string message;
    };
    const std::vector<Case> cases = {
        {{"-i", "cp.txt", "-o", "X.json", "--report", "X.json"}, "options -o and --report name the same file"},
        {{"-i", "cp.txt", "--residuals", "X.json", "--report", "X.json"}, "options --residuals and --report"},
        {{"-i", "cp.txt", "-o", "link", "--report", "X.json"}, "options -o and --report"},  // a dangling link
        {{"-i", "cp.txt", "-o", "p.txt", "--residuals", "sub/../p.txt"}, "options -o and --residuals"},
        {{"-i", "cp.txt", "-o", "cp-link.txt"}, "options -i and -o"},
        {{"-i", "cp.txt", "--residuals", "hard.txt"}, "options -i and --residuals"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = solve;
        for (std::size_t i = 0; i < c.args.size(); ++i)
            args.push_back(i % 2 == 1 ? dir.Path(c.args[i]) : c.args[i]);
        const auto run = RunCli(args);
        EXPECT_EQ(run.status, 2) << c.args[3] << "\n" << run.err;
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    for (const char* command : {"convert", "proj"}) {
        for (const char* output : {"--report", "--residuals"}) {
            const auto run = RunCli({"bursa-wolf", command, "-i", dir.Path("cp.txt"), output, dir.Path("r.json")});
            EXPECT_EQ(run.status, 2) << command << " " << output;
            EXPECT_NE(run.err.find(std::string("option ") + output + " is an output of solve"), std::string::npos)
                << run.err;
        }
    }
    EXPECT_EQ(EntriesIn(dir.Path("")), 5);  // cp.txt, its two links, hard.txt, sub
}

TEST(CliHardening, OutputsOfOneRunAreAllOrNothing) {
    const ScratchDir dir;
    WriteBytes(dir.Path("cp.txt"), "A,30,114,0,30,114,0\r\nB,31,115,0,31,115,0\r\nC,30.5,116,0,30.5,116,0\r\n");
    WriteBytes(dir.Path("res.txt"), "old residuals\r\n");
    WriteBytes(dir.Path("par.txt"), "old parameters\r\n");
    const std::vector<std::string> solve = {"bursa-wolf", "solve", "--form", "geodetic", "--form2", "geodetic",
                                            "-i", dir.Path("cp.txt")};
    const auto with = [&](std::vector<std::string> outputs) {
        std::vector<std::string> args = solve;
        args.insert(args.end(), outputs.begin(), outputs.end());
        return args;
    };
    // The parameter file cannot be made: neither the report nor the
    // residuals are written.
    const auto missing = RunCli(with({"--report", dir.Path("r.json"), "--residuals", dir.Path("res.txt"), "-o",
                                      dir.Path("missing/par.txt")}));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.err, "coordconv-cli: File not found.\n");
    EXPECT_EQ(ReadBytes(dir.Path("res.txt")), "old residuals\r\n");
    EXPECT_EQ(EntriesIn(dir.Path("")), 3);

    // The box-computing commands write to -o what they print.
    const std::vector<std::vector<std::string>> boxes = {
        {"four-3d", "centre", "--form", "geodetic", "-i", dir.Path("cp.txt")},
        {"compensation", "plane", "--mean-lat", "30", "--mean-h", "1000", "--mean-y", "100000"},
        {"compensation", "axis", "--mean-lat", "30", "--plane-h", "215"},
    };
    for (std::vector<std::string> args : boxes) {
        const auto printed = RunCli(args);
        ASSERT_EQ(printed.status, 0) << printed.err;
        args.insert(args.end(), {"-o", dir.Path("box.txt")});
        const auto written = RunCli(args);
        ASSERT_EQ(written.status, 0) << written.err;
        EXPECT_EQ(ReadBytes(dir.Path("box.txt")), printed.out) << args[0];
    }

    // A disk that fills up under any one of the outputs (a full device made
    // in the scratch folder, named as the output needs).
    const std::string full = testing::MakeFullDevice(dir, "full.json");
    if (full.empty()) GTEST_SKIP() << "mknod needs root: the full-disk cases are not run";
    const std::vector<std::vector<std::string>> fillings = {
        {"--report", dir.Path("r.json"), "--residuals", dir.Path("res.txt"), "-o", full},
        {"--report", dir.Path("r.json"), "--residuals", full, "-o", dir.Path("par.txt")},
        {"--report", full, "--residuals", dir.Path("res.txt"), "-o", dir.Path("par.txt")},
    };
    for (const auto& outputs : fillings) {
        const auto filled = RunCli(with(outputs));
        EXPECT_EQ(filled.status, 1);
        EXPECT_EQ(filled.err, "coordconv-cli: Disk full.\n");
        EXPECT_EQ(ReadBytes(dir.Path("res.txt")), "old residuals\r\n");
        EXPECT_EQ(ReadBytes(dir.Path("par.txt")), "old parameters\r\n");
        EXPECT_EQ(EntriesIn(dir.Path("")), 5);  // cp, res, par, box and the device: no report
    }
}

}  // namespace
}  // namespace coordconv
