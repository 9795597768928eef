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
#include <functional>
#include <new>
#include <vector>

#include "platform/safefile.h"
#include "platform/writefaults.h"

namespace tervasko::dbf {
namespace {

constexpr std::size_t kFileHeaderSize = 32;
constexpr std::size_t kFieldDescriptorSize = 32;

// shapelib reports problems through its Error hook (printing them by default) and does not
// tell its callers when a write fails. Every call into it runs inside an IoWatch, whose hooks
// note the first failed write and from then on refuse to write anything, so a record that did
// not reach the disk is never followed by a header that counts it.
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

// The bytes a change of a table on disk overwrites, kept until the change is complete, so
// that a change that fails half-way can be taken back: the file gets its old bytes and its
// old length again. Putting back bytes the file held needs no room on the disk.
struct Journal {
    std::uint64_t size = 0;  // the file's length before the change
    std::vector<std::pair<std::uint64_t, std::vector<unsigned char>>> saved;
};

// The file behind a shapelib handle: a descriptor, written without a buffer in between, so
// that each write reaches the file when shapelib makes it and in its order (a row, the end
// mark, then the header) and a failure shows at the write that failed; or a table held in
// memory, which goes to the disk whole and only when complete.
struct HookFile {
    int fd = -1;
    std::vector<unsigned char>* memory = nullptr;
    std::uint64_t pos = 0;
    Journal* journal = nullptr;
};

HookFile* fileOf(SAFile file) {
    return reinterpret_cast<HookFile*>(file);
}

SAFile asFile(HookFile* file) {
    return reinterpret_cast<SAFile>(file);
}

SAFile openOnDisk(const char* name, const char* access) {
    const bool create = access[0] == 'w';
    const bool update = create || std::strchr(access, '+') != nullptr;
    // Non-blocking: a pipe where shapelib looks for a code page file cannot hang the start.
    const int flags =
        O_CLOEXEC | (update ? O_RDWR : O_RDONLY) | (create ? O_CREAT | O_TRUNC : O_NONBLOCK);
    const int fd = ::open(name, flags, 0666);
    if (fd < 0) return nullptr;
    auto* file = new (std::nothrow) HookFile;
    if (!file) {
        ::close(fd);
        return nullptr;
    }
    file->fd = fd;
    return asFile(file);
}

// The one table in memory that shapelib may open now, under the name it is opened with;
// every other name (shapelib also looks for a code page file beside the table) is missing.
struct MemoryTarget {
    std::string name;
    std::vector<unsigned char>* bytes;
};
thread_local MemoryTarget* gMemoryTarget = nullptr;

SAFile openInMemory(const char* name, const char* access) {
    if (!gMemoryTarget || gMemoryTarget->name != name) return nullptr;
    auto* file = new (std::nothrow) HookFile;
    if (!file) return nullptr;
    file->memory = gMemoryTarget->bytes;
    if (access[0] == 'w') file->memory->clear();
    return asFile(file);
}

SAOffset hookRead(void* p, SAOffset size, SAOffset count, SAFile handle) {
    HookFile* file = fileOf(handle);
    if (size == 0) return 0;
    const std::uint64_t want = static_cast<std::uint64_t>(size) * count;
    std::uint64_t got = 0;
    if (file->memory) {
        const std::vector<unsigned char>& bytes = *file->memory;
        if (file->pos < bytes.size()) got = std::min<std::uint64_t>(want, bytes.size() - file->pos);
        if (got) std::memcpy(p, bytes.data() + file->pos, got);
    } else {
        while (got < want) {
            const ssize_t n = ::pread(file->fd, static_cast<char*>(p) + got, want - got,
                                      static_cast<off_t>(file->pos + got));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::uint64_t>(n);
        }
    }
    file->pos += got;
    return static_cast<SAOffset>(got / size);
}

// Keeps the bytes of [at, at + count) that the file held before the change.
bool keep(Journal& journal, int fd, std::uint64_t at, std::uint64_t count) {
    if (at >= journal.size) return true;
    std::vector<unsigned char> old(std::min(count, journal.size - at));
    std::size_t got = 0;
    while (got < old.size()) {
        const ssize_t n =
            ::pread(fd, old.data() + got, old.size() - got, static_cast<off_t>(at + got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        got += static_cast<std::size_t>(n);
    }
    journal.saved.emplace_back(at, std::move(old));
    return true;
}

SAOffset hookWrite(void* p, SAOffset size, SAOffset count, SAFile handle) {
    if (gWatch && (gWatch->failed || gWatch->blockWrites)) return 0;
    HookFile* file = fileOf(handle);
    if (size == 0) return 0;
    const std::uint64_t want = static_cast<std::uint64_t>(size) * count;
    std::uint64_t done = 0;
    if (file->memory) {
        try {
            if (file->memory->size() < file->pos + want) file->memory->resize(file->pos + want);
        } catch (const std::bad_alloc&) {
            noteFailure(ENOMEM);
            return 0;
        }
        std::memcpy(file->memory->data() + file->pos, p, want);
        done = want;
    } else {
        if (file->journal && !keep(*file->journal, file->fd, file->pos, want)) {
            noteFailure(errno ? errno : EIO);
            return 0;
        }
        while (done < want) {
            const ssize_t n = PwriteSome(file->fd, static_cast<const char*>(p) + done, want - done,
                                         static_cast<off_t>(file->pos + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                noteFailure(n < 0 ? errno : EIO);
                break;
            }
            done += static_cast<std::uint64_t>(n);
        }
    }
    file->pos += done;
    return static_cast<SAOffset>(done / size);
}

SAOffset hookSeek(SAFile handle, SAOffset offset, int whence) {
    HookFile* file = fileOf(handle);
    if (whence == SEEK_SET) {
        file->pos = offset;
    } else if (whence == SEEK_CUR) {
        file->pos += offset;
    } else {
        std::uint64_t size = 0;
        if (file->memory) {
            size = file->memory->size();
        } else {
            struct stat st {};
            if (::fstat(file->fd, &st) != 0) return static_cast<SAOffset>(-1);
            size = static_cast<std::uint64_t>(st.st_size);
        }
        file->pos = size + offset;
    }
    return 0;
}

SAOffset hookTell(SAFile handle) {
    return static_cast<SAOffset>(fileOf(handle)->pos);
}

// Nothing waits in a buffer.
int hookFlush(SAFile) {
    return 0;
}

int hookClose(SAFile handle) {
    HookFile* file = fileOf(handle);
    const int result = file->fd >= 0 ? ::close(file->fd) : 0;
    delete file;
    return result;
}

int removeOnDisk(const char* name) {
    return ::unlink(name);
}

// A table in memory has nothing beside it.
int removeNothing(const char*) {
    return 0;
}

void watchedError(const char* message) {
    if (gWatch && !gWatch->reason) gWatch->reason = OtherFailure(message);
}

SAHooks makeHooks(bool inMemory) {
    SAHooks h = defaultHooks();
    h.FOpen = inMemory ? &openInMemory : &openOnDisk;
    h.FRead = &hookRead;
    h.FWrite = &hookWrite;
    h.FSeek = &hookSeek;
    h.FTell = &hookTell;
    h.FFlush = &hookFlush;
    h.FClose = &hookClose;
    h.Remove = inMemory ? &removeNothing : &removeOnDisk;
    h.Error = &watchedError;
    return h;
}

SAHooks* diskHooks() {
    static SAHooks hooks = makeHooks(false);
    return &hooks;
}

SAHooks* memoryHooks() {
    static SAHooks hooks = makeHooks(true);
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

// Opens or creates the table in memory under `name` for the length of one shapelib call.
class MemoryScope {
public:
    MemoryScope(const std::string& name, std::vector<unsigned char>& bytes)
        : target_{name, &bytes}, previous_(gMemoryTarget) {
        gMemoryTarget = &target_;
    }
    ~MemoryScope() { gMemoryTarget = previous_; }
    MemoryScope(const MemoryScope&) = delete;
    MemoryScope& operator=(const MemoryScope&) = delete;

private:
    MemoryTarget target_;
    MemoryTarget* previous_;
};

unsigned le16(const unsigned char* p) {
    return p[0] | (p[1] << 8);
}
std::uint32_t le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

}  // namespace

// What the header promises, checked against the file's size before shapelib trusts it.
struct HeaderCheck {
    Error problem;
    bool damaged = false;
    bool usable = false;
    unsigned headerLength = 0;
    unsigned recordLength = 0;
    int rowsPresent = 0;
    std::uint64_t fileSize = 0;
};

namespace {

// The longest header the length field can give.
constexpr std::size_t kLongestHeader = 0xFFFF;

// `h` holds the first `have` bytes of a file of `fileSize` bytes: all of them, or at least
// kLongestHeader.
HeaderCheck checkLayout(const unsigned char* h, std::size_t have, std::uint64_t fileSize) {
    HeaderCheck c;
    c.fileSize = fileSize;
    const auto done = [&](Error problem) {
        c.problem = std::move(problem);
        return c;
    };
    c.damaged = true;
    if (fileSize == 0) return done(Failure(ErrorCode::TableFileEmpty));
    if (have < kFileHeaderSize) return done(Failure(ErrorCode::TableHeaderIncomplete));
    c.headerLength = le16(&h[8]);
    c.recordLength = le16(&h[10]);
    const std::uint32_t declaredRows = le32(&h[4]);
    // At least one field descriptor and its terminator; a record holds the deletion flag and
    // at least one byte of data.
    if (c.headerLength < kFileHeaderSize + kFieldDescriptorSize + 1 || c.recordLength < 2 ||
        declaredRows > 0x7FFFFFFFu)
        return done(Failure(ErrorCode::TableHeaderInvalid));
    if (fileSize < c.headerLength || have < c.headerLength)
        return done(Failure(ErrorCode::TableHeaderIncomplete));
    // The file header, one descriptor of 32 bytes per field and the terminator 0x0D: the
    // header length must be exactly that, or the rows are not where it says.
    if ((c.headerLength - kFileHeaderSize - 1) % kFieldDescriptorSize != 0)
        return done(Failure(ErrorCode::TableHeaderInvalid));
    if (h[c.headerLength - 1] != 0x0D) return done(Failure(ErrorCode::TableHeaderInvalid));
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

HeaderCheck checkHeader(const std::string& path) {
    HeaderCheck c;
    // Non-blocking, so that a pipe in the table's place cannot hang the start.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        c.problem = SystemFailure(errno);
        return c;
    }
    struct stat st {};
    std::vector<unsigned char> h;
    ssize_t got = 0;
    int readError = 0;
    if (::fstat(fd, &st) != 0) {
        readError = errno;
    } else if (S_ISDIR(st.st_mode)) {
        readError = EISDIR;
    } else if (!S_ISREG(st.st_mode)) {
        readError = -1;  // a pipe or a device
    } else if (st.st_size > 0) {
        h.resize(static_cast<std::size_t>(
            std::min<std::uint64_t>(static_cast<std::uint64_t>(st.st_size), kLongestHeader)));
        got = ::pread(fd, h.data(), h.size(), 0);
        if (got < 0) readError = errno;
    }
    ::close(fd);
    if (readError < 0) {
        c.problem = Failure(ErrorCode::NotRegularFile);
        return c;
    }
    if (readError) {
        c.problem = SystemFailure(readError);
        return c;
    }
    return checkLayout(h.data(), static_cast<std::size_t>(got),
                       static_cast<std::uint64_t>(st.st_size));
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

// Adds the character columns prefix1, prefix2, ... of a new table and writes its header.
// False when a column could not be added.
bool addColumns(DBFHandle h, std::string_view prefix, int columns, int width) {
    for (int i = 1; i <= columns; ++i) {
        const std::string name = std::string(prefix) + std::to_string(i);
        if (DBFAddField(h, name.c_str(), FTString, width, 0) != i - 1) return false;
    }
    stampToday(h);
    DBFUpdateHeader(h);
    return true;
}

// Gives a journal's bytes back to the file and cuts it to its old length.
bool takeBack(int fd, const Journal& journal) {
    bool complete = true;
    for (auto part = journal.saved.rbegin(); part != journal.saved.rend(); ++part) {
        std::size_t done = 0;
        while (done < part->second.size()) {
            const ssize_t n = ::pwrite(fd, part->second.data() + done, part->second.size() - done,
                                       static_cast<off_t>(part->first + done));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                complete = false;
                break;
            }
            done += static_cast<std::size_t>(n);
        }
    }
    if (::ftruncate(fd, static_cast<off_t>(journal.size)) != 0) complete = false;
    return complete;
}

}  // namespace

struct Table::Handle {
    DBFHandle dbf = nullptr;
    bool inMemory = false;
    std::vector<unsigned char> bytes;  // the whole table, when it is held in memory
    ~Handle() { close(); }
    void close() {
        if (!dbf) return;
        IoWatch watch;
        WatchScope scope(watch);
        // Every change was committed when it was made; closing adds nothing to the file.
        dbf->bUpdated = 0;
        DBFClose(dbf);
        dbf = nullptr;
    }
    HookFile* file() const { return dbf ? fileOf(dbf->fp) : nullptr; }
};

Table::Table(std::unique_ptr<Handle> handle, bool readOnly, int rows)
    : handle_(std::move(handle)), readOnly_(readOnly), rows_(rows) {}

Table::~Table() = default;

Inspection Table::Inspect(const std::string& path) {
    const HeaderCheck check = checkHeader(path);
    return Inspection{check.problem, check.damaged, check.usable, check.fileSize};
}

OpenResult Table::adopt(std::unique_ptr<Handle> handle, const std::string& path,
                        const HeaderCheck& check, bool readOnly) {
    OpenResult result;
    result.problem = check.problem;
    result.damaged = check.damaged;
    // The record must be exactly the deletion flag and the fields; otherwise the rows cannot
    // be found where the header says they are.
    unsigned fieldBytes = 1;
    for (int i = 0; i < DBFGetFieldCount(handle->dbf); ++i) {
        int width = 0;
        int decimals = 0;
        DBFGetFieldInfo(handle->dbf, i, nullptr, &width, &decimals);
        fieldBytes += static_cast<unsigned>(width);
    }
    if (DBFGetFieldCount(handle->dbf) < 1 || fieldBytes != check.recordLength) {
        result.problem = Failure(ErrorCode::TableRecordLengthMismatch);
        result.damaged = true;
        return result;
    }
    result.table.reset(new Table(std::move(handle), readOnly, check.rowsPresent));
    result.table->path_ = path;
    return result;
}

OpenResult Table::Open(const std::string& path, Access wanted) {
    OpenResult result;
    // shapelib replaces any other extension by ".dbf" itself.
    if (!endsWithDbf(path)) {
        result.problem = SystemFailure(EINVAL);
        return result;
    }
    const HeaderCheck check = checkHeader(path);
    result.problem = check.problem;
    result.damaged = check.damaged;
    if (!check.usable) return result;

    IoWatch watch;
    WatchScope scope(watch);
    auto handle = std::make_unique<Handle>();
    bool readOnly = true;
    if (wanted == Access::Writable && !check.damaged) {
        handle->dbf = DBFOpenLL(path.c_str(), "rb+", diskHooks());
        readOnly = handle->dbf == nullptr;
    }
    if (!handle->dbf) handle->dbf = DBFOpenLL(path.c_str(), "rb", diskHooks());
    if (!handle->dbf) {
        result.problem = Failure(ErrorCode::TableHeaderInvalid);
        result.damaged = true;
        return result;
    }
    return adopt(std::move(handle), path, check, readOnly);
}

OpenResult Table::OpenInMemory(const std::string& path, std::string_view prefix, int columns,
                               int width) {
    OpenResult result;
    if (!endsWithDbf(path)) {
        result.problem = SystemFailure(EINVAL);
        return result;
    }
    auto handle = std::make_unique<Handle>();
    handle->inMemory = true;
    IoWatch watch;
    WatchScope scope(watch);
    MemoryScope memory(path, handle->bytes);
    Result<std::vector<std::uint8_t>> read = ReadWholeFile(path);
    if (!read.ok() && read.error().Code == ErrorCode::System &&
        read.error().SystemError == ENOENT) {
        handle->dbf = DBFCreateLL(path.c_str(), "LDID/3", memoryHooks());
        if (!handle->dbf || !addColumns(handle->dbf, prefix, columns, width) || watch.failed) {
            result.problem = watch.reason ? watch.reason : SystemFailure(ENOMEM);
            return result;
        }
        result.table.reset(new Table(std::move(handle), false, 0));
        result.table->path_ = path;
        return result;
    }
    if (!read.ok()) {
        result.problem = read.error();
        return result;
    }
    handle->bytes = std::move(*read);
    const HeaderCheck check = checkLayout(
        handle->bytes.data(), std::min(handle->bytes.size(), kLongestHeader), handle->bytes.size());
    result.problem = check.problem;
    result.damaged = check.damaged;
    if (!check.usable) return result;
    handle->dbf = DBFOpenLL(path.c_str(), check.damaged ? "rb" : "rb+", memoryHooks());
    if (!handle->dbf) {
        result.problem = Failure(ErrorCode::TableHeaderInvalid);
        result.damaged = true;
        return result;
    }
    return adopt(std::move(handle), path, check, check.damaged);
}

Error Table::Save() {
    if (!handle_->inMemory) return {};
    if (readOnly_ || !handle_->dbf) return Failure(ErrorCode::TableReadOnly);
    return WriteFileSafely(path_, handle_->bytes.data(), handle_->bytes.size());
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
    if (const int err = StepFault(WriteStep::Create)) return SystemFailure(err);
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) return SystemFailure(errno);
    ::close(fd);

    IoWatch watch;
    bool made = false;
    {
        WatchScope scope(watch);
        DBFHandle h = DBFCreateLL(temp.c_str(), "LDID/3", diskHooks());
        if (h) {
            const bool fieldsOk = addColumns(h, prefix, columns, width);
            DBFClose(h);
            made = fieldsOk && !watch.failed;
            if (!fieldsOk && !watch.reason) watch.reason = SystemFailure(EINVAL);
        } else if (!watch.reason) {
            watch.reason = SystemFailure(errno ? errno : EIO);
        }
    }
    // On the disk before it has its name.
    if (made) {
        const int written = ::open(temp.c_str(), O_RDONLY | O_CLOEXEC);
        int err = written < 0 ? errno : StepFault(WriteStep::Sync);
        if (written >= 0 && err == 0 && ::fsync(written) != 0) err = errno;
        if (written >= 0) ::close(written);
        if (err) {
            made = false;
            watch.reason = SystemFailure(err);
        }
    }
    if (!made) {
        ::unlink(temp.c_str());
        return watch.reason ? watch.reason : SystemFailure(EIO);
    }
    int linkError = StepFault(WriteStep::Name);
    if (linkError == 0 && ::link(temp.c_str(), path.c_str()) == 0) {
        ::unlink(temp.c_str());
        return {};
    }
    if (linkError == 0) linkError = errno;
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

// Runs one change of the table: `change` puts it into shapelib's record, and the header's
// update writes the record, the end mark and the header, in that order. When any write
// fails, the bytes the change overwrote go back and the file gets its old length again, so
// the table on disk is what it was; the handle then only reads.
Error Table::change(const std::function<void()>& put) {
    Journal journal;
    HookFile* file = handle_->file();
    const bool onDisk = file && file->fd >= 0;
    if (onDisk) {
        struct stat st {};
        if (::fstat(file->fd, &st) != 0) return SystemFailure(errno);
        journal.size = static_cast<std::uint64_t>(st.st_size);
        file->journal = &journal;
    }
    IoWatch watch;
    {
        WatchScope scope(watch);
        put();
        stampToday(handle_->dbf);
        DBFUpdateHeader(handle_->dbf);
    }
    if (onDisk) file->journal = nullptr;
    if (!watch.failed) return {};
    if (onDisk) takeBack(file->fd, journal);
    fallBackToReading();
    return watch.reason ? watch.reason : SystemFailure(EIO);
}

void Table::fallBackToReading() {
    readOnly_ = true;
    // A table in memory is not written out after a failure: nothing to reopen.
    if (handle_->inMemory) return;
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
    handle_->dbf = DBFOpenLL(path_.c_str(), "rb", diskHooks());
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
    if (Error failed = change([&] {
            // Writing any field of the row past the end creates it, blank-filled.
            if (fields.empty()) {
                DBFWriteNULLAttribute(handle_->dbf, row, 0);
            } else {
                for (const auto& [field, bytes] : fields)
                    DBFWriteStringAttribute(handle_->dbf, row, field, bytes.c_str());
            }
        }))
        return failed;
    rows_ = row + 1;
    return row;
}

Error Table::WriteString(int row, int field, std::string_view bytes) {
    if (readOnly_ || !handle_->dbf) return Failure(ErrorCode::TableReadOnly);
    if (row < 0 || row >= rows_ || field < 0 || field >= FieldCount()) return SystemFailure(EINVAL);
    if (bytes.size() > std::size_t(FieldWidth(field)) || bytes.find('\0') != std::string_view::npos)
        return Failure(ErrorCode::TextNotStorable);
    const std::string text(bytes);
    return change([&] { DBFWriteStringAttribute(handle_->dbf, row, field, text.c_str()); });
}

}  // namespace tervasko::dbf
