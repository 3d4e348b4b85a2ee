#include "data/DbfFileHooks.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <type_traits>
#include <vector>

namespace qev {

namespace {

// A file seen through one window of bytes, the bytes there either read from the
// file or written and not yet stored (the dirty range).
class WindowedFile {
  public:
    static constexpr qint64 Capacity = 64 * 1024;

    bool open(const QString& path, QIODevice::OpenMode mode) {
        file_.setFileName(path);
        if (!file_.open(mode | QIODevice::Unbuffered)) return false;
        size_ = file_.size();
        return true;
    }

    qint64 read(char* data, qint64 length) {
        if (!inWindow(length)) {
            if (!storeWindow()) return 0;
            if (length >= Capacity) return readThrough(data, length);
            loadWindow();
        }
        const qint64 available = std::clamp<qint64>(windowEnd() - position_, 0, length);
        std::memcpy(data, window_.data() + (position_ - windowStart_), std::size_t(available));
        position_ += available;
        return available;
    }

    qint64 write(const char* data, qint64 length) {
        const bool extendsWindow = position_ >= windowStart_ && position_ <= windowEnd() &&
                                   position_ + length <= windowStart_ + Capacity;
        if (!extendsWindow) {
            if (!storeWindow()) return 0;
            if (length >= Capacity) return writeThrough(data, length);
            windowStart_ = position_;
            window_.clear();
        }
        const qint64 offset = position_ - windowStart_;
        if (offset + length > qint64(window_.size())) window_.resize(std::size_t(offset + length));
        std::memcpy(window_.data() + offset, data, std::size_t(length));
        dirtyBegin_ = dirty() ? std::min(dirtyBegin_, position_) : position_;
        dirtyEnd_ = std::max(dirtyEnd_, position_ + length);
        position_ += length;
        size_ = std::max(size_, position_);
        return length;
    }

    bool seek(qint64 offset, int whence) {
        const qint64 base = whence == SEEK_CUR ? position_ : whence == SEEK_END ? size_ : 0;
        if (base + offset < 0) return false;
        position_ = base + offset;
        return true;
    }

    qint64 tell() const { return position_; }
    bool flush() { return storeWindow() && file_.flush(); }
    bool failed() const { return failed_; }

  private:
    qint64 windowEnd() const { return windowStart_ + qint64(window_.size()); }
    bool dirty() const { return dirtyEnd_ > dirtyBegin_; }
    bool inWindow(qint64 length) const {
        return position_ >= windowStart_ && position_ + length <= windowEnd();
    }

    bool storeWindow() {
        if (!dirty()) return !failed_;
        const qint64 length = dirtyEnd_ - dirtyBegin_;
        const bool ok = file_.seek(dirtyBegin_) &&
                        file_.write(window_.data() + (dirtyBegin_ - windowStart_), length) == length;
        dirtyBegin_ = dirtyEnd_ = 0;
        failed_ = failed_ || !ok;
        return ok;
    }

    void loadWindow() {
        windowStart_ = position_;
        window_.resize(std::size_t(Capacity));
        const qint64 got = file_.seek(position_) ? file_.read(window_.data(), Capacity) : -1;
        window_.resize(std::size_t(std::max<qint64>(got, 0)));
    }

    qint64 readThrough(char* data, qint64 length) {
        const qint64 got = file_.seek(position_) ? file_.read(data, length) : -1;
        if (got <= 0) return 0;
        position_ += got;
        return got;
    }

    qint64 writeThrough(const char* data, qint64 length) {
        const bool ok = file_.seek(position_) && file_.write(data, length) == length;
        if (!ok) {
            failed_ = true;
            return 0;
        }
        position_ += length;
        size_ = std::max(size_, position_);
        return length;
    }

    QFile file_;
    qint64 size_ = 0;
    qint64 position_ = 0;
    qint64 windowStart_ = 0;
    std::vector<char> window_;
    qint64 dirtyBegin_ = 0, dirtyEnd_ = 0;
    bool failed_ = false;
};

WindowedFile* windowed(SAFile file) {
    return reinterpret_cast<WindowedFile*>(file);
}

// fopen's access texts as shapelib passes them: "rb", "rb+", "r+b", "wb", "wb+", "w".
SAFile openFile(const char* name, const char* access) {
    const QString path = QFile::decodeName(name);
    const bool update = std::strchr(access, '+') != nullptr;
    QIODevice::OpenMode mode = update ? QIODevice::ReadWrite : QIODevice::ReadOnly;
    if (access[0] == 'w') {
        mode = QIODevice::ReadWrite | QIODevice::Truncate;
    } else if (!QFile::exists(path)) {
        return nullptr;  // "r" never creates a file
    }
    auto* file = new WindowedFile;
    if (!file->open(path, mode)) {
        delete file;
        return nullptr;
    }
    return reinterpret_cast<SAFile>(file);
}

SAOffset readFile(void* data, SAOffset size, SAOffset count, SAFile file) {
    if (size == 0) return 0;
    const qint64 got = windowed(file)->read(static_cast<char*>(data), qint64(size * count));
    return SAOffset(got) / size;
}

SAOffset writeFile(void* data, SAOffset size, SAOffset count, SAFile file) {
    if (size == 0) return 0;
    const qint64 put =
        windowed(file)->write(static_cast<const char*>(data), qint64(size * count));
    return SAOffset(put) / size;
}

SAOffset seekFile(SAFile file, SAOffset offset, int whence) {
    // shapelib passes offsets as unsigned; SEEK_CUR/SEEK_END may mean negative ones.
    const auto signedOffset = static_cast<std::make_signed_t<SAOffset>>(offset);
    return windowed(file)->seek(qint64(signedOffset), whence) ? 0 : SAOffset(-1);
}

SAOffset tellFile(SAFile file) {
    return SAOffset(windowed(file)->tell());
}

int flushFile(SAFile file) {
    return windowed(file)->flush() ? 0 : EOF;
}

int closeFile(SAFile file) {
    WindowedFile* f = windowed(file);
    const bool ok = f->flush();
    delete f;
    return ok ? 0 : EOF;
}

int removeFile(const char* name) {
    return QFile::remove(QFile::decodeName(name)) ? 0 : -1;
}

}  // namespace

SAHooks* dbfFileHooks() {
    static SAHooks hooks = [] {
        SAHooks h;
        SASetupDefaultHooks(&h);
        h.FOpen = openFile;
        h.FRead = readFile;
        h.FWrite = writeFile;
        h.FSeek = seekFile;
        h.FTell = tellFile;
        h.FFlush = flushFile;
        h.FClose = closeFile;
        h.Remove = removeFile;
        // Failures reach the user as MovementsFile's errors, not as
        // shapelib's English lines on stderr.
        h.Error = [](const char*) {};
        return h;
    }();
    return &hooks;
}

bool dbfWriteFailed(SAFile file) {
    return windowed(file)->failed();
}

}  // namespace qev
