// SPDX-License-Identifier: MIT
#pragma once
// Bounds-checked reading of a picture file's bytes, for the format walkers.
#include "platform/picture/pictureformats.h"

#include <cstring>

namespace zentyr {

class Bytes {
public:
    explicit Bytes(QByteArrayView a) : p(reinterpret_cast<const uchar *>(a.data())), n(a.size()) { }
    bool has(qsizetype pos, qint64 len) const { return pos >= 0 && len >= 0 && pos <= n && len <= n - pos; }
    uchar at(qsizetype pos) const { return p[pos]; }
    quint32 be16(qsizetype pos) const { return quint32(p[pos]) << 8 | p[pos + 1]; }
    quint32 be32(qsizetype pos) const { return be16(pos) << 16 | be16(pos + 2); }
    quint32 le16(qsizetype pos) const { return quint32(p[pos + 1]) << 8 | p[pos]; }
    quint32 le32(qsizetype pos) const { return le16(pos + 2) << 16 | le16(pos); }
    bool startsWith(const char *magic, qsizetype len) const
    {
        return has(0, len) && std::memcmp(p, magic, size_t(len)) == 0;
    }
    const uchar *data() const { return p; }
    qsizetype size() const { return n; }

private:
    const uchar *p;
    qsizetype n;
};

// The walkers that live in files of their own.
PictureLayout walkJpeg(const Bytes &b);

} // namespace zentyr
