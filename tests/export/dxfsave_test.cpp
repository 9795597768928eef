// Writing the DXF file: replacing, failures, and a reading by an independent DXF library.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "dxftestsupport.h"
#include "export/dxfwriter.h"
#include "support/stoppingprogress.h"

namespace tervasko {
namespace {

namespace fs = std::filesystem;
using namespace dxftest;

class ScratchFolder {
public:
    ScratchFolder() {
        char name[] = "/tmp/tervasko-dxf-XXXXXX";
        if (!::mkdtemp(name)) throw std::runtime_error("mkdtemp failed");
        path_ = name;
        // Other users (the unprivileged helper) must be able to reach folders inside.
        fs::permissions(path_, fs::perms(0755));
    }
    ~ScratchFolder() {
        std::error_code ec;
        fs::remove_all(path_, ec);
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::set<std::string> namesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
    return names;
}

void addLines(TDrawing& d, int count) {
    for (int i = 0; i < count; ++i) addElement(d, ekLine, {i * 0.5, 10, i * 0.5 + 0.25, 20});
}

TEST(DxfSave, WritesTheTextAndReplacesAnOldFile) {
    ScratchFolder dir;
    const std::string target = dir / "plan.dxf";
    writeFile(target, "old content that is longer than nothing");
    TDrawing d;
    addElement(d, ekLine, {10, 20, 110, 20});
    addText(d, 5, 5, u"A");
    const Error error = savedxfArc(target, d, 1);
    ASSERT_FALSE(error) << EnglishText(error);
    EXPECT_EQ(readFile(target), DxfText(d, 1));
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plan.dxf"});
}

TEST(DxfSave, TargetThatCannotBeCreated) {
    ScratchFolder dir;
    fs::create_directory(dir.path() / "folder.dxf");
    struct Case {
        std::string target, reason;
    };
    const Case cases[] = {
        {dir / "missing/plan.dxf", "No such file or directory"},
        {dir / "folder.dxf", "Is a directory"},
    };
    TDrawing d;
    addLines(d, 3);
    for (const Case& c : cases) {
        Error error = savedxfArc(c.target, d, 1);
        EXPECT_TRUE(error);
        EXPECT_EQ(EnglishText(error), "Cannot create \"" + c.target + "\": " + c.reason);
    }
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"folder.dxf"});
    EXPECT_TRUE(fs::is_empty(dir.path() / "folder.dxf"));
}

// A failure after the temporary file exists: the file size limit stops the writes with
// EFBIG. The old file must survive and nothing may be left beside it.
TEST(DxfSave, WriteFailureAfterCreationKeepsTheOldFile) {
    ScratchFolder dir;
    const std::string target = dir / "plan.dxf";
    writeFile(target, "old");
    TDrawing d;
    addLines(d, 20000);  // some 2 MB of text

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 100 * 1024;
    const auto previousHandler = ::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const Error error = savedxfArc(target, d, 1);
    ::setrlimit(RLIMIT_FSIZE, &saved);
    ::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(error);
    EXPECT_EQ(EnglishText(error), "Cannot write \"" + target + "\": File too large");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plan.dxf"});
}

TEST(DxfSave, SinkThatRefusesStopsTheExport) {
    TDrawing d;
    addLines(d, 20000);
    int calls = 0;
    EXPECT_FALSE(WriteDxf(d, 1, [&calls](std::string_view) { return ++calls < 2; }));
    EXPECT_EQ(calls, 2);

    std::size_t bytes = 0;
    EXPECT_TRUE(WriteDxf(d, 1, [&bytes](std::string_view chunk) {
        bytes += chunk.size();
        return true;
    }));
    EXPECT_EQ(bytes, DxfText(d, 1).size());
}

// Every element and text is counted, the last report coming before the file is put in
// place; stopped at any report, the old file stays as it was and nothing is left beside it.
TEST(DxfSave, AStoppedExportLeavesNothingBehind) {
    ScratchFolder dir;
    const std::string target = dir / "plan.dxf";
    TDrawing d;
    addLines(d, 5000);
    addText(d, 5, 5, u"A");

    testing::StoppingProgress all;
    Error error = savedxfArc(target, d, 1, &all);
    ASSERT_FALSE(error) << EnglishText(error);
    const std::string full = readFile(target);
    EXPECT_EQ(full, DxfText(d, 1));
    ASSERT_GT(all.reports.size(), 2u);
    EXPECT_EQ(all.reports.back(), std::make_pair(std::uint64_t{5001}, std::uint64_t{5001}));

    for (std::size_t stopAt : {std::size_t{1}, all.reports.size()}) {
        writeFile(target, "old");
        testing::StoppingProgress stopping(stopAt);
        error = savedxfArc(target, d, 1, &stopping);
        EXPECT_EQ(error.Code, ErrorCode::Cancelled);
        EXPECT_EQ(EnglishText(error),
                  "Cannot write \"" + target + "\": stopped by the user; nothing was changed");
        EXPECT_EQ(stopping.reports.size(), stopAt);
        EXPECT_EQ(readFile(target), "old");
        EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plan.dxf"});
    }
    // Nor is a new file made.
    fs::remove(target);
    testing::StoppingProgress first(1);
    EXPECT_EQ(savedxfArc(target, d, 1, &first).Code, ErrorCode::Cancelled);
    EXPECT_TRUE(fs::is_empty(dir.path()));

    // Stopped at the last report, WriteDxf hands the sink nothing more.
    std::string streamed;
    testing::StoppingProgress last(all.reports.size());
    EXPECT_FALSE(WriteDxf(
        d, 1,
        [&streamed](std::string_view chunk) {
            streamed.append(chunk);
            return true;
        },
        &last));
    EXPECT_LT(streamed.size(), full.size());
}

// The estimate follows what the writer makes of each kind: drawn with the coordinates of
// real drawings (millimetres with all their digits), it lies near the true size.
TEST(DxfSave, TheSizeEstimateIsNearTheTrueSizeForEveryKind) {
    std::uint32_t seed = 7;
    const auto mm = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return 5 + (seed >> 8) / double(1 << 24) * 290;
    };
    struct Case {
        const char* name;
        std::uint32_t kind;  // ekLine .. ekCurve, or 99 for texts
    };
    for (const Case c : {Case{"lines", ekLine}, Case{"arcs", ekArc}, Case{"circles", ekCircle},
                         Case{"curves", ekCurve}, Case{"texts", 99u}}) {
        SCOPED_TRACE(c.name);
        TDrawing d;
        for (int i = 0; i < 300; ++i) {
            if (c.kind == 99u) {
                addText(d, mm(), mm(), u"Umkreis des Dreiecks ABC");
                continue;
            }
            const double x = mm(), y = mm(), r = mm() / 10;
            addElement(d, c.kind, {x - r, y - r, x + r, y + r, mm(), mm(), mm(), mm()});
        }
        const double actual = static_cast<double>(DxfText(d, 1).size());
        const double estimate = static_cast<double>(EstimateDxfSize(d));
        EXPECT_GT(estimate, 0.9 * actual) << actual;
        EXPECT_LT(estimate, 1.1 * actual) << actual;
    }
    // 1.2 million arcs and circles make some 20 GB, as the writer would make them.
    TDrawing one;
    addElement(one, ekCircle, {10.123, 20.456, 60.789, 70.012});
    EXPECT_GT(EstimateDxfSize(one), 14000u);
    EXPECT_LT(EstimateDxfSize(one), 24000u);
}

// Puts the system's free space back when a test is done with its own.
struct FreeSpaceOf {
    explicit FreeSpaceOf(FreeSpaceQuery query) : previous(SetDxfFreeSpaceQuery(std::move(query))) {}
    ~FreeSpaceOf() { SetDxfFreeSpaceQuery(std::move(previous)); }
    FreeSpaceQuery previous;
};

// A file larger than the free space of its folder is refused before anything is written;
// one that just fits is written. Where the system cannot tell, the writes decide.
TEST(DxfSave, AFileLargerThanTheFreeSpaceIsRefusedWithNothingWritten) {
    ScratchFolder dir;
    const std::string target = dir / "plan.dxf";
    writeFile(target, "old");
    TDrawing d;
    for (int i = 0; i < 100; ++i) addElement(d, ekCircle, {i * 1.5, 20, i * 1.5 + 10, 30});
    const std::uint64_t needed = EstimateDxfSize(d);

    std::vector<std::string> asked;
    std::optional<std::uint64_t> free = needed - 1;
    FreeSpaceOf shortage([&](const std::string& folder) {
        asked.push_back(folder);
        return free;
    });
    const Error refused = savedxfArc(target, d, 1);
    EXPECT_EQ(refused.Code, ErrorCode::NotEnoughSpace);
    EXPECT_EQ(asked, std::vector<std::string>{dir.path().string()});
    char size[32];
    std::snprintf(size, sizeof size, "%.1f MB", static_cast<double>(needed) / (1 << 20));
    EXPECT_EQ(EnglishText(refused), "Cannot write \"" + target + "\": the file would take about " +
                                        size + ", and only " + size + " are free there");
    EXPECT_EQ(readFile(target), "old");
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plan.dxf"});

    free = 0;  // a full disk refuses even an empty drawing
    TDrawing empty;
    EXPECT_EQ(savedxfArc(dir / "empty.dxf", empty, 1).Code, ErrorCode::NotEnoughSpace);
    EXPECT_EQ(namesIn(dir.path()), std::set<std::string>{"plan.dxf"});

    for (const std::optional<std::uint64_t> enough :
         {std::optional<std::uint64_t>(needed), std::optional<std::uint64_t>()}) {
        free = enough;
        const Error error = savedxfArc(target, d, 1);
        ASSERT_FALSE(error) << EnglishText(error);
        EXPECT_EQ(readFile(target), DxfText(d, 1));
    }
}

int runShell(const std::string& command) {
    const int status = std::system(command.c_str());
    return status != -1 && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Root ignores file modes, so the helper runs as "nobody".
TEST(DxfSave, UnwritableFolderAsUnprivilegedUser) {
    if (::access("/usr/bin/setpriv", X_OK) != 0) GTEST_SKIP() << "setpriv is not installed";
    ScratchFolder dir;
    const fs::path locked = dir.path() / "locked";
    const fs::path open = dir.path() / "open";
    fs::create_directory(locked);
    fs::create_directory(open);
    const std::string old = (locked / "plan.dxf").string();
    writeFile(old, "old");
    fs::permissions(old, fs::perms(0666));
    fs::permissions(locked, fs::perms(0555));
    fs::permissions(open, fs::perms(0777));
    const std::string output = dir / "helper.out";
    const auto asNobody = [&](const std::string& target) {
        return runShell("/usr/bin/setpriv --reuid=65534 --regid=65534 --clear-groups '" +
                        std::string(TERVASKO_DXF_SAVE_HELPER) + "' '" + target + "' >'" + output +
                        "' 2>&1");
    };

    // The helper works as that user where it may write...
    const std::string fine = (open / "plan.dxf").string();
    ASSERT_EQ(asNobody(fine), 0) << readFile(output);
    struct stat st {};
    ASSERT_EQ(::stat(fine.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 65534u);

    // ...and fails where it may not, leaving the old file as it was, although the file
    // itself is writable.
    EXPECT_EQ(asNobody(old), 1);
    EXPECT_EQ(readFile(output), "Cannot create \"" + old + "\": Permission denied\n");
    EXPECT_EQ(readFile(old), "old");
    EXPECT_EQ(namesIn(locked), std::set<std::string>{"plan.dxf"});
}

// ezdxf reads our file as R12 without complaint and finds what we wrote.
TEST(DxfSave, AnIndependentReaderAcceptsTheFile) {
    const char* sourceDir = std::getenv("TERVASKO_SOURCE_DIR");
    const std::string script = std::string(sourceDir ? sourceDir : TERVASKO_SOURCE_FALLBACK) +
                               "/tests/export/dxf_reader_check.py";
    ASSERT_TRUE(fs::exists(script)) << script;
    ASSERT_EQ(::access("/usr/bin/python3", X_OK), 0) << "the reader check needs /usr/bin/python3";

    TDrawing d;
    addElement(d, ekLine, {10, 20, 110, 20});
    addElement(d, ekLine, {110, 20, 110, 80});                      // joins: 4 vertices
    addElement(d, ekLine, {0, 0, 5, 5});                            // 2
    addElement(d, ekArc, {50, 50, 90, 90, 90, 70, 70, 50});         // 200
    addElement(d, ekCircle, {100, 100, 140, 120});                  // 256
    addElement(d, ekCircle, {100, 150, 100, 170});                  // zero width: 2
    addElement(d, ekCurve, {10, 200, 40, 150, 80, 250, 110, 200});  // 16
    addElement(d, ekCurve, {0, 250, 10, 260, 20, 270, 30, 280});    // straight: 16
    addElement(d, 7, {1, 2, 3, 4, 5, 6, 7, 8});                     // not exported
    addElement(d, ekLine, {std::numeric_limits<double>::quiet_NaN(), 0, 1, 1});  // neither
    addText(d, 20, 30, u"ab\r\ncd \u20ac \u00e4 \u2192 \U0001F600", 12);
    addText(d, 20, 40, u"Gr\u00f6\u00dfe 12,5 mm", -100);
    ScratchFolder dir;
    const std::string file = dir / "all kinds.dxf";
    Error error = savedxfArc(file, d, 2);
    ASSERT_FALSE(error) << EnglishText(error);

    const std::string check = "/usr/bin/python3 '" + script + "' ";
    const std::string counts = " 7 496 2 'abcd \u20ac \u00e4 ? ?' 'Gr\u00f6\u00dfe 12,5 mm'";
    EXPECT_EQ(runShell(check + "'" + file + "'" + counts), 0)
        << "exit status 3 means ezdxf is missing (python3-ezdxf)";

    // The check is not a rubber stamp: a file with a polyline left open fails it.
    std::string broken = readFile(file);
    broken.erase(broken.rfind("0\r\nSEQEND\r\n"), 11);
    writeFile(dir / "broken.dxf", broken);
    EXPECT_EQ(runShell(check + "'" + (dir / "broken.dxf") + "'" + counts), 1);
}

}  // namespace
}  // namespace tervasko
