#include "i18n/dbftable.h"

#include <fcntl.h>
#include <shapefil.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <ctime>
#include <vector>

namespace tervasko::dbf {
namespace {

constexpr std::size_t kFileHeaderSize = 32;
constexpr std::size_t kFieldDescriptorSize = 32;

// shapelib reports problems through its Error hook (printing them by default) and does not
// tell its callers when a buffered write fails. Every call into it runs inside an IoWatch,
// whose hooks note the first failed write and from then on refuse to write anything, so a
// record that did not reach the disk is never followed by a header that counts it.
struct IoWatch {
    bool failed = false;
    bool blockWrites = false;
    Error reason;
};

thread_local IoWatch* gWatch = nullptr;

const SAHooks& defaultHooks() {
    static const SAHooks hooks = [] {
        SAHooks h;
        SASetupDefaultHooks(&h);
        return h;
    }();
    return hooks;
}

void noteFailure(int err) {
    if (!gWatch) return;
    if (!gWatch->failed && !gWatch->reason) gWatch->reason = SystemFailure(err ? err : EIO);
    gWatch->failed = true;
}

SAOffset watchedWrite(void* p, SAOffset size, SAOffset count, SAFile file) {
    if (gWatch && (gWatch->failed || gWatch->blockWrites)) return 0;
    const SAOffset written = defaultHooks().FWrite(p, size, count, file);
    if (written != count) noteFailure(errno);
    return written;
}

int watchedFlush(SAFile file) {
    const int result = defaultHooks().FFlush(file);
    if (result != 0) noteFailure(errno);
    return result;
}

void watchedError(const char* message) {
    if (gWatch && !gWatch->reason) gWatch->reason = OtherFailure(message);
}

SAHooks* watchedHooks() {
    static SAHooks hooks = [] {
        SAHooks h = defaultHooks();
        h.FWrite = &watchedWrite;
        h.FFlush = &watchedFlush;
        h.Error = &watchedError;
        return h;
    }();
    return &hooks;
}

class WatchScope {
public:
    explicit WatchScope(IoWatch& watch) : previous_(gWatch) { gWatch = &watch; }
    ~WatchScope() { gWatch = previous_; }
    WatchScope(const WatchScope&) = delete;
    WatchScope& operator=(const WatchScope&) = delete;

private:
    IoWatch* previous_;
};

unsigned le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// What the header promises, checked against the file's size before shapelib trusts it.
struct HeaderCheck {
    Error problem;
    bool damaged = false;
    bool usable = false;
    unsigned headerLength = 0;
    unsigned recordLength = 0;
    int rowsPresent = 0;
};

HeaderCheck checkHeader(const std::string& path) {
    HeaderCheck c;
    // Non-blocking, so that a pipe in the table's place cannot hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        c.problem = SystemFailure(errno);
        return c;
    }
    struct stat st {};
    std::vector<unsigned char> h(kFileHeaderSize);
    ssize_t got = -1;
    int readError = 0;
    if (::fstat(fd, &st) != 0) {
        readError = errno;
    } else if (S_ISDIR(st.st_mode)) {
        readError = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        readError = -1;  // a pipe or a device
    } else if (st.st_size > 0) {
        got = ::pread(fd, h.data(), h.size(), 0);
        if (got < 0) readError = errno;
    }
    const auto done = [&](Error problem) {
        ::close(fd);
        c.problem = std::move(problem);
        return c;
    };
    if (readError < 0) return done(Failure(ErrorCode::NotRegularFile));
    if (readError) return done(SystemFailure(readError));
    c.damaged = true;
    if (st.st_size == 0) return done(Failure(ErrorCode::TableFileEmpty));
    if (got < static_cast<ssize_t>(kFileHeaderSize))
        return done(Failure(ErrorCode::TableHeaderIncomplete));
    c.headerLength = le16(&h[8]);
    c.recordLength = le16(&h[10]);
    const std::uint32_t declaredRows = le32(&h[4]);
    // At least one field descriptor and its terminator; a record holds the deletion flag and
    // at least one byte of data.
    if (c.headerLength < kFileHeaderSize + kFieldDescriptorSize + 1 || c.recordLength < 2 ||
        declaredRows > 0x7FFFFFFFu)
        return done(Failure(ErrorCode::TableHeaderInvalid));
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    if (fileSize < c.headerLength) return done(Failure(ErrorCode::TableHeaderIncomplete));
    // The file header, one descriptor of 32 bytes per field and the terminator 0x0D: the
    // header length must be exactly that, or the rows are not where it says.
    if ((c.headerLength - kFileHeaderSize - 1) % kFieldDescriptorSize != 0)
        return done(Failure(ErrorCode::TableHeaderInvalid));
    h.resize(c.headerLength);
    if (::pread(fd, h.data(), h.size(), 0) != static_cast<ssize_t>(h.size()))
        return done(Failure(ErrorCode::TableHeaderIncomplete));
    if (h.back() != 0x0D) return done(Failure(ErrorCode::TableHeaderInvalid));
    const std::size_t fields = (c.headerLength - kFileHeaderSize - 1) / kFieldDescriptorSize;
    unsigned fieldBytes = 1;
    for (std::size_t i = 0; i < fields; ++i) {
        const unsigned char* d = &h[kFileHeaderSize + i * kFieldDescriptorSize];
        if (d[0] == 0x0D)
            return done(
                Failure(ErrorCode::TableHeaderInvalid));  // a terminator before the last field
        fieldBytes += d[16];
    }
    if (fieldBytes != c.recordLength) return done(Failure(ErrorCode::TableRecordLengthMismatch));

    const std::uint64_t present = (fileSize - c.headerLength) / c.recordLength;
    c.usable = true;
    if (present < declaredRows) {
        // A file cut short: the rows it still holds are whole and can be read, but adding
        // one would write behind a gap.
        c.rowsPresent = static_cast<int>(present);
        return done(Failure(ErrorCode::TableRowsMissing));
    }
    c.rowsPresent = static_cast<int>(declaredRows);
    // Whole rows behind the last one the header counts: appending at the declared end would
    // overwrite them. Less than a row there is the end-of-file mark or the rest of an append
    // that never completed, which no reader counts as a row.
    if (present > declaredRows) return done(Failure(ErrorCode::TableRowsBeyondHeader));
    c.damaged = false;
    return done(Error{});
}

void stampToday(DBFHandle h) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    DBFSetLastModifiedDate(h, local.tm_year, local.tm_mon + 1, local.tm_mday);
}

bool endsWithDbf(const std::string& path) {
    return path.size() > 4 && path.compare(path.size() - 4, 4, ".dbf") == 0;
}

}  // namespace

struct Table::Handle {
    DBFHandle dbf = nullptr;
    ~Handle() { close(); }
    void close() {
        if (!dbf) return;
        IoWatch watch;
        WatchScope scope(watch);
        DBFClose(dbf);
        dbf = nullptr;
    }
};

Table::Table(std::unique_ptr<Handle> handle, bool readOnly, int rows)
    : handle_(std::move(handle)), readOnly_(readOnly), rows_(rows) {}

Table::~Table() = default;

OpenResult Table::Open(const std::string& path, Access wanted) {
    OpenResult result;
    // shapelib replaces any other extension by ".dbf" itself.
    if (!endsWithDbf(path)) {
        result.problem = SystemFailure(EINVAL);
        return result;
    }
    HeaderCheck check = checkHeader(path);
    result.problem = check.problem;
    result.damaged = check.damaged;
    if (!check.usable) return result;

    IoWatch watch;
    WatchScope scope(watch);
    auto reader = std::make_unique<Handle>();
    reader->dbf = DBFOpenLL(path.c_str(), "rb", watchedHooks());
    if (!reader->dbf) {
        result.problem = Failure(ErrorCode::TableHeaderInvalid);
        result.damaged = true;
        return result;
    }
    // The record must be exactly the deletion flag and the fields; otherwise the rows cannot
    // be found where the header says they are.
    unsigned fieldBytes = 1;
    for (int i = 0; i < DBFGetFieldCount(reader->dbf); ++i) {
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(reader->dbf, i, nullptr, &width, &decimals);
        fieldBytes += static_cast<unsigned>(width);
    }
    if (DBFGetFieldCount(reader->dbf) < 1 || fieldBytes != check.recordLength) {
        result.problem = Failure(ErrorCode::TableRecordLengthMismatch);
        result.damaged = true;
        return result;
    }

    std::unique_ptr<Handle> handle = std::move(reader);
    bool readOnly = true;
    if (wanted == Access::Writable && !check.damaged) {
        auto writer = std::make_unique<Handle>();
        writer->dbf = DBFOpenLL(path.c_str(), "rb+", watchedHooks());
        if (writer->dbf) {
            handle = std::move(writer);
            readOnly = false;
        }
    }
    result.table.reset(new Table(std::move(handle), readOnly, check.rowsPresent));
    result.table->path_ = path;
    return result;
}

Error Table::Create(const std::string& path, std::string_view prefix, int columns, int width) {
    if (!endsWithDbf(path)) return SystemFailure(EINVAL);
    // Built under a temporary name and linked into place, so that a crash never leaves a
    // half-made table behind and a table that appeared meanwhile is not replaced. shapelib
    // names files after their base name plus ".dbf", hence the suffix.
    const std::size_t slash = path.rfind('/');
    const std::string dir = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    static int serial = 0;
    const std::string temp =
        dir + ".translate-" + std::to_string(::getpid()) + "-" + std::to_string(++serial) + ".dbf";
    // Created here first so that an unrelated file of that name is never truncated; the mode
    // follows the umask like any new file of the user's.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return SystemFailure(errno);
    ::close(fd);

    IoWatch watch;
    bool made = false;
    {
        WatchScope scope(watch);
        DBFHandle h = DBFCreateLL(temp.c_str(), "LDID/3", watchedHooks());
        if (h) {
            bool fieldsOk = true;
            for (int i = 1; i <= columns && fieldsOk; ++i) {
                const std::string name = std::string(prefix) + std::to_string(i);
                fieldsOk = DBFAddField(h, name.c_str(), FTString, width, 0) == i - 1;
            }
            stampToday(h);
            DBFUpdateHeader(h);
            DBFClose(h);
            made = fieldsOk && !watch.failed;
            if (!fieldsOk && !watch.reason) watch.reason = SystemFailure(EINVAL);
        } else if (!watch.reason) {
            watch.reason = SystemFailure(errno ? errno : EIO);
        }
    }
    if (!made) {
        ::unlink(temp.c_str());
        return watch.reason ? watch.reason : SystemFailure(EIO);
    }
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return {};
    }
    const int linkError = errno;
    // Someone else's table got there first: it is theirs, and it is used as it is.
    if (linkError == EEXIST) {
        ::unlink(temp.c_str());
        return {};
    }
    // File systems without hard links: a rename, once more checking that nothing is there.
    struct stat st {};
    if ((linkError == EPERM || linkError == EOPNOTSUPP || linkError == ENOSYS) &&
        ::lstat(path.c_str(), &st) != 0 && errno == ENOENT &&
        ::rename(temp.c_str(), path.c_str()) == 0)
        return {};
    ::unlink(temp.c_str());
    return SystemFailure(linkError);
}

int Table::FieldCount() const {
    return handle_->dbf ? DBFGetFieldCount(handle_->dbf) : 0;
}

int Table::CharField(std::string_view name) const {
    if (!handle_->dbf) return -1;
    const int field = DBFGetFieldIndex(handle_->dbf, std::string(name).c_str());
    if (field < 0 || DBFGetNativeFieldType(handle_->dbf, field) != 'C') return -1;
    return field;
}

int Table::FieldWidth(int field) const {
    if (!handle_->dbf) return 0;
    int width = 0;
    int decimals = 0;
    DBFGetFieldInfo(handle_->dbf, field, nullptr, &width, &decimals);
    return width;
}

Result<bool> Table::IsDeleted(int row) {
    if (!handle_->dbf) return SystemFailure(EBADF);
    IoWatch watch;
    WatchScope scope(watch);
    // shapelib answers "not deleted" when it cannot read the row; the read that follows
    // tells the two apart.
    const bool deleted = DBFIsRecordDeleted(handle_->dbf, row) != 0;
    if (!DBFReadTuple(handle_->dbf, row)) return SystemFailure(EIO);
    return deleted;
}

Result<std::string> Table::ReadString(int row, int field) {
    if (!handle_->dbf) return SystemFailure(EBADF);
    IoWatch watch;
    WatchScope scope(watch);
    const char* text = DBFReadStringAttribute(handle_->dbf, row, field);
    if (!text) return SystemFailure(EIO);
    return std::string(text);
}

Error Table::commit() {
    IoWatch watch;
    {
        WatchScope scope(watch);
        stampToday(handle_->dbf);
        DBFUpdateHeader(handle_->dbf);
    }
    if (!watch.failed) return {};
    fallBackToReading();
    return watch.reason ? watch.reason : SystemFailure(EIO);
}

void Table::fallBackToReading() {
    // shapelib still believes in the row that failed; closing with writes refused and
    // reopening for reading brings it back to what the file holds.
    {
        IoWatch watch;
        watch.blockWrites = true;
        WatchScope scope(watch);
        DBFClose(handle_->dbf);
        handle_->dbf = nullptr;
    }
    IoWatch watch;
    WatchScope scope(watch);
    handle_->dbf = DBFOpenLL(path_.c_str(), "rb", watchedHooks());
    readOnly_ = true;
    if (!handle_->dbf) {
        rows_ = 0;
        return;
    }
    rows_ = std::min(rows_, DBFGetRecordCount(handle_->dbf));
}

Result<int> Table::AppendRow(const std::vector<std::pair<int, std::string>>& fields) {
    if (readOnly_ || !handle_->dbf) return Failure(ErrorCode::TableReadOnly);
    for (const auto& [field, bytes] : fields) {
        if (field < 0 || field >= FieldCount() || bytes.size() > std::size_t(FieldWidth(field)) ||
            bytes.find('\0') != std::string::npos)
            return Failure(ErrorCode::TextNotStorable);
    }
    const int row = DBFGetRecordCount(handle_->dbf);
    {
        IoWatch watch;
        WatchScope scope(watch);
        // Writing any field of the row past the end creates it, blank-filled.
        if (fields.empty()) {
            DBFWriteNULLAttribute(handle_->dbf, row, 0);
        } else {
            for (const auto& [field, bytes] : fields)
                DBFWriteStringAttribute(handle_->dbf, row, field, bytes.c_str());
        }
    }
    if (Error failed = commit()) return failed;
    rows_ = row + 1;
    return row;
}

Error Table::WriteString(int row, int field, std::string_view bytes) {
    if (readOnly_ || !handle_->dbf) return Failure(ErrorCode::TableReadOnly);
    if (row < 0 || row >= rows_ || field < 0 || field >= FieldCount()) return SystemFailure(EINVAL);
    if (bytes.size() > std::size_t(FieldWidth(field)) || bytes.find('\0') != std::string_view::npos)
        return Failure(ErrorCode::TextNotStorable);
    {
        IoWatch watch;
        WatchScope scope(watch);
        DBFWriteStringAttribute(handle_->dbf, row, field, std::string(bytes).c_str());
    }
    return commit();
}

}  // namespace tervasko::dbf
