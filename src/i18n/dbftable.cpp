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
    std::string reason;
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

void noteFailure(const char* reason) {
    if (!gWatch) return;
    if (!gWatch->failed && gWatch->reason.empty()) gWatch->reason = reason;
    gWatch->failed = true;
}

SAOffset watchedWrite(void* p, SAOffset size, SAOffset count, SAFile file) {
    if (gWatch && (gWatch->failed || gWatch->blockWrites)) return 0;
    const SAOffset written = defaultHooks().FWrite(p, size, count, file);
    if (written != count) noteFailure(std::strerror(errno));
    return written;
}

int watchedFlush(SAFile file) {
    const int result = defaultHooks().FFlush(file);
    if (result != 0) noteFailure(std::strerror(errno));
    return result;
}

void watchedError(const char* message) {
    if (gWatch && gWatch->reason.empty()) gWatch->reason = message;
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
    std::string problem;
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
        c.problem = std::strerror(errno);
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
        readError = EINVAL;
    } else if (st.st_size > 0) {
        got = ::pread(fd, h.data(), h.size(), 0);
        if (got < 0) readError = errno;
    }
    const auto done = [&](std::string_view problem) {
        ::close(fd);
        c.problem = problem;
        return c;
    };
    if (readError) return done(std::strerror(readError));
    c.damaged = true;
    if (st.st_size == 0) return done(kEmptyFile);
    if (got < static_cast<ssize_t>(kFileHeaderSize)) return done(kHeaderIncomplete);
    c.headerLength = le16(&h[8]);
    c.recordLength = le16(&h[10]);
    const std::uint32_t declaredRows = le32(&h[4]);
    // At least one field descriptor and its terminator; a record holds the deletion flag and
    // at least one byte of data.
    if (c.headerLength < kFileHeaderSize + kFieldDescriptorSize + 1 || c.recordLength < 2 ||
        declaredRows > 0x7FFFFFFFu)
        return done(kHeaderInvalid);
    const auto fileSize = static_cast<std::uint64_t>(st.st_size);
    if (fileSize < c.headerLength) return done(kHeaderIncomplete);
    // The file header, one descriptor of 32 bytes per field and the terminator 0x0D: the
    // header length must be exactly that, or the rows are not where it says.
    if ((c.headerLength - kFileHeaderSize - 1) % kFieldDescriptorSize != 0)
        return done(kHeaderInvalid);
    h.resize(c.headerLength);
    if (::pread(fd, h.data(), h.size(), 0) != static_cast<ssize_t>(h.size()))
        return done(kHeaderIncomplete);
    if (h.back() != 0x0D) return done(kHeaderInvalid);
    const std::size_t fields = (c.headerLength - kFileHeaderSize - 1) / kFieldDescriptorSize;
    unsigned fieldBytes = 1;
    for (std::size_t i = 0; i < fields; ++i) {
        const unsigned char* d = &h[kFileHeaderSize + i * kFieldDescriptorSize];
        if (d[0] == 0x0D) return done(kHeaderInvalid);  // a terminator before the last field
        fieldBytes += d[16];
    }
    if (fieldBytes != c.recordLength) return done(kRecordLengthMismatch);

    const std::uint64_t present = (fileSize - c.headerLength) / c.recordLength;
    c.usable = true;
    if (present < declaredRows) {
        // A file cut short: the rows it still holds are whole and can be read, but adding
        // one would write behind a gap.
        c.rowsPresent = static_cast<int>(present);
        return done(kRowsMissing);
    }
    c.rowsPresent = static_cast<int>(declaredRows);
    // Whole rows behind the last one the header counts: appending at the declared end would
    // overwrite them. Less than a row there is the end-of-file mark or the rest of an append
    // that never completed, which no reader counts as a row.
    if (present > declaredRows) return done(kRowsBeyondHeader);
    c.damaged = false;
    return done({});
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
        result.problem = std::strerror(EINVAL);
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
        result.problem = kHeaderInvalid;
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
        result.problem = kRecordLengthMismatch;
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

bool Table::Create(const std::string& path, std::string_view prefix, int columns, int width,
                   std::string* error) {
    const auto fail = [&](std::string reason) {
        if (error) *error = std::move(reason);
        return false;
    };
    if (!endsWithDbf(path)) return fail(std::strerror(EINVAL));
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
    if (fd < 0) return fail(std::strerror(errno));
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
            if (!fieldsOk && watch.reason.empty()) watch.reason = std::strerror(EINVAL);
        } else if (watch.reason.empty()) {
            watch.reason = std::strerror(errno ? errno : EIO);
        }
    }
    if (!made) {
        ::unlink(temp.c_str());
        return fail(watch.reason.empty() ? std::strerror(EIO) : watch.reason);
    }
    if (::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    const int linkError = errno;
    // Someone else's table got there first: it is theirs, and it is used as it is.
    if (linkError == EEXIST) {
        ::unlink(temp.c_str());
        return true;
    }
    // File systems without hard links: a rename, once more checking that nothing is there.
    struct stat st {};
    if ((linkError == EPERM || linkError == EOPNOTSUPP || linkError == ENOSYS) &&
        ::lstat(path.c_str(), &st) != 0 && errno == ENOENT &&
        ::rename(temp.c_str(), path.c_str()) == 0)
        return true;
    ::unlink(temp.c_str());
    return fail(std::strerror(linkError));
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

bool Table::IsDeleted(int row, bool& deleted) {
    if (!handle_->dbf) return false;
    IoWatch watch;
    WatchScope scope(watch);
    // shapelib answers "not deleted" when it cannot read the row; the read that follows
    // tells the two apart.
    deleted = DBFIsRecordDeleted(handle_->dbf, row) != 0;
    return DBFReadTuple(handle_->dbf, row) != nullptr;
}

bool Table::ReadString(int row, int field, std::string& out) {
    if (!handle_->dbf) return false;
    IoWatch watch;
    WatchScope scope(watch);
    const char* text = DBFReadStringAttribute(handle_->dbf, row, field);
    if (!text) return false;
    out.assign(text);
    return true;
}

bool Table::commit(std::string* error) {
    IoWatch watch;
    {
        WatchScope scope(watch);
        stampToday(handle_->dbf);
        DBFUpdateHeader(handle_->dbf);
    }
    if (!watch.failed) return true;
    if (error) *error = watch.reason.empty() ? std::strerror(EIO) : watch.reason;
    fallBackToReading();
    return false;
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

int Table::AppendRow(const std::vector<std::pair<int, std::string>>& fields, std::string* error) {
    if (readOnly_ || !handle_->dbf) {
        if (error) *error = std::strerror(EROFS);
        return -1;
    }
    for (const auto& [field, bytes] : fields) {
        if (field < 0 || field >= FieldCount() || bytes.size() > std::size_t(FieldWidth(field)) ||
            bytes.find('\0') != std::string::npos) {
            if (error) *error = std::strerror(EINVAL);
            return -1;
        }
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
    if (!commit(error)) return -1;
    rows_ = row + 1;
    return row;
}

bool Table::WriteString(int row, int field, std::string_view bytes, std::string* error) {
    if (readOnly_ || !handle_->dbf) {
        if (error) *error = std::strerror(EROFS);
        return false;
    }
    if (row < 0 || row >= rows_ || field < 0 || field >= FieldCount() ||
        bytes.size() > std::size_t(FieldWidth(field)) ||
        bytes.find('\0') != std::string_view::npos) {
        if (error) *error = std::strerror(EINVAL);
        return false;
    }
    {
        IoWatch watch;
        WatchScope scope(watch);
        DBFWriteStringAttribute(handle_->dbf, row, field, std::string(bytes).c_str());
    }
    return commit(error);
}

}  // namespace tervasko::dbf
