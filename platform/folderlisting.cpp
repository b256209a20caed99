#include "folderlisting.h"

#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <memory>

namespace FolderListing {

namespace {

struct DirCloser
{
    void operator()(DIR* d) const { closedir(d); }
};

// True when the bytes are ASCII, two-byte sequences or three-byte sequences
// that stand for nothing but ordinary characters (no surrogates, no
// noncharacters, no overlong forms). Everything else, four-byte sequences
// included, is left for Qt's decoder to judge.
bool plainUtf8(const unsigned char* s, size_t n)
{
    size_t i = 0;
    while (i < n) {
        const unsigned c = s[i];
        if (c < 0x80) {
            ++i;
        } else if (c >= 0xC2 && c <= 0xDF) {
            if (i + 1 >= n || (s[i + 1] & 0xC0) != 0x80)
                return false;
            i += 2;
        } else if ((c >= 0xE1 && c <= 0xEC) || c == 0xEE ||
                   (c == 0xE0 && i + 1 < n && s[i + 1] >= 0xA0)) {
            if (i + 2 >= n || (s[i + 1] & 0xC0) != 0x80 || (s[i + 2] & 0xC0) != 0x80)
                return false;
            i += 3;
        } else {
            return false;
        }
    }
    return true;
}

char lowerAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// A wildcard pattern read straight against a name's bytes. Only patterns of
// '*' and ASCII characters that have no look-alike outside ASCII when case
// is ignored qualify (k and s do: the Kelvin sign, the long s); any other
// pattern goes through QRegularExpression as it always did. For a UTF-8 name
// the two agree: an ASCII byte is always a character of its own, and a
// multi-byte character never equals an ASCII one.
class Pattern
{
public:
    explicit Pattern(const QString& pattern)
    {
        m_bytesOk = true;
        for (const QChar ch : pattern) {
            const char16_t c = ch.unicode();
            const bool plain =
                c == '*' || c == '.' || c == '-' || c == '_' || c == ' ' ||
                (c >= '0' && c <= '9') ||
                ((c | 0x20) >= 'a' && (c | 0x20) <= 'z' && (c | 0x20) != 'k' && (c | 0x20) != 's');
            if (!plain) {
                m_bytesOk = false;
                break;
            }
            m_glob.push_back(lowerAscii(char(c)));
        }
        m_regex = QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                     QRegularExpression::CaseInsensitiveOption);
    }

    // Whether the bytes of a name in plain UTF-8 can be matched as they are.
    bool readsBytes() const { return m_bytesOk; }

    bool matches(const char* name, size_t n) const
    {
        return glob(m_glob.constData(), m_glob.size(), name, n);
    }
    bool matches(const QString& name) const { return m_regex.match(name).hasMatch(); }

private:
    // '*' takes any run of bytes; every other pattern byte one equal byte,
    // letters of either case.
    static bool glob(const char* p, qsizetype pn, const char* s, size_t sn)
    {
        qsizetype pi = 0;
        size_t si = 0;
        qsizetype star = -1;
        size_t resume = 0;
        while (si < sn) {
            if (pi < pn && p[pi] == '*') {
                star = pi++;
                resume = si;
            } else if (pi < pn && p[pi] == lowerAscii(s[si])) {
                ++pi;
                ++si;
            } else if (star >= 0) {
                pi = star + 1;
                si = ++resume;
            } else {
                return false;
            }
        }
        while (pi < pn && p[pi] == '*')
            ++pi;
        return pi == pn;
    }

    bool m_bytesOk = false;
    QByteArray m_glob;
    QRegularExpression m_regex;
};

bool isRegularFile(int dirFd, const dirent* d, bool* looked)
{
    if (d->d_type == DT_REG)
        return true;
    if (d->d_type != DT_UNKNOWN && d->d_type != DT_LNK)
        return false;
    // A link counts as what it points to, as it always has.
    *looked = true;
    struct stat st;
    return fstatat(dirFd, d->d_name, &st, 0) == 0 && S_ISREG(st.st_mode);
}

// Visits every normal file whose name matches: visit(name, exactName, text)
// where text is the decoded name when it had to be decoded to be judged
// (null otherwise). Returning false from visit ends the walk. `looked` is
// set when an entry had to be looked up beyond its folder (a link).
template <typename Visit>
bool forEachFile(const QString& folder, const QString& pattern, Visit visit, bool* looked = nullptr)
{
    bool unused = false;
    if (!looked)
        looked = &unused;
    const QByteArray path = QFile::encodeName(folder);
    std::unique_ptr<DIR, DirCloser> dir(opendir(path.constData()));
    if (!dir)
        return false;
    const Pattern match(pattern);
    const int fd = dirfd(dir.get());
    while (const dirent* d = readdir(dir.get())) {
        if (d->d_name[0] == '.')
            continue; // hidden, and "." and ".."
        const size_t n = std::strlen(d->d_name);
        const auto* bytes = reinterpret_cast<const unsigned char*>(d->d_name);
        if (match.readsBytes() && plainUtf8(bytes, n)) {
            if (!match.matches(d->d_name, n) || !isRegularFile(fd, d, looked))
                continue;
            if (!visit(QByteArrayView(d->d_name, qsizetype(n)), true, nullptr))
                break;
            continue;
        }
        // Odd bytes, or a pattern the byte matcher does not take: the name
        // as Qt decodes it decides, and whether it gives back the same bytes.
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(QByteArrayView(d->d_name, qsizetype(n)));
        const bool exact = !utf8.hasError();
        if (!match.matches(text) || !isRegularFile(fd, d, looked))
            continue;
        if (!visit(QByteArrayView(d->d_name, qsizetype(n)), exact, &text))
            break;
    }
    return true;
}

} // namespace

bool forEachName(const QString& folder, const QString& pattern,
                 const std::function<void(const Name&)>& visit, bool* throughLinks)
{
    return forEachFile(
        folder, pattern,
        [&](QByteArrayView bytes, bool exact, const QString* text) {
            visit(Name{bytes, exact, text});
            return true;
        },
        throughLinks);
}

bool remove(const QString& folder, const QString& name)
{
    const QString path =
        folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
    if (QFile::remove(path))
        return true;
    if (!name.contains(QChar::ReplacementCharacter))
        return false;
    QByteArray raw;
    forEachFile(folder, QStringLiteral("*"),
                [&](QByteArrayView bytes, bool exact, const QString* text) {
                    if (exact || !text || *text != name)
                        return true;
                    raw = bytes.toByteArray();
                    return false;
                });
    if (raw.isEmpty())
        return false;
    const QByteArray dir = QFile::encodeName(folder);
    return unlink((dir + '/' + raw).constData()) == 0;
}

} // namespace FolderListing
