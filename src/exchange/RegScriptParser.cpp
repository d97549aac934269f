#include "exchange/RegScriptParser.h"

#include "exchange/LineWindow.h"
#include "exchange/RegScriptText.h"

namespace th::regscript {

namespace {

// Trying every double quote of a broken line as the end of the value name would take long
// on a huge line; a real name never needs this many tries.
constexpr int kMaxNameCandidates = 100;

// The data of a string value, its text made straight from the line when it holds no
// backslash.
QByteArray stringData(QStringView text)
{
    return text.contains(u'\\') ? regDataFromText(unescape(text)) : regDataFromText(text);
}

} // namespace

bool RegScriptParser::fail(qsizetype index, const QString &reason)
{
    m_failure = Failure { int(index + 1), reason };
    return false;
}

bool RegScriptParser::hand(const RegScriptOperation &operation)
{
    Result<void> taken = m_sink(operation);
    if (taken)
        return true;
    m_sinkError = taken.error();
    return false;
}

Result<void> RegScriptParser::run()
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

bool RegScriptParser::keyLine(QStringView text)
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

bool RegScriptParser::valueData(
    const QString &name, QStringView rest, RegScriptOperation &operation, Failure &failure)
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

bool RegScriptParser::valueLine(QStringView text)
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

std::optional<RegScriptParser::Data> RegScriptParser::data(
    QStringView text, qsizetype &index, Failure &failure)
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

std::optional<QByteArray> RegScriptParser::quotedData(QStringView text, QString &why) const
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
QString RegScriptParser::name(QStringView quoted)
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

} // namespace th::regscript
