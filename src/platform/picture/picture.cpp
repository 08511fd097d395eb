#include "platform/picture/picture.h"
#include "platform/system/vberror.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <cstring>
#include <mutex>
#include <new>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace zentyr {

const QList<PictureLoadError> &pictureLoadErrors()
{
    // The classic run time named the program as the source of its own errors.
    static const QList<PictureLoadError> table = {
        {ErrFileNotFound, QStringLiteral("Zentyr"), QStringLiteral("File not found")},
        {ErrPathFileAccess, QStringLiteral("Zentyr"), QStringLiteral("Path/File access error")},
        {ErrInvalidPicture, QStringLiteral("Zentyr"), QStringLiteral("Invalid picture")},
        {ErrOutOfMemory, QStringLiteral("Zentyr"), QStringLiteral("Out of memory")},
    };
    return table;
}

PictureLoadError pictureLoadError(int number)
{
    for (const PictureLoadError &e : pictureLoadErrors()) {
        if (e.number == number)
            return e;
    }
    return pictureLoadError(ErrInvalidPicture);
}

namespace {

[[noreturn]] void fail(int number)
{
    const PictureLoadError e = pictureLoadError(number);
    throw VbError(e.number, e.source, e.description);
}

// Qt's decoders hand back whatever they got from a truncated file (libjpeg pads with grey and
// only warns), so the formats we name are walked first to see that they end where they say.
enum class Shape { Unknown, Complete, Broken };

struct Layout {
    Shape shape = Shape::Unknown;
    quint64 width = 0;
    quint64 height = 0;
};

class Bytes {
public:
    explicit Bytes(const QByteArray &a) : p(reinterpret_cast<const uchar *>(a.constData())), n(a.size()) {}
    bool has(qsizetype pos, qint64 len) const { return pos >= 0 && len >= 0 && pos <= n && len <= n - pos; }
    uchar at(qsizetype pos) const { return p[pos]; }
    quint32 be16(qsizetype pos) const { return quint32(p[pos]) << 8 | p[pos + 1]; }
    quint32 be32(qsizetype pos) const { return be16(pos) << 16 | be16(pos + 2); }
    quint32 le16(qsizetype pos) const { return quint32(p[pos + 1]) << 8 | p[pos]; }
    quint32 le32(qsizetype pos) const { return le16(pos + 2) << 16 | le16(pos); }
    bool startsWith(const char *magic, qsizetype len) const { return has(0, len) && std::memcmp(p, magic, size_t(len)) == 0; }
    const uchar *data() const { return p; }
    qsizetype size() const { return n; }

private:
    const uchar *p;
    qsizetype n;
};

Layout walkPng(const Bytes &b)
{
    if (!b.startsWith("\x89PNG\r\n\x1a\n", 8))
        return {};
    Layout l{Shape::Broken};
    qsizetype pos = 8;
    bool first = true;
    while (b.has(pos, 12)) {
        const quint32 len = b.be32(pos);
        if (len > 0x7fffffffu || !b.has(pos + 8, qint64(len) + 4))
            return l;
        char type[4];
        for (int i = 0; i < 4; ++i) {
            type[i] = char(b.at(pos + 4 + i));
            if (!((type[i] >= 'A' && type[i] <= 'Z') || (type[i] >= 'a' && type[i] <= 'z')))
                return l;
        }
        if (first) {
            if (std::memcmp(type, "IHDR", 4) != 0 || len != 13)
                return l;
            l.width = b.be32(pos + 8);
            l.height = b.be32(pos + 12);
            if (l.width == 0 || l.height == 0)
                return l;
            first = false;
        }
        if (std::memcmp(type, "IEND", 4) == 0) {
            l.shape = Shape::Complete;
            return l;
        }
        pos += 12 + qsizetype(len);
    }
    return l;
}

Layout walkGif(const Bytes &b)
{
    if (!b.startsWith("GIF87a", 6) && !b.startsWith("GIF89a", 6))
        return {};
    Layout l{Shape::Broken};
    if (!b.has(6, 7))
        return l;
    quint64 width = b.le16(6), height = b.le16(8);
    qsizetype pos = 13;
    if (b.at(10) & 0x80)
        pos += 3 << ((b.at(10) & 7) + 1);
    const auto skipSubBlocks = [&b, &pos] {
        for (;;) {
            if (!b.has(pos, 1))
                return false;
            const uchar len = b.at(pos++);
            if (len == 0)
                return true;
            if (!b.has(pos, len))
                return false;
            pos += len;
        }
    };
    bool sawImage = false;
    while (b.has(pos, 1)) {
        const uchar block = b.at(pos++);
        if (block == 0x3b) {
            if (sawImage) {
                l.shape = Shape::Complete;
                l.width = width;
                l.height = height;
            }
            return l;
        }
        if (block == 0x21) {
            if (!b.has(pos, 1))
                return l;
            ++pos;
        } else if (block == 0x2c) {
            if (!b.has(pos, 9))
                return l;
            // A frame may reach past the logical screen; the decoder's canvas then grows.
            width = qMax(width, quint64(b.le16(pos)) + b.le16(pos + 4));
            height = qMax(height, quint64(b.le16(pos + 2)) + b.le16(pos + 6));
            const uchar packed = b.at(pos + 8);
            pos += 9;
            if (packed & 0x80)
                pos += 3 << ((packed & 7) + 1);
            if (!b.has(pos, 1))
                return l;
            ++pos; // LZW minimum code size
            sawImage = true;
        } else {
            return l;
        }
        if (!skipSubBlocks())
            return l;
    }
    return l;
}

// Run-length bitmaps are complete when their end-of-bitmap escape is there.
bool rleReachesEnd(const Bytes &b, qsizetype pos, bool fourBit)
{
    while (b.has(pos, 2)) {
        const uchar count = b.at(pos), code = b.at(pos + 1);
        pos += 2;
        if (count != 0 || code == 0)
            continue;
        if (code == 1)
            return true;
        if (code == 2) {
            pos += 2;
        } else {
            const qsizetype bytes = fourBit ? (code + 1) / 2 : code;
            pos += (bytes + 1) & ~qsizetype(1);
        }
    }
    return false;
}

Layout walkBmp(const Bytes &b)
{
    if (!b.startsWith("BM", 2))
        return {};
    Layout l{Shape::Broken};
    if (!b.has(0, 18))
        return l;
    const quint32 offBits = b.le32(10);
    const quint32 infoSize = b.le32(14);
    quint32 bitCount = 0, compression = 0;
    if (infoSize == 12) {
        if (!b.has(14, 12))
            return l;
        l.width = b.le16(18);
        l.height = b.le16(20);
        bitCount = b.le16(24);
    } else if (infoSize >= 40) {
        if (!b.has(14, 40))
            return l;
        const qint64 w = qint32(b.le32(18)), h = qint32(b.le32(22)); // negative height: top-down
        l.width = quint64(w < 0 ? -w : w);
        l.height = quint64(h < 0 ? -h : h);
        bitCount = b.le16(28);
        compression = b.le32(30);
    } else {
        return l;
    }
    if (l.width == 0 || l.height == 0 || offBits > b.size())
        return l;
    const bool plain = compression == 0 || compression == 3 || compression == 6;
    if (plain && (bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 || bitCount == 32)) {
        const quint64 stride = (l.width * bitCount + 31) / 32 * 4;
        if (l.height > quint64(b.size() - offBits) / stride)
            return l;
    } else if ((compression == 1 && bitCount == 8) || (compression == 2 && bitCount == 4)) {
        if (!rleReachesEnd(b, offBits, compression == 2))
            return l;
    }
    // Other encodings (embedded JPEG/PNG, odd depths) are left to the decoder.
    l.shape = Shape::Complete;
    return l;
}

bool isStartOfFrame(uchar marker)
{
    return marker >= 0xc0 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc;
}

// libjpeg passes over the whole picture once per progressive scan, so a few kilobytes of
// repeated scans keep it busy for minutes; encoders write about ten. The budget, in pixels
// visited plus a fixed cost a scan, is about a second's work.
constexpr quint64 JpegScanCost = 1024;
constexpr quint64 JpegScanBudget = quint64(1) << 30;

Layout walkJpeg(const Bytes &b)
{
    if (!b.startsWith("\xff\xd8", 2))
        return {};
    Layout l{Shape::Broken};
    quint64 scans = 0;
    qsizetype pos = 2;
    for (;;) {
        if (!b.has(pos, 2) || b.at(pos) != 0xff)
            return l;
        while (b.has(pos + 1, 1) && b.at(pos + 1) == 0xff)
            ++pos; // fill bytes
        if (!b.has(pos, 2))
            return l;
        const uchar marker = b.at(pos + 1);
        pos += 2;
        if (marker == 0xd9) {
            // Whatever follows the end of image (padding, vendor trailers) is not ours to judge.
            if (scans > 0 && scans * (l.width * l.height + JpegScanCost) <= JpegScanBudget)
                l.shape = Shape::Complete;
            return l;
        }
        if (marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7))
            continue;
        if (marker == 0x00 || marker == 0xd8 || !b.has(pos, 2))
            return l;
        const quint32 len = b.be16(pos);
        if (len < 2 || !b.has(pos, len))
            return l;
        if (isStartOfFrame(marker)) {
            if (len < 8)
                return l;
            l.height = b.be16(pos + 3);
            l.width = b.be16(pos + 5);
            if (l.width == 0 || l.height == 0)
                return l;
        }
        pos += len;
        if (marker != 0xda)
            continue;
        if (l.width == 0)
            return l;
        ++scans;
        // Entropy-coded data runs to the next marker; FF 00 and restart markers belong to it.
        for (;;) {
            const void *ff = std::memchr(b.data() + pos, 0xff, size_t(b.size() - pos));
            if (!ff)
                return l;
            pos = static_cast<const uchar *>(ff) - b.data();
            if (!b.has(pos, 2))
                return l;
            const uchar next = b.at(pos + 1);
            if (next == 0x00 || (next >= 0xd0 && next <= 0xd7))
                pos += 2;
            else if (next == 0xff)
                ++pos;
            else
                break;
        }
    }
}

Layout walk(const QByteArray &bytes)
{
    const Bytes b(bytes);
    for (const auto walker : {walkPng, walkJpeg, walkGif, walkBmp}) {
        const Layout l = walker(b);
        if (l.shape != Shape::Unknown)
            return l;
    }
    return {};
}

bool tooLarge(quint64 width, quint64 height)
{
    const quint64 maxPixels = quint64(PictureDecodedSizeLimit) / 4;
    return height != 0 && width > maxPixels / height;
}

void limitDecoderAllocations()
{
    // Qt's own ceiling backs up the header checks for formats we do not walk. It is one
    // process-wide setting, made once, to the same value every caller would choose.
    static std::once_flag once;
    std::call_once(once, [] { QImageReader::setAllocationLimit(int(PictureDecodedSizeLimit / (1024 * 1024))); });
}

#ifdef Q_OS_UNIX
struct FdCloser {
    int fd;
    ~FdCloser() { ::close(fd); }
};

int numberForErrno(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
        return ErrFileNotFound;
    case ENOMEM:
        return ErrOutOfMemory;
    default:
        return ErrPathFileAccess;
    }
}

QByteArray readRegularFile(const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        // Non-blocking so that opening a FIFO returns at once; it is refused below.
        fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        fail(numberForErrno(errno));
    const FdCloser closer{fd};
    // The open descriptor, not the path: the path may be swapped after the check.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
        fail(ErrPathFileAccess);
    if (st.st_size > PictureFileSizeLimit)
        fail(ErrOutOfMemory);

    // Read to the end, not to st_size: files in /proc report 0, and a file may grow. One byte
    // past the limit is enough to refuse it.
    QByteArray data(qint64(st.st_size) + 1, Qt::Uninitialized);
    qint64 total = 0;
    while (total <= PictureFileSizeLimit) {
        if (total == data.size())
            data.resize(qMin(PictureFileSizeLimit + 1, qMax(total * 2, qint64(64 * 1024))));
        const ssize_t got = ::read(fd, data.data() + total, size_t(data.size() - total));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            fail(numberForErrno(errno));
        }
        if (got == 0) {
            data.truncate(total);
            return data;
        }
        total += got;
    }
    fail(ErrOutOfMemory);
}

#endif

// Where there is no POSIX: the same rules through QFile, checked on the path.
[[maybe_unused]] QByteArray readRegularFileQt(const QString &path)
{
    const QFileInfo info(path);
    if (!info.exists())
        fail(ErrFileNotFound);
    if (!info.isFile())
        fail(ErrPathFileAccess);
    if (info.size() > PictureFileSizeLimit)
        fail(ErrOutOfMemory);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        fail(file.exists() ? ErrPathFileAccess : ErrFileNotFound);
    QByteArray data;
    for (;;) {
        const QByteArray chunk = file.read(qMin(qint64(1024 * 1024), PictureFileSizeLimit + 1 - data.size()));
        if (chunk.isEmpty()) {
            if (file.error() != QFileDevice::NoError)
                fail(ErrPathFileAccess);
            break;
        }
        data += chunk;
        if (data.size() > PictureFileSizeLimit)
            fail(ErrOutOfMemory);
    }
    return data;
}

} // namespace

QImage loadPictureData(const QByteArray &bytes)
{
    limitDecoderAllocations();
    try {
        const Layout layout = walk(bytes);
        if (layout.shape == Shape::Broken)
            fail(ErrInvalidPicture);
        if (tooLarge(layout.width, layout.height))
            fail(ErrOutOfMemory);

        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        // Shown as stored, as the classic loader did: no EXIF rotation.
        reader.setAutoTransform(false);
        if (!reader.canRead())
            fail(ErrInvalidPicture);
        const QSize declared = reader.size();
        if (declared.isValid() && tooLarge(quint64(declared.width()), quint64(declared.height())))
            fail(ErrOutOfMemory);
        const QImage image = reader.read();
        if (image.isNull())
            fail(ErrInvalidPicture);
        return image;
    } catch (const std::bad_alloc &) {
        fail(ErrOutOfMemory);
    }
}

QImage loadPictureFile(const QString &path)
{
    QByteArray bytes;
    try {
#ifdef Q_OS_UNIX
        bytes = readRegularFile(path);
#else
        bytes = readRegularFileQt(path);
#endif
    } catch (const std::bad_alloc &) {
        fail(ErrOutOfMemory);
    }
    return loadPictureData(bytes);
}

} // namespace zentyr
