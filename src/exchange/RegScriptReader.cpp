#include "exchange/RegScriptReader.h"

#include <array>
#include <optional>

#include "exchange/RegScriptText.h"
#include "exchange/ScriptLineReader.h"

namespace th {

using namespace regscript;

namespace {

const QString kHeader4 = QStringLiteral("REGEDIT4");
const QString kHeader5 = QStringLiteral("Windows Registry Editor Version 5.00");

// Trying every double quote of a broken line as the end of the value name would take long
// on a huge line; a real name never needs this many tries.
constexpr int kMaxNameCandidates = 100;

struct Failure {
    int line = 0;
    QString reason;
};

// The data of a value line: a value (its name still to be set) or a deletion.
struct Data {
    bool remove = false;
    RegValue value;
};

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// The number of hexadecimal digits at the start of a text.
qsizetype hexRun(QStringView text)
{
    qsizetype n = 0;
    while (n < text.size() && isHexDigit(text[n]))
        ++n;
    return n;
}

class Parser final {
public:
    Parser(LineWindow &lines, bool wide, const RegScriptSink &sink)
        : m_lines(lines)
        , m_wide(wide)
        , m_sink(sink)
    {
    }

    // Reads every line after the header. Stops at the first line that cannot be read or
    // the first operation the sink refuses.
    Result<void> run();

private:
    bool keyLine(QStringView text);
    bool valueLine(QStringView text);
    bool valueData(const QString &name, QStringView rest, RegScriptOperation &operation, Failure &failure);
    std::optional<Data> data(QStringView text, qsizetype &index, Failure &failure);
    std::optional<QByteArray> quotedData(QStringView text, QString &why) const;
    QString name(QStringView quoted);
    std::optional<QByteArray> hexData(QStringView text, qsizetype &index, Failure &failure);
    RegValue hexValue(quint32 kind, QByteArray bytes) const;
    bool fail(qsizetype index, const QString &reason);
    bool hand(const RegScriptOperation &operation);

    LineWindow &m_lines;
    bool m_wide = false;
    const RegScriptSink &m_sink;
    qsizetype m_index = 0;
    bool m_inKey = false;
    RegRoot m_root = RegRoot::CurrentUser;
    QString m_keyPath;
    Failure m_failure;
    std::optional<Error> m_sinkError;
    std::array<QString, 16> m_names;
    std::size_t m_nextName = 0;
};

bool Parser::fail(qsizetype index, const QString &reason)
{
    m_failure = Failure { int(index + 1), reason };
    return false;
}

bool Parser::hand(const RegScriptOperation &operation)
{
    Result<void> taken = m_sink(operation);
    if (taken)
        return true;
    m_sinkError = taken.error();
    return false;
}

Result<void> Parser::run()
{
    for (m_index = 1;; ++m_index) {
        m_lines.dropBefore(m_index);
        const QString *line = m_lines.at(m_index);
        if (!line)
            return {};
        const QStringView text = skipBlanks(*line);
        bool ok = true;
        if (text.isEmpty() || text.front() == u';' || text.front() == u'#')
            continue;
        if (text.front() == u'[')
            ok = keyLine(text);
        else if (text.front() == u'"' || text.front() == u'@')
            ok = valueLine(text);
        else
            ok = fail(m_index, QStringLiteral("this is neither a key, a value nor a comment"));
        if (m_sinkError)
            return *m_sinkError;
        if (!ok)
            return makeError(
                m_failure.line, QStringLiteral("line %1: %2").arg(m_failure.line).arg(m_failure.reason));
    }
}

bool Parser::keyLine(QStringView text)
{
    QStringView inner = text;
    while (!inner.isEmpty() && isBlank(inner.back()))
        inner.chop(1);
    if (!inner.endsWith(u']'))
        return fail(m_index, QStringLiteral("a key line must end with \"]\""));
    inner = inner.mid(1, inner.size() - 2);
    const bool remove = inner.startsWith(u'-');
    if (remove)
        inner = inner.mid(1);
    const qsizetype slash = inner.indexOf(u'\\');
    const QStringView rootName = slash < 0 ? inner : inner.left(slash);
    const std::optional<RegRoot> root = regRootFromName(rootName);
    if (!root)
        return fail(m_index, QStringLiteral("\"%1\" is not a root key").arg(rootName.toString()));
    if (*root != RegRoot::CurrentUser && *root != RegRoot::LocalMachine)
        return fail(m_index,
            QStringLiteral("keys under %1 are not kept; only HKEY_CURRENT_USER and "
                           "HKEY_LOCAL_MACHINE can be imported")
                .arg(regRootName(*root)));
    const QStringList names = splitRegPath(slash < 0 ? QStringView() : inner.mid(slash + 1));
    for (const QString &name : names) {
        if (name.size() > 255)
            return fail(m_index, QStringLiteral("a key name is longer than 255 characters"));
    }
    if (remove && names.isEmpty())
        return fail(m_index, QStringLiteral("a root key cannot be deleted"));

    RegScriptOperation operation;
    operation.kind = remove ? RegScriptOperation::Kind::DeleteKey : RegScriptOperation::Kind::CreateKey;
    operation.root = *root;
    operation.keyPath = names.join(u'\\');
    operation.line = int(m_index + 1);
    // The values that follow a deletion would belong to no key.
    m_inKey = !remove;
    m_root = *root;
    m_keyPath = operation.keyPath;
    return hand(operation);
}

bool Parser::valueData(const QString &name, QStringView rest, RegScriptOperation &operation, Failure &failure)
{
    qsizetype index = m_index;
    const std::optional<Data> parsed = data(rest, index, failure);
    if (!parsed)
        return false;
    operation.kind
        = parsed->remove ? RegScriptOperation::Kind::DeleteValue : RegScriptOperation::Kind::SetValue;
    operation.root = m_root;
    operation.keyPath = m_keyPath;
    operation.value = parsed->value;
    operation.value.name = name;
    operation.line = int(m_index + 1);
    // Reading goes on after the lines the data took.
    m_index = index;
    return true;
}

bool Parser::valueLine(QStringView text)
{
    if (!m_inKey)
        return fail(m_index, QStringLiteral("a value line that belongs to no key"));

    // Each place where the name may end is tried in turn, and the first whose data reads
    // wins: the closing quote that the escapes give first (nearly always the one), then
    // every other double quote followed by "=". The error is the first place's.
    int tried = 0;
    Failure first;
    RegScriptOperation operation;
    const auto attempt = [&](const QString &name, QStringView rest) {
        Failure failure;
        if (valueData(name, rest, operation, failure))
            return true;
        if (tried++ == 0)
            first = failure;
        return false;
    };
    // The data after the quote at `quote`, when "=" follows it.
    const auto restAfter = [&](qsizetype quote) -> std::optional<QStringView> {
        const QStringView after = skipBlanks(text.mid(quote + 1));
        if (!after.startsWith(u'='))
            return std::nullopt;
        return after.mid(1);
    };

    bool any = false;
    bool found = false;
    if (text.front() == u'@') {
        const QStringView after = skipBlanks(text.mid(1));
        any = after.startsWith(u'=');
        found = any && attempt(QString(), after.mid(1));
    } else {
        const qsizetype close = closingQuote(text);
        int candidates = 0;
        if (const std::optional<QStringView> rest = close > 0 ? restAfter(close) : std::nullopt) {
            any = true;
            ++candidates;
            found = attempt(name(text.mid(1, close - 1)), *rest);
        }
        for (qsizetype i = 1; !found && i < text.size() && candidates < kMaxNameCandidates; ++i) {
            if (text[i] != u'"' || i == close)
                continue;
            if (const std::optional<QStringView> rest = restAfter(i)) {
                any = true;
                ++candidates;
                found = attempt(name(text.mid(1, i - 1)), *rest);
            }
        }
    }
    if (!any)
        return fail(m_index, QStringLiteral("the value name is not followed by \"=\""));
    if (!found) {
        m_failure = first;
        return false;
    }
    return hand(operation);
}

std::optional<Data> Parser::data(QStringView text, qsizetype &index, Failure &failure)
{
    text = skipBlanks(text);
    const auto failed = [&](const QString &reason) {
        failure = Failure { int(index + 1), reason };
        return std::nullopt;
    };
    if (text.startsWith(u'"')) {
        QString why;
        std::optional<QByteArray> quoted = quotedData(text, why);
        if (!quoted)
            return failed(why);
        return Data { false, RegValue { QString(), RegKind::String, std::move(*quoted) } };
    }
    if (text.startsWith(u'-')) {
        if (!isBlankOrComment(text.mid(1)))
            return failed(QStringLiteral("text after \"=-\""));
        return Data { true, RegValue {} };
    }
    if (text.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QStringView digits = skipBlanks(text.mid(6));
        const qsizetype run = hexRun(digits);
        if (run < 1 || run > 8 || !isBlankOrComment(digits.mid(run)))
            return failed(QStringLiteral("a 32-bit number must be one to eight hexadecimal digits"));
        return Data { false, RegValue::fromDword(QString(), digits.left(run).toUInt(nullptr, 16)) };
    }
    if (text.startsWith(u"hex", Qt::CaseInsensitive)) {
        QStringView rest = text.mid(3);
        quint32 kind = RegKind::Binary;
        if (rest.startsWith(u'(')) {
            const qsizetype run = hexRun(rest.mid(1));
            if (run < 1 || run > 8 || !rest.mid(1 + run).startsWith(u')'))
                return failed(QStringLiteral("the kind of hex(N) must be one to eight hexadecimal digits"));
            kind = rest.mid(1, run).toUInt(nullptr, 16);
            rest = rest.mid(run + 2);
        }
        if (!rest.startsWith(u':'))
            return failed(QStringLiteral("\"hex\" must be followed by \":\""));
        std::optional<QByteArray> bytes = hexData(rest.mid(1), index, failure);
        if (!bytes)
            return std::nullopt;
        return Data { false, hexValue(kind, std::move(*bytes)) };
    }
    return failed(QStringLiteral("the data is neither a quoted text, dword: nor hex:"));
}

// The data of a string value, its text made straight from the line when it holds no
// backslash.
QByteArray stringData(QStringView text)
{
    return text.contains(u'\\') ? regDataFromText(unescape(text)) : regDataFromText(text);
}

std::optional<QByteArray> Parser::quotedData(QStringView text, QString &why) const
{
    const qsizetype close = closingQuote(text);
    if (close > 0 && skipBlanks(text.mid(close + 1)).isEmpty())
        return stringData(text.mid(1, close - 1));
    // Not closed where the escapes say, or followed by more: the text runs to the last
    // double quote of the line.
    const qsizetype last = text.lastIndexOf(u'"');
    if (last <= 0) {
        why = QStringLiteral("a quoted text has no closing double quote");
        return std::nullopt;
    }
    if (!isBlankOrComment(text.mid(last + 1))) {
        why = QStringLiteral("text after the closing double quote");
        return std::nullopt;
    }
    return stringData(text.mid(1, last - 1));
}

// The value names of a script repeat from key to key: the last few are kept and shared.
QString Parser::name(QStringView quoted)
{
    if (quoted.contains(u'\\'))
        return unescape(quoted);
    for (const QString &known : m_names) {
        if (known == quoted)
            return known;
    }
    QString made = quoted.toString();
    m_names[m_nextName] = made;
    m_nextName = (m_nextName + 1) % m_names.size();
    return made;
}

// Hexadecimal bytes separated by commas. A line ending in a comma and a backslash (a ";"
// comment may follow) continues on the next line that is neither blank nor a ";" comment;
// the backslash may also stand right after the colon. Anything else is refused.
std::optional<QByteArray> Parser::hexData(QStringView text, qsizetype &index, Failure &failure)
{
    QByteArray bytes;
    bool firstLine = true;
    const auto failed = [&](const QString &reason) {
        failure = Failure { int(index + 1), reason };
        return std::nullopt;
    };
    for (;;) {
        bool afterComma = firstLine;
        bool anyByte = false;
        bool continues = false;
        qsizetype pos = 0;
        for (;;) {
            while (pos < text.size() && isBlank(text[pos]))
                ++pos;
            if (pos >= text.size() || text[pos] == u';')
                break;
            const QChar c = text[pos];
            if (c == u'\\') {
                if (!afterComma)
                    return failed(QStringLiteral("a continuation backslash must follow a comma"));
                if (!isBlankOrComment(text.mid(pos + 1)))
                    return failed(QStringLiteral("text after the continuation backslash"));
                continues = true;
                break;
            }
            if (c == u',') {
                if (!anyByte || afterComma)
                    return failed(QStringLiteral("a comma without a byte before it"));
                afterComma = true;
                ++pos;
                continue;
            }
            if (hexRun(text.mid(pos)) != 2)
                return failed(QStringLiteral("a byte must be two hexadecimal digits"));
            if (anyByte && !afterComma)
                return failed(QStringLiteral("bytes must be separated by commas"));
            bytes.append(char(text.mid(pos, 2).toUInt(nullptr, 16)));
            pos += 2;
            anyByte = true;
            afterComma = false;
        }
        if (!continues)
            return bytes;
        do {
            const QString *next = m_lines.at(++index);
            if (!next)
                return bytes;
            text = skipBlanks(*next);
        } while (text.isEmpty() || text.front() == u';');
        firstLine = false;
    }
}

// The value of hex(N) data. String kinds of a REGEDIT4 script hold 8-bit text, those of a
// version 5 script UTF-16; the store keeps UTF-16. Expandable and multi-strings that do not
// end in a NUL get one, as the system's importer does.
RegValue Parser::hexValue(quint32 kind, QByteArray bytes) const
{
    const bool stringKind
        = kind == RegKind::String || kind == RegKind::ExpandString || kind == RegKind::MultiString;
    if (stringKind && !m_wide)
        bytes = regDataFromText(decodeEightBit(bytes));
    if ((kind == RegKind::ExpandString || kind == RegKind::MultiString) && !bytes.isEmpty()
        && !bytes.endsWith(QByteArray(2, '\0'))) {
        if (bytes.size() % 2 != 0)
            bytes.append('\0');
        bytes.append(QByteArray(2, '\0'));
    }
    return RegValue { QString(), kind, bytes };
}

} // namespace

Result<RegScriptReadSummary> readRegScript(QIODevice &device, const RegScriptSink &sink)
{
    ScriptLineReader reader(device);
    LineWindow lines(reader);
    const QString *first = lines.at(0);
    QStringView header = first ? skipBlanks(*first) : QStringView();
    while (!header.isEmpty() && isBlank(header.back()))
        header.chop(1);
    const bool version4 = header == kHeader4;
    const bool version5 = header == kHeader5;
    if (!version4 && !version5)
        return makeError(1,
            QStringLiteral("line 1: this is not a registry script (it must begin with %1 or %2)")
                .arg(kHeader4, kHeader5));
    if (const Result<void> read = Parser(lines, version5, sink).run(); !read)
        return read.error();
    if (!reader.error().isEmpty()) {
        const int line = int(lines.readCount() + 1);
        return makeError(line, QStringLiteral("line %1: %2").arg(line).arg(reader.error()));
    }
    return RegScriptReadSummary { reader.latin1Lines() };
}

} // namespace th
