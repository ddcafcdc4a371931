#include "StrictJson.h"

#include <QSet>

namespace {

class StrictJsonChecker
{
public:
    explicit StrictJsonChecker(const QByteArray& bytes)
        : m_p(bytes.constData())
        , m_begin(bytes.constData())
        , m_end(bytes.constData() + bytes.size())
    {
    }

    QString check()
    {
        if (m_end - m_p >= 3 && uchar(m_p[0]) == 0xEF && uchar(m_p[1]) == 0xBB && uchar(m_p[2]) == 0xBF)
            m_p += 3;
        skipSpace();
        if (!value(0))
            return m_error;
        skipSpace();
        if (m_p != m_end)
            fail(QStringLiteral("text after the value"));
        return m_error;
    }

private:
    // Far deeper than any document of ours; a hostile nesting must not exhaust the stack.
    static constexpr int kMaxDepth = 512;

    bool fail(const QString& what)
    {
        if (m_error.isEmpty())
            m_error = QStringLiteral("%1 at byte %2").arg(what).arg(m_p - m_begin);
        return false;
    }

    void skipSpace()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\n' || *m_p == '\r'))
            ++m_p;
    }

    bool literal(const char* word)
    {
        for (const char* w = word; *w; ++w, ++m_p) {
            if (m_p == m_end || *m_p != *w)
                return fail(QStringLiteral("unknown literal"));
        }
        return true;
    }

    bool value(int depth)
    {
        if (depth > kMaxDepth)
            return fail(QStringLiteral("nested too deeply"));
        if (m_p == m_end)
            return fail(QStringLiteral("value expected"));
        switch (*m_p) {
        case '{':
            return object(depth);
        case '[':
            return array(depth);
        case '"': {
            QByteArray ignored;
            return string(ignored);
        }
        case 't':
            return literal("true");
        case 'f':
            return literal("false");
        case 'n':
            return literal("null");
        default:
            return number();
        }
    }

    bool object(int depth)
    {
        ++m_p;
        skipSpace();
        QSet<QByteArray> names;
        if (m_p != m_end && *m_p == '}') {
            ++m_p;
            return true;
        }
        for (;;) {
            skipSpace();
            if (m_p == m_end || *m_p != '"')
                return fail(QStringLiteral("member name expected"));
            QByteArray name;
            if (!string(name))
                return false;
            if (names.contains(name))
                return fail(QStringLiteral("member \"%1\" twice").arg(QString::fromUtf8(name)));
            names.insert(name);
            skipSpace();
            if (m_p == m_end || *m_p != ':')
                return fail(QStringLiteral("':' expected"));
            ++m_p;
            skipSpace();
            if (!value(depth + 1))
                return false;
            skipSpace();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            if (m_p != m_end && *m_p == '}') {
                ++m_p;
                return true;
            }
            return fail(QStringLiteral("',' or '}' expected"));
        }
    }

    bool array(int depth)
    {
        ++m_p;
        skipSpace();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            return true;
        }
        for (;;) {
            skipSpace();
            if (!value(depth + 1))
                return false;
            skipSpace();
            if (m_p != m_end && *m_p == ',') {
                ++m_p;
                continue;
            }
            if (m_p != m_end && *m_p == ']') {
                ++m_p;
                return true;
            }
            return fail(QStringLiteral("',' or ']' expected"));
        }
    }

    bool hexDigits(uint& unit)
    {
        unit = 0;
        for (int i = 0; i < 4; ++i, ++m_p) {
            if (m_p == m_end)
                return fail(QStringLiteral("short \\u escape"));
            const char c = *m_p;
            uint digit;
            if (c >= '0' && c <= '9')
                digit = uint(c - '0');
            else if (c >= 'a' && c <= 'f')
                digit = uint(c - 'a' + 10);
            else if (c >= 'A' && c <= 'F')
                digit = uint(c - 'A' + 10);
            else
                return fail(QStringLiteral("bad \\u escape"));
            unit = unit * 16 + digit;
        }
        return true;
    }

    // One UTF-8 sequence starting at m_p, shortest form, no surrogates, at most U+10FFFF.
    bool utf8Sequence()
    {
        const uchar lead = uchar(*m_p);
        int extra;
        uint cp;
        if (lead >= 0xC2 && lead <= 0xDF) {
            extra = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            extra = 2;
            cp = lead & 0x0F;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            extra = 3;
            cp = lead & 0x07;
        } else {
            return fail(QStringLiteral("invalid UTF-8"));
        }
        if (m_end - m_p <= extra)
            return fail(QStringLiteral("truncated UTF-8"));
        for (int i = 1; i <= extra; ++i) {
            const uchar c = uchar(m_p[i]);
            if ((c & 0xC0) != 0x80)
                return fail(QStringLiteral("invalid UTF-8"));
            cp = (cp << 6) | (c & 0x3F);
        }
        const uint least[] = {0, 0x80, 0x800, 0x10000};
        if (cp < least[extra] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            return fail(QStringLiteral("invalid UTF-8"));
        m_p += extra + 1;
        return true;
    }

    bool string(QByteArray& raw)
    {
        ++m_p;
        const char* start = m_p;
        for (;;) {
            if (m_p == m_end)
                return fail(QStringLiteral("unterminated string"));
            const uchar c = uchar(*m_p);
            if (c == '"') {
                raw = QByteArray(start, int(m_p - start));
                ++m_p;
                return true;
            }
            if (c < 0x20)
                return fail(QStringLiteral("control character in a string"));
            if (c >= 0x80) {
                if (!utf8Sequence())
                    return false;
                continue;
            }
            if (c != '\\') {
                ++m_p;
                continue;
            }
            ++m_p;
            if (m_p == m_end)
                return fail(QStringLiteral("unterminated string"));
            const char e = *m_p;
            if (e == 'u') {
                ++m_p;
                uint unit;
                if (!hexDigits(unit))
                    return false;
                if (unit >= 0xDC00 && unit <= 0xDFFF)
                    return fail(QStringLiteral("lone low surrogate"));
                if (unit >= 0xD800 && unit <= 0xDBFF) {
                    if (m_end - m_p < 2 || m_p[0] != '\\' || m_p[1] != 'u')
                        return fail(QStringLiteral("lone high surrogate"));
                    m_p += 2;
                    if (!hexDigits(unit))
                        return false;
                    if (unit < 0xDC00 || unit > 0xDFFF)
                        return fail(QStringLiteral("lone high surrogate"));
                }
                continue;
            }
            if (e != '"' && e != '\\' && e != '/' && e != 'b' && e != 'f' && e != 'n' && e != 'r' && e != 't')
                return fail(QStringLiteral("escape \\%1 is not JSON").arg(QLatin1Char(e)));
            ++m_p;
        }
    }

    bool digits()
    {
        if (m_p == m_end || *m_p < '0' || *m_p > '9')
            return fail(QStringLiteral("digit expected"));
        while (m_p != m_end && *m_p >= '0' && *m_p <= '9')
            ++m_p;
        return true;
    }

    bool number()
    {
        if (*m_p == '-')
            ++m_p;
        if (m_p == m_end)
            return fail(QStringLiteral("digit expected"));
        if (*m_p == '0') {
            ++m_p;
            if (m_p != m_end && *m_p >= '0' && *m_p <= '9')
                return fail(QStringLiteral("leading zero"));
        } else if (!digits()) {
            return false;
        }
        if (m_p != m_end && *m_p == '.') {
            ++m_p;
            if (!digits())
                return false;
        }
        if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
            ++m_p;
            if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
                ++m_p;
            if (!digits())
                return false;
        }
        return true;
    }

    const char* m_p;
    const char* const m_begin;
    const char* const m_end;
    QString m_error;
};

} // namespace

QString strictJsonError(const QByteArray& bytes)
{
    return StrictJsonChecker(bytes).check();
}
